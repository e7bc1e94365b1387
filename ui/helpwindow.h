#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tarvex {

class UserPrompts;

// "Справка по программе Tarvex": the help page Tarvex_Help.html of the app folder.
// Closed by close(), which the shutdown of the main window calls.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    HelpWindow(QString appDir, UserPrompts& prompts);

    // Shows the help page, or tells the user (over messageParent) that it is missing.
    void openHelp(QWidget* messageParent);

    QString helpFilePath() const;

private:
    QString m_appDir;
    UserPrompts& m_prompts;
    QTextBrowser* m_browser;
};

} // namespace tarvex
