#include "generation/commissionworkbook.h"
#include "support/syntheticregister.h"
#include "xlsx/chunkeddeflate.h"
#include "xlsx/package.h"
#include "xlsx/rowstreamedworkbook.h"
#include "xlsx/workbook.h"
#include "zipentries.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <zlib.h>

#include <random>

using namespace tarvex;
using namespace tarvex::xlsx;

namespace {

QByteArray fixture(const QString& name) {
    QFile file(QStringLiteral(TARVEX_TEST_DATA_DIR "/xlsx/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ZipArchive writeAndRead(const Workbook& workbook) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    const bool written = writePackage(workbook, buffer, &error);
    if (!written)
        qWarning() << "writePackage failed:" << error;
    ZipArchive archive = readZip(buffer.data());
    if (!written)
        archive.problems.append(error);
    return archive;
}

// A one-column, one-row sheet holding the text; returns its single cell line(s) and the shared strings.
struct WrittenCell {
    QByteArray cell;
    QByteArray sharedStrings;
};

WrittenCell writeSingleCell(const QString& text) {
    Workbook workbook;
    workbook.setSheetCount(1);
    Sheet& sheet = *workbook.sheet(0);
    sheet.setColumnCount(1);
    sheet.setRowCount(1);
    sheet.setCellText(0, 0, text);
    const ZipArchive archive = writeAndRead(workbook);
    const QByteArray sheetXml = archive.data(QStringLiteral("xl/worksheets/sheet1.xml"));
    const qsizetype begin = sheetXml.indexOf("   <c ");
    const qsizetype end = sheetXml.indexOf("  </row>");
    return {sheetXml.mid(begin, end - begin), archive.data(QStringLiteral("xl/sharedStrings.xml"))};
}

const QByteArray kSstOpen =
    "<sst count=\"1\" uniqueCount=\"1\" xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
    "2006/main\">\r\n";

// Fails the writes after the first bytes, as a full disk does.
class FailingDevice : public QBuffer {
public:
    explicit FailingDevice(qint64 budget)
        : m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 size) override {
        if (pos() + size > m_budget) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, size);
    }

private:
    qint64 m_budget;
};

} // namespace

class TestXlsxPackage : public QObject {
    Q_OBJECT

private slots:
    void partsMatchFixtures();
    void commissionStylesMatchFixture();
    void archiveIsValidForPythonZipfile();
    void cellTexts_data();
    void cellTexts();
    void equalMultiLineTextsShareOneEntry();
    void largeSheetStreamsEveryRow();
    void chunkedDeflateMakesOneStream_data();
    void chunkedDeflateMakesOneStream();
    void streamedSheetMatchesTheModel();
    void commissionSheetStaysNearZlibDefaultSize();
    void workbookWithoutSheetsWritesNothing();
    void writeErrorIsReported();
};

// Three sheets, the first holding a little of everything a sheet part has.
static void buildSampleWorkbook(Workbook& workbook) {
    workbook.setCreationTime(QDateTime(QDate(2024, 12, 9), QTime(10, 5, 33), QTimeZone(3 * 3600)));
    workbook.styles().setCount(3);
    workbook.styles().mutableStyle(0)->font.size = 16; // widths are measured in its digits
    workbook.setSheetCount(3);
    workbook.setSheetTitle(0, QStringLiteral("09.12.2024"));
    workbook.setSheetTitle(1, QStringLiteral("R&D 'Q1'"));
    workbook.setSheetTitle(2, QStringLiteral("r&d 'q1'"));

    Sheet& sheet = *workbook.sheet(0);
    sheet.setColumnCount(3);
    sheet.setRowCount(2);
    sheet.setColumnWidthMillimetres(0, 30);
    sheet.setColumnWidthMillimetres(2, 120);
    sheet.setRowHeightMillimetres(0, 10);
    sheet.setCellText(0, 0, QStringLiteral("a<b & c>d"));
    sheet.setCellStyle(0, 0, 0);
    sheet.setCellStyle(1, 0, 2);
    sheet.setCellText(2, 0, QStringLiteral("tail "));
    sheet.setCellText(0, 1, QStringLiteral("line1\nline2"));
    sheet.setCellText(1, 1, QStringLiteral("tail "));
    sheet.setCellStyle(2, 1, 7); // outside the style table: the default style
    sheet.merge(0, 1, 1, 1);
}

