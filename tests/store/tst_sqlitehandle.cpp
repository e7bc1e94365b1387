#include "store/sqlitehandle.h"
#include "store/storeerror.h"
#include "support/registerfixture.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

class TestSqliteHandle : public QObject {
    Q_OBJECT
private slots:
    // Qt's driver here is built on the system SQLite the program links, so the handle
    // of an open register is handed out as the driver's own.
    void openRegisterGivesTheDriversHandle() {
        TempAppFolder folder;
        RegisterStore data;
        data.open(folder.appDir());
        const QVariant driverHandle = data.connection().driver()->handle();
        QCOMPARE(driverHandle.typeName(), "sqlite3*");
        QCOMPARE(sqliteHandle(data.connection()), *static_cast<sqlite3* const*>(driverHandle.constData()));
    }

    void connectionNotOpenIsRefused() {
        const QString name = u"tarvex-handle-test"_s;
        {
            QSqlDatabase closed = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            QVERIFY_THROWS_EXCEPTION(StoreError, sqliteHandle(closed));
            QVERIFY_THROWS_EXCEPTION(StoreError, sqliteHandle(QSqlDatabase()));
        }
        QSqlDatabase::removeDatabase(name);
    }
};

QTEST_GUILESS_MAIN(TestSqliteHandle)
#include "tst_sqlitehandle.moc"
