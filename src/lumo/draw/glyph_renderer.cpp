#include "glyph_renderer.h"

#include "font_system.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumo {

namespace {

// Bounds the fonts kept for reuse; fonts still held by a film are never dropped.
constexpr std::size_t kKeptFonts = 64;

}  // namespace

// One opened font file. FreeType faces are not thread-safe, and fonts of several
// sizes share one, so every use holds its lock.
struct FontFace {
    std::shared_ptr<FontSystem> library;
    std::pair<std::string, int> file;
    FT_Face face = nullptr;
    std::mutex mutex;
    // A font's height is that of its character cell, with the baseline at the
    // ascent. The Windows faces that games name have a cell exactly one em high;
    // the typographic ascent and descent of the stand-in fonts give the same
    // (IPA's Windows metrics would make every glyph 7% smaller).
    int cellUnits = 0;
    int ascentUnits = 0;

    FontFace(std::shared_ptr<FontSystem> owner, std::pair<std::string, int> fontFile)
        : library(std::move(owner)), file(std::move(fontFile)) {
        if (library->freetype == nullptr || file.first.empty() ||
            FT_New_Face(library->freetype, file.first.c_str(), file.second, &face) != 0) {
            face = nullptr;
            return;
        }
        ascentUnits = face->ascender;
        cellUnits = face->ascender - face->descender;
        if (cellUnits <= 0) {
            if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
                os2 != nullptr) {
                ascentUnits = os2->usWinAscent;
                cellUnits = os2->usWinAscent + os2->usWinDescent;
            }
        }
        if (cellUnits <= 0) cellUnits = face->units_per_EM > 0 ? face->units_per_EM : 1;
    }
    ~FontFace() {
        if (face == nullptr) return;
        std::lock_guard libraryLock(library->mutex);
        FT_Done_Face(face);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Draws the code points white on black into a height by height picture
    // (1 byte a pixel) whose cell is `height` pixels high, from (0, 0).
    void draw(const std::u32string& text, int height, std::uint8_t* picture) {
        std::lock_guard lock(mutex);
        if (face == nullptr) return;
        const long emPixels64 = static_cast<long>(height) * 64 * face->units_per_EM / cellUnits;
        if (FT_Set_Char_Size(face, 0, emPixels64, 72, 72) != 0) return;
        const int baseline = (ascentUnits * height + cellUnits / 2) / cellUnits;
        int pen = 0;
        for (char32_t codePoint : text) {
            const FT_UInt index = FT_Get_Char_Index(face, codePoint);
            if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0) {
                continue;
            }
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.pitch > 0) {
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    const int y = baseline - slot->bitmap_top + static_cast<int>(row);
                    if (y < 0 || y >= height) continue;
                    const std::uint8_t* from = bitmap.buffer + row * bitmap.pitch;
                    for (unsigned column = 0; column < bitmap.width; ++column) {
                        const int x = pen + slot->bitmap_left + static_cast<int>(column);
                        if (x < 0 || x >= height) continue;
                        std::uint8_t& to = picture[y * height + x];
                        to = std::max(to, from[column]);
                    }
                }
            }
            pen += static_cast<int>(slot->advance.x >> 6);
        }
    }
};

Font::Font(std::shared_ptr<FontFace> face, int size) : mFace(std::move(face)), mSize(size) {}

Font::~Font() = default;

PixelBuffer Font::glyph(std::uint8_t lead, std::uint8_t trail) {
    if (mSize < 1 || mSize > kLargestSize) return {};
    const std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
    std::lock_guard lock(mMutex);
    auto& coverage = mGlyphs[code];
    if (!coverage) {
        coverage = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(mSize) * mSize);
        std::u32string text;
        {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::lock_guard libraryLock(mFace->library->mutex);
            const std::string utf32 = mFace->library->toUtf32.convert({bytes, 2});
            text.resize(utf32.size() / 4);
            std::memcpy(text.data(), utf32.data(), text.size() * 4);
        }
        // Drawn at twice the size, then each 2 by 2 block averaged, which gives
        // the edges their soft coverage.
        const int twice = 2 * mSize;
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(twice) * twice);
        mFace->draw(text, twice, picture.data());
        for (int y = 0; y < mSize; ++y) {
            const std::uint8_t* top = picture.data() + 2 * y * twice;
            const std::uint8_t* bottom = top + twice;
            for (int x = 0; x < mSize; ++x) {
                const int sum = top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1];
                coverage[y * mSize + x] = static_cast<std::uint8_t>(sum / 4);
            }
        }
    }
    return PixelBuffer{mSize, mSize, mSize, mSize, mSize, 1, coverage.get()};
}

FontLibrary::FontLibrary() : mSystem(std::make_shared<FontSystem>()) {}

FontLibrary::~FontLibrary() = default;

std::string FontLibrary::resolve(std::string_view faceCp932) {
    std::lock_guard lock(mSystem->mutex);
    return mSystem->resolve(mSystem->toUtf8.convert(faceCp932)).first;
}

std::shared_ptr<Font> FontLibrary::open(std::string_view faceCp932, int size) {
    std::lock_guard lock(mMutex);
    const std::pair<std::string, int> key{std::string(faceCp932), size};
    if (auto kept = mFonts.find(key); kept != mFonts.end()) return kept->second;

    std::shared_ptr<FontFace>& face = mFaces[key.first];
    if (!face) {
        std::pair<std::string, int> file;
        {
            std::lock_guard systemLock(mSystem->mutex);
            file = mSystem->resolve(mSystem->toUtf8.convert(faceCp932));
        }
        // Faces are shared between names that resolve to the same file.
        for (const auto& [name, other] : mFaces) {
            if (other && other->file == file) face = other;
        }
        if (!face) {
            std::lock_guard systemLock(mSystem->mutex);
            face = std::make_shared<FontFace>(mSystem, file);
        }
    }
    if (mFonts.size() >= kKeptFonts) {
        std::erase_if(mFonts, [](const auto& entry) { return entry.second.use_count() == 1; });
    }
    auto font = std::make_shared<Font>(face, size);
    mFonts.emplace(key, font);
    return font;
}

}  // namespace lumo
