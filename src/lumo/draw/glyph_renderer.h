// Text glyphs: one double-byte character of code page 932 rendered white on
// black at twice the font size and reduced 2 by 2 to a size by size coverage map
// (0 background, 255 fully covered). Faces are found by name through fontconfig
// with a table of our own for the usual Windows Japanese faces.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "pixel_buffer.h"

namespace lumo {

struct FontFace;    // one opened font file, shared by the fonts of every size
struct FontSystem;  // FreeType and fontconfig of one library
class FontSet;      // the faces UTF-8 text is shaped with (font_set.h)

// A face at one size: what a text film holds as its font. Rendered glyphs are
// kept, so printing a character seen before costs one table look-up. Safe to use
// from several threads.
class Font {
public:
    Font(std::shared_ptr<FontFace> face, int size);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    int size() const { return mSize; }

    // The coverage map of the character with bytes (lead, trail): size by size,
    // stride = size. It stays valid as long as this font. A character that does
    // not convert or that the face lacks gives a blank map.
    PixelBuffer glyph(std::uint8_t lead, std::uint8_t trail);

private:
    std::shared_ptr<FontFace> mFace;
    int mSize;
    std::mutex mMutex;
    std::unordered_map<std::uint16_t, std::unique_ptr<std::uint8_t[]>> mGlyphs;
};

// Owns FreeType, the opened faces and the fonts handed out. One per engine.
class FontLibrary {
public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // The font for a face name given in code page 932 bytes (as the host sends
    // it) at `size` pixels; the same face and size give the same font. Never
    // null: a face that no installed font matches falls back to a Japanese font
    // (or, with no usable font at all, to one whose glyphs stay blank), and a
    // size below 1 gives 0 by 0 glyphs.
    std::shared_ptr<Font> open(std::string_view faceCp932, int size);

    // The font file that a face name resolves to; empty when none does.
    std::string resolve(std::string_view faceCp932);

    // The faces that UTF-8 text in the face named `faceUtf8` is shaped with at
    // `size` pixels: that face first, then fontconfig's other fonts (those
    // for `language`, a BCP 47 tag, first), each character taking the first
    // that holds it. Never null.
    std::shared_ptr<FontSet> openSet(std::string_view faceUtf8, int size,
                                     std::string_view language = {});

private:
    std::shared_ptr<FontSystem> mSystem;
    std::mutex mMutex;
    std::map<std::string, std::shared_ptr<FontFace>, std::less<>> mFaces;
    std::map<std::pair<std::string, int>, std::shared_ptr<Font>> mFonts;
    std::map<std::tuple<std::string, int, std::string>, std::shared_ptr<FontSet>> mSets;
};

}  // namespace lumo
