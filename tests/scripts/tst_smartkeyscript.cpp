#include "generation/smartkeyscript.h"
#include "testregisters.h"

#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

class TestSmartKeyScript : public QObject {
    Q_OBJECT

private slots:
    void writesExpectedFile_data();
    void writesExpectedFile();
};

void TestSmartKeyScript::writesExpectedFile_data() {
    QTest::addColumn<Register>("airlines");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("withRemarks");
    QTest::addColumn<QString>("expectedFile");

    QTest::newRow("two airlines, with remarks")
        << workedExample() << QString() << true << u"smartkey-worked-remarks.txt"_s;
    QTest::newRow("two airlines, without remarks") << workedExample() << QString() << false << u"smartkey-worked.txt"_s;
    QTest::newRow("no airline in the script")
        << noScriptAirlines() << QString() << true << u"smartkey-no-airlines.txt"_s;
    QTest::newRow("airlines without conditions")
        << airlinesWithoutConditions() << QString() << false << u"smartkey-no-conditions.txt"_s;
    QTest::newRow("entry kinds") << entryVariants() << QString() << false << u"smartkey-entries.txt"_s;
    QTest::newRow("command prefix") << prefixExample() << u"<CLEAR><EOS>RT<SEND>"_s << false
                                    << u"smartkey-prefix.txt"_s;
    QTest::newRow("quotation marks and backslashes kept as typed")
        << quotesAndBackslashes() << QString() << true << u"smartkey-quotes-remarks.txt"_s;
    QTest::newRow("lines joined after then, a typed > shown and not joined")
        << textLines() << QString() << false << u"smartkey-text-lines.txt"_s;
}

void TestSmartKeyScript::writesExpectedFile() {
    QFETCH(Register, airlines);
    QFETCH(QString, prefix);
    QFETCH(bool, withRemarks);
    QFETCH(QString, expectedFile);

    SmartKeyScript script(prefix, withRemarks, u"09.12.2024"_s);
    walk(script, airlines);
    const QString mismatch = fixtureMismatch(script.finish(), expectedFile);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

QTEST_GUILESS_MAIN(TestSmartKeyScript)
#include "tst_smartkeyscript.moc"