void TestXlsxPackage::partsMatchFixtures() {
    Workbook workbook;
    buildSampleWorkbook(workbook);
    const ZipArchive archive = writeAndRead(workbook);
    QVERIFY2(archive.problems.isEmpty(), qPrintable(archive.problems.join(u'\n')));

    const QStringList expectedOrder = {
        "xl/styles.xml",
        "_rels/.rels",
        "xl/_rels/workbook.xml.rels",
        "xl/worksheets/sheet1.xml",
        "xl/worksheets/sheet2.xml",
        "xl/worksheets/sheet3.xml",
        "xl/sharedStrings.xml",
        "xl/workbook.xml",
        "[Content_Types].xml",
        "docProps/app.xml",
        "docProps/core.xml",
    };
    QCOMPARE(archive.names(), expectedOrder);

    const QList<QPair<QString, QString>> parts = {
        {"xl/worksheets/sheet1.xml", "short-sheet.xml"},
        {"xl/workbook.xml", "workbook.xml"},
        {"[Content_Types].xml", "content-types.xml"},
        {"xl/_rels/workbook.xml.rels", "workbook-rels.xml"},
        {"_rels/.rels", "root-rels.xml"},
        {"docProps/app.xml", "app.xml"},
        {"docProps/core.xml", "core.xml"},
    };
    for (const auto& [entry, file] : parts) {
        const QByteArray expected = fixture(file);
        QVERIFY2(!expected.isEmpty(), qPrintable(file));
        QCOMPARE(archive.data(entry), expected);
    }

    QCOMPARE(archive.data("xl/sharedStrings.xml"),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                        "<sst count=\"2\" uniqueCount=\"2\" xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                        "2006/main\">\r\n"
                        " <si>\r\n  <t xml:space=\"preserve\">tail </t>\r\n </si>\r\n"
                        " <si>\r\n  <t>line1\nline2</t>\r\n </si>\r\n"
                        "</sst>\r\n"));
}

void TestXlsxPackage::commissionStylesMatchFixture() {
    CommissionWorkbook commission(QStringLiteral("09.12.2024"), true);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(commission.writePackage(buffer));
    const ZipArchive archive = readZip(buffer.data());
    QVERIFY2(archive.problems.isEmpty(), qPrintable(archive.problems.join(u'\n')));
    QCOMPARE(archive.data("xl/styles.xml"), fixture("commission-styles.xml"));
}

void TestXlsxPackage::archiveIsValidForPythonZipfile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Through a save file, as the generation run writes it: the writer seeks back within it.
    QSaveFile file(dir.filePath("book.xlsx"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    Workbook workbook;
    buildSampleWorkbook(workbook);
    QVERIFY(writePackage(workbook, file));
    QVERIFY(file.commit());

    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys, zipfile\n"
                  "z = zipfile.ZipFile(sys.argv[1])\n"
                  "assert z.testzip() is None\n"
                  "for i in z.infolist():\n"
                  "    assert i.compress_type == 8 and i.flag_bits & 0x800 and not i.extra, i.filename\n"
                  "print(len(z.infolist()))\n",
                  file.fileName()});
    QVERIFY(python.waitForFinished(30000));
    QCOMPARE(python.exitCode(), 0);
    QCOMPARE(python.readAllStandardOutput().trimmed(), QByteArray("11"));
}

