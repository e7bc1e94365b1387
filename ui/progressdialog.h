#pragma once

#include "generation/runobserver.h"

#include <QDialog>
#include <QString>

namespace tarvex {

class DesktopOpener;
class UserPrompts;

// Shows a generation run: a gauge while the airlines are walked, then (outside
// "Create all") the completion dialog that opens the file or its folder.
class ProgressDialog : public QDialog, public RunObserver {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    ProgressDialog(QString appDir, DesktopOpener& opener, UserPrompts& prompts, QWidget* parent = nullptr);

    void runStarted() override;
    void progressChanged(int percent) override;
    void runFinished(const QString& filePath, bool startedByCreateAll) override;
    void runAbandoned() override;

private:
    QString m_appDir;
    DesktopOpener& m_opener;
    UserPrompts& m_prompts;
};

} // namespace tarvex
