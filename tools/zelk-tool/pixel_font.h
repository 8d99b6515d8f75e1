// The tool's own pixel font for the lettering of placeholder pictures: five
// by seven pixels a character, capital letters, digits and a few marks, so
// that a new game needs no font installed to be made.
#pragma once

#include <array>
#include <cstdint>

namespace zelk::tool {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
// Room between characters, in font pixels.
inline constexpr int kGlyphSpacing = 1;

// Seven rows, the leftmost pixel in bit 4; null for a character the font
// lacks (drawn as a blank). Lower case letters give their capitals.
const std::array<std::uint8_t, kGlyphHeight>* Glyph(char c);

}  // namespace zelk::tool
