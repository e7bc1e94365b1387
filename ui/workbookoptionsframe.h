#pragma once

#include "folderchooser.h"

#include "settings/options.h"

#include <QDate>
#include <QFrame>

#include <functional>
#include <memory>

namespace tarvex {

namespace Ui {
class WorkbookOptionsFrame;
}

// The Excel workbook's folder, base name and date option, as one reusable frame.
class WorkbookOptionsFrame : public QFrame {
    Q_OBJECT
public:
    explicit WorkbookOptionsFrame(QWidget* parent = nullptr);
    ~WorkbookOptionsFrame() override;

    // The browse button asks `chooser` (the desktop's folder dialog until set) and starts in the folder the box names,
    // a relative one taken from appDir.
    void setFolderBrowsing(FolderChooser& chooser, const QString& appDir);
    // The date shown in the name preview.
    void setClock(std::function<QDate()> today);

    void showNaming(const OutputNaming& naming);
    OutputNaming naming() const; // the folder and the name exactly as typed

private:
    void refreshNamePreview();
    void browseFolder();

    std::unique_ptr<Ui::WorkbookOptionsFrame> m_ui;
    FolderDialogChooser m_dialogChooser;
    FolderChooser* m_folderChooser = &m_dialogChooser;
    QString m_appDir;
    std::function<QDate()> m_today = &QDate::currentDate;
};

} // namespace tarvex
