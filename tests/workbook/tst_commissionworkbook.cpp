#include "generation/commissionworkbook.h"
#include "support/records.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kDate = QStringLiteral("09.12.2024");
const QString kTitle = QStringLiteral("Комиссионное вознаграждение авиакомпаний 09.12.2024");
const QString kCheckerScript = QStringLiteral(TARVEX_TEST_SOURCE_DIR "/check_workbook.py");

// The styles of one airline row: A to C airline, D like the headers, E and F as given. Cells
// hidden under a merged area are left out: readers show the style of the area's first cell.
void expectAirlineRowStyles(QJsonObject& styles, int row, const QString& commissionStyle, bool firstOfBlock = true) {
    const QString r = QString::number(row);
    if (firstOfBlock) {
        for (const char* column : {"A", "B", "C"})
            styles[column + r] = "airline";
        styles["D" + r] = "header";
    }
    styles["E" + r] = commissionStyle;
    if (commissionStyle != "comment")
        styles["F" + r] = commissionStyle;
}

// Splits one line of comma-separated values, quotes removed.
QStringList csvFields(const QString& line) {
    QStringList fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
            fields.last() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            fields.append(QString());
        else if (c != u'\r')
            fields.last() += c;
    }
    return fields;
}

// The title area and the headers every workbook has.
QJsonObject commonExpectations() {
    QJsonObject cells{{"A1", kTitle},    {"B1", QJsonValue()}, {"A2", QJsonValue()},
                      {"A3", "Код а/к"}, {"B3", "Код IATA"},   {"C3", "Название"},
                      {"D3", "BSP"},     {"E3", "Комиссия"},   {"F3", "Сервисный сбор"}};
    QJsonObject styles{{"A1", "title"}, {"G1", "default"}, {"A2", "default"}, {"G3", "default"}};
    for (const char* column : {"A", "B", "C", "D", "E", "F"})
        styles[QString(column) + "3"] = "header";
    return {{"sheet_title", kDate},
            {"max_column", 10},
            {"cells", cells},
            {"styles", styles},
            {"column_widths", QJsonObject{{"A", 9.4140625},
                                          {"B", 9.4140625},
                                          {"C", 18.8359375},
                                          {"D", 9.4140625},
                                          {"E", 37.74609375},
                                          {"F", 37.74609375},
                                          {"G", 5.3359375},
                                          {"J", 5.3359375}}},
            {"row_heights", QJsonObject{{"1", 12.76}, {"2", 28.35}, {"3", 42.53}}}};
}

// Adds entries to an object member of the expectations.
void merge(QJsonObject& expectations, const char* key, const QJsonObject& more) {
    QJsonObject member = expectations[key].toObject();
    for (auto it = more.begin(); it != more.end(); ++it)
        member[it.key()] = it.value();
    expectations[key] = member;
}

} // namespace

class TestCommissionWorkbook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void noAirlines();
    void airlineBlocks();
    void withoutFeesColumnFStaysEmpty();
    void gridGrowsPastTenThousandRows();
    void textsLongerThanACellAreCut();
    void daysInForceFollowTheWording();
    void libreOfficeReadsTheTable();

private:
    QString writeBook(CommissionWorkbook& book, const QString& name);
    void checkWithOpenpyxl(const QString& bookPath, const QJsonObject& expectations);
    static void addSampleRegister(CommissionWorkbook& book);

    QTemporaryDir m_dir;
};

void TestCommissionWorkbook::initTestCase() {
    QVERIFY(m_dir.isValid());
    // A comma locale must not reach the percent texts.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
        QFAIL("/usr/bin/python3 with openpyxl is needed to read the workbook back");
}

QString TestCommissionWorkbook::writeBook(CommissionWorkbook& book, const QString& name) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QString error;
    if (!book.writePackage(file, &error)) {
        qWarning() << error;
        return {};
    }
    return path;
}

void TestCommissionWorkbook::checkWithOpenpyxl(const QString& bookPath, const QJsonObject& expectations) {
    QVERIFY(!bookPath.isEmpty());
    const QString expectationsPath = bookPath + ".json";
    QFile file(expectationsPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(expectations).toJson());
    file.close();

    QProcess python;
    python.start("/usr/bin/python3", {kCheckerScript, bookPath, expectationsPath});
    QVERIFY(python.waitForFinished(120000));
    const QByteArray report = python.readAllStandardOutput() + python.readAllStandardError();
    QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0, report.constData());
}

