#include "desktopprogram.h"

#include "aboutdialog.h"
#include "airlineeditor.h"
#include "conditioneditor.h"
#include "firststart.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "progressdialog.h"
#include "settingsdialog.h"

#include <QCoreApplication>

namespace tarvex {

DesktopProgram::DesktopProgram(const AppFolder& folder, UserPrompts& prompts, DesktopOpener& opener) {
    const QString& appDir = folder.path;
    const FirstStart firstStart(folder);
    m_store.setBusyTimeout(kBusyTimeout);
    m_mainWindow = std::make_unique<MainWindow>(appDir, m_store, prompts);
    m_mainWindow->show();

    MainWindow* main = m_mainWindow.get();
    m_conditionEditor = std::make_unique<ConditionEditor>(m_store, prompts, main);
    m_airlineEditor = std::make_unique<AirlineEditor>(m_store, *m_conditionEditor, prompts, main);
    m_settings = std::make_unique<SettingsDialog>(appDir, prompts, main);
    m_progress = std::make_unique<ProgressDialog>(appDir, opener, prompts, main);
    m_about = std::make_unique<AboutDialog>(appDir, main);
    m_help = std::make_unique<HelpWindow>(helpPagePath(), prompts);
    main->setCompanions({m_airlineEditor.get(), m_settings.get(), m_progress.get(), m_about.get(), m_help.get()});

    // Closing the main window ends the program, the help window with it.
    QObject::connect(main, &MainWindow::closing, m_help.get(), [help = m_help.get()] {
        help->close();
        QCoreApplication::quit();
    });
    firstStart.tell(prompts, main);
}

DesktopProgram::~DesktopProgram() = default;

} // namespace tarvex
