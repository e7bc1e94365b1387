#pragma once

#include <QDateTime>

namespace tarvex::xlsx {

class ByteSink;
class SharedStrings;
class Sheet;
class StyleTable;
class Workbook;

// Each writes one part of the package into the sink; false when the sink failed.

bool writeStylesPart(const StyleTable& styles, ByteSink& sink);
// Strings of the sheet that are not written inline are added to the shared strings.
bool writeSheetPart(const Sheet& sheet, const StyleTable& styles, SharedStrings& sharedStrings, ByteSink& sink);
bool writeSharedStringsPart(const SharedStrings& sharedStrings, ByteSink& sink);
bool writeWorkbookPart(const Workbook& workbook, ByteSink& sink);
bool writeRootRelationshipsPart(ByteSink& sink);
bool writeWorkbookRelationshipsPart(int sheetCount, ByteSink& sink);
bool writeContentTypesPart(int sheetCount, ByteSink& sink);
bool writeAppPropertiesPart(ByteSink& sink);
bool writeCorePropertiesPart(const QDateTime& created, ByteSink& sink);

} // namespace tarvex::xlsx
