#include "generation/smartflowscript.h"
#include "testregisters.h"

#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

class TestSmartFlowScript : public QObject {
    Q_OBJECT

private slots:
    void writesExpectedFile_data();
    void writesExpectedFile();
};

void TestSmartFlowScript::writesExpectedFile_data() {
    QTest::addColumn<Register>("airlines");
    QTest::addColumn<bool>("withRemarks");
    QTest::addColumn<QString>("expectedFile");

    QTest::newRow("two airlines, with remarks") << workedExample() << true << u"smartflow-worked-remarks.txt"_s;
    QTest::newRow("two airlines, without remarks") << workedExample() << false << u"smartflow-worked.txt"_s;
    QTest::newRow("no airline in the script") << noScriptAirlines() << true << u"smartflow-no-airlines.txt"_s;
    QTest::newRow("airlines without conditions")
        << airlinesWithoutConditions() << false << u"smartflow-no-conditions.txt"_s;
    QTest::newRow("entry kinds") << entryVariants() << false << u"smartflow-entries.txt"_s;
    // Every string closes where it should, and trimmed keys stay the same in list and test.
    QTest::newRow("quotation marks and backslashes escaped")
        << quotesAndBackslashes() << true << u"smartflow-quotes-remarks.txt"_s;
    QTest::newRow("separators and line breaks") << textLines() << false << u"smartflow-text-lines.txt"_s;
}

void TestSmartFlowScript::writesExpectedFile() {
    QFETCH(Register, airlines);
    QFETCH(bool, withRemarks);
    QFETCH(QString, expectedFile);

    SmartFlowScript script(withRemarks);
    walk(script, airlines);
    const QString mismatch = fixtureMismatch(script.finish(u"09.12.2024"_s), expectedFile);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

QTEST_GUILESS_MAIN(TestSmartFlowScript)
#include "tst_smartflowscript.moc"
