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
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

Q_DECLARE_METATYPE(tarvex::AppFolderKind)

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

AppFolder givenFolder(const TempAppFolder& folder) {
    return {folder.appDir(), AppFolderKind::Given};
}

} // namespace

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
        DesktopProgram program(givenFolder(folder), prompts, opener);
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
        DesktopProgram program(givenFolder(folder), prompts, opener);
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
        DesktopProgram program(givenFolder(folder), prompts, opener);
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
        DesktopProgram program(givenFolder(folder), prompts, opener);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().kind, u"error"_s);
        QVERIFY(prompts.shown().first().text.contains(folder.databasePath()));
        QVERIFY(program.mainWindow().isVisible());
        QVERIFY(!program.store().isOpen());
    }

    // An office's settings, handed out before the first start, name the register on a server: no
    // register file is made, and the window tries the server.
    void usersDataFolderWhoseSettingsNameAServerGetsNoRegisterFile() {
        QTemporaryDir home;
        const AppFolder folder{home.path() + u"/.local/share/tarvex/"_s, AppFolderKind::UserData};
        QVERIFY(QDir().mkpath(folder.path));
        writeFile(folder.path + u"options.ini"_s,
                  "[db]\ndriver=postgresql\nhost=" + QFile::encodeName(home.path()) + "\nport=1\nname=tarvex\n");
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder, prompts, opener);
        QVERIFY(!QFileInfo::exists(RegisterStore::databasePath(folder.path)));
        QVERIFY(QFileInfo(folder.path + u"Files"_s).isDir());
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().kind, u"error"_s);
        QVERIFY2(prompts.shown().first().text.contains(u"сервер"_s), qPrintable(prompts.shown().first().text));
        QVERIFY(!program.store().isOpen());
    }

    void usersDataFolderGetsAnEmptyRegisterOnTheFirstStartOnly() {
        QTemporaryDir home;
        const AppFolder folder{home.path() + u"/.local/share/tarvex/"_s, AppFolderKind::UserData};
        const QString database = RegisterStore::databasePath(folder.path);
        ScriptedPrompts prompts;
        RecordingOpener opener;
        {
            DesktopProgram program(folder, prompts, opener);
            QVERIFY(program.store().isOpen());
            QCOMPARE(program.mainWindow().findChild<QLabel*>(u"statusAirlineCount"_s)->text(), u"Авиакомпаний: 0"_s);
            QVERIFY(QFileInfo(folder.path + u"Files"_s).isDir());
            QCOMPARE(prompts.shown().size(), 1);
            QCOMPARE(prompts.shown().first().kind, u"inform"_s);
            QCOMPARE(prompts.shown().first().title, u"Новый реестр"_s);
            QCOMPARE(prompts.shown().first().text,
                     u"Создан новый пустой реестр авиакомпаний:\n%1\n\nПапка данных программы — %2. В ней хранятся "
                     u"реестр (DB/Tarvex.mdb), настройки (options.ini) и сформированные файлы (папка Files)."_s.arg(
                         database, home.path() + u"/.local/share/tarvex"_s));
            addAirline(program.store(), airline(u"SU"_s, u"Аэрофлот"_s));
        }

        prompts.clear();
        DesktopProgram again(folder, prompts, opener);
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(again.store().airlines().recordCount(), 1);
    }

    void usersDataFolderThatCannotBeMadeIsReported() {
        QTemporaryDir home;
        writeFile(home.path() + u"/.local"_s, "a file where the folder should be");
        const AppFolder folder{home.path() + u"/.local/share/tarvex/"_s, AppFolderKind::UserData};
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program(folder, prompts, opener);
        QVERIFY(program.mainWindow().isVisible());
        QVERIFY(!program.store().isOpen());
        QCOMPARE(prompts.shown().size(), 2); // the register that did not open, then why it is missing
        QCOMPARE(prompts.shown().last().kind, u"error"_s);
        QVERIFY2(prompts.shown().last().text.contains(folder.path + u"DB"_s), qPrintable(prompts.shown().last().text));
    }

    // A copied program folder, or one named on the command line, never gets a register it did not have.
    void otherFoldersGetNoRegister_data() {
        QTest::addColumn<AppFolderKind>("kind");
        QTest::newRow("copied program folder") << AppFolderKind::Portable;
        QTest::newRow("named folder") << AppFolderKind::Given;
    }
    void otherFoldersGetNoRegister() {
        QFETCH(AppFolderKind, kind);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        RecordingOpener opener;
        DesktopProgram program({dir.path() + u'/', kind}, prompts, opener);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().kind, u"error"_s);
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(MainWindowStartUpTest)
#include "tst_mainwindowstartup.moc"
