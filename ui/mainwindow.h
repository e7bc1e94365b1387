#pragma once

#include "generation/createalltask.h"
#include "generation/runobserver.h"
#include "mainwindowactions.h"
#include "rundisplay.h"

#include <QDate>
#include <QMainWindow>
#include <QSet>
#include <QString>

#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tarvex {

class AboutDialog;
class AirlineEditor;
class AirlineGrid;
class HelpWindow;
class RegisterStore;
class SettingsDialog;
class UserPrompts;
struct GenerationRequest;
struct RunResult;

// The program's working window: the register of airlines in a grid with a search box,
// and every command: editing airlines, generating the outputs, settings, help, About.
// Its first showing opens the register, fills the status bar and applies the title
// and grid font of the settings.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The windows the commands open; they are made after the main window has shown.
    struct Companions {
        AirlineEditor* airlineEditor = nullptr;
        SettingsDialog* settings = nullptr;
        RunDisplay* runDisplay = nullptr; // the progress window
        AboutDialog* about = nullptr;
        HelpWindow* help = nullptr;
    };

    // appDir is the app folder with its trailing "/".
    MainWindow(QString appDir, RegisterStore& store, UserPrompts& prompts, QWidget* parent = nullptr);

    void setCompanions(const Companions& companions);

    static QString baseTitle();

signals:
    // The window was closed or "Выход" chosen: the program ends.
    void closing();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void connectCommands();
    void nameUnnamedControls();

    void startUp();
    void openRegister();
    void showReadOnly();
    void applySettings();
    void updateCommandStates();
    void showAirlineCount();
    // Marks the airlines whose contract or a condition ends within the days of the
    // settings, or has ended, and counts them in the status bar.
    void showEndingMarks();
    // Shows the error of opening the register when it is not open; true when it is.
    bool registerReady();

    void resetAirlineView();
    void search(const QString& text);
    void showOnlyAirlinesWithFindings(bool on);
    void showOnlyAirlinesEnding(bool on);
    // Narrows the airlines in code order to those with the ids; `command` is ticked when done.
    void showOnly(QAction* command, const std::function<QSet<qint64>()>& airlineIds);
    // The day the outputs are written as of: the day in the toolbar's box.
    QDate generationDay() const;
    void addAirline();
    void editAirline();
    void deleteAirline();
    void showAirlineEditor(bool conditionsUsable);

    void createScript(OutputKind kind, const QString& product);
    void createWorkbook();
    void exportAirlines();
    void createAll();
    void generate(GenerationRequest request);
    void report(const RunResult& result);

    const QString m_appDir;
    RegisterStore& m_store;
    UserPrompts& m_prompts;
    Companions m_companions;
    RunObserver m_quietRun;
    QString m_openError;
    bool m_shownBefore = false;

    MainWindowActions m_actions;
    QToolButton* m_createButton = nullptr;
    QLineEdit* m_searchBox = nullptr;
    AirlineGrid* m_grid = nullptr;
    QLabel* m_hintPanel = nullptr;
    QLabel* m_countPanel = nullptr;
    QLabel* m_endingPanel = nullptr;
    QDateEdit* m_dayBox = nullptr;
    QSet<qint64> m_endingAirlines;
    QLabel* m_datePanel = nullptr;
};

} // namespace tarvex
