#include "parts.h"

#include "common/trim.h"
#include "workbook.h"
#include "xmlwriter.h"

#include <QStringList>

namespace tarvex::xlsx {

namespace {

constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kDocumentRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackageRelationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string kDocumentRelationshipType = std::string(kDocumentRelationshipsNamespace) + '/';

std::string numbered(std::string_view prefix, int number, std::string_view suffix = {}) {
    std::string text(prefix);
    text += std::to_string(number);
    text += suffix;
    return text;
}

void writeRelationship(XmlWriter& xml, const std::string& id, const std::string& type, const std::string& target) {
    xml.begin("Relationship");
    xml.attribute("Id", id);
    xml.attribute("Type", type);
    xml.attribute("Target", target);
    xml.endEmpty();
}

void beginRelationships(XmlWriter& xml) {
    xml.declaration();
    xml.begin("Relationships");
    xml.attribute("xmlns", kPackageRelationshipsNamespace);
    xml.endOpen();
}

void writeContentType(XmlWriter& xml, const char* element, const char* key, const std::string& value,
                      const char* contentType) {
    xml.begin(element);
    xml.attribute(key, value);
    xml.attribute("ContentType", contentType);
    xml.endEmpty();
}

// The names the sheets carry in the workbook part: trimmed, ";" for ":", "Sheet n" when
// empty, and made unique ignoring case.
QStringList sheetNames(const Workbook& workbook) {
    QStringList names;
    for (int i = 0; i < workbook.sheetCount(); ++i) {
        QString name = trimBlanksAndControls(workbook.sheet(i)->title()).toString().replace(u':', u';');
        if (name.isEmpty())
            name = QStringLiteral("Sheet %1").arg(i + 1);
        const QString base = name;
        for (int number = 2; names.contains(name, Qt::CaseInsensitive); ++number)
            name = QStringLiteral("%1 (%2)").arg(base).arg(number);
        names.append(name);
    }
    return names;
}

} // namespace

bool writeRootRelationshipsPart(ByteSink& sink) {
    XmlWriter xml(sink);
    beginRelationships(xml);
    writeRelationship(xml, "rId1", kDocumentRelationshipType + "officeDocument", "xl/workbook.xml");
    writeRelationship(xml, "rId2", kDocumentRelationshipType + "extended-properties", "docProps/app.xml");
    writeRelationship(xml, "rId3", std::string(kPackageRelationshipsNamespace) + "/metadata/core-properties",
                      "docProps/core.xml");
    xml.close("Relationships");
    return xml.finish();
}

bool writeWorkbookRelationshipsPart(int sheetCount, ByteSink& sink) {
    XmlWriter xml(sink);
    beginRelationships(xml);
    writeRelationship(xml, "rId1", kDocumentRelationshipType + "styles", "styles.xml");
    for (int k = 1; k <= sheetCount; ++k)
        writeRelationship(xml, numbered("rId", k + 1), kDocumentRelationshipType + "worksheet",
                          numbered("worksheets/sheet", k, ".xml"));
    writeRelationship(xml, numbered("rId", sheetCount + 2), kDocumentRelationshipType + "sharedStrings",
                      "sharedStrings.xml");
    xml.close("Relationships");
    return xml.finish();
}

bool writeContentTypesPart(int sheetCount, ByteSink& sink) {
    XmlWriter xml(sink);
    xml.declaration();
    xml.begin("Types");
    xml.attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/content-types");
    xml.endOpen();
    writeContentType(xml, "Default", "Extension", "rels", "application/vnd.openxmlformats-package.relationships+xml");
    writeContentType(xml, "Default", "Extension", "xml", "application/xml");
    writeContentType(xml, "Default", "Extension", "png", "image/png");
    writeContentType(xml, "Default", "Extension", "jpeg", "image/jpeg");
    writeContentType(xml, "Default", "Extension", "wmf", "image/x-wmf");
    for (int k = 1; k <= sheetCount; ++k)
        writeContentType(xml, "Override", "PartName", numbered("/xl/worksheets/sheet", k, ".xml"),
                         "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    writeContentType(xml, "Override", "PartName", "/xl/workbook.xml",
                     "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    writeContentType(xml, "Override", "PartName", "/xl/styles.xml",
                     "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
    writeContentType(xml, "Override", "PartName", "/xl/sharedStrings.xml",
                     "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
    writeContentType(xml, "Override", "PartName", "/docProps/app.xml",
                     "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    writeContentType(xml, "Override", "PartName", "/docProps/core.xml",
                     "application/vnd.openxmlformats-package.core-properties+xml");
    xml.close("Types");
    return xml.finish();
}

bool writeAppPropertiesPart(ByteSink& sink) {
    XmlWriter xml(sink);
    xml.declaration();
    xml.begin("Properties");
    xml.attribute("xmlns", "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    xml.attribute("xmlns:vt", "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes");
    xml.endOpen();
    xml.textElement("TotalTime", "0");
    xml.textElement("Application", "");
    xml.close("Properties");
    return xml.finish();
}

bool writeCorePropertiesPart(const QDateTime& created, ByteSink& sink) {
    // ISO form in UTC without fractions: 2024-12-09T07:05:33Z.
    const QByteArray time = created.toUTC().toString(Qt::ISODate).toUtf8();
    XmlWriter xml(sink);
    xml.declaration();
    xml.begin("cp:coreProperties");
    xml.attribute("xmlns:cp", "http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    xml.attribute("xmlns:dc", "http://purl.org/dc/elements/1.1/");
    xml.attribute("xmlns:dcmitype", "http://purl.org/dc/dcmitype/");
    xml.attribute("xmlns:dcterms", "http://purl.org/dc/terms/");
    xml.attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    xml.endOpen();
    for (const char* element : {"dcterms:created", "dcterms:modified"}) {
        xml.begin(element);
        xml.attribute("xsi:type", "dcterms:W3CDTF");
        xml.endWithText(element, std::string_view(time.constData(), std::size_t(time.size())));
    }
    xml.textElement("cp:revision", "1");
    xml.close("cp:coreProperties");
    return xml.finish();
}

bool writeWorkbookPart(const Workbook& workbook, ByteSink& sink) {
    XmlWriter xml(sink);
    xml.declaration();
    xml.begin("workbook");
    xml.attribute("xmlns", kMainNamespace);
    xml.attribute("xmlns:r", kDocumentRelationshipsNamespace);
    xml.endOpen();

    xml.begin("fileVersion");
    xml.attribute("appName", "Tarvex");
    xml.endEmpty();
    xml.begin("workbookPr");
    xml.attribute("backupFile", false);
    xml.attribute("showObjects", "all");
    xml.attribute("date1904", false);
    xml.endEmpty();
    xml.emptyElement("workbookProtection");

    xml.openElement("bookViews");
    xml.begin("workbookView");
    xml.attribute("activeTab", 0);
    xml.attribute("firstSheet", 0);
    xml.attribute("showHorizontalScroll", true);
    xml.attribute("showSheetTabs", true);
    xml.attribute("showVerticalScroll", true);
    xml.attribute("tabRatio", 600);
    xml.attribute("windowHeight", 8192);
    xml.attribute("windowWidth", 16384);
    xml.attribute("xWindow", 0);
    xml.attribute("yWindow", 0);
    xml.endEmpty();
    xml.close("bookViews");

    xml.openElement("sheets");
    const QStringList names = sheetNames(workbook);
    for (int i = 0; i < names.size(); ++i) {
        xml.begin("sheet");
        xml.attribute("name", QStringView(names[i]));
        xml.attribute("sheetId", i + 1);
        xml.attribute("state", "visible");
        xml.attribute("r:id", numbered("rId", i + 2));
        xml.endEmpty();
    }
    xml.close("sheets");
    xml.emptyElement("definedNames");

    xml.begin("calcPr");
    xml.attribute("iterateCount", 100);
    xml.attribute("refMode", "A1");
    xml.attribute("iterate", false);
    xml.attribute("iterateDelta", "0.001");
    xml.endEmpty();
    xml.close("workbook");
    return xml.finish();
}

} // namespace tarvex::xlsx
