#include "glyph_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumo {
namespace {

// Beyond this a glyph's scratch picture would be unreasonably large.
constexpr int kLargestSize = 1024;

// Bounds the fonts kept for reuse; fonts still held by a film are never dropped.
constexpr std::size_t kKeptFonts = 64;

// fontconfig knows no aliases for the Windows Japanese faces; without these it
// would answer with a Latin font.
struct Alias {
    const char* name;
    const char* family;
};
// clang-format off
constexpr Alias kAliases[] = {
    {"ＭＳ ゴシック",   "IPAGothic"},
    {"MS Gothic",       "IPAGothic"},
    {"ＭＳ 明朝",       "IPAMincho"},
    {"MS Mincho",       "IPAMincho"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS PGothic",      "IPAPGothic"},
    {"ＭＳ Ｐ明朝",     "IPAPMincho"},
    {"MS PMincho",      "IPAPMincho"},
};
// clang-format on

constexpr FcChar32 kHiraganaA = 0x3042;

// An iconv conversion from code page 932; not reentrant, so always used under a lock.
class Cp932Converter {
public:
    explicit Cp932Converter(const char* to) : mHandle(iconv_open(to, "CP932")) {}
    ~Cp932Converter() {
        if (valid()) iconv_close(mHandle);
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    bool valid() const { return mHandle != reinterpret_cast<iconv_t>(-1); }

    // The converted bytes, or empty when the input isn't valid code page 932.
    std::string convert(std::string_view text) {
        if (!valid() || text.empty()) return {};
        iconv(mHandle, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 4 + 8, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        if (iconv(mHandle, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return {};
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t mHandle;
};

}  // namespace

// FreeType and fontconfig for one engine. Faces and fonts keep it alive, so it
// lasts until the last font handed out is gone.
struct FontSystem {
    FT_Library freetype = nullptr;
    FcConfig* fontconfig = nullptr;
    std::mutex mutex;  // FreeType's library, fontconfig and the converters
    Cp932Converter toUtf8{"UTF-8"};
    Cp932Converter toUtf32{"UTF-32LE"};

    FontSystem() {
        if (FT_Init_FreeType(&freetype) != 0) freetype = nullptr;
        fontconfig = FcInitLoadConfigAndFonts();
    }
    ~FontSystem() {
        if (fontconfig) FcConfigDestroy(fontconfig);
        if (freetype) FT_Done_FreeType(freetype);
    }
    FontSystem(const FontSystem&) = delete;
    FontSystem& operator=(const FontSystem&) = delete;

    // The font file of the best match for `pattern`, when it has Japanese.
    std::pair<std::string, int> match(FcPattern* pattern) {
        std::pair<std::string, int> found{"", 0};
        FcConfigSubstitute(fontconfig, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* best = FcFontMatch(fontconfig, pattern, &result);
        if (best == nullptr) return found;
        FcChar8* file = nullptr;
        FcCharSet* characters = nullptr;
        int index = 0;
        if (FcPatternGetString(best, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetCharSet(best, FC_CHARSET, 0, &characters) == FcResultMatch &&
            FcCharSetHasChar(characters, kHiraganaA)) {
            FcPatternGetInteger(best, FC_INDEX, 0, &index);
            found = {reinterpret_cast<const char*>(file), index};
        }
        FcPatternDestroy(best);
        return found;
    }

    // A face name in UTF-8 to a font file: our aliases, else the name itself, in
    // both cases asking for Japanese; a name that only finds a font without
    // Japanese falls back to any Japanese font.
    std::pair<std::string, int> resolve(const std::string& name) {
        if (fontconfig == nullptr) return {"", 0};
        std::string family = name;
        for (const Alias& alias : kAliases) {
            if (strcasecmp(name.c_str(), alias.name) == 0) family = alias.family;
        }
        FcPattern* named = FcPatternCreate();
        if (!family.empty()) {
            FcPatternAddString(named, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        }
        FcPatternAddString(named, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        auto found = match(named);
        FcPatternDestroy(named);
        if (found.first.empty() && !family.empty()) {
            FcPattern* japanese = FcPatternCreate();
            FcPatternAddString(japanese, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
            found = match(japanese);
            FcPatternDestroy(japanese);
        }
        return found;
    }
};

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
