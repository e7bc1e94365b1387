#include "ui/versiontext.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvex {

class TestVersionText : public QObject {
    Q_OBJECT
private slots:
    void shortVersion_data();
    void shortVersion();
};

void TestVersionText::shortVersion_data() {
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("shown");
    QTest::newRow("program version") << u"2.6.2.0"_s << u"2.6"_s;
    QTest::newRow("two-digit build") << u"2.6.12.0"_s << u"2.6"_s;
    QTest::newRow("text after the eighth character kept") << u"2.6.2.0-rc1"_s << u"2.6rc1"_s;
    QTest::newRow("two-digit major keeps three characters") << u"10.2.3.4"_s << u"10."_s;
    QTest::newRow("three parts") << u"2.6.2"_s << u"2.6"_s;
    QTest::newRow("four characters") << u"2.6."_s << u"2.6"_s;
    QTest::newRow("three characters unchanged") << u"2.6"_s << u"2.6"_s;
    QTest::newRow("two characters unchanged") << u"2."_s << u"2."_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestVersionText::shortVersion() {
    QFETCH(QString, fileVersion);
    QFETCH(QString, shown);
    QCOMPARE(shortVersionText(fileVersion), shown);
}

} // namespace tarvex

QTEST_APPLESS_MAIN(tarvex::TestVersionText)
#include "tst_versiontext.moc"
