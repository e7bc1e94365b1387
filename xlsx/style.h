#pragma once

#include "colour.h"

#include <QList>
#include <QString>

#include <array>

namespace tarvex::xlsx {

struct Font {
    QString name = QStringLiteral("Arial");
    double size = 10;
    int charset = 1;
    Colour colour = kBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool superscript = false;
    bool subscript = false;

    // Fonts are one font in the package whatever their character set.
    bool sameAs(const Font& other) const;
};

enum class LineStyle { None, Continuous, Hair, Dotted, Dashed, DashDot, DashDotDot, SlantDashDot, Double };

struct BorderSide {
    LineStyle lineStyle = LineStyle::None;
    int weight = 0; // 0 to 3
    Colour colour = kBlack;

    bool hasLine() const { return lineStyle != LineStyle::None && weight > 0; }
    friend bool operator==(const BorderSide&, const BorderSide&) = default;
};

enum class BorderEdge { Left, Top, Right, Bottom, DiagonalDown, DiagonalUp };
inline constexpr int kBorderEdgeCount = 6;
using Borders = std::array<BorderSide, kBorderEdgeCount>;

enum class HorizontalAlignment {
    Automatic,
    Left,
    Centre,
    Right,
    Fill,
    Justify,
    CentreAcrossSelection,
    Distributed,
    JustifyDistributed
};
enum class VerticalAlignment { Automatic, Top, Bottom, Centre, Justify, Distributed, JustifyDistributed };

struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::Automatic;
    VerticalAlignment vertical = VerticalAlignment::Automatic;
    bool wrapText = false;
    bool shrinkToFit = false;
    int rotation = 0;
    int indent = 0;
    bool verticalText = false;

    friend bool operator==(const Alignment&, const Alignment&) = default;
};

// The fill patterns, named as the package names them.
enum class FillPattern {
    None,
    Solid,
    DarkGray,
    MediumGray,
    LightGray,
    Gray125,
    Gray0625,
    DarkHorizontal,
    DarkVertical,
    DarkDown,
    DarkUp,
    DarkGrid,
    DarkTrellis,
    LightHorizontal,
    LightVertical,
    LightDown,
    LightUp,
    LightGrid,
    LightTrellis
};

struct CellStyle {
    Font font;
    Borders borders{};
    Alignment alignment;
    Colour backgroundColour = kNoFillColour;
    Colour patternColour = kNoFillColour;
    FillPattern pattern = FillPattern::None;
    bool protect = true;
    bool hideFormula = false;

    BorderSide& border(BorderEdge edge) { return borders[int(edge)]; }
    const BorderSide& border(BorderEdge edge) const { return borders[int(edge)]; }
    // Draws the left, top, right and bottom sides as continuous lines of the weight.
    void setFrame(int weight);
    bool sameFillAs(const CellStyle& other) const;
};

// A default style and the numbered styles 0 to count - 1. A number outside the table
// stands for the default style.
class StyleTable {
public:
    int count() const { return int(m_styles.size()); }
    // New styles start as copies of the default style.
    void setCount(int count);

    const CellStyle& defaultStyle() const { return m_default; }
    const CellStyle& style(int index) const;
    // Nothing to change outside the table: returns nullptr there.
    CellStyle* mutableStyle(int index);
    void copyStyle(int from, int to);

private:
    CellStyle m_default;
    QList<CellStyle> m_styles;
};

} // namespace tarvex::xlsx
