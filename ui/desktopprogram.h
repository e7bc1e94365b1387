#pragma once

#include "settings/appfolder.h"
#include "store/registerstore.h"

#include <QString>

#include <chrono>
#include <memory>

namespace tarvex {

class AboutDialog;
class AirlineEditor;
class ConditionEditor;
class DesktopOpener;
class HelpWindow;
class MainWindow;
class ProgressDialog;
class SettingsDialog;
class UserPrompts;

// The desktop program's objects, made once each in the order the program starts and kept
// to the end: the register, then the main window, which shows at once and opens the
// register on its first showing, then the windows its commands open. The condition
// editor comes before the airline editor, which opens it. In the user's data folder of an
// installed program the register is made first when there is none, and the user told so.
class DesktopProgram {
public:
    DesktopProgram(const AppFolder& folder, UserPrompts& prompts, DesktopOpener& opener);

    // How long a window waits, under the busy cursor, while another program writes the register,
    // before it says the register is busy: long enough for an ordinary write, short enough to wait out.
    static constexpr std::chrono::milliseconds kBusyTimeout{3000};
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    RegisterStore& store() { return m_store; }
    MainWindow& mainWindow() { return *m_mainWindow; }
    ConditionEditor& conditionEditor() { return *m_conditionEditor; }
    AirlineEditor& airlineEditor() { return *m_airlineEditor; }
    SettingsDialog& settings() { return *m_settings; }
    ProgressDialog& progress() { return *m_progress; }
    AboutDialog& about() { return *m_about; }
    HelpWindow& help() { return *m_help; }

private:
    RegisterStore m_store;
    // Destroyed in reverse order, each before the main window that parents it.
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<ConditionEditor> m_conditionEditor;
    std::unique_ptr<AirlineEditor> m_airlineEditor;
    std::unique_ptr<SettingsDialog> m_settings;
    std::unique_ptr<ProgressDialog> m_progress;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<HelpWindow> m_help;
};

} // namespace tarvex
