#pragma once

#include "folderchooser.h"

#include "settings/options.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

namespace tarvex {

namespace Ui {
class SettingsDialog;
}

class UserPrompts;

// The window in which the user changes options.ini. Every showing reads the stored settings afresh, so the window
// shows exactly what the file holds; "Сохранить" writes every key, "Закрыть" writes nothing.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    SettingsDialog(QString appDir, UserPrompts& prompts, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // Tests replace the desktop's folder dialog and fix the date of the name previews.
    void setFolderChooser(FolderChooser& chooser);
    void setClock(std::function<QDate()> today);

    // Puts the stored settings into the controls; showing the window does it.
    void loadOptionValues();
    // Writes every key from the controls. On success emits settingsSaved() and tells the user; a failed write is
    // reported with the file's path and nothing else follows. Returns whether every key was written.
    bool saveSettings();

    // The server password typed on the page "Реестр": kept in memory while the window lives, never saved; empty
    // when none was typed, so libpq looks in PGPASSWORD and ~/.pgpass.
    QString serverPassword() const;

signals:
    // The settings file was written; the main window applies its title (titleWithAddition) and grid font.
    void settingsSaved();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitPageTreeToItsNames();
    OptionValues settingsFromControls() const;
    void refreshFlowNamePreview();
    void browseScriptFolder();
    void showRegisterEngine(RegisterEngine engine);
    ServerAddress serverAddressFromControls() const;
    void checkConnection();

    std::unique_ptr<Ui::SettingsDialog> m_ui;
    QString m_appDir;
    UserPrompts& m_prompts;
    FolderDialogChooser m_dialogChooser;
    FolderChooser* m_folderChooser = &m_dialogChooser;
    std::function<QDate()> m_today = &QDate::currentDate;
    OptionValues m_stored; // the held values (script prefix, Smart Key name and date) are written back from here
};

} // namespace tarvex
