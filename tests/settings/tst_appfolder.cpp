// The app folder as both programs name it.

#include "settings/appfolder.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tarvex;

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

    void executableFolderIsTheProgramsOwn() {
        QCOMPARE(executableAppFolder(), QCoreApplication::applicationDirPath() + u'/');
    }
};

QTEST_MAIN(AppFolderTest)
#include "tst_appfolder.moc"
