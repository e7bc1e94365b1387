#include "ui/icons.h"

#include <QFile>
#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // No desktop theme: every icon comes from the program's own copies.
        QIcon::setThemeName(u"no-such-theme"_s);
    }

    void actionIconsHaveAShippedCopy_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"application-exit",    "dialog-ok",     "document-edit",  "document-new",
                                 "document-open",       "document-save", "edit-clear",     "edit-copy",
                                 "edit-delete",         "folder-open",   "go-down",        "go-up",
                                 "help-about",          "help-contents", "list-add",       "list-remove",
                                 "preferences-system",  "system-run",    "text-x-generic", "text-x-script",
                                 "x-office-spreadsheet"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void actionIconsHaveAShippedCopy() {
        QFETCH(QString, name);
        const QIcon icon = tarvexIcon(name.toLatin1().constData());
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(24, 24)});
        QVERIFY(!icon.pixmap(24, 24).isNull());
    }

    void unknownNameGivesNoPicture() { QVERIFY(tarvexIcon("no-such-icon").availableSizes().isEmpty()); }

    void bspMarksAreSixteenPixelsAndDiffer() {
        const QImage member = bspMark(true).toImage();
        const QImage other = bspMark(false).toImage();
        QCOMPARE(member.size(), QSize(16, 16));
        QCOMPARE(other.size(), QSize(16, 16));
        QVERIFY(member != other);
    }

    void programIconExists() { QVERIFY(!programIcon().pixmap(48, 48).isNull()); }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