void TestXlsxPackage::cellTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("cell");       // the cell as written in the sheet
    QTest::addColumn<QByteArray>("sharedText"); // the shared string element, if any

    QTest::newRow("entities inline") << QString("<a href='x'>\"&\"</a>")
                                     << QByteArray(
                                            "   <c r=\"A1\" s=\"0\" t=\"str\">\r\n"
                                            "    <v>&lt;a href=&apos;x&apos;&gt;&quot;&amp;&quot;&lt;/a&gt;</v>\r\n"
                                            "   </c>\r\n")
                                     << QByteArray();
    QTest::newRow("tab and Cyrillic inline") << QString("Код\tа/к")
                                             << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\">\r\n"
                                                           "    <v>Код\tа/к</v>\r\n   </c>\r\n")
                                             << QByteArray();
    QTest::newRow("control characters escaped")
        << QString(QChar(0x01)) + "a" + QChar(0x0B) + QChar(0x1F)
        << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\">\r\n    <v>_x0001_a_x000B__x001F_</v>\r\n   </c>\r\n")
        << QByteArray();
    QTest::newRow("non-characters and lone surrogate escaped")
        << QString(QChar(0xFFFE)) + QChar(0xFFFF) + QChar(0xD800) + "x" + QChar(0xDC01)
        << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\">\r\n    <v>_xFFFE__xFFFF__xD800_x_xDC01_</v>\r\n   </c>\r\n")
        << QByteArray();
    QTest::newRow("surrogate pair kept") << QString::fromUtf8("\xF0\x9F\x98\x80")
                                         << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\">\r\n"
                                                       "    <v>\xF0\x9F\x98\x80</v>\r\n   </c>\r\n")
                                         << QByteArray();
    QTest::newRow("literal escape lookalike")
        << QString("a_x0041_b_x12_c_X0041_")
        << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\">\r\n    <v>a_x005F_x0041_b_x12_c_X0041_</v>\r\n   </c>\r\n")
        << QByteArray();
    QTest::newRow("trailing space shared")
        << QString("fee ") << QByteArray("   <c r=\"A1\" s=\"0\" t=\"s\">\r\n    <v>0</v>\r\n   </c>\r\n")
        << QByteArray("  <t xml:space=\"preserve\">fee </t>\r\n");
    QTest::newRow("leading space shared")
        << QString(" fee") << QByteArray("   <c r=\"A1\" s=\"0\" t=\"s\">\r\n    <v>0</v>\r\n   </c>\r\n")
        << QByteArray("  <t xml:space=\"preserve\"> fee</t>\r\n");
    QTest::newRow("carriage return shared, control escaped")
        << QString("a\r&") + QChar(0x02) << QByteArray("   <c r=\"A1\" s=\"0\" t=\"s\">\r\n    <v>0</v>\r\n   </c>\r\n")
        << QByteArray("  <t>a\r&amp;_x0002_</t>\r\n");
    QTest::newRow("empty cell") << QString() << QByteArray("   <c r=\"A1\" s=\"0\" t=\"str\"/>\r\n") << QByteArray();
}

void TestXlsxPackage::cellTexts() {
    QFETCH(QString, text);
    QFETCH(QByteArray, cell);
    QFETCH(QByteArray, sharedText);
    const WrittenCell written = writeSingleCell(text);
    QCOMPARE(written.cell, cell);
    if (sharedText.isEmpty())
        QVERIFY(written.sharedStrings.contains("<sst count=\"0\" uniqueCount=\"0\""));
    else
        QVERIFY2(written.sharedStrings.contains(kSstOpen + " <si>\r\n" + sharedText + " </si>\r\n</sst>\r\n"),
                 written.sharedStrings.constData());
}

