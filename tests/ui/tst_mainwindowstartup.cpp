// The desktop program's start: the order its windows are made in and what the main window shows.

#include "support/registerfixture.h"
#include "support/registerlock.h"
#include "ui/aboutdialog.h"
#include "ui/airlineeditor.h"
#include "ui/conditioneditor.h"
#include "ui/desktopprogram.h"
#include "ui/helpwindow.h"
#include "ui/mainwindow.h"
#include "ui/progressdialog.h"
#include "ui/scriptedprompts.h"
#include "ui/settingsdialog.h"

#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

class MainWindowStartUpTest : public QObject {
    Q_OBJECT

private slots:
    void windowsAreMadeOnceInStartOrder() {
        TempAppFolder folder;
        {
            RegisterStore data;
            data.open(folder.appDir());
            addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s));
            addAirline(data, airline(u"S7"_s, u"Сибирь"_s));
        }
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder.appDir(), prompts, opener);
        MainWindow& main = program.mainWindow();

        QVERIFY(main.isVisible());
        QCOMPARE(main.windowTitle(), u"Tarvex - агентская комиссия авиакомпаний"_s);
        QCOMPARE(main.findChild<QLabel*>(u"statusAirlineCount"_s)->text(), u"Авиакомпаний: 2"_s);
        QVERIFY(program.store().isOpen());
        QVERIFY(prompts.shown().isEmpty());

        // The windows the commands open follow the main window, in this order, one of each.
        QList<QObject*> dialogs;
        for (QObject* child : main.children()) {
            if (qobject_cast<QDialog*>(child))
                dialogs << child;
        }
        const QList<QObject*> expected = {&program.conditionEditor(), &program.airlineEditor(), &program.settings(),
                                          &program.progress(), &program.about()};
        QCOMPARE(dialogs, expected);
        for (QObject* dialog : dialogs)
            QVERIFY(!static_cast<QWidget*>(dialog)->isVisible());
        QVERIFY(!program.help().isVisible());
        QVERIFY(program.help().isWindow());
    }

    void closingTheMainWindowClosesTheHelpWindow() {
        TempAppFolder folder;
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder.appDir(), prompts, opener);
        program.help().show();
        QVERIFY(program.help().isVisible());
        program.mainWindow().findChild<QAction*>(u"acExit"_s)->trigger();
        QVERIFY(!program.mainWindow().isVisible());
        QVERIFY(!program.help().isVisible());
    }

    // The program's windows wait a few seconds for another program's write, not the ten seconds and more a
    // command-line run may wait, then say that the register is busy.
    void aWindowWaitsOnlyAFewSecondsForAnotherProgram() {
        TempAppFolder folder;
        {
            RegisterStore data;
            data.open(folder.appDir());
            addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s));
        }
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder.appDir(), prompts, opener);
        RegisterLock other(folder.databasePath(), RegisterLock::Kind::Write);
        QVERIFY(other.isHeld());
        prompts.answerNext(UserPrompts::Answer::Yes);
        QElapsedTimer waited;
        waited.start();
        program.mainWindow().findChild<QAction*>(u"acDelAirComp"_s)->trigger();
        const qint64 elapsed = waited.elapsed();
        QCOMPARE(prompts.shown().size(), 2);
        QVERIFY2(prompts.shown().last().text.startsWith(u"Реестр занят другой программой"_s),
                 qPrintable(prompts.shown().last().text));
        QVERIFY2(elapsed >= 1000 && elapsed < 8000, qPrintable(QString::number(elapsed)));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QCOMPARE(program.store().airlines().recordCount(), 1);
    }

    void missingRegisterIsReportedAndTheProgramStillStarts() {
        TempAppFolder folder;
        QVERIFY(QFile::remove(folder.databasePath()));
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder.appDir(), prompts, opener);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().kind, u"error"_s);
        QVERIFY(prompts.shown().first().text.contains(folder.databasePath()));
        QVERIFY(program.mainWindow().isVisible());
        QVERIFY(!program.store().isOpen());
    }
};

QTEST_MAIN(MainWindowStartUpTest)
#include "tst_mainwindowstartup.moc"
