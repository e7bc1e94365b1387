#include "settings/options.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tarvex::Options;
using tarvex::OptionValues;
using tarvex::OutputNaming;

class TestOptionValues : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup() { QFile::remove(appDir() + u"options.ini"_s); }

    void noFileGivesTheDefaults() {
        const OptionValues stored = Options(appDir()).values();
        const QString files = appDir() + u"Files"_s;
        QCOMPARE(stored.header, QString());
        QCOMPARE(stored.mainFont, 8);
        QCOMPARE(stored.scriptPrefix, QString());
        QCOMPARE(stored.scriptsPath, files);
        QCOMPARE(stored.smartKey, (OutputNaming{files, u"Tarvex-Rules"_s, false}));
        QCOMPARE(stored.smartFlow, (OutputNaming{files, u"Tarvex-SmartFlow"_s, false}));
        QCOMPARE(stored.workbook, (OutputNaming{files, u"Tarvex_comissions"_s, false}));
        QVERIFY(stored.tickedTasks.isEmpty());
        QVERIFY(stored.registerEngine == tarvex::RegisterEngine::Sqlite);
        QCOMPARE(stored.serverAddress, tarvex::ServerAddress());
    }

    void scriptFolderComesFromTheSmartKeyKey() {
        writeOptions("[script]\npath=/sk\n[flow]\npath=/sf\n");
        QCOMPARE(Options(appDir()).values().scriptsPath, u"/sk"_s);
    }

    void tasksNamingTaskBoxesOnly_data() {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QStringList>("ticked");
        QTest::newRow("file order") << QByteArray("1=cbCSV\n2=cbSK\n") << QStringList{u"cbCSV"_s, u"cbSK"_s};
        QTest::newRow("unknown names ignored") << QByteArray("1=xxSFrmk\n2=cbsf\n3=cbXL\n") << QStringList{u"cbXL"_s};
        QTest::newRow("a name twice ticks once") << QByteArray("1=cbSF\n2=cbSF\n") << QStringList{u"cbSF"_s};
    }
    void tasksNamingTaskBoxesOnly() {
        QFETCH(QByteArray, group);
        QFETCH(QStringList, ticked);
        writeOptions("[group]\n" + group);
        QCOMPARE(Options(appDir()).values().tickedTasks, ticked);
    }

    // What is read back and saved unchanged is what was stored.
    void savedSettingsReadBackUnchanged() {
        const OptionValues saved{u"Офис"_s,
                                 12,
                                 u"RT"_s,
                                 u"Out"_s,
                                 {QString(), u"SK"_s, true},
                                 {QString(), u"SF"_s, false},
                                 {u"/x"_s, u"WB"_s, true},
                                 {u"cbSF"_s, u"cbXL"_s},
                                 {120, 95},
                                 30,
                                 tarvex::RegisterEngine::Postgres,
                                 {u"/run/postgresql"_s, 5432, u"реестр"_s, u"менеджер"_s, u"prefer"_s}};
        Options options(appDir());
        QVERIFY(options.save(saved));
        const OptionValues stored = options.values();
        QCOMPARE(stored.header, saved.header);
        QCOMPARE(stored.mainFont, saved.mainFont);
        QCOMPARE(stored.scriptPrefix, saved.scriptPrefix);
        QCOMPARE(stored.scriptsPath, saved.scriptsPath);
        QCOMPARE(stored.smartKey, (OutputNaming{u"Out"_s, u"SK"_s, true}));
        QCOMPARE(stored.smartFlow, (OutputNaming{u"Out"_s, u"SF"_s, false}));
        QCOMPARE(stored.workbook, saved.workbook);
        QCOMPARE(stored.tickedTasks, saved.tickedTasks);
        QCOMPARE(stored.expiryWarningDays, saved.expiryWarningDays);
        QVERIFY(stored.registerEngine == saved.registerEngine);
        QCOMPARE(stored.serverAddress, saved.serverAddress);
    }

    // A port left to libpq is written empty and read back as unset.
    void unsetPortIsWrittenEmpty() {
        OptionValues saved;
        saved.serverAddress.host = u"db"_s;
        Options options(appDir());
        QVERIFY(options.save(saved));
        QFile file(options.iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("[db]\r\ndriver=sqlite\r\nhost=db\r\nport=\r\nname=\r\nuser=\r\nsslmode=\r\n"));
        QCOMPARE(options.values().serverAddress, saved.serverAddress);
    }

private:
    QString appDir() const { return m_dir.path() + u'/'; }
    void writeOptions(const QByteArray& bytes) {
        QFile file(appDir() + u"options.ini"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QTemporaryDir m_dir;
};

QTEST_APPLESS_MAIN(TestOptionValues)
#include "tst_optionvalues.moc"
