#include "colour.h"

#include <array>

namespace tarvex::xlsx {

namespace {

// The standard desktop colour scheme, as RRGGBB, by desktop colour index.
constexpr std::array<std::uint32_t, 31> kDesktopColours = {
    0xC8C8C8, // scroll bar
    0x000000, // desktop background
    0x99B4D1, // active caption
    0xBFCDDB, // inactive caption
    0xF0F0F0, // menu
    0xFFFFFF, // window
    0x646464, // window frame
    0x000000, // menu text
    0x000000, // window text
    0x000000, // caption text
    0xB4B4B4, // active border
    0xF4F7FC, // inactive border
    0xABABAB, // application workspace
    0x3399FF, // highlight
    0xFFFFFF, // highlight text
    0xF0F0F0, // button face
    0xA0A0A0, // button shadow
    0x6D6D6D, // grey text
    0x000000, // button text
    0x434E54, // inactive caption text
    0xFFFFFF, // button highlight
    0x696969, // 3D dark shadow
    0xE3E3E3, // 3D light
    0x000000, // tooltip text
    0xFFFFE1, // tooltip background
    0xB5B5B5, // unused index
    0x0066CC, // hot-tracked item
    0xB9D1EA, // active caption gradient
    0xD7E4F2, // inactive caption gradient
    0x3399FF, // highlighted menu item
    0xF0F0F0, // menu bar
};

constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

Colour resolveColour(Colour colour) {
    if ((colour >> 24) != 0xFF)
        return colour;
    const std::uint32_t index = colour & 0xFF;
    const std::uint32_t rrggbb = index < kDesktopColours.size() ? kDesktopColours[index] : 0;
    // Back to the model's layout: red lowest.
    return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}

void writeRrggbb(Colour colour, char* out) {
    const Colour resolved = resolveColour(colour);
    const std::uint32_t bytes[3] = {resolved & 0xFF, (resolved >> 8) & 0xFF, (resolved >> 16) & 0xFF};
    for (int i = 0; i < 3; ++i) {
        out[2 * i] = kHexDigits[bytes[i] >> 4];
        out[2 * i + 1] = kHexDigits[bytes[i] & 0xF];
    }
}

} // namespace tarvex::xlsx
