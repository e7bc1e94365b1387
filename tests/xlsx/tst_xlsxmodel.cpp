#include "xlsx/celltext.h"
#include "xlsx/colour.h"
#include "xlsx/digitwidth.h"
#include "xlsx/units.h"
#include "xlsx/workbook.h"

#include <QTest>

using namespace tarvex::xlsx;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CellRange)

namespace {

// "A1:C3" style text to a range, for readable tables.
CellRange range(const char* text) {
    const QString s = QString::fromLatin1(text);
    const QStringList corners = s.split(u':');
    auto corner = [](const QString& ref, int& column, int& row) {
        qsizetype split = 0;
        while (split < ref.size() && ref[split].isLetter())
            ++split;
        column = columnIndex(QStringView(ref).left(split));
        row = ref.mid(split).toInt() - 1;
    };
    CellRange r;
    corner(corners[0], r.left, r.top);
    corner(corners.value(1, corners[0]), r.right, r.bottom);
    return r;
}

} // namespace

class TestXlsxModel : public QObject {
    Q_OBJECT

private slots:
    void units_data();
    void units();
    void sheetTitle_data();
    void sheetTitle();
    void merge_data();
    void merge();
    void gridGrowsAndShrinks();
    void styleTable();
    void colours();
    void maximumDigitWidths();
    void textIsFittedToACell_data();
    void textIsFittedToACell();
};

void TestXlsxModel::units_data() {
    QTest::addColumn<double>("millimetres");
    QTest::addColumn<double>("points");
    QTest::addColumn<double>("millimetresBack");
    QTest::addColumn<int>("pixels");

    QTest::newRow("10 mm") << 10.0 << 28.34 << 10.0 << 38;
    QTest::newRow("15 mm") << 15.0 << 42.52 << 15.0 << 57;
    QTest::newRow("30 mm") << 30.0 << 85.03 << 30.0 << 113;
    QTest::newRow("60 mm") << 60.0 << 170.07 << 60.0 << 226;
    QTest::newRow("120 mm") << 120.0 << 340.14 << 120.0 << 453;
    QTest::newRow("default row, 4.5 mm") << 4.5 << 12.76 << 4.5 << 17;
}

void TestXlsxModel::units() {
    QFETCH(double, millimetres);
    QFETCH(double, points);
    QFETCH(double, millimetresBack);
    QFETCH(int, pixels);
    QCOMPARE(millimetresToPoints(millimetres), points);
    QCOMPARE(pointsToMillimetres(points), millimetresBack);
    QCOMPARE(pointsToPixels(points), pixels);

    Sheet sheet;
    sheet.setColumnCount(1);
    sheet.setRowCount(1);
    sheet.setColumnWidthMillimetres(0, millimetres);
    sheet.setRowHeightMillimetres(0, millimetres);
    QCOMPARE(sheet.columnOptions(0)->size, points);
    QCOMPARE(sheet.rowOptions(0)->size, points);
}

void TestXlsxModel::sheetTitle_data() {
    QTest::addColumn<QStringList>("earlierTitles");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("stored");

    const QString longTitle = QStringLiteral("Комиссионное вознаграждение авиакомпаний");
    QTest::newRow("date") << QStringList() << "09.12.2024"
                          << "09.12.2024";
    QTest::newRow("slashes become spaces") << QStringList() << "09/12/2024"
                                           << "09 12 2024";
    QTest::newRow("every forbidden character") << QStringList() << "a\\b/c*d[e]f?g:h"
                                               << "a b c d e f g h";
    QTest::newRow("trimmed of blanks and controls") << QStringList() << "\t  Лист \x01"
                                                    << "Лист";
    QTest::newRow("cut to 31") << QStringList() << longTitle << longTitle.left(31);
    QTest::newRow("31 kept") << QStringList() << longTitle.left(31) << longTitle.left(31);
    QTest::newRow("blank") << QStringList() << " \t "
                           << "Лист1";
    QTest::newRow("only forbidden characters") << QStringList() << "[?]"
                                               << "Лист1";
    QTest::newRow("taken, ignoring case") << QStringList{"ЛИСТ"} << "лист"
                                          << "лист (2)";
    QTest::newRow("counts up") << QStringList{"Data", "Data (2)"} << "data"
                               << "data (3)";
    QTest::newRow("shortened to fit the number")
        << QStringList{longTitle.left(31)} << longTitle << longTitle.left(27) + " (2)";
}

