#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tarvex {

class UserPrompts;

// "Справка по программе Tarvex": the help page Tarvex_Help.html (see helpPagePath()).
// Closed by close(), which the shutdown of the main window calls.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QString helpFilePath, UserPrompts& prompts);

    // Shows the help page, or tells the user (over messageParent) that it is missing.
    void openHelp(QWidget* messageParent);

    QString helpFilePath() const { return m_helpFilePath; }

private:
    QString m_helpFilePath;
    UserPrompts& m_prompts;
    QTextBrowser* m_browser;
};

} // namespace tarvex
