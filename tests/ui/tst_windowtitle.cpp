#include "ui/windowtitle.h"

#include <QTest>

using namespace Qt::StringLiterals;
using tarvex::titleWithAddition;

class TestWindowTitle : public QObject {
    Q_OBJECT

private slots:
    void composesTheTitle_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("addition");
        QTest::addColumn<QString>("expected");
        const QString own = u"Tarvex - агентская комиссия авиакомпаний"_s;
        QTest::newRow("plain title gets the addition") << own << u"Офис 1"_s << u"Офис 1 | "_s + own;
        QTest::newRow("addition replaced") << u"Офис 1 | "_s + own << u"Офис 2"_s << u"Офис 2 | "_s + own;
        QTest::newRow("empty addition keeps the title") << u"Офис 1 | "_s + own << QString() << u"Офис 1 | "_s + own;
        QTest::newRow("blanks around the last piece") << u"a|   Tarvex  "_s << u"b"_s << u"b | Tarvex"_s;
        QTest::newRow("several pieces keep only the last") << u"a | b | Tarvex"_s << u"c"_s << u"c | Tarvex"_s;
        QTest::newRow("addition holding a bar") << u"Tarvex"_s << u"x | y"_s << u"x | y | Tarvex"_s;
        QTest::newRow("blank last piece is skipped") << u"Tarvex |  "_s << u"Офис"_s << u"Офис | Tarvex"_s;
    }
    void composesTheTitle() {
        QFETCH(QString, current);
        QFETCH(QString, addition);
        QFETCH(QString, expected);
        QCOMPARE(titleWithAddition(current, addition), expected);
    }

    // Saving twice in a row gives the same title as saving once: the additions never pile up.
    void repeatedSavesDoNotPileUp() {
        const QString once = titleWithAddition(u"Tarvex"_s, u"Офис"_s);
        QCOMPARE(titleWithAddition(once, u"Офис"_s), once);
    }
};

QTEST_APPLESS_MAIN(TestWindowTitle)
#include "tst_windowtitle.moc"
