#include "generation/generationerror.h"
#include "generation/outputname.h"

#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestOutputName : public QObject {
    Q_OBJECT
private slots:
    void namesStayInTheirFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dots") << u"..Rules.v2"_s << u"/a/Files/..Rules.v2.txt"_s;
        QTest::newRow("two dots") << u".."_s << u"/a/Files/...txt"_s;
        QTest::newRow("backslash") << u"Office\\Rules"_s << u"/a/Files/Office\\Rules.txt"_s;
        QTest::newRow("empty") << QString() << u"/a/Files/.txt"_s;
    }
    void namesStayInTheirFolder() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(composeOutputName({u"/a/Files"_s, name, false, u"script"_s}, u".txt"_s, false, QDate(2024, 12, 9)),
                 expected);
    }

    void settingThatWouldWriteElsewhereIsRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slash in the name") << u"/a/Files"_s << u"../Rules"_s << u"script"_s
                                           << u"Значение name раздела [script] в options.ini содержит «/»"_s;
        QTest::newRow("folder in the name") << u"/a/Files"_s << u"/tmp/book"_s << u"xls"_s
                                            << u"Значение name раздела [xls] в options.ini содержит «/»"_s;
        QTest::newRow("NUL in the name") << u"/a/Files"_s << u"Rules\0.sh"_s << u"flow"_s
                                         << u"Значение name раздела [flow] в options.ini содержит нулевой символ"_s;
        QTest::newRow("NUL in the folder") << u"/a/Files\0/b"_s << u"Rules"_s << u"xls"_s
                                           << u"Значение path раздела [xls] в options.ini содержит нулевой символ"_s;
    }
    void settingThatWouldWriteElsewhereIsRefused() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, section);
        QFETCH(QString, expected);
        try {
            composeOutputName({path, name, true, section}, u".xlsx"_s, true, QDate(2024, 12, 9));
            QFAIL("the name was composed");
        } catch (const GenerationError& error) {
            QVERIFY2(error.message().startsWith(expected), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestOutputName)
#include "tst_outputname.moc"
