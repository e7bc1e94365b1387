#pragma once

#include <cstdint>

namespace tarvex::xlsx {

// A colour as the model keeps it: red in the lowest byte, then green, then blue.
// A value whose top byte is FF names a desktop colour by the index in its lowest byte.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
// The default of background and pattern colours, meaning "no colour" there.
inline constexpr Colour kNoFillColour = 5;
// The font colour meaning "no colour".
inline constexpr Colour kNoFontColour = 8;
// Desktop colour: the background of tooltips.
inline constexpr Colour kTooltipBackground = 0xFF000018;

// Resolves a desktop colour to its RGB value in the standard colour scheme; any other
// value is returned as it is. The tooltip background resolves to FFFFE1.
Colour resolveColour(Colour colour);

// Writes the resolved colour as six upper-case hex digits RRGGBB into out[0..5].
void writeRrggbb(Colour colour, char* out);

} // namespace tarvex::xlsx