void TestXlsxModel::sheetTitle() {
    QFETCH(QStringList, earlierTitles);
    QFETCH(QString, title);
    QFETCH(QString, stored);
    Workbook workbook;
    workbook.setSheetCount(int(earlierTitles.size()) + 1);
    for (int i = 0; i < earlierTitles.size(); ++i)
        workbook.setSheetTitle(i, earlierTitles[i]);
    workbook.setSheetTitle(int(earlierTitles.size()), title);
    QCOMPARE(workbook.sheet(int(earlierTitles.size()))->title(), stored);
}

void TestXlsxModel::merge_data() {
    QTest::addColumn<QStringList>("merges");
    QTest::addColumn<QStringList>("areas");

    QTest::newRow("title area") << QStringList{"A1:F2"} << QStringList{"A1:F2"};
    QTest::newRow("corners normalised") << QStringList{"D5:B2"} << QStringList{"B2:D5"};
    QTest::newRow("single cell not recorded") << QStringList{"C3:C3"} << QStringList{};
    QTest::newRow("negative coordinate") << QStringList{"A0:B2"} << QStringList{};
    QTest::newRow("crossed area replaced") << QStringList{"A2:A4", "A1:A3"} << QStringList{"A1:A3"};
    QTest::newRow("enclosed areas removed")
        << QStringList{"B2:B3", "C4:D4", "E1:F1", "A1:D5"} << QStringList{"E1:F1", "A1:D5"};
    QTest::newRow("inside an area refused") << QStringList{"A1:D10", "B2:C3"} << QStringList{"A1:D10"};
    QTest::newRow("crossing without corners refused") << QStringList{"B1:B5", "A3:C3"} << QStringList{"B1:B5"};
    QTest::newRow("neighbours kept in order")
        << QStringList{"A4:A6", "A1:A3", "E4:F4"} << QStringList{"A4:A6", "A1:A3", "E4:F4"};
}

void TestXlsxModel::merge() {
    QFETCH(QStringList, merges);
    QFETCH(QStringList, areas);
    Sheet sheet;
    for (const QString& text : merges) {
        const CellRange r = range(qPrintable(text));
        sheet.merge(r.left, r.top, r.right, r.bottom);
    }
    QList<CellRange> expected;
    for (const QString& text : areas)
        expected.append(range(qPrintable(text)));
    QCOMPARE(sheet.mergedAreas(), expected);
}

void TestXlsxModel::gridGrowsAndShrinks() {
    Sheet sheet;
    QVERIFY(!sheet.cell(0, 0));
    sheet.setColumnCount(2);
    sheet.setRowCount(3);
    sheet.setCellText(1, 2, QStringLiteral("x"));
    sheet.setColumnWidthPoints(1, 20);

    sheet.setColumnCount(4);
    sheet.setRowCount(5);
    QCOMPARE(sheet.columnOptions(3)->size, Sheet::kDefaultColumnWidth);
    QCOMPARE(sheet.rowOptions(4)->size, Sheet::kDefaultRowHeight);
    QCOMPARE(sheet.columnOptions(1)->size, 20.0);
    QCOMPARE(sheet.cell(u"B", 2)->text, QStringLiteral("x"));
    const Cell* added = sheet.cell(3, 4);
    QVERIFY(added);
    QVERIFY(added->text.isNull()); // no text storage behind an empty cell
    QCOMPARE(added->style, -1);
    QCOMPARE(added->type, CellType::String);
    QVERIFY(!sheet.cell(4, 0));
    QVERIFY(!sheet.cell(0, 5));
    QVERIFY(!sheet.cell(-1, 0));
    QVERIFY(!sheet.cell(u"E", 0));

    sheet.setRowCount(2);
    sheet.setColumnCount(1);
    QVERIFY(!sheet.cell(1, 2));
    QVERIFY(!sheet.columnOptions(1));
    sheet.setRowCount(3);
    sheet.setColumnCount(2);
    QVERIFY(sheet.cell(1, 2)->text.isNull()); // regrown cells start empty
    QCOMPARE(sheet.columnOptions(1)->size, Sheet::kDefaultColumnWidth);
}

