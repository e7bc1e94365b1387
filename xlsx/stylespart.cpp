#include "numbertext.h"
#include "parts.h"
#include "style.h"
#include "xmlwriter.h"

#include <QList>

#include <string>

namespace tarvex::xlsx {

namespace {

// "00" + RRGGBB for fonts and borders, "FF" + RRGGBB for fills.
std::string colourText(const char* prefix, Colour colour) {
    std::string text(prefix);
    text.resize(8);
    writeRrggbb(colour, text.data() + 2);
    return text;
}

const char* patternName(FillPattern pattern) {
    static constexpr const char* kNames[] = {
        "none",           "solid",        "darkGray", "mediumGray", "lightGray",   "gray125",     "gray0625",
        "darkHorizontal", "darkVertical", "darkDown", "darkUp",     "darkGrid",    "darkTrellis", "lightHorizontal",
        "lightVertical",  "lightDown",    "lightUp",  "lightGrid",  "lightTrellis"};
    return kNames[int(pattern)];
}

const char* lineStyleName(const BorderSide& side) {
    switch (side.lineStyle) {
    case LineStyle::Continuous:
        return side.weight == 1 ? "thin" : side.weight == 2 ? "medium" : "thick";
    case LineStyle::Hair:
        return "hair";
    case LineStyle::Dotted:
        return "dotted";
    case LineStyle::Dashed:
        return "dashed";
    case LineStyle::DashDot:
        return "dashDot";
    case LineStyle::DashDotDot:
        return "dashDotDot";
    case LineStyle::SlantDashDot:
        return "slantDashDot";
    case LineStyle::Double:
        return "double";
    case LineStyle::None:
        break;
    }
    return "none";
}

const char* horizontalName(HorizontalAlignment alignment) {
    switch (alignment) {
    case HorizontalAlignment::Left:
        return "left";
    case HorizontalAlignment::Centre:
        return "center";
    case HorizontalAlignment::Right:
        return "right";
    case HorizontalAlignment::Fill:
        return "fill";
    case HorizontalAlignment::Justify:
        return "justify";
    case HorizontalAlignment::Distributed:
        return "distributed";
    default:
        return "general";
    }
}

const char* verticalName(VerticalAlignment alignment) {
    switch (alignment) {
    case VerticalAlignment::Top:
        return "top";
    case VerticalAlignment::Centre:
        return "center";
    case VerticalAlignment::Justify:
        return "justify";
    case VerticalAlignment::Distributed:
        return "distributed";
    default:
        return "bottom";
    }
}

// The default style followed by the numbered styles, and for each the position of its
// font, fill and border among the distinct ones, in order of first appearance.
struct StyleIndex {
    QList<const CellStyle*> entries;
    QList<const CellStyle*> fonts, fills, borders;
    QList<int> fontIds, fillIds, borderIds;

    explicit StyleIndex(const StyleTable& styles) {
        entries.append(&styles.defaultStyle());
        for (int i = 0; i < styles.count(); ++i)
            entries.append(&styles.style(i));
        for (const CellStyle* style : entries) {
            fontIds.append(place(fonts, style, [](auto* a, auto* b) { return a->font.sameAs(b->font); }));
            fillIds.append(2 + place(fills, style, [](auto* a, auto* b) { return a->sameFillAs(*b); }));
            borderIds.append(place(borders, style, [](auto* a, auto* b) { return a->borders == b->borders; }));
        }
    }

