#include "store/casefold.h"

#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestCaseFold : public QObject {
    Q_OBJECT
private slots:
    // Every character outside the surrogates, as Qt's own folding of a string folds it.
    void foldsAsQtFoldsAString() {
        QString units;
        for (char32_t code = 0; code <= 0xFFFF; ++code) {
            if (!QChar::isSurrogate(code))
                units += QChar(char16_t(code));
        }
        QString folded = units;
        QVERIFY(foldCaseInPlace(folded.data(), folded.data() + folded.size()));
        QCOMPARE(folded, units.toCaseFolded());
    }

    void leavesSurrogatesToQt() {
        for (const QString& text : {u"Ёлка \U00010400"_s, u"A\xD801"_s, u"\xDC00z"_s}) {
            QString kept = text;
            QVERIFY(!foldCaseInPlace(kept.data(), kept.data() + kept.size()));
            QCOMPARE(kept, text);
        }
    }
};

QTEST_APPLESS_MAIN(TestCaseFold)
#include "tst_casefold.moc"
