#pragma once

#include "generation/runobserver.h"

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

// Shows a generation run: a gauge while the airlines are walked, then (outside
// "Create all") the completion dialog that opens the file or its folder.
class ProgressDialog : public QDialog, public RunObserver {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    ProgressDialog(QString appDir, DesktopOpener& opener, UserPrompts& prompts, QWidget* parent = nullptr);
    ~ProgressDialog() override;

    void runStarted() override;
    void progressChanged(int percent) override;
    void runFinished(const QString& filePath, bool startedByCreateAll) override;
    void runAbandoned() override;
    void scriptChecked(const ScriptFindings& findings) override;
    void outputWarned(const QStringList& warnings) override;

    // Lists the findings of the script below the buttons, or says there are none.
    void setFindings(const ScriptFindings& findings);

    // The file the last finished run wrote.
    QString filePath() const { return m_filePath; }

protected:
    // Shows the finished window as the modal completion dialog; tests show it without blocking.
    virtual void showCompletionDialog();

private:
    void centreOnMainWindow();
    void setButtonsEnabled(bool enabled);
    void setUpFindings();
    // Outputs other than the scripts are not checked: nothing is listed.
    void clearFindings();
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