void TestXlsxPackage::equalMultiLineTextsShareOneEntry() {
    Workbook workbook;
    workbook.setSheetCount(2);
    for (int i = 0; i < 2; ++i) {
        workbook.sheet(i)->setColumnCount(1);
        workbook.sheet(i)->setRowCount(1);
        workbook.sheet(i)->setCellText(0, 0, QStringLiteral("two\nlines"));
    }
    const ZipArchive archive = writeAndRead(workbook);
    QVERIFY(archive.problems.isEmpty());
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        QVERIFY(archive.data(part).contains("<c r=\"A1\" s=\"0\" t=\"s\">\r\n    <v>0</v>"));
    QCOMPARE(archive.data("xl/sharedStrings.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + kSstOpen +
                                                       " <si>\r\n  <t>two\nlines</t>\r\n </si>\r\n" + "</sst>\r\n");
}

void TestXlsxPackage::largeSheetStreamsEveryRow() {
    constexpr int kRows = 70000;
    Workbook workbook;
    workbook.setSheetCount(1);
    Sheet& sheet = *workbook.sheet(0);
    sheet.setColumnCount(2);
    sheet.setRowCount(kRows);
    sheet.setCellText(1, kRows - 1, QStringLiteral("last"));
    const ZipArchive archive = writeAndRead(workbook);
    QVERIFY2(archive.problems.isEmpty(), qPrintable(archive.problems.join(u'\n')));
    const QByteArray xml = archive.data("xl/worksheets/sheet1.xml");
    QCOMPARE(xml.count("<row "), kRows);
    QVERIFY(xml.contains("<dimension ref=\"A1:B70000\"/>"));
    QVERIFY(xml.contains("<c r=\"B70000\" s=\"0\" t=\"str\">\r\n    <v>last</v>"));
}

// Text much like a sheet's: few distinct lines, with numbers that change.
static std::string sheetLikeText(std::size_t size) {
    std::mt19937 random(7);
    std::string text;
    while (text.size() < size)
        text +=
            "   <c r=\"E" + std::to_string(random() % 100000) + "\" s=\"" + std::to_string(random() % 5) + "\"/>\r\n";
    text.resize(size);
    return text;
}

static QByteArray inflated(const xlsx::DeflatedData& stream, bool* ok) {
    QByteArray compressed;
    for (const std::string& piece : stream.pieces)
        compressed.append(piece.data(), qsizetype(piece.size()));
    QByteArray out(qsizetype(stream.size) + 1, '\0'); // one more: a longer stream must not fit
    z_stream inflater{};
    *ok = inflateInit2(&inflater, -MAX_WBITS) == Z_OK;
    inflater.next_in = reinterpret_cast<Bytef*>(compressed.data());
    inflater.avail_in = uInt(compressed.size());
    inflater.next_out = reinterpret_cast<Bytef*>(out.data());
    inflater.avail_out = uInt(out.size());
    *ok = *ok && inflate(&inflater, Z_FINISH) == Z_STREAM_END && inflater.avail_in == 0;
    out.truncate(qsizetype(inflater.total_out));
    inflateEnd(&inflater);
    return out;
}

void TestXlsxPackage::chunkedDeflateMakesOneStream_data() {
    QTest::addColumn<qsizetype>("headSize"); // a stream of its own, continued by the rest
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<qsizetype>("piece"); // as the data is written
    QTest::newRow("empty") << qsizetype(0) << qsizetype(0) << qsizetype(1);
    QTest::newRow("small, one write") << qsizetype(0) << qsizetype(1000) << qsizetype(1000);
    QTest::newRow("exactly one chunk") << qsizetype(0) << qsizetype(1 << 20) << qsizetype(64 * 1024);
    QTest::newRow("one chunk and a byte") << qsizetype(0) << qsizetype((1 << 20) + 1) << qsizetype(64 * 1024);
    QTest::newRow("many chunks, odd writes") << qsizetype(0) << qsizetype(7'500'000) << qsizetype(65'537);
    QTest::newRow("one huge write") << qsizetype(0) << qsizetype(3'000'000) << qsizetype(3'000'000);
    QTest::newRow("head before many chunks") << qsizetype(2000) << qsizetype(5'000'000) << qsizetype(4096);
}

// The chunks, each compressed on its own thread, join into one stream that inflates to the data, with the
// CRC-32 of the whole; a head stream ended on a sync flush joins the same way.
void TestXlsxPackage::chunkedDeflateMakesOneStream() {
    QFETCH(qsizetype, headSize);
    QFETCH(qsizetype, size);
    QFETCH(qsizetype, piece);
    const std::string text = sheetLikeText(std::size_t(headSize + size));

    xlsx::DeflatedData stream;
    if (headSize > 0) {
        xlsx::ChunkedDeflate head;
        QVERIFY(head.write(text.data(), headSize));
        stream = head.finish(false);
    }
    xlsx::ChunkedDeflate rest;
    for (qsizetype at = headSize; at < headSize + size; at += piece)
        QVERIFY(rest.write(text.data() + at, std::min(piece, headSize + size - at)));
    xlsx::appendDeflated(stream, rest.finish());

    QVERIFY(!stream.failed);
    QCOMPARE(stream.size, quint64(text.size()));
    QCOMPARE(stream.crc, quint32(crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()))));
    bool ok = false;
    const QByteArray out = inflated(stream, &ok);
    QVERIFY(ok);
    QVERIFY(out == QByteArray::fromRawData(text.data(), qsizetype(text.size())));
}