void TestCommissionWorkbook::noAirlines() {
    CommissionWorkbook book(kDate, true);
    QJsonObject expectations = commonExpectations();
    expectations["max_row"] = 10000;
    expectations["merges"] = QJsonArray{"A1:F2"};
    merge(expectations, "cells", {{"A4", QJsonValue()}, {"J10000", QJsonValue()}});
    merge(expectations, "styles", {{"A4", "default"}, {"J10000", "default"}});
    merge(expectations, "row_heights", {{"4", 12.76}, {"10000", 12.76}});
    checkWithOpenpyxl(writeBook(book, "empty.xlsx"), expectations);
}

void TestCommissionWorkbook::addSampleRegister(CommissionWorkbook& book) {
    // Row 4: one condition, no comment.
    book.addAirline(inBsp(airline("AA", "American Airlines", "001")),
                    {withFee(percentCondition("все рейсы", "7.5"), "500 RUB")});
    // Row 5: a comment and no conditions.
    book.addAirline(withComment(airline("BB", "Bee Air", "002"), "  Договор до 31.12.2025\r\n"), {});
    // Rows 6 to 8: a comment of 120 characters, then two conditions in the given order.
    book.addAirline(inBsp(withComment(airline("CC", "Cee & \"Co\"", "003"), QString(120, u'к'))),
                    {withFee(sumCondition("бизнес", 15, "USD"), "   "), withFee(sumCondition("прочее", 0, {}), "0")});
    // Row 9: neither comment nor conditions.
    book.addAirline(airline("DD", "Dee", "004"), {});
    // Row 10: a currency wins over a percentage.
    book.addAirline(airline("EE", "Eee", "005"), {[] {
                        ConditionRecord record = sumCondition("эконом", 20, "EUR");
                        record.comPct = Decimal4::fromInteger(5);
                        return record;
                    }()});
}

void TestCommissionWorkbook::airlineBlocks() {
    CommissionWorkbook book(kDate, true);
    addSampleRegister(book);

    QJsonObject expectations = commonExpectations();
    expectations["max_row"] = 10000;
    expectations["merges"] = QJsonArray{"A1:F2", "E5:F5", "E6:F6", "A6:A8", "B6:B8", "C6:C8", "D6:D8"};
    merge(expectations, "cells",
          {{"A4", "AA"},
           {"B4", "001"},
           {"C4", "American Airlines"},
           {"D4", "+"},
           {"E4", "7.5 % = все рейсы"},
           {"F4", "500 RUB = все рейсы"},
           {"A5", "BB"},
           {"D5", "-"},
           {"E5", "Договор до 31.12.2025"},
           {"F5", QJsonValue()},
           {"A6", "CC"},
           {"C6", "Cee & \"Co\""},
           {"D6", "+"},
           {"E6", QString(120, u'к')},
           {"A7", QJsonValue()},
           {"D7", QJsonValue()},
           {"E7", "15 USD = бизнес"},
           {"F7", QJsonValue()}, // a fee of spaces only
           {"E8", "0  = прочее"},
           {"F8", "0 = прочее"},
           {"A9", "DD"},
           {"D9", "-"},
           {"E9", QJsonValue()},
           {"F9", QJsonValue()},
           {"A10", "EE"},
           {"E10", "20 EUR = эконом"},
           {"F10", QJsonValue()},
           {"A11", QJsonValue()}});

    QJsonObject styles;
    expectAirlineRowStyles(styles, 4, "condition");
    expectAirlineRowStyles(styles, 5, "comment");
    expectAirlineRowStyles(styles, 6, "comment");
    expectAirlineRowStyles(styles, 7, "condition", false);
    expectAirlineRowStyles(styles, 8, "condition", false);
    expectAirlineRowStyles(styles, 9, "condition");
    expectAirlineRowStyles(styles, 10, "condition");
    styles["A11"] = "default";
    styles["G4"] = "default";
    merge(expectations, "styles", styles);
    // Comment rows: (pieces of 50 + 6) x 12.75 pt, written through millimetres.
    merge(expectations, "row_heights", {{"4", 12.76}, {"5", 89.27}, {"6", 114.76}, {"7", 12.76}});
    checkWithOpenpyxl(writeBook(book, "blocks.xlsx"), expectations);
}

