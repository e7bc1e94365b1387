#include "package.h"

#include "packageentries.h"
#include "parts.h"
#include "sharedstrings.h"
#include "workbook.h"
#include "zipwriter.h"

#include <QIODevice>

namespace tarvex::xlsx {

namespace {

// Writes one entry whose data the part writer produces.
bool writeEntry(ZipWriter& zip, const QByteArray& name, const std::function<bool(ByteSink&)>& writePart) {
    return zip.beginEntry(name) && writePart(zip) && zip.endEntry();
}

bool writeEntries(const Workbook& workbook, ZipWriter& zip, SharedStrings& sharedStrings,
                  const std::function<bool(ZipWriter&)>& writeSheets) {
    const int sheetCount = workbook.sheetCount();
    return writeEntry(zip, "xl/styles.xml", [&](ByteSink& s) { return writeStylesPart(workbook.styles(), s); }) &&
           writeEntry(zip, "_rels/.rels", [](ByteSink& s) { return writeRootRelationshipsPart(s); }) &&
           writeEntry(zip, "xl/_rels/workbook.xml.rels",
                      [&](ByteSink& s) { return writeWorkbookRelationshipsPart(sheetCount, s); }) &&
           writeSheets(zip) &&
           writeEntry(zip, "xl/sharedStrings.xml",
                      [&](ByteSink& s) { return writeSharedStringsPart(sharedStrings, s); }) &&
           writeEntry(zip, "xl/workbook.xml", [&](ByteSink& s) { return writeWorkbookPart(workbook, s); }) &&
           writeEntry(zip, "[Content_Types].xml", [&](ByteSink& s) { return writeContentTypesPart(sheetCount, s); }) &&
           writeEntry(zip, "docProps/app.xml", [](ByteSink& s) { return writeAppPropertiesPart(s); }) &&
           writeEntry(zip, "docProps/core.xml",
                      [&](ByteSink& s) { return writeCorePropertiesPart(workbook.creationTime(), s); }) &&
           zip.finish();
}

} // namespace

bool writePackageEntries(const Workbook& workbook, QIODevice& out, QString* errorMessage, SharedStrings& sharedStrings,
                         const std::function<bool(ZipWriter&)>& writeSheets) {
    ZipWriter zip(out, QDateTime::currentDateTime());
    if (writeEntries(workbook, zip, sharedStrings, writeSheets))
        return true;
    if (errorMessage)
        *errorMessage = zip.errorString().isEmpty() ? out.errorString() : zip.errorString();
    return false;
}

bool writePackage(const Workbook& workbook, QIODevice& out, QString* errorMessage) {
    if (workbook.sheetCount() == 0)
        return true;
    // Each part is deflated whole once written: memory holds the model and the largest part.
    SharedStrings sharedStrings;
    return writePackageEntries(workbook, out, errorMessage, sharedStrings, [&](ZipWriter& zip) {
        bool ok = true;
        for (int i = 0; ok && i < workbook.sheetCount(); ++i) {
            const QByteArray name = "xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml";
            ok = writeEntry(zip, name, [&](ByteSink& s) {
                return writeSheetPart(*workbook.sheet(i), workbook.styles(), sharedStrings, s);
            });
        }
        return ok;
    });
}

} // namespace tarvex::xlsx
