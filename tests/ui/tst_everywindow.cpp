// Every window of the desktop program as a user meets it: its texts are shown whole; assistive technology reads
// its title as its name and its labels as they are shown; Tab and Shift+Tab walk all of its controls and leave each.

#include "accessibility.h"
#include "layoutcheck.h"
#include "scriptedprompts.h"
#include "support/registerfixture.h"

#include "generation/generationrun.h"
#include "store/airlineselection.h"
#include "ui/aboutdialog.h"
#include "ui/airlineeditor.h"
#include "ui/conditioneditor.h"
#include "ui/desktopprogram.h"
#include "ui/helpwindow.h"
#include "ui/mainwindow.h"
#include "ui/progressdialog.h"
#include "ui/settingsdialog.h"

#include <QFile>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

const QString kShippedHelpPage = QStringLiteral(TARVEX_TEST_DATA_DIR "/../../resources/Tarvex_Help.html");

} // namespace

class EveryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempAppFolder> m_folder;
    ScriptedPrompts m_prompts;
    RecordingOpener m_opener;
    std::unique_ptr<DesktopProgram> m_program;
    std::unique_ptr<HelpWindow> m_help; // the page shipped with the sources, not one beside the test
    qint64 m_airlineId = 0;

    // One row per window, and per page of the settings window.
    static void addWindowRows() {
        QTest::addColumn<QString>("window");
        for (const char* window :
             {"main window", "airline editor", "rule editor, percent", "rule editor, sum", "settings 0", "settings 1",
              "settings 2", "settings 3", "About", "help", "progress", "completion dialog"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }

    // Shows the window in the state its command leaves it in.
    QWidget* showWindow(const QString& window) {
        DesktopProgram& program = *m_program;
        RegisterStore& store = program.store();
        if (window == u"main window"_s)
            return &program.mainWindow();
        if (window == u"airline editor"_s) {
            if (!selectAirline(store.airlines(), m_airlineId))
                return nullptr;
            store.airlines().edit();
            program.airlineEditor().setConditionControlsEnabled(true);
            program.airlineEditor().show();
            return &program.airlineEditor();
        }
        if (window.startsWith(u"rule editor"_s)) {
            TableCursor& conditions = store.conditions();
            conditions.setFilter(EqualsFilter{u"ComId"_s, m_airlineId});
            conditions.setFiltered(true);
            conditions.setCurrentRow(window.endsWith(u"sum"_s) ? 1 : 0);
            conditions.edit();
            program.conditionEditor().setAirlineId(m_airlineId);
            program.conditionEditor().show();
            return &program.conditionEditor();
        }
        if (window.startsWith(u"settings "_s)) {
            program.settings().show();
            auto* pages = program.settings().findChild<QTreeWidget*>(u"tvPages"_s);
            pages->setCurrentItem(pages->topLevelItem(window.back().digitValue()));
            return &program.settings();
        }
        if (window == u"About"_s) {
            program.about().show();
            return &program.about();
        }
        if (window == u"help"_s) {
            m_help = std::make_unique<HelpWindow>(kShippedHelpPage, m_prompts);
            m_help->openHelp(nullptr);
            return m_help.get();
        }
        if (window == u"progress"_s) {
            program.progress().runStarted();
            program.progress().progressChanged(40);
            return &program.progress();
        }
        if (window == u"completion dialog"_s) {
            const QString file = m_folder->filesDir() + u"/Tarvex-SmartFlow.txt"_s;
            writeFile(file, "script");
            program.progress().runStarted();
            program.progress().runEnded();
            RunResult result{RunResult::Status::Written, file, {}};
            result.kind = OutputKind::SmartFlow;
            m_prompts.whenDialog([](QDialog&) {}); // the test looks at it below, without its modal loop
            program.progress().showWritten(result);
            program.progress().show();
            return &program.progress();
        }
        return nullptr;
    }

private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        m_folder->writeOptions(u"[params]\r\nheader=Агентство Восток\r\n"_s.toUtf8());
        {
            RegisterStore data;
            data.open(m_folder->appDir());
            // No contract date: an empty date box is one the keyboard must get out of.
            m_airlineId = addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s),
                                     {percentCondition(u"Эконом"_s, "5"), sumCondition(u"Бизнес"_s, 10, u"EUR"_s)});
            addAirline(data, airline(u"S7"_s, u"Сибирь"_s));
        }
        m_prompts.clear();
        m_program =
            std::make_unique<DesktopProgram>(AppFolder{m_folder->appDir(), AppFolderKind::Given}, m_prompts, m_opener);
        QVERIFY(m_program->store().isOpen());
    }
    void cleanup() {
        m_help.reset();
        if (m_program) {
            m_program->airlineEditor().reject();
            m_program->conditionEditor().reject();
        }
        m_program.reset();
        m_folder.reset();
    }

    void textsAreShownWhole_data() { addWindowRows(); }
    void textsAreShownWhole() {
        QFETCH(QString, window);
        QWidget* shown = showWindow(window);
        QVERIFY(shown);
        const QStringList cut = textsNotShownWhole(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; "_s)));
    }

    void nameIsTheTitle_data() { addWindowRows(); }
    void nameIsTheTitle() {
        QFETCH(QString, window);
        QWidget* shown = showWindow(window);
        QVERIFY(shown);
        QVERIFY(!shown->windowTitle().isEmpty());
        QCOMPARE(spokenName(shown), shown->windowTitle());
        QVERIFY(m_prompts.shown().isEmpty());
    }

    void labelsAreReadAsShown_data() { addWindowRows(); }
    void labelsAreReadAsShown() {
        QFETCH(QString, window);
        QWidget* shown = showWindow(window);
        QVERIFY(shown);
        const QStringList wrong = labelsNotReadAsShown(shown);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
    }

    void tabWalksEveryControl_data() { addWindowRows(); }
    void tabWalksEveryControl() {
        QFETCH(QString, window);
        QWidget* shown = showWindow(window);
        QVERIFY(shown);
        for (bool forward : {true, false}) {
            const QString fault = focusWalkFault(shown, forward);
            QVERIFY2(fault.isEmpty(), qPrintable((forward ? u"Tab: "_s : u"Shift+Tab: "_s) + fault));
        }
    }
};

QTEST_MAIN(EveryWindowTest)
#include "tst_everywindow.moc"