void TestCommissionWorkbook::withoutFeesColumnFStaysEmpty() {
    CommissionWorkbook book(kDate, false);
    book.addAirline(
        inBsp(airline("AA", "American Airlines", "001")),
        {withFee(percentCondition("все рейсы", "0.125"), "500 RUB"), withFee(percentCondition("группы", "10"), "100")});
    QJsonObject expectations = commonExpectations();
    expectations["merges"] = QJsonArray{"A1:F2", "A4:A5", "B4:B5", "C4:C5", "D4:D5"};
    merge(expectations, "cells",
          {{"E4", "0.125 % = все рейсы"}, {"F4", QJsonValue()}, {"E5", "10 % = группы"}, {"F5", QJsonValue()}});
    QJsonObject styles;
    expectAirlineRowStyles(styles, 4, "condition");
    expectAirlineRowStyles(styles, 5, "condition", false);
    merge(expectations, "styles", styles);
    checkWithOpenpyxl(writeBook(book, "nofees.xlsx"), expectations);
}

void TestCommissionWorkbook::gridGrowsPastTenThousandRows() {
    CommissionWorkbook book(kDate, true);
    ConditionList many;
    for (int i = 0; i < 9996; ++i)
        many.append(percentCondition(QString::number(i), "1"));
    book.addAirline(airline("AA", "A", "001"), many); // rows 4 to 9999
    book.addAirline(inBsp(withComment(airline("BB", "B", "002"), "длинный договор")),
                    {percentCondition("x", "2"), percentCondition("y", "3"), percentCondition("z", "4")});

    QJsonObject expectations = commonExpectations();
    expectations["max_row"] = 10003;
    expectations["merges"] =
        QJsonArray{"A1:F2",         "A4:A9999",      "B4:B9999",      "C4:C9999",      "D4:D9999",
                   "E10000:F10000", "A10000:A10003", "B10000:B10003", "C10000:C10003", "D10000:D10003"};
    merge(expectations, "cells",
          {{"E9999", "1 % = 9995"}, {"A10000", "BB"}, {"E10000", "длинный договор"}, {"E10003", "4 % = z"}});
    QJsonObject styles;
    expectAirlineRowStyles(styles, 10000, "comment");
    expectAirlineRowStyles(styles, 10003, "condition", false);
    merge(expectations, "styles", styles);
    merge(expectations, "row_heights", {{"10000", 89.27}, {"10003", 12.76}});
    checkWithOpenpyxl(writeBook(book, "grown.xlsx"), expectations);
}

// Every condition stays in the table, with the days it is in force after its wording.
void TestCommissionWorkbook::daysInForceFollowTheWording() {
    CommissionWorkbook book(kDate, true);
    const QDate march(2027, 3, 1);
    const QDate may(2027, 5, 31);
    book.addAirline(
        airline("SU", "Аэрофлот", "555"),
        {inForce(percentCondition("весна", "7.5"), march, may), inForce(percentCondition("с марта", "5"), march, {}),
         inForce(withFee(sumCondition("до июня", 20, "USD", 4), "300"), {}, may), percentCondition("всегда", "3")});
    QJsonObject expectations = commonExpectations();
    expectations["merges"] = QJsonArray{"A1:F2", "A4:A7", "B4:B7", "C4:C7", "D4:D7"};
    merge(expectations, "cells",
          {{"E4", u"7.5 % = весна с 01.03.2027 по 31.05.2027"_s},
           {"E5", u"5 % = с марта с 01.03.2027"_s},
           {"E6", u"20 USD = до июня по 31.05.2027"_s},
           {"F6", u"300 = до июня"_s},
           {"E7", u"3 % = всегда"_s}});
    checkWithOpenpyxl(writeBook(book, "days.xlsx"), expectations);
}