    template <typename Same>
    static int place(QList<const CellStyle*>& distinct, const CellStyle* style, Same same) {
        for (int i = 0; i < distinct.size(); ++i) {
            if (same(distinct[i], style))
                return i;
        }
        distinct.append(style);
        return int(distinct.size()) - 1;
    }
};

// Writes a flag element such as <b val="true"/> when the flag is set.
void writeFlag(XmlWriter& xml, std::string_view name, bool set, const char* value = "true") {
    if (!set)
        return;
    xml.begin(name);
    xml.attribute("val", value);
    xml.endEmpty();
}

void writeValElement(XmlWriter& xml, std::string_view name, std::string_view value) {
    xml.begin(name);
    xml.attribute("val", value);
    xml.endEmpty();
}

void writeFont(XmlWriter& xml, const Font& font) {
    xml.openElement("font");
    xml.begin("name");
    xml.attribute("val", QStringView(font.name));
    xml.endEmpty();
    writeValElement(xml, "charset", integerText(font.charset).view());
    writeValElement(xml, "sz", decimalText(font.size, 10).view());
    if (font.colour != kNoFontColour) {
        xml.begin("color");
        xml.attributeVerbatim("rgb", colourText("00", font.colour));
        xml.endEmpty();
    }
    writeFlag(xml, "b", font.bold);
    writeFlag(xml, "i", font.italic);
    writeFlag(xml, "strike", font.strikeOut);
    writeFlag(xml, "u", font.underline, "single");
    writeFlag(xml, "vertAlign", font.superscript, "superscript");
    writeFlag(xml, "vertAlign", font.subscript && !font.superscript, "subscript");
    xml.close("font");
}

void writeColourElement(XmlWriter& xml, std::string_view name, Colour colour) {
    if (colour == kNoFillColour)
        return;
    xml.begin(name);
    xml.attributeVerbatim("rgb", colourText("FF", colour));
    xml.endEmpty();
}

void writePatternFill(XmlWriter& xml, const char* patternType) {
    xml.openElement("fill");
    xml.begin("patternFill");
    xml.attribute("patternType", patternType);
    xml.endEmpty();
    xml.close("fill");
}

void writeFill(XmlWriter& xml, const CellStyle& style) {
    if (style.backgroundColour == kNoFillColour && style.patternColour == kNoFillColour) {
        writePatternFill(xml, patternName(style.pattern));
        return;
    }
    // Solid fills paint with the foreground colour; patterns draw the pattern colour over the background.
    const bool plain = style.pattern == FillPattern::None || style.pattern == FillPattern::Solid;
    xml.openElement("fill");
    xml.begin("patternFill");
    xml.attribute("patternType", plain ? "solid" : patternName(style.pattern));
    xml.endOpen();
    writeColourElement(xml, "fgColor", plain ? style.backgroundColour : style.patternColour);
    writeColourElement(xml, "bgColor", plain ? style.patternColour : style.backgroundColour);
    xml.close("patternFill");
    xml.close("fill");
}

void writeBorderSide(XmlWriter& xml, std::string_view name, const BorderSide& side) {
    xml.begin(name);
    if (!side.hasLine()) {
        xml.endEmpty();
        return;
    }
    xml.attribute("style", lineStyleName(side));
    if (side.colour == kBlack) {
        xml.endEmpty();
        return;
    }
    xml.endOpen();
    xml.begin("color");
    xml.attributeVerbatim("rgb", colourText("00", side.colour));
    xml.endEmpty();
    xml.close(name);
}

void writeBorder(XmlWriter& xml, const CellStyle& style) {
    xml.begin("border");
    xml.attribute("diagonalDown", style.border(BorderEdge::DiagonalDown).hasLine());
    xml.attribute("diagonalUp", style.border(BorderEdge::DiagonalUp).hasLine());
    xml.endOpen();
    writeBorderSide(xml, "left", style.border(BorderEdge::Left));
    writeBorderSide(xml, "right", style.border(BorderEdge::Right));
    writeBorderSide(xml, "top", style.border(BorderEdge::Top));
    writeBorderSide(xml, "bottom", style.border(BorderEdge::Bottom));
    writeBorderSide(xml, "diagonal", style.border(BorderEdge::DiagonalDown));
    xml.close("border");
}

void writeAlignment(XmlWriter& xml, const Alignment& alignment) {
    xml.begin("alignment");
    xml.attribute("horizontal", horizontalName(alignment.horizontal));
    xml.attribute("indent", alignment.indent);
    xml.attribute("shrinkToFit", alignment.shrinkToFit);
    xml.attribute("textRotation", alignment.verticalText ? 255 : alignment.rotation);
    xml.attribute("vertical", verticalName(alignment.vertical));
    xml.attribute("wrapText", alignment.wrapText);
    xml.endEmpty();
}

void writeFormats(XmlWriter& xml, std::string_view listName, const StyleIndex& index, bool cellFormats) {
    xml.begin(listName);
    xml.attribute("count", int(index.entries.size()));
    xml.endOpen();
    for (int i = 0; i < index.entries.size(); ++i) {
        const CellStyle& style = *index.entries[i];
        const bool applyAlignment = !(style.alignment == Alignment{});
        xml.begin("xf");
        xml.attribute("applyAlignment", applyAlignment);
        xml.attribute("applyBorder", true);
        xml.attribute("applyFont", true);
        xml.attribute("applyProtection", true);
        xml.attribute("borderId", index.borderIds[i]);
        xml.attribute("fillId", index.fillIds[i]);
        xml.attribute("fontId", index.fontIds[i]);
        xml.attribute("numFmtId", 0);
        if (cellFormats)
            xml.attribute("xfId", 0);
        xml.endOpen();
        if (applyAlignment)
            writeAlignment(xml, style.alignment);
        xml.begin("protection");
        xml.attribute("hidden", style.hideFormula);
        xml.attribute("locked", style.protect);
        xml.endEmpty();
        xml.close("xf");
    }
    xml.close(listName);
}

} // namespace

bool writeStylesPart(const StyleTable& styles, ByteSink& sink) {
    const StyleIndex index(styles);
    XmlWriter xml(sink);
    xml.declaration();
    xml.begin("styleSheet");
    xml.attribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    xml.endOpen();

    xml.begin("fonts");
    xml.attribute("count", int(index.fonts.size()));
    xml.endOpen();
    for (const CellStyle* style : index.fonts)
        writeFont(xml, style->font);
    xml.close("fonts");

    xml.begin("fills");
    xml.attribute("count", int(index.fills.size()) + 2);
    xml.endOpen();
    writePatternFill(xml, "none");
    writePatternFill(xml, "gray125");
    for (const CellStyle* style : index.fills)
        writeFill(xml, *style);
    xml.close("fills");

    xml.begin("borders");
    xml.attribute("count", int(index.borders.size()));
    xml.endOpen();
    for (const CellStyle* style : index.borders)
        writeBorder(xml, *style);
    xml.close("borders");

    writeFormats(xml, "cellStyleXfs", index, false);
    writeFormats(xml, "cellXfs", index, true);
    xml.close("styleSheet");
    return xml.finish();
}

} // namespace tarvex::xlsx
