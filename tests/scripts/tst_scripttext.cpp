#include "generation/smartflowtext.h"
#include "generation/smartkeylines.h"

#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

// The text passes that every script line goes through, on cases too small or too odd
// for a whole register.
class TestScriptText : public QObject {
    Q_OBJECT

private slots:
    void joinsSmartKeyLines_data();
    void joinsSmartKeyLines();
    void flattensFlowText_data();
    void flattensFlowText();
};

void TestScriptText::joinsSmartKeyLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("joined");

    QTest::newRow("nothing") << QString() << QString();
    QTest::newRow("lone CR and LF end lines") << u"a\rb\nc\r\nd"_s << u"a\r\nb\r\nc\r\nd\r\n"_s;
    QTest::newRow("> joins a chain of lines") << u"a>\r\nb>\nc\r\nd\r\n"_s << u"a>b>c\r\nd\r\n"_s;
    QTest::newRow("> swallows an empty line only") << u"a>\r\n\r\nb\r\n"_s << u"a>\r\nb\r\n"_s;
    QTest::newRow("then in any case is lowered and joined") << u"x THEN\r\ny Then\r\nz\r\n"_s << u"x theny thenz\r\n"_s;
    QTest::newRow("then swallows an empty line only") << u"xthen\r\n\r\ny\r\n"_s << u"xthen\r\ny\r\n"_s;
    QTest::newRow("then after > joins") << u"a>\r\nb then\r\nc\r\n"_s << u"a>b thenc\r\n"_s;
    QTest::newRow("last line keeps its line end") << u"a\r\nb THEN"_s << u"a\r\nb then\r\n"_s;
    QTest::newRow("then inside a line stays") << u"thenx\r\nTHEN>\r\ny\r\n"_s << u"thenx\r\nTHEN>y\r\n"_s;
}

void TestScriptText::joinsSmartKeyLines() {
    QFETCH(QString, text);
    QFETCH(QString, joined);

    SmartKeyLineJoiner joiner;
    joiner.addText(text);
    QCOMPARE(joiner.finish(), joined);
}

void TestScriptText::flattensFlowText_data() {
    const QString hyphens20(20, u'-');
    const QString hyphens36(36, u'-');
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("flattened");

    QTest::newRow("separator removed") << u"a"_s + hyphens36 + u"b"_s << u"ab"_s;
    QTest::newRow("37 hyphens keep one") << hyphens36 + u"-"_s << u"-"_s;
    QTest::newRow("72 hyphens vanish") << hyphens36 + hyphens36 << QString();
    QTest::newRow("a line end splits a run") << hyphens20 + u"\r\n"_s + hyphens20 << hyphens20 + hyphens20;
    QTest::newRow("line ends of every kind dropped") << u"a\r\nb\rc\nd"_s << u"abcd"_s;
    QTest::newRow("escapes survive") << u"\\\\"_s + hyphens36 + u"\\\""_s << u"\\\\\\\""_s;
}

void TestScriptText::flattensFlowText() {
    QFETCH(QString, text);
    QFETCH(QString, flattened);

    QString out = u"x"_s;
    appendFlattened(out, {text});
    QCOMPARE(out, u"x"_s + flattened);

    // In pieces, cut anywhere: the text they make is flattened as a whole.
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        QString inPieces = u"x"_s;
        appendFlattened(inPieces, {QStringView(text).first(cut), QStringView(), QStringView(text).sliced(cut)});
        QCOMPARE(inPieces, out);
    }
}

QTEST_GUILESS_MAIN(TestScriptText)
#include "tst_scripttext.moc"