// A spreadsheet program refuses a cell of more than 32,767 UTF-16 code units: such a text
// goes in cut, visibly, and each cut is reported.
void TestCommissionWorkbook::textsLongerThanACellAreCut() {
    CommissionWorkbook book(kDate, true);
    AirlineRecord su = withComment(airline("SU", "Аэрофлот", "555"), QString(40000, u'к'));
    su.id = 5;
    // The wording fits, but not with the percentage or the fee before it; at the cut of the
    // commission text a surrogate pair ends, at the cut of the fee text one begins.
    const QString wording = QString(32758, u'у') + u"\U0001F600 конец"_s;
    ConditionRecord condition = withFee(percentCondition(wording, "5"), "1500");
    condition.id = 7;
    book.addAirline(su, {condition});
    book.addAirline(airline("EK", "Эмирейтс", "176"), {percentCondition("все", "3")});

    const QString comment = QString(32766, u'к') + u'…';
    const QString commission = u"5 % = "_s + QString(32758, u'у') + u"\U0001F600…"_s;
    const QString fee = u"1500 = "_s + QString(32758, u'у') + u'…';
    QCOMPARE(book.warnings(),
             (QStringList{u"Книга Excel: в ячейку помещается не больше 32767 знаков, поэтому от комментария "
                          u"авиакомпании SU (id 5) длиной 40000 знаков записано только начало, с «…» в конце."_s,
                          u"Книга Excel: в ячейку помещается не больше 32767 знаков, поэтому от текста комиссии "
                          u"условия id 7 авиакомпании SU (id 5) длиной 32772 знаков записано только начало, "
                          u"с «…» в конце."_s,
                          u"Книга Excel: в ячейку помещается не больше 32767 знаков, поэтому от текста "
                          u"сервисного сбора условия id 7 авиакомпании SU (id 5) длиной 32773 знаков записано "
                          u"только начало, с «…» в конце."_s}));

    // The file holds the cut texts, and the comment row no taller than a spreadsheet row can be.
    QJsonObject expectations = commonExpectations();
    expectations["merges"] = QJsonArray{"A1:F2", "E4:F4", "A4:A5", "B4:B5", "C4:C5", "D4:D5"};
    merge(expectations, "cells",
          {{"E4", comment}, {"E5", commission}, {"F5", fee}, {"A6", "EK"}, {"E6", u"3 % = все"_s}});
    merge(expectations, "row_heights", {{"4", 409.0}});
    checkWithOpenpyxl(writeBook(book, "long.xlsx"), expectations);
}

void TestCommissionWorkbook::libreOfficeReadsTheTable() {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    CommissionWorkbook book(kDate, true);
    addSampleRegister(book);
    const QString path = writeBook(book, "calc.xlsx");
    QVERIFY(!path.isEmpty());

    QProcess office;
    office.start(soffice, {"-env:UserInstallation=file://" + m_dir.filePath("profile"), "--headless", "--convert-to",
                           "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", m_dir.path(), path});
    QVERIFY(office.waitForFinished(180000));
    QFile csv(m_dir.filePath("calc.csv"));
    QVERIFY2(csv.open(QIODevice::ReadOnly), office.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n');
    QVERIFY(lines.size() >= 10);
    const QList<QStringList> expectedRows = {
        {kTitle, "", "", "", "", ""},
        {"", "", "", "", "", ""},
        {"Код а/к", "Код IATA", "Название", "BSP", "Комиссия", "Сервисный сбор"},
        {"AA", "001", "American Airlines", "+", "7.5 % = все рейсы", "500 RUB = все рейсы"},
        {"BB", "002", "Bee Air", "-", "Договор до 31.12.2025", ""},
        {"CC", "003", "Cee & \"Co\"", "+", QString(120, u'к'), ""},
        {"", "", "", "", "15 USD = бизнес", ""},
        {"", "", "", "", "0  = прочее", "0 = прочее"},
        {"DD", "004", "Dee", "-", "", ""},
        {"EE", "005", "Eee", "-", "20 EUR = эконом", ""},
    };
    for (int i = 0; i < expectedRows.size(); ++i)
        QCOMPARE(csvFields(lines[i]).mid(0, 6), expectedRows[i]);
}

QTEST_GUILESS_MAIN(TestCommissionWorkbook)
#include "tst_commissionworkbook.moc"
