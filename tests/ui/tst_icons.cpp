#include "ui/greydisabledicons.h"
#include "ui/icons.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // No desktop theme: every icon comes from the program's own copies.
        QIcon::setThemeName(u"no-such-theme"_s);
        QApplication::setStyle(new GreyDisabledIconsStyle); // as the program starts
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

    // A command that cannot run looks it: its icon is light grey, line art included.
    void disabledIconsAreLightGrey_data() {
        QTest::addColumn<QIcon>("icon");
        QTest::newRow("edit (own copy)") << tarvexIcon("document-edit");
        QTest::newRow("delete (own copy)") << tarvexIcon("list-remove");
        const QStyle* style = QApplication::style();
        QTest::newRow("duplicate condition (style)") << style->standardIcon(QStyle::SP_FileDialogContentsView);
        QTest::newRow("edit condition (style)") << style->standardIcon(QStyle::SP_FileDialogDetailedView);
        QTest::newRow("delete condition (style)") << style->standardIcon(QStyle::SP_TrashIcon);
    }
    void disabledIconsAreLightGrey() {
        QFETCH(QIcon, icon);
        const QImage shown = icon.pixmap(24, 24, QIcon::Disabled).toImage();
        int painted = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QColor pixel = shown.pixelColor(x, y);
                if (pixel.alpha() < 128)
                    continue; // faint edges carry too little colour to judge
                ++painted;
                QVERIFY2(pixel.red() == pixel.green() && pixel.green() == pixel.blue(), qPrintable(pixel.name()));
                QVERIFY2(pixel.red() >= 150, qPrintable(pixel.name()));
            }
        }
        QVERIFY(painted > 0);
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
