#pragma once

#include <QDialog>
#include <QString>

namespace tarvex {

class UserPrompts;

// The window in which the user changes options.ini.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    SettingsDialog(QString appDir, UserPrompts& prompts, QWidget* parent = nullptr);

signals:
    // The settings file was written; the main window applies its title and grid font.
    void settingsSaved();

private:
    QString m_appDir;
    UserPrompts& m_prompts;
};

} // namespace tarvex
