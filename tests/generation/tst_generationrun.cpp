#include "generation/airlinewalk.h"
#include "generation/generationrun.h"
#include "generation/outputname.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "support/fulldiskdevice.h"
#include "support/recordingobserver.h"
#include "support/registerfixture.h"
#include "support/syntheticregister.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <numeric>
#include <sys/mount.h>
#include <unistd.h>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

const QDate kRunDate(2024, 12, 9);

// The wordings of each airline's conditions as a walk hands them over.
struct ConditionCollector : AirlineSink {
    QMap<QString, QStringList> wordings;
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override {
        for (const ConditionRecord& condition : conditions)
            wordings[airline.airCode] << condition.comCondition;
    }
};

} // namespace

class TestGenerationRun : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        m_folder->openStore();
        m_options = std::make_unique<Options>(m_folder->appDir());
        m_observer = RecordingObserver();
        m_run = std::make_unique<GenerationRun>(m_folder->store(), *m_options, m_observer);
        m_run->setClock([] { return kRunDate; });
    }
    void cleanup() {
        if (m_smallDisk)
            ::umount2(qPrintable(m_folder->filesDir()), MNT_DETACH);
        m_smallDisk = false;
        m_run.reset();
        m_folder.reset();
    }

    void outputNameFollowsTheSettings_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("date");
        QTest::addColumn<bool>("remarks");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"/a/Files"_s << u"Tarvex-Rules"_s << false << false
                               << u"/a/Files/Tarvex-Rules.txt"_s;
        QTest::newRow("remarks") << u"/a/Files"_s << u"Tarvex-Rules"_s << false << true
                                 << u"/a/Files/Tarvex-Rules-with-remarks.txt"_s;
        QTest::newRow("remarks and date") << u"/a/Files"_s << u"Tarvex-Rules"_s << true << true
                                          << u"/a/Files/Tarvex-Rules-with-remarks_09.12.2024.txt"_s;
        QTest::newRow("path used as written") << u"/a/Files/"_s << u"x"_s << false << false << u"/a/Files//x.txt"_s;
    }
    void outputNameFollowsTheSettings() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, date);
        QFETCH(bool, remarks);
        QFETCH(QString, expected);
        QCOMPARE(composeOutputName({path, name, date}, u".txt"_s, remarks, kRunDate), expected);
    }

    void dateOptionCountsOnlyWhenExactlyOne_data() {
        QTest::addColumn<QByteArray>("dateValue");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("1") << QByteArray("1") << u"Tarvex-Rules_09.12.2024.txt"_s;
        QTest::newRow("2") << QByteArray("2") << u"Tarvex-Rules.txt"_s;
        QTest::newRow("word") << QByteArray("yes") << u"Tarvex-Rules.txt"_s;
    }
    void dateOptionCountsOnlyWhenExactlyOne() {
        QFETCH(QByteArray, dateValue);
        QFETCH(QString, fileName);
        m_folder->writeOptions("[script]\r\ndate=" + dateValue + "\r\n");
        const RunResult result = m_run->run({OutputKind::SmartKey});
        QCOMPARE(result.status, RunResult::Status::Written);
        QCOMPARE(result.filePath, m_folder->filesDir() + u'/' + fileName);
        QVERIFY(QFileInfo::exists(result.filePath));
    }

    void groupTaskIsDecodedByPosition_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("kind"); // -1: no task
        QTest::addColumn<bool>("flag");
        QTest::newRow("cbSFrmk") << u"cbSFrmk"_s << int(OutputKind::SmartFlow) << true;
        QTest::newRow("cbSF") << u"cbSF"_s << int(OutputKind::SmartFlow) << false;
        QTest::newRow("cbSKrmk") << u"cbSKrmk"_s << int(OutputKind::SmartKey) << true;
        QTest::newRow("cbXLrmk") << u"cbXLrmk"_s << int(OutputKind::Workbook) << true;
        QTest::newRow("cbXL") << u"cbXL"_s << int(OutputKind::Workbook) << false;
        QTest::newRow("cbCSV") << u"cbCSV"_s << int(OutputKind::AirlineList) << false;
        QTest::newRow("other first letters") << u"xxSFrmk"_s << int(OutputKind::SmartFlow) << true;
        QTest::newRow("flag in other case") << u"cbSFRMK"_s << int(OutputKind::SmartFlow) << false;
        QTest::newRow("code in lower case") << u"cbsf"_s << -1 << false;
        QTest::newRow("too short") << u"cbS"_s << -1 << false;
        QTest::newRow("empty") << QString() << -1 << false;
    }
    void groupTaskIsDecodedByPosition() {
        QFETCH(QString, value);
        QFETCH(int, kind);
        QFETCH(bool, flag);
        const std::optional<CreateAllTask> task = decodeCreateAllTask(value);
        QCOMPARE(task.has_value(), kind >= 0);
        if (task) {
            QCOMPARE(int(task->kind), kind);
            QCOMPARE(task->flag, flag);
        }
    }

    void gaugeShowsTheShareDone_data() {
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("percent");
        QTest::newRow("one of one") << 1 << 1 << 100;
        QTest::newRow("half of ten") << 5 << 10 << 50;
        QTest::newRow("third") << 1 << 3 << 33;
        QTest::newRow("51 of 110") << 51 << 110 << 46;
        QTest::newRow("all of 1000") << 1000 << 1000 << 100;
        QTest::newRow("nothing to walk") << 0 << 0 << 100;
    }
    void gaugeShowsTheShareDone() {
        QFETCH(int, done);
        QFETCH(int, count);
        QFETCH(int, percent);
        QCOMPARE(shareDone(done, count), percent);
    }

    void airlineListIsWrittenByteForByte() {
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s));
        addAirline(m_folder->store(), airline(u"ZZ"_s, u"Air 中国 € ✈"_s, u"999"_s));
        addAirline(m_folder->store(), airline(u"UT"_s, u"ЮТэйр"_s, u""_s));
        addAirline(m_folder->store(), airline(u"S7"_s, u"Сибирь; Новосибирск"_s, u"421"_s));
        QSqlQuery insert(m_folder->store().connection());
        QVERIFY(insert.exec(u"INSERT INTO tbMain (AirCode, AirName, AccCode) VALUES ('A1', NULL, NULL)"_s));
        m_folder->openStore(); // rows added behind the cursors' back show at the next opening
        m_run = std::make_unique<GenerationRun>(m_folder->store(), *m_options, m_observer);

        // A search in force and a configured output folder change nothing.
        m_folder->store().airlines().setFilter(SearchFilter{u"SU"_s, {u"AirCode"_s}});
        m_folder->store().airlines().setFiltered(true);
        m_folder->writeOptions("[script]\r\npath=/nonexistent\r\n[xls]\r\npath=/nonexistent\r\n");

        const RunResult result = m_run->run({OutputKind::AirlineList});
        QCOMPARE(result.status, RunResult::Status::Written);
        QCOMPARE(result.filePath, m_folder->filesDir() + u"/Tarvex_AviaList.csv"_s);
        QCOMPARE(readFile(result.filePath), readFile(QStringLiteral(TARVEX_TEST_DATA_DIR "/csv/airlines.csv")));
        QVERIFY(!m_folder->store().airlines().isFiltered());
        QCOMPARE(m_observer.events, (QStringList{u"started"_s, u"ended"_s}));
        QCOMPARE(m_observer.lastShare, 100);
    }

    // The windows show the cursor's current airline while a run reads every row.
    void runLeavesTheCurrentAirlineWhereItWas() {
        for (const QString& code : {u"AA"_s, u"BB"_s, u"CC"_s})
            addAirline(m_folder->store(), airline(code, u"Авиакомпания "_s + code, u"001"_s),
                       {percentCondition(u"все"_s, "5")});
        TableCursor& airlines = m_folder->store().airlines();
        airlines.setCurrentRow(1);
        QSignalSpy moves(&airlines, &TableCursor::currentRowChanged);
        QCOMPARE(m_run->run({OutputKind::SmartFlow}).status, RunResult::Status::Written);
        QCOMPARE(m_run->run({OutputKind::AirlineList}).status, RunResult::Status::Written);
        QCOMPARE(airlines.currentRow(), 1);
        QCOMPARE(moves.count(), 0);
    }

    // Another copy of the program changes the register after this one opened it: every
    // output is written from the register as it is when the output is written, never from
    // airlines read at the opening mixed with conditions read later.
    void outputIsWrittenFromOneStateOfTheRegister() {
        const qint64 su =
            addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s),
                       {percentCondition(u"старое условие SU"_s, "5"), percentCondition(u"бизнес SU"_s, "7")});
        const qint64 ut = addAirline(m_folder->store(), airline(u"UT"_s, u"ЮТэйр"_s, u"298"_s),
                                     {percentCondition(u"все рейсы UT"_s, "3"), percentCondition(u"бизнес UT"_s, "4")});
        {
            RegisterStore other;
            other.open(m_folder->appDir());
            QSqlQuery change(other.connection());
            QVERIFY(change.exec(u"DELETE FROM tbComm WHERE ComId = %1"_s.arg(ut)));
            QVERIFY(change.exec(u"DELETE FROM tbMain WHERE id = %1"_s.arg(ut)));
            QVERIFY(change.exec(u"UPDATE tbMain SET AirName = 'Аэрофлот ПАО' WHERE id = %1"_s.arg(su)));
            QVERIFY(change.exec(
                u"UPDATE tbComm SET ComCondition = 'новое условие SU' WHERE ComCondition = 'старое условие SU'"_s));
        }
        const RunResult result = m_run->run({OutputKind::SmartKey});
        QCOMPARE(result.status, RunResult::Status::Written);
        const QString script = QString::fromUtf8(readFile(result.filePath));
        QVERIFY2(script.contains(u"Аэрофлот ПАО"_s) && script.contains(u"новое условие SU"_s), qPrintable(script));
        QVERIFY2(!script.contains(u"старое условие SU"_s), qPrintable(script));
        QVERIFY2(!script.contains(u"UT"_s) && !script.contains(u"ЮТэйр"_s), qPrintable(script));
    }

    // The command-line tool opens the register for its outputs only: no table is read
    // into the windows' cursors, and the outputs are the same.
    void outputsNeedNoWindowCursors() {
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        addAirline(m_folder->store(), airline(u"LH"_s, u"Lufthansa"_s, u"220"_s));
        const QByteArray expected = readFile(m_run->run({OutputKind::SmartFlow}).filePath);

        RegisterStore outputsOnly;
        outputsOnly.open(m_folder->appDir(), RegisterStore::Use::ForOutputs);
        QVERIFY(outputsOnly.isOpen());
        QVERIFY(!outputsOnly.airlines().isOpen() && !outputsOnly.conditions().isOpen());
        GenerationRun run(outputsOnly, *m_options, m_observer);
        run.setClock([] { return kRunDate; });
        const RunResult result = run.run({OutputKind::SmartFlow});
        QCOMPARE(result.status, RunResult::Status::Written);
        QCOMPARE(readFile(result.filePath), expected);
    }

    void emptyRegisterGivesAnEmptyList() {
        const RunResult result = m_run->run({OutputKind::AirlineList});
        QCOMPARE(result.status, RunResult::Status::Written);
        QCOMPARE(readFile(result.filePath), QByteArray());
    }

    void readOnlyTargetIsRefusedAndKept_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const int refused = int(RunResult::Status::Refused);
        QTest::newRow("smart key") << int(OutputKind::SmartKey) << u"Tarvex-Rules.txt"_s << refused
                                   << u"Файл защищен от записи"_s;
        QTest::newRow("smart flow") << int(OutputKind::SmartFlow) << u"Tarvex-SmartFlow.txt"_s << refused
                                    << u"Файл защищен от записи"_s;
        QTest::newRow("airline list") << int(OutputKind::AirlineList) << u"Tarvex_AviaList.csv"_s << refused
                                      << u"Файл защищен от записи."_s;
        // The workbook reports a file it cannot create, as an error.
        QTest::newRow("workbook") << int(OutputKind::Workbook) << u"Tarvex_comissions.xlsx"_s
                                  << int(RunResult::Status::Failed)
                                  << u"Cannot create file \"%1/Tarvex_comissions.xlsx\". Файл защищен от записи"_s;
    }
    void readOnlyTargetIsRefusedAndKept() {
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        QFETCH(int, status);
        QFETCH(QString, message);
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        const QString target = m_folder->filesDir() + u'/' + fileName;
        writeFile(target, "previous run");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

        const RunResult result = m_run->run({OutputKind(kind)});
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.message, message.replace(u"%1"_s, m_folder->filesDir()));
        QCOMPARE(readFile(target), QByteArray("previous run"));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files), QStringList{fileName});
        QVERIFY(m_observer.events.isEmpty()); // refused before the progress window
    }

    // Every writer checks every write: a disk that fills at any byte of a small or a large
    // output fails the run with the system's reason and leaves the previous file.
    void failedWriteKeepsThePreviousFile_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("airlineCount");
        QTest::addColumn<QString>("room"); // where the disk fills, in the complete file
        const std::pair<OutputKind, const char*> kinds[] = {{OutputKind::SmartKey, "smart key"},
                                                            {OutputKind::SmartFlow, "smart flow"},
                                                            {OutputKind::Workbook, "workbook"},
                                                            {OutputKind::AirlineList, "airline list"}};
        for (const auto& [kind, name] : kinds) {
            for (int airlineCount : {1, 3000}) {
                for (const char* room : {"none", "half", "all but the end"}) {
                    QTest::addRow("%s, %d airlines, room for %s", name, airlineCount, room)
                        << int(kind) << airlineCount << QString::fromLatin1(room);
                }
            }
        }
    }
    void failedWriteKeepsThePreviousFile() {
        QFETCH(int, kind);
        QFETCH(int, airlineCount);
        QFETCH(QString, room);
        fillRegister(airlineCount);
        const RunResult complete = m_run->run({OutputKind(kind)});
        QCOMPARE(complete.status, RunResult::Status::Written);
        const qint64 size = QFileInfo(complete.filePath).size();
        // The workbook's last bytes are its directory: a disk full there still fails it.
        const qint64 capacity = room == u"none"_s ? 0 : room == u"half"_s ? size / 2 : size - 16;
        writeFile(complete.filePath, "previous run");
        m_run->setDeviceFilter(
            [capacity](QIODevice& file) { return std::make_unique<FullDiskDevice>(file, capacity); });
        m_observer.events.clear();

        const RunResult result = m_run->run({OutputKind(kind)});
        QCOMPARE(result.status, RunResult::Status::Failed);
        QCOMPARE(result.message, cannotCreateFileMessage(complete.filePath, qt_error_string(ENOSPC)));
        QCOMPARE(readFile(complete.filePath), QByteArray("previous run"));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files),
                 QStringList{QFileInfo(complete.filePath).fileName()}); // no temporary file left
        QCOMPARE(m_observer.events, (QStringList{u"started"_s, u"ended"_s}));
    }

    // Files are written unbuffered, so each writer must hand over large blocks itself:
    // pieces of at least 64 KB, and a few writes of their own.
    void writersHandLargeBlocks_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("ownWrites");
        QTest::newRow("smart key") << int(OutputKind::SmartKey) << 1;
        // The prompt and the rest of the line after the statements set aside.
        QTest::newRow("smart flow") << int(OutputKind::SmartFlow) << 2;
        QTest::newRow("airline list") << int(OutputKind::AirlineList) << 1;
        // Nine parts, each a header with its data, then the directory. Writing XML pieces
        // straight to the file would take tens of thousands.
        QTest::newRow("workbook") << int(OutputKind::Workbook) << 10;
    }
    void writersHandLargeBlocks() {
        QFETCH(int, kind);
        QFETCH(int, ownWrites);
        fillRegister(3000);
        QList<qint64> writeLengths;
        m_run->setDeviceFilter([&writeLengths](QIODevice& file) {
            return std::make_unique<FullDiskDevice>(file, std::numeric_limits<qint64>::max(), &writeLengths);
        });
        const RunResult result = m_run->run({OutputKind(kind)});
        QCOMPARE(result.status, RunResult::Status::Written);
        const qint64 size = QFileInfo(result.filePath).size();
        QVERIFY2(writeLengths.size() <= ownWrites + size / (64 * 1024),
                 qPrintable(QString::number(writeLengths.size())));
        // Every byte of the file went through the device.
        QVERIFY(std::accumulate(writeLengths.begin(), writeLengths.end(), qint64(0)) >= size);
    }

    // A real disk that is full: the system's own reason reaches the user.
    void fullDiskKeepsThePreviousFile_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("smart key") << int(OutputKind::SmartKey) << u"Tarvex-Rules.txt"_s;
        QTest::newRow("smart flow") << int(OutputKind::SmartFlow) << u"Tarvex-SmartFlow.txt"_s;
        QTest::newRow("workbook") << int(OutputKind::Workbook) << u"Tarvex_comissions.xlsx"_s;
        QTest::newRow("airline list") << int(OutputKind::AirlineList) << u"Tarvex_AviaList.csv"_s;
    }
    void fullDiskKeepsThePreviousFile() {
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        const QString files = m_folder->filesDir();
        if (::mount("tmpfs", qPrintable(files), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(u"a small disk cannot be mounted here: "_s + qt_error_string(errno)));
        m_smallDisk = true;
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        const QString target = files + u'/' + fileName;
        writeFile(target, "previous run");
        fillDisk(files + u"/filler"_s);

        const RunResult result = m_run->run({OutputKind(kind)});
        QCOMPARE(result.status, RunResult::Status::Failed);
        QCOMPARE(result.message, cannotCreateFileMessage(target, qt_error_string(ENOSPC)));
        QCOMPARE(readFile(target), QByteArray("previous run"));
        QCOMPARE(QDir(files).entryList(QDir::Files, QDir::Name), (QStringList{fileName, u"filler"_s}));
    }

    void missingFolderFailsAndCreatesNothing() {
        QVERIFY(QDir(m_folder->filesDir()).removeRecursively());
        const RunResult result = m_run->run({OutputKind::AirlineList});
        QCOMPARE(result.status, RunResult::Status::Failed);
        QVERIFY2(result.message.startsWith(u"Cannot create file \""_s + m_folder->filesDir()),
                 qPrintable(result.message));
        QVERIFY(!QFileInfo::exists(m_folder->filesDir()));
    }

    void failedRunLeavesThePreviousFile() {
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        const QString target = m_folder->filesDir() + u"/Tarvex-SmartFlow.txt"_s;
        writeFile(target, "previous run");
        // The conditions cannot be read any more: the walk fails half-way.
        QSqlQuery drop(m_folder->store().connection());
        QVERIFY(drop.exec(u"DROP TABLE tbComm"_s));

        const RunResult result = m_run->run({OutputKind::SmartFlow});
        QCOMPARE(result.status, RunResult::Status::Failed);
        QVERIFY(result.message.contains(u"tbComm"_s));
        QCOMPARE(readFile(target), QByteArray("previous run"));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files), QStringList{u"Tarvex-SmartFlow.txt"_s});
        QCOMPARE(m_observer.events, (QStringList{u"started"_s, u"ended"_s}));
    }

    void createAllRunsTheGroupInFileOrder() {
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        m_folder->writeOptions("[group]\r\n1=cbSF\r\n7=cbSFrmk\r\n2=cbZZ\r\n3=cbCSV\r\n4=xxSKrmk\r\n5=cbXL\r\n");
        const QList<RunResult> results = m_run->createAll();
        QStringList written;
        for (const RunResult& result : results) {
            QCOMPARE(result.status, RunResult::Status::Written);
            written << QFileInfo(result.filePath).fileName();
        }
        QCOMPARE(written, (QStringList{u"Tarvex-SmartFlow.txt"_s, u"Tarvex-SmartFlow-with-remarks.txt"_s,
                                       u"Tarvex_AviaList.csv"_s, u"Tarvex-Rules-with-remarks.txt"_s,
                                       u"Tarvex_comissions.xlsx"_s}));
        QCOMPARE(m_observer.events.count(u"started"_s), 5);
        QCOMPARE(m_observer.events.count(u"ended"_s), 5);
    }

    void createAllStopsAfterAFailedOutput() {
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
        const QString missingFolder = m_folder->appDir() + u"missing"_s;
        m_folder->writeOptions("[group]\r\n1=cbCSV\r\n2=cbSF\r\n3=cbXL\r\n[flow]\r\npath=" + missingFolder.toUtf8() +
                               "\r\n");
        const QList<RunResult> results = m_run->createAll();
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].status, RunResult::Status::Written);
        QCOMPARE(results[1].status, RunResult::Status::Failed);
        QVERIFY2(results[1].message.startsWith(u"Cannot create file \""_s + missingFolder),
                 qPrintable(results[1].message));
        // The workbook after it was not written.
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files), QStringList{u"Tarvex_AviaList.csv"_s});
    }

    void createAllWithoutTasksDoesNothing() {
        QVERIFY(m_run->createAll().isEmpty());
        m_folder->writeOptions("[group]\r\n");
        QVERIFY(m_run->createAll().isEmpty());
        QVERIFY(QDir(m_folder->filesDir()).isEmpty());
    }

    void createAllGoesOnAfterARefusedTarget() {
        m_folder->writeOptions("[group]\r\n1=cbCSV\r\n2=cbSF\r\n");
        const QString list = m_folder->filesDir() + u"/Tarvex_AviaList.csv"_s;
        writeFile(list, "kept");
        QVERIFY(QFile::setPermissions(list, QFile::ReadOwner));
        const QList<RunResult> results = m_run->createAll();
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].status, RunResult::Status::Refused);
        QCOMPARE(results[1].status, RunResult::Status::Written);
    }

    // An error stops the script it concerns, whichever script it is, and the previous file
    // stays; warnings never stop a script.
    void scriptWithErrorsIsNotWritten_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("withRemarks");
        QTest::addColumn<bool>("previous");   // a file from an earlier run
        QTest::addColumn<QString>("refusal"); // start of the message; empty: the script is written
        QTest::newRow("Smart Key, remarks with an unpaired bracket")
            << int(OutputKind::SmartKey) << true << true << u"Скрипт Smart Key не записан"_s;
        QTest::newRow("Smart Key without remarks: warnings only")
            << int(OutputKind::SmartKey) << false << true << QString();
        QTest::newRow("Smart Flow, two airlines with one list entry")
            << int(OutputKind::SmartFlow) << false << true << u"Скрипт Smart Flow не записан"_s;
        QTest::newRow("Smart Flow, first run")
            << int(OutputKind::SmartFlow) << true << false << u"Скрипт Smart Flow не записан"_s;
    }
    void scriptWithErrorsIsNotWritten() {
        QFETCH(int, kind);
        QFETCH(bool, withRemarks);
        QFETCH(bool, previous);
        QFETCH(QString, refusal);
        ConditionRecord broken = percentCondition(u"все"_s, "5");
        broken.remarks = u"RM <A"_s;
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот, ПАО"_s, u"555"_s),
                   {percentCondition(u"все"_s, "5")});
        addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот, ПАО"_s, u"555"_s), {broken});
        const QString target = composeOutputName(kind == int(OutputKind::SmartKey) ? m_options->smartKeyNaming()
                                                                                   : m_options->smartFlowNaming(),
                                                 u".txt"_s, withRemarks, kRunDate);
        if (previous)
            writeFile(target, "previous run");

        GenerationRequest request{OutputKind(kind)};
        request.withRemarks = withRemarks;
        const RunResult result = m_run->run(request);
        QVERIFY(!result.findings.isEmpty());
        const FindingScript script =
            kind == int(OutputKind::SmartKey) ? FindingScript::SmartKey : FindingScript::SmartFlow;
        QVERIFY(std::all_of(result.findings.begin(), result.findings.end(),
                            [&](const ScriptFinding& finding) { return finding.concerns(script); }));
        if (refusal.isEmpty()) {
            QCOMPARE(result.status, RunResult::Status::Written);
            QVERIFY(!hasErrors(result.findings));
            QVERIFY(readFile(target).startsWith("<CHOOSE"));
            return;
        }
        QCOMPARE(result.status, RunResult::Status::ScriptErrors);
        QVERIFY2(result.message.startsWith(refusal), qPrintable(result.message));
        QVERIFY2(result.message.endsWith(previous ? u"Прежний файл %1 остался без изменений."_s.arg(target)
                                                  : u"Файл %1 не создан."_s.arg(target)),
                 qPrintable(result.message));
        QCOMPARE(result.findings.first().kind, FindingKind::Error);
        QCOMPARE(result.findings.last().kind, FindingKind::Warning); // the errors come first
        QCOMPARE(m_observer.events, (QStringList{u"started"_s, u"ended"_s}));
        QCOMPARE(QFileInfo::exists(target), previous);
        if (previous)
            QCOMPARE(readFile(target), QByteArray("previous run"));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files).size(), previous ? 1 : 0);
    }

    // A file whose index no longer matches its table reads wrong without any error: the
    // walk would give one airline another's conditions. Nothing is written from it, and a
    // command of several outputs says so once.
    void damagedRegisterIsRefusedBeforeAnyOutput_data() {
        QTest::addColumn<QByteArray>("group"); // empty: the one output alone
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("previous"); // a file an earlier run wrote
        QTest::newRow("Smart Key") << QByteArray() << int(OutputKind::SmartKey) << u"Tarvex-Rules.txt"_s;
        QTest::newRow("Smart Flow") << QByteArray() << int(OutputKind::SmartFlow) << u"Tarvex-SmartFlow.txt"_s;
        QTest::newRow("workbook") << QByteArray() << int(OutputKind::Workbook) << u"Tarvex_comissions.xlsx"_s;
        QTest::newRow("list") << QByteArray() << int(OutputKind::AirlineList) << u"Tarvex_AviaList.csv"_s;
        QTest::newRow("create all") << QByteArray("[group]\r\n1=cbCSV\r\n2=cbSFrmk\r\n3=cbSK\r\n4=cbXLrmk\r\n") << -1
                                    << u"Tarvex_AviaList.csv"_s;
    }
    void damagedRegisterIsRefusedBeforeAnyOutput() {
        QFETCH(QByteArray, group);
        QFETCH(int, kind);
        QFETCH(QString, previous);
        const qint64 su = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s),
                                     {percentCondition(u"все тарифы SU"_s, "5")});
        const qint64 ek = addAirline(m_folder->store(), airline(u"EK"_s, u"Эмирейтс"_s, u"176"_s),
                                     {sumCondition(u"эконом EK"_s, 20, u"USD"_s)});
        m_folder->closeStore();
        misindexConditionOwners(m_folder->databasePath(), u"CASE ComId WHEN %1 THEN %2 ELSE %1 END"_s.arg(su).arg(ek));
        reopenRegister();

        // Without the check, a read through the damaged index gives each airline the other's commission.
        QCOMPARE(m_folder->store().conditionQuery().conditionsOf(su).value(0).comCondition, u"эконом EK"_s);
        QCOMPARE(m_folder->store().conditionQuery().conditionsOf(ek).value(0).comCondition, u"все тарифы SU"_s);

        writeFile(m_folder->filesDir() + u'/' + previous, "previous run");
        m_folder->writeOptions(group);
        m_observer.events.clear();
        const QList<RunResult> results =
            kind < 0 ? m_run->createAll() : QList<RunResult>{m_run->run({OutputKind(kind)})};
        QCOMPARE(results.size(), 1);
        QCOMPARE(results[0].status, RunResult::Status::Failed);
        const QString& message = results[0].message;
        QVERIFY2(message.startsWith(
                     u"База данных %1 повреждена: проверка SQLite нашла ошибки (row "_s.arg(m_folder->databasePath())),
                 qPrintable(message));
        QVERIFY2(message.contains(u"missing from index tbComm_ComId"_s), qPrintable(message));
        QVERIFY2(message.contains(u"Файлы не записаны, прежние остались без изменений."_s), qPrintable(message));
        QVERIFY2(message.contains(u"sqlite3 Tarvex.mdb .recover | sqlite3 Tarvex-recovered.mdb"_s),
                 qPrintable(message));
        QVERIFY2(message.contains(u"резервную копию"_s), qPrintable(message));
        QCOMPARE(QDir(m_folder->filesDir()).entryList(QDir::Files), QStringList{previous});
        QCOMPARE(readFile(m_folder->filesDir() + u'/' + previous), QByteArray("previous run"));
        QVERIFY(m_observer.events.isEmpty()); // refused before writing began
    }

private:
    void reopenRegister() {
        m_folder->openStore();
        m_run = std::make_unique<GenerationRun>(m_folder->store(), *m_options, m_observer);
        m_run->setClock([] { return kRunDate; });
    }

    // A register of one airline with one condition, or a large one of that many airlines.
    void fillRegister(int airlineCount) {
        if (airlineCount == 1) {
            addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"все"_s, "5")});
            return;
        }
        insertRegister(m_folder->databasePath(), syntheticRegister(airlineCount));
        reopenRegister();
    }

    // Writes into the file until the disk it is on has no room left.
    static void fillDisk(const QString& path) {
        const int fd = ::open(qPrintable(path), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        QCOMPARE(errno, ENOSPC);
        ::close(fd);
    }

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<Options> m_options;
    RecordingObserver m_observer;
    std::unique_ptr<GenerationRun> m_run;
    bool m_smallDisk = false; // a small disk is mounted over the Files folder
};

QTEST_GUILESS_MAIN(TestGenerationRun)
#include "tst_generationrun.moc"
