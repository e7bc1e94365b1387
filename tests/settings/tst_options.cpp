#include "common/systemerror.h"
#include "settings/options.h"
#include "settings/settingserror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>

using namespace Qt::StringLiterals;
using tarvex::Options;
using tarvex::OptionValues;
using tarvex::OutputNaming;
using tarvex::RegisterEngine;
using tarvex::ServerAddress;

Q_DECLARE_METATYPE(tarvex::RegisterEngine)
Q_DECLARE_METATYPE(tarvex::ServerAddress)

namespace {

QString fixturePath(const QString& name) {
    return QStringLiteral(TARVEX_TEST_DATA_DIR "/settings/") + name;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void noFileGivesDefaults();
    void readsHandEditedFile();
    void savesEveryKeyInOrder();
    void saveOverHandEditedFileKeepsOtherLines();
    void failedSaveNamesTheFile();
    void outputFoldersAreAbsolute_data();
    void outputFoldersAreAbsolute();
    void readsTheRegisterLocation_data();
    void readsTheRegisterLocation();
    void malformedRegisterLocationNamesKeyAndValue_data();
    void malformedRegisterLocationNamesKeyAndValue();

private:
    QString appDir() const { return m_dir->path() + u'/'; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOptions::noFileGivesDefaults() {
    const Options options(appDir());
    const QString files = appDir() + u"Files"_s;

    QCOMPARE(options.iniPath(), appDir() + u"options.ini"_s);
    QCOMPARE(options.defaultOutputFolder(), files);
    QCOMPARE(options.header(), QString());
    QCOMPARE(options.mainFont(), 8);
    QCOMPARE(options.scriptPrefix(), QString());
    QCOMPARE(options.smartKeyNaming(), (OutputNaming{files, u"Tarvex-Rules"_s, false, u"script"_s}));
    QCOMPARE(options.smartFlowNaming(), (OutputNaming{files, u"Tarvex-SmartFlow"_s, false, u"flow"_s}));
    QCOMPARE(options.workbookNaming(), (OutputNaming{files, u"Tarvex_comissions"_s, false, u"xls"_s}));
    QVERIFY(options.groupTasks().isEmpty());
    QCOMPARE(options.registerEngine(), RegisterEngine::Sqlite);
    QCOMPARE(options.serverAddress(), ServerAddress());
    QVERIFY(!QFile::exists(options.iniPath()));
}

void TestOptions::readsHandEditedFile() {
    QVERIFY(QFile::copy(fixturePath(u"options-hand.ini"_s), appDir() + u"options.ini"_s));
    const Options options(appDir());

    QCOMPARE(options.header(), u"Касса 3"_s);
    QCOMPARE(options.mainFont(), 8); // "12pt" is no integer
    QCOMPARE(options.scriptPrefix(), u"RT;RM"_s);
    QCOMPARE(options.smartKeyNaming(), (OutputNaming{u"/srv/scripts"_s, u"Tarvex-Rules"_s, true, u"script"_s}));
    QCOMPARE(options.smartFlowNaming(), (OutputNaming{u"/srv/other"_s, u"Flow-Office"_s, false, u"flow"_s})); // date=2
    QCOMPARE(options.workbookNaming(),
             (OutputNaming{u"/srv/Отчёты"_s, u"Tarvex_comissions"_s, false, u"xls"_s})); // date=word
    QCOMPARE(options.groupTasks(), (QStringList{u"cbSFrmk"_s, u"cbXL"_s}));
}

void TestOptions::savesEveryKeyInOrder() {
    OptionValues settings;
    settings.header = u"Офис 2"_s;
    settings.mainFont = 12;
    settings.scriptsPath = u"/opt/tarvex/Files"_s;
    settings.smartKey = {u"/not/used"_s, u"Tarvex-Rules"_s, false};
    settings.smartFlow = {u"/not/used"_s, u"Tarvex-SmartFlow"_s, true};
    settings.workbook = {u"/srv/Отчёты"_s, u"Tarvex_comissions"_s, false};
    settings.tickedTasks = {u"cbCSV"_s, u"cbSFrmk"_s}; // written in the fixed order of the boxes
    settings.registerEngine = RegisterEngine::Postgres;
    settings.serverAddress = {u"db.office.local"_s, 5433, u"tarvex"_s, u"agent"_s, u"require"_s};

    Options options(appDir());
    QVERIFY(options.save(settings));
    QVERIFY(options.errorString().isEmpty());

    // Each key is added where the write before it left the file, so the layout shows the order of the writes.
    QCOMPARE(readBytes(options.iniPath()), readBytes(fixturePath(u"saved-fresh.ini"_s)));
    QCOMPARE(options.smartFlowNaming().path, u"/opt/tarvex/Files"_s);
    QCOMPARE(options.groupTasks(), (QStringList{u"cbSFrmk"_s, u"cbCSV"_s}));
}

void TestOptions::saveOverHandEditedFileKeepsOtherLines() {
    QVERIFY(QFile::copy(fixturePath(u"options-hand.ini"_s), appDir() + u"options.ini"_s));
    QVERIFY(QFile::setPermissions(appDir() + u"options.ini"_s, QFile::ReadOwner | QFile::WriteOwner));

    OptionValues settings;
    settings.header = u"Касса 4"_s;
    settings.mainFont = 14;
    settings.scriptPrefix = u"RT;RM"_s;
    settings.scriptsPath = u"/srv/scripts2"_s;
    settings.smartKey = {QString(), u"Tarvex-Rules"_s, true};
    settings.smartFlow = {QString(), u"Flow-Office"_s, false};
    settings.workbook = {u"/srv/Отчёты"_s, u"Tarvex_comissions"_s, true};

    Options options(appDir());
    QVERIFY(options.save(settings));

    // The flow folder follows the scripts folder, and no ticked task leaves no group section.
    QCOMPARE(readBytes(options.iniPath()), readBytes(fixturePath(u"options-hand-saved.ini"_s)));
    QCOMPARE(options.smartFlowNaming().path, u"/srv/scripts2"_s);
    QVERIFY(options.groupTasks().isEmpty());
}

void TestOptions::failedSaveNamesTheFile() {
    QFile plain(appDir() + u"plain"_s);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    Options options(appDir() + u"plain/"_s);
    OptionValues settings;
    settings.tickedTasks = {u"cbCSV"_s};
    QVERIFY(!options.save(settings));
    QCOMPARE(options.errorString(),
             u"Unable to write to %1plain/options.ini: %2"_s.arg(appDir(), tarvex::systemErrorText(ENOTDIR)));
}

void TestOptions::outputFoldersAreAbsolute_data() {
    QTest::addColumn<QByteArray>("path");  // as written in each section
    QTest::addColumn<QString>("expected"); // after the app folder
    QTest::newRow("relative") << QByteArray("out") << u"out"_s;
    QTest::newRow("relative with dots") << QByteArray("./a/../Выгрузка/") << u"Выгрузка"_s;
    QTest::newRow("empty is the app folder") << QByteArray() << QString();
    QTest::newRow("dot is the app folder") << QByteArray(".") << QString();
}

void TestOptions::outputFoldersAreAbsolute() {
    QFETCH(QByteArray, path);
    QFETCH(QString, expected);
    QFile ini(appDir() + u"options.ini"_s);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    for (const char* section : {"script", "flow", "xls"})
        ini.write("[" + QByteArray(section) + "]\r\npath=" + path + "\r\n");
    ini.close();

    // The working folder plays no part, and the app folder may be given relative to it.
    const QString folder = expected.isEmpty() ? m_dir->path() : appDir() + expected;
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    const Options options(QDir::root().relativeFilePath(appDir()));
    QVERIFY(QDir::setCurrent(workingFolder));
    QCOMPARE(options.smartKeyNaming().path, folder);
    QCOMPARE(options.smartFlowNaming().path, folder);
    QCOMPARE(options.workbookNaming().path, folder);
    QCOMPARE(options.defaultOutputFolder(), appDir() + u"Files"_s);
}

void TestOptions::readsTheRegisterLocation_data() {
    QTest::addColumn<QByteArray>("db"); // the lines of section db
    QTest::addColumn<RegisterEngine>("engine");
    QTest::addColumn<ServerAddress>("address");
    QTest::newRow("no keys") << QByteArray() << RegisterEngine::Sqlite << ServerAddress();
    QTest::newRow("sqlite") << QByteArray("driver=sqlite\n") << RegisterEngine::Sqlite << ServerAddress();
    QTest::newRow("empty driver") << QByteArray("driver=\n") << RegisterEngine::Sqlite << ServerAddress();
    QTest::newRow("every key")
        << QByteArray("driver=postgresql\nhost=10.0.0.5\nport=5433\nname=Реестр\nuser=agent\nsslmode=verify-full\n")
        << RegisterEngine::Postgres << ServerAddress{u"10.0.0.5"_s, 5433, u"Реестр"_s, u"agent"_s, u"verify-full"_s};
    QTest::newRow("letter case and blanks of the driver")
        << QByteArray("driver= PostgreSQL \nport=\n") << RegisterEngine::Postgres << ServerAddress();
    QTest::newRow("socket folder, highest port")
        << QByteArray("driver=postgresql\nhost=/run/postgresql\nport=65535\n") << RegisterEngine::Postgres
        << ServerAddress{u"/run/postgresql"_s, 65535, QString(), QString(), QString()};
}

void TestOptions::readsTheRegisterLocation() {
    QFETCH(QByteArray, db);
    QFETCH(RegisterEngine, engine);
    QFETCH(ServerAddress, address);
    QFile ini(appDir() + u"options.ini"_s);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[params]\nheader=x\n[db]\n" + db);
    ini.close();
    const Options options(appDir());
    QCOMPARE(options.registerEngine(), engine);
    QCOMPARE(options.serverAddress(), address);
}

void TestOptions::malformedRegisterLocationNamesKeyAndValue_data() {
    QTest::addColumn<QByteArray>("db");
    QTest::addColumn<QString>("message"); // after the file's path
    QTest::newRow("unknown driver") << QByteArray("driver=mysql\n")
                                    << u" в разделе [db] ключ driver = «mysql»: ожидается sqlite (файл реестра в папке "
                                       u"программы) или postgresql."_s;
    QTest::newRow("port 0") << QByteArray("port=0\n")
                            << u" в разделе [db] ключ port = «0»: ожидается номер порта от 1 до 65535."_s;
    QTest::newRow("port too high") << QByteArray("port=65536\n")
                                   << u" в разделе [db] ключ port = «65536»: ожидается номер порта от 1 до 65535."_s;
    QTest::newRow("port in words") << QByteArray("port=5432a\n")
                                   << u" в разделе [db] ключ port = «5432a»: ожидается номер порта от 1 до 65535."_s;
    QTest::newRow("unknown sslmode")
        << QByteArray("sslmode=Require\n")
        << u" в разделе [db] ключ sslmode = «Require»: ожидается один из режимов: disable, allow, prefer, require, "
           u"verify-ca, verify-full."_s;
}

void TestOptions::malformedRegisterLocationNamesKeyAndValue() {
    QFETCH(QByteArray, db);
    QFETCH(QString, message);
    QFile ini(appDir() + u"options.ini"_s);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[db]\n" + db);
    ini.close();
    const Options options(appDir());
    const QString expected = u"В файле настроек "_s + options.iniPath() + message;
    const auto thrownBy = [](const auto& read) {
        try {
            read();
        } catch (const tarvex::SettingsError& error) {
            return error.message();
        }
        return QString();
    };
    const QString fromPart = db.startsWith("driver") ? thrownBy([&] { options.registerEngine(); })
                                                     : thrownBy([&] { options.serverAddress(); });
    QCOMPARE(fromPart, expected);
    QCOMPARE(thrownBy([&] { options.values(); }), expected); // the settings window hears of it too
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
