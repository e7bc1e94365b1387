#include "store/storedutf8.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

// Register texts are decoded with a short path of their own for Latin and Cyrillic; it
// must give exactly what Qt's decoder gives, whatever the bytes.
class TestStoredUtf8 : public QObject {
    Q_OBJECT
private slots:
    void decodesLikeQt_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("ascii") << QByteArray("RM COMMISSION 7");
        QTest::newRow("cyrillic") << QByteArray("Сбор 300 руб.");
        QTest::newRow("two-byte limits") << QByteArray("\xC2\x80\xDF\xBF");
        QTest::newRow("three-byte after cyrillic") << QByteArray("Сумма 5 €");
        QTest::newRow("four-byte") << QByteArray("a\xF0\x9F\x98\x80z");
        QTest::newRow("U+FFFE and U+FFFF") << QByteArray("\xEF\xBF\xBE\xEF\xBF\xBF");
        QTest::newRow("overlong two-byte") << QByteArray("\xC0\x80x\xC1\xBF");
        QTest::newRow("lone continuation") << QByteArray("a\x80\xBF");
        QTest::newRow("lead cut at the end") << QByteArray("Сб\xD0");
        QTest::newRow("lead before ascii") << QByteArray("\xD0z");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("invalid bytes") << QByteArray("\xFE\xFF\xF8");
        QTest::newRow("nul inside") << QByteArray("a\0b", 3);
        QTest::newRow("mark in the middle") << QByteArray("a\xEF\xBB\xBF");
    }
    void decodesLikeQt() {
        QFETCH(QByteArray, utf8);
        QCOMPARE(storedUtf8(utf8), QString::fromUtf8(utf8));
    }

    // fromUtf8() drops a byte order mark that opens the text; the register's text keeps it.
    void openingByteOrderMarkIsKept() {
        QCOMPARE(storedUtf8("\xEF\xBB\xBFTK"), QChar(0xFEFF) + u"TK"_s);
        QCOMPARE(storedUtf8("\xEF\xBB\xBF"), QString(QChar(0xFEFF)));
    }

    void nullAndEmptyStayApart() {
        QVERIFY(storedUtf8(QByteArrayView()).isNull());
        const QString empty = storedUtf8(QByteArrayView("", 0));
        QVERIFY(empty.isEmpty());
        QVERIFY(!empty.isNull());
    }

    void randomBytesDecodeLikeQt() {
        // Bytes around every boundary of the short path, in random strings.
        const QByteArray alphabet("\x00\x41\x7F\x80\xBF\xC0\xC1\xC2\xD0\xD1\xDF\xE0\xED\xEF\xBB\xF0\xF4\xF5\xFF", 19);
        QRandomGenerator random(20261210);
        QString reused;
        for (int round = 0; round < 50000; ++round) {
            QByteArray utf8;
            const int size = int(random.bounded(12));
            for (int i = 0; i < size; ++i)
                utf8 += alphabet.at(int(random.bounded(alphabet.size())));
            QString expected = QString::fromUtf8(utf8);
            if (utf8.startsWith("\xEF\xBB\xBF"))
                expected.prepend(QChar(0xFEFF));
            assignStoredUtf8(reused, utf8);
            if (reused != expected)
                QFAIL(qPrintable(u"bytes %1"_s.arg(QString::fromLatin1(utf8.toHex(' ')))));
        }
    }

    void sharedTextIsNotOverwritten() {
        QString text = storedUtf8("Условие продажи");
        const QString copy = text;
        assignStoredUtf8(text, "RM");
        QCOMPARE(copy, u"Условие продажи"_s);
        QCOMPARE(text, u"RM"_s);

        // A text nothing shares takes the next value in the storage it has.
        QString alone = storedUtf8("Условие продажи");
        const QChar* storage = alone.constData();
        assignStoredUtf8(alone, "Сбор");
        QCOMPARE(alone, u"Сбор"_s);
        QCOMPARE(alone.constData(), storage);
    }
};

QTEST_GUILESS_MAIN(TestStoredUtf8)
#include "tst_storedutf8.moc"