// Rows written one at a time make the same parts as the whole sheet written from its cells: the head, which
// is compressed last, the rows over many chunks, the shared strings, the merged areas and the tail.
void TestXlsxPackage::streamedSheetMatchesTheModel() {
    constexpr int kRows = 40000;
    Workbook model;
    buildSampleWorkbook(model);
    model.setSheetCount(1);
    Sheet& sheet = *model.sheet(0);
    sheet.setRowCount(kRows);
    sheet.setSelected(true);
    sheet.printSettings().headerText = QStringLiteral("Заголовок & <печать>");
    for (int row = 2; row < kRows; ++row) {
        sheet.setCellText(0, row, QStringLiteral("Строка %1").arg(row));
        sheet.setCellStyle(1, row, row % 3);
        if (row % 1000 == 0) {
            sheet.setCellText(2, row, QStringLiteral(" общий текст"));
            sheet.setRowHeightPoints(row, 30 + row % 7);
            sheet.merge(1, row, 2, row + 1);
        }
    }

    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    QVERIFY(writePackage(model, whole));

    RowStreamedWorkbook streamed(model); // the model is also the frame: its cells are not read
    for (int row = 0; row < kRows; ++row) {
        std::vector<Cell> cells;
        for (int column = 0; column < sheet.columnCount(); ++column)
            cells.push_back(*sheet.cell(column, row));
        streamed.addRow(*sheet.rowOptions(row), cells);
    }
    for (const CellRange& area : sheet.mergedAreas())
        streamed.addMergedArea(area);
    QBuffer rows;
    rows.open(QIODevice::WriteOnly);
    QVERIFY(streamed.writePackage(rows));

    const ZipArchive expected = readZip(whole.data());
    const ZipArchive actual = readZip(rows.data());
    QVERIFY2(actual.problems.isEmpty(), qPrintable(actual.problems.join(u'\n')));
    QCOMPARE(actual.names(), expected.names());
    QVERIFY(expected.data("xl/worksheets/sheet1.xml").size() > 4 * 1024 * 1024); // several chunks
    for (const ZipEntry& entry : expected.entries)
        QVERIFY2(actual.data(entry.name) == entry.data, qPrintable(entry.name));
}

// The sheet is compressed in chunks with a shortened search, yet stays within 2 % of what zlib's
// default level makes of it in one pass.
void TestXlsxPackage::commissionSheetStaysNearZlibDefaultSize() {
    CommissionWorkbook book(QStringLiteral("09.12.2024"), true);
    for (const testing::RegisterEntry& entry : testing::syntheticRegister(5000))
        book.addAirline(entry.airline, entry.conditions);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(book.writePackage(buffer));
    const ZipArchive archive = readZip(buffer.data());
    QVERIFY2(archive.problems.isEmpty(), qPrintable(archive.problems.join(u'\n')));
    const ZipEntry* sheet = archive.entry(QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet);

    QByteArray reference(qsizetype(compressBound(uLong(sheet->data.size()))), '\0');
    z_stream deflater{};
    QCOMPARE(deflateInit2(&deflater, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    deflater.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(sheet->data.constData()));
    deflater.avail_in = uInt(sheet->data.size());
    deflater.next_out = reinterpret_cast<Bytef*>(reference.data());
    deflater.avail_out = uInt(reference.size());
    QCOMPARE(deflate(&deflater, Z_FINISH), Z_STREAM_END);
    const qint64 zlibSize = qint64(deflater.total_out);
    deflateEnd(&deflater);

    QVERIFY2(sheet->compressedSize <= zlibSize * 102 / 100,
             qPrintable(QStringLiteral("%1 against zlib's %2").arg(sheet->compressedSize).arg(zlibSize)));
}

void TestXlsxPackage::workbookWithoutSheetsWritesNothing() {
    Workbook workbook;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writePackage(workbook, buffer));
    QCOMPARE(buffer.size(), 0);
}

void TestXlsxPackage::writeErrorIsReported() {
    Workbook workbook;
    buildSampleWorkbook(workbook);
    for (qint64 budget : {0, 100, 3000}) {
        FailingDevice device(budget);
        QVERIFY(device.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY2(!writePackage(workbook, device, &error), qPrintable(QString::number(budget)));
        QCOMPARE(error, QStringLiteral("No space left on device"));
    }
}

QTEST_GUILESS_MAIN(TestXlsxPackage)
#include "tst_xlsxpackage.moc"
