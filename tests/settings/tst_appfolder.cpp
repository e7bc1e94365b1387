// Where the programs find their data and their help page.

#include "common/tarvexerror.h"
#include "settings/appfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvex;

Q_DECLARE_METATYPE(tarvex::AppFolderKind)

namespace {

// Makes each entry under root: a name ending in "/" is a folder, any other an empty file.
void makeEntries(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
}

} // namespace

class AppFolderTest : public QObject {
    Q_OBJECT

private slots:
    void folderIsAbsoluteWithOneTrailingSlash_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << u"/opt/tarvex"_s << u"/opt/tarvex/"_s;
        QTest::newRow("trailing slash") << u"/opt/tarvex/"_s << u"/opt/tarvex/"_s;
        QTest::newRow("dot segments") << u"/opt/x/../tarvex/."_s << u"/opt/tarvex/"_s;
        QTest::newRow("relative") << u"appdir"_s << QDir::currentPath() + u"/appdir/"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
    }
    void folderIsAbsoluteWithOneTrailingSlash() {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(appFolder(given), expected);
    }

    // In the paths, "<root>" stands for a temporary folder holding bin/ (the executable's
    // folder) and home/; xdgDataHome is written as given.
    void dataStaysBesideACopiedProgramElseGoesToTheUsersDataFolder_data() {
        QTest::addColumn<QStringList>("besideExecutable");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<AppFolderKind>("kind");
        QTest::addColumn<QString>("expected");
        const QString own = u"<root>/bin/"_s;
        const QString userDefault = u"<root>/home/.local/share/tarvex/"_s;
        QTest::newRow("DB folder") << QStringList{u"DB/"_s} << u""_s << AppFolderKind::Portable << own;
        QTest::newRow("options.ini") << QStringList{u"options.ini"_s} << u""_s << AppFolderKind::Portable << own;
        QTest::newRow("copied folder wins over XDG_DATA_HOME")
            << QStringList{u"DB/Tarvex.mdb"_s, u"options.ini"_s, u"Files/"_s} << u"<root>/xdg"_s
            << AppFolderKind::Portable << own;
        QTest::newRow("installed") << QStringList{u"tarvex"_s, u"tarvex-cli"_s} << u""_s << AppFolderKind::UserData
                                   << userDefault;
        QTest::newRow("Files alone is no app folder")
            << QStringList{u"Files/"_s} << u""_s << AppFolderKind::UserData << userDefault;
        QTest::newRow("a file named DB is no register folder")
            << QStringList{u"DB"_s} << u""_s << AppFolderKind::UserData << userDefault;
        QTest::newRow("XDG_DATA_HOME") << QStringList{} << u"<root>/xdg"_s << AppFolderKind::UserData
                                       << u"<root>/xdg/tarvex/"_s;
        QTest::newRow("XDG_DATA_HOME with trailing slash")
            << QStringList{} << u"<root>/xdg/"_s << AppFolderKind::UserData << u"<root>/xdg/tarvex/"_s;
        QTest::newRow("relative XDG_DATA_HOME is ignored")
            << QStringList{} << u"xdg"_s << AppFolderKind::UserData << userDefault;
    }
    void dataStaysBesideACopiedProgramElseGoesToTheUsersDataFolder() {
        QFETCH(QStringList, besideExecutable);
        QFETCH(QString, xdgDataHome);
        QFETCH(AppFolderKind, kind);
        QFETCH(QString, expected);
        QTemporaryDir root;
        makeEntries(root.path(), {u"bin/"_s, u"home/"_s});
        makeEntries(root.path() + u"/bin"_s, besideExecutable);

        const AppFolder found = locateAppFolder(root.path() + u"/bin"_s, xdgDataHome.replace(u"<root>"_s, root.path()),
                                                root.path() + u"/home"_s);
        QCOMPARE(found.kind, kind);
        QCOMPARE(found.path, expected.replace(u"<root>"_s, root.path()));
        // Finding the folder makes nothing.
        QVERIFY(!QFileInfo::exists(found.path) || found.kind == AppFolderKind::Portable);
    }

    void runningProgramReadsItsEnvironment() {
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedXdg = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_DATA_HOME");
        const AppFolder byHome = locateAppFolder();
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + u"/data"_s));
        const AppFolder byXdg = locateAppFolder();
        qputenv("HOME", savedHome);
        if (savedXdg.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedXdg);

        // The test's own folder holds neither DB/ nor options.ini.
        QCOMPARE(byHome.kind, AppFolderKind::UserData);
        QCOMPARE(byHome.path, home.path() + u"/.local/share/tarvex/"_s);
        QCOMPARE(byXdg.path, home.path() + u"/data/tarvex/"_s);
    }

    void outputFolderIsMadeOnceAndAFailureIsReported() {
        QTemporaryDir root;
        const QString appDir = root.path() + u"/new/tarvex/"_s;
        createOutputFolder(appDir);
        QVERIFY(QFileInfo(appDir + u"Files"_s).isDir());
        createOutputFolder(appDir); // already there
        QVERIFY(QFileInfo(appDir + u"Files"_s).isDir());

        makeEntries(root.path(), {u"blocked"_s}); // a file where the folder should go
        try {
            createOutputFolder(root.path() + u"/blocked/"_s);
            QFAIL("no error for a folder that cannot be made");
        } catch (const TarvexError& error) {
            QCOMPARE(error.message(), u"Не удалось создать папку %1/blocked/Files"_s.arg(root.path()));
        }
    }

    // Pages are written as paths from the executable's folder; the installed one is where
    // cmake --install puts it.
    void helpPageBesideTheExecutableElseInstalled_data() {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("expected");
        const QString beside = u"Tarvex_Help.html"_s;
        const QString installed = QStringLiteral(TARVEX_DATA_FROM_BINDIR "/Tarvex_Help.html");
        QVERIFY(installed.startsWith(u"../"_s)); // outside the executable's folder
        QTest::newRow("copied program folder") << QStringList{beside} << beside;
        QTest::newRow("installed") << QStringList{installed} << installed;
        QTest::newRow("both: the copied folder's own") << QStringList{beside, installed} << beside;
        QTest::newRow("none: reported beside the executable") << QStringList{} << beside;
    }
    void helpPageBesideTheExecutableElseInstalled() {
        QFETCH(QStringList, pages);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        const QString bin = prefix.path() + u"/bin"_s;
        makeEntries(bin, QStringList{u"tarvex"_s} + pages);
        QCOMPARE(helpPagePath(bin), QDir::cleanPath(bin + u'/' + expected));
    }
};

QTEST_MAIN(AppFolderTest)
#include "tst_appfolder.moc"
