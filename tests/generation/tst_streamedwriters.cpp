#include "generation/airlinelistcsv.h"
#include "generation/outputfile.h"
#include "generation/smartflowscript.h"
#include "generation/smartkeyscript.h"
#include "support/registerfixture.h"
#include "support/syntheticregister.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

enum class Writer { SmartKey, SmartKeyWithRemarks, SmartFlow, AirlineList };

const QString kDate = u"09.12.2024"_s;

// Hands the register to the writer, given the file first when there is one, and returns
// what finish() leaves.
template <typename Sink, typename Finish>
QByteArray feed(Sink& sink, const Register& airlines, OutputFile* file, Finish finish) {
    if (file)
        sink.writeTo(*file);
    for (const RegisterEntry& entry : airlines)
        sink.addAirline(entry.airline, entry.conditions);
    return finish(sink);
}

QByteArray compose(Writer writer, const Register& airlines, OutputFile* file) {
    switch (writer) {
    case Writer::SmartKey:
    case Writer::SmartKeyWithRemarks: {
        SmartKeyScript script(u"<CLEAR>"_s, writer == Writer::SmartKeyWithRemarks, kDate);
        return feed(script, airlines, file, [](SmartKeyScript& s) { return s.finish(); });
    }
    case Writer::SmartFlow: {
        SmartFlowScript script(true);
        return feed(script, airlines, file, [](SmartFlowScript& s) { return s.finish(kDate); });
    }
    case Writer::AirlineList: {
        AirlineListCsv list;
        return feed(list, airlines, file, [](AirlineListCsv& l) { return l.finish(); });
    }
    }
    Q_UNREACHABLE();
}

} // namespace

// A writer given its file writes it in pieces as the airlines come; the file must hold
// exactly what the writer composes whole on its own.
class TestStreamedWriters : public QObject {
    Q_OBJECT

private slots:
    void fileEqualsWholeComposition_data() {
        QTest::addColumn<int>("writer");
        QTest::addColumn<int>("airlineCount"); // enough for several pieces
        QTest::newRow("smart key") << int(Writer::SmartKey) << 4000;
        QTest::newRow("smart key with remarks") << int(Writer::SmartKeyWithRemarks) << 4000;
        QTest::newRow("smart flow") << int(Writer::SmartFlow) << 4000;
        QTest::newRow("airline list") << int(Writer::AirlineList) << 12000;
    }
    void fileEqualsWholeComposition() {
        QFETCH(int, writer);
        QFETCH(int, airlineCount);
        const Register airlines = syntheticRegister(airlineCount);
        const QByteArray whole = compose(Writer(writer), airlines, nullptr);
        QVERIFY2(whole.size() > 2 * 64 * 1024, "the register must make several pieces");

        QTemporaryDir dir;
        const QString path = dir.filePath(u"output"_s);
        OutputFile file(path);
        const QByteArray rest = compose(Writer(writer), airlines, &file);
        QVERIFY(rest.isEmpty()); // all of it went to the file
        file.commit();

        const QByteArray written = readFile(path);
        QCOMPARE(written.size(), whole.size());
        QVERIFY(written == whole);
        // The Smart Flow's spool is gone with the writer.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"output"_s});
    }
};

QTEST_GUILESS_MAIN(TestStreamedWriters)
#include "tst_streamedwriters.moc"
