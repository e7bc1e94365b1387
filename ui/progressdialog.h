#pragma once

#include "generation/scriptcheck.h"
#include "rundisplay.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPlainTextEdit;

namespace tarvex {

namespace Ui {
class ProgressDialog;
}

class DesktopOpener;
class UserPrompts;

// Shows a generation run: a gauge while the airlines are walked, then, when the main
// window asks for it, the completion dialog that opens the file or its folder.
class ProgressDialog : public QDialog, public RunDisplay {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    ProgressDialog(QString appDir, DesktopOpener& opener, UserPrompts& prompts, QWidget* parent = nullptr);
    ~ProgressDialog() override;

    void runStarted() override;
    bool showsProgress() const override { return true; }
    void progressChanged(int percent) override;
    void runEnded() override;
    void showWritten(const RunResult& result) override;

    // Lists the findings of the script below the buttons, or says there are none.
    void setFindings(const ScriptFindings& findings);

    // The file the last finished run wrote.
    QString filePath() const { return m_filePath; }

private:
    void centreOnMainWindow();
    void setButtonsEnabled(bool enabled);
    void setUpFindings();
    // Outputs other than the scripts are not checked: nothing is listed.
    void clearFindings();
    // What the user should know about a written workbook, one line each.
    void setWarnings(const QStringList& warnings);
    void growBy(int height);
    void paintNow();
    void openFile();
    void openFolder();
    void openOrReport(const QString& path, const QString& failureText);

    std::unique_ptr<Ui::ProgressDialog> m_ui;
    QString m_appDir;
    DesktopOpener& m_opener;
    UserPrompts& m_prompts;
    QString m_filePath;
    QSize m_plainSize;
    QPlainTextEdit* m_findingsList = nullptr;
    QLabel* m_noFindings = nullptr;
};

} // namespace tarvex