void TestXlsxModel::styleTable() {
    StyleTable styles;
    styles.setCount(2);
    styles.mutableStyle(0)->font.size = 16;
    styles.mutableStyle(0)->font.bold = true;
    styles.copyStyle(0, 1);
    QCOMPARE(styles.style(1).font.size, 16.0);
    QVERIFY(styles.style(1).font.bold);

    styles.setCount(3);
    const CellStyle& added = styles.style(2);
    QCOMPARE(added.font.name, QStringLiteral("Arial"));
    QCOMPARE(added.font.size, 10.0);
    QCOMPARE(added.backgroundColour, kNoFillColour);

    for (int outside : {-1, 3, 100}) {
        QCOMPARE(&styles.style(outside), &styles.defaultStyle());
        QVERIFY(!styles.mutableStyle(outside));
    }
}

void TestXlsxModel::colours() {
    char text[7] = {};
    writeRrggbb(kTooltipBackground, text);
    QCOMPARE(QByteArray(text), QByteArray("FFFFE1"));
    writeRrggbb(0x0000FF, text); // red lives in the lowest byte
    QCOMPARE(QByteArray(text), QByteArray("FF0000"));
    writeRrggbb(kNoFillColour, text);
    QCOMPARE(QByteArray(text), QByteArray("050000"));
    QCOMPARE(resolveColour(0x123456), Colour(0x123456));
}

void TestXlsxModel::maximumDigitWidths() {
    QCOMPARE(maximumDigitWidth(QStringLiteral("Arial"), 16), 12);
    QCOMPARE(maximumDigitWidth(QStringLiteral("Arial"), 16.9), 12); // the size counts in whole points
    QCOMPARE(maximumDigitWidth(QStringLiteral("Arial"), 10), 7);
    QCOMPARE(maximumDigitWidth(QStringLiteral("Arial"), 12), 9);
}

void TestXlsxModel::textIsFittedToACell_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fitted");
    const QString smile = u"\U0001F600"_s; // two UTF-16 code units
    const QString ellipsis = u"…"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("exactly the limit") << QString(32767, u'a') << QString(32767, u'a');
    QTest::newRow("one over") << QString(32768, u'a') << QString(32766, u'a') + ellipsis;
    QTest::newRow("far over") << QString(100000, u'я') << QString(32766, u'я') + ellipsis;
    QTest::newRow("pair across the cut") << QString(32765, u'a') + smile + u"bc"_s << QString(32765, u'a') + ellipsis;
    QTest::newRow("pair before the cut") << QString(32764, u'a') + smile + u"bc"_s
                                         << QString(32764, u'a') + smile + ellipsis;
}

void TestXlsxModel::textIsFittedToACell() {
    QFETCH(QString, text);
    QFETCH(QString, fitted);
    const QString result = fitToCell(text);
    QCOMPARE(result.size(), fitted.size());
    QVERIFY(result == fitted);
    QVERIFY(result.size() <= kMaxCellTextLength);
}

QTEST_GUILESS_MAIN(TestXlsxModel)
#include "tst_xlsxmodel.moc"
