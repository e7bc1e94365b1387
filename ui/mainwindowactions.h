#pragma once

#include <QString>

class QAction;
class QMenu;
class QObject;

namespace tarvex {

// The commands of the main window. Each carries its described object name, caption,
// hint (as tooltip and status tip) and category (the dynamic property "category").
struct MainWindowActions {
    QAction* addAirline;      // acAddAirComp
    QAction* editAirline;     // acEditRules
    QAction* deleteAirline;   // acDelAirComp
    QAction* createSmartFlow; // acCreateSmartFlow
    QAction* createSmartKey;  // acCreateRules, hidden: Create all writes the Smart Key when options.ini lists it
    QAction* createWorkbook;  // acCreateExcell
    QAction* exportAirlines;  // acExportAir
    QAction* createAll;       // acCreateAll
    QAction* showFindings;    // acShowFindings, checkable: only the airlines the script check finds fault with
    QAction* showEnding;      // acShowEnding, checkable: only the airlines whose contract or a condition ends soon
    QAction* openCreateMenu;  // acCreateOpen: the toolbar's drop-down of generation commands
    QAction* settings;        // acSettings
    QAction* help;            // acHelp
    QAction* about;           // acAbout
    QAction* exit;            // acExit

    // Creates every command as a child of owner.
    static MainWindowActions create(QObject* owner);
};

// The toolbar's drop-down gives the two script commands other accelerator letters than the
// menu does: it holds stand-ins that run the command and follow its visibility.
QAction* standIn(QAction* command, const QString& caption, QMenu* menu);

} // namespace tarvex
