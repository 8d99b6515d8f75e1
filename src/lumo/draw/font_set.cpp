#include "font_set.h"

#include <hb-ft.h>
#include <hb-ot.h>

#include <algorithm>
#include <cstring>

#include FT_TRUETYPE_TABLES_H

#include "font_system.h"
#include "glyph_renderer.h"
#include "pixel_buffer.h"

namespace lumo {

namespace {

// Characters that draw nothing themselves: any face may carry them, so they
// never split a cluster's face.
bool ignorable(char32_t c) {
    return c == 0x00AD || c == 0x034F || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// Bounds the fallback fonts considered for one set.
constexpr int kMostFaces = 256;

// Runs of bytes the compiler keeps in one vector register.
typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));
typedef std::uint8_t Bytes8 __attribute__((vector_size(8)));
typedef std::uint8_t Bytes4 __attribute__((vector_size(4)));

template <typename Bytes>
Bytes larger(const std::uint8_t* to, const std::uint8_t* from) {
    Bytes a;
    Bytes b;
    std::memcpy(&a, to, sizeof a);
    std::memcpy(&b, from, sizeof b);
    return a > b ? a : b;
}

// A glyph's row is narrower than a vector or a few of them. Taking the
// larger twice changes nothing, so the last chunk may overlap the one
// before it instead of ending in a byte-by-byte tail; it is read before
// anything is stored, as a read of bytes just stored in part would wait.
template <typename Bytes>
void maxRowBy(std::uint8_t* to, const std::uint8_t* from, int count) {
    constexpr int n = sizeof(Bytes);
    const Bytes last = larger<Bytes>(to + count - n, from + count - n);
    for (int i = 0; i + n < count; i += n) {
        const Bytes chunk = larger<Bytes>(to + i, from + i);
        std::memcpy(to + i, &chunk, n);
    }
    std::memcpy(to + count - n, &last, n);
}

void maxRow(std::uint8_t* to, const std::uint8_t* from, int count) {
    if (count >= 16) {
        maxRowBy<Bytes16>(to, from, count);
    } else if (count >= 8) {
        maxRowBy<Bytes8>(to, from, count);
    } else if (count >= 4) {
        maxRowBy<Bytes4>(to, from, count);
    } else {
        for (int i = 0; i < count; ++i)
            to[i] = std::max(to[i], from[i]);
    }
}

}  // namespace

std::string fontconfigLanguage(const std::string& tag) {
    std::string lower;
    for (const char c : tag)
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != "zh" && !lower.starts_with("zh-")) return lower;
    // Chinese: fontconfig knows its writings by region only.
    std::string region;
    std::string script;
    for (std::size_t start = 3; start < lower.size();) {
        std::size_t end = lower.find('-', start);
        if (end == std::string::npos) end = lower.size();
        const std::string subtag = lower.substr(start, end - start);
        if (subtag.size() == 4 && script.empty()) script = subtag;
        if (subtag.size() == 2 && region.empty()) region = subtag;
        start = end + 1;
    }
    const bool known =
        region == "cn" || region == "sg" || region == "tw" || region == "hk" || region == "mo";
    if (script == "hans") return region == "sg" ? "zh-sg" : "zh-cn";
    if (script == "hant") return region == "hk" || region == "mo" ? "zh-" + region : "zh-tw";
    return known ? "zh-" + region : "zh";
}

void addCoverage(const PixelBuffer& alpha, int x, int y, const GlyphImage& glyph) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t{x} + glyph.width, alpha.clipWidth);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{y} + glyph.height, alpha.clipHeight);
    if (alpha.bits == nullptr || right <= left || bottom <= top) return;
    for (std::int64_t row = top; row < bottom; ++row) {
        const std::uint8_t* from = glyph.coverage.data() + (row - y) * glyph.width + (left - x);
        maxRow(alpha.row(static_cast<int>(row)) + left, from, static_cast<int>(right - left));
    }
}

struct FontSet::Face {
    std::shared_ptr<FontSystem> system;
    FT_Face ft = nullptr;
    hb_font_t* hb = nullptr;
    std::unordered_map<std::uint32_t, GlyphImage> images;

    ~Face() {
        std::lock_guard lock(system->mutex);
        if (hb) hb_font_destroy(hb);
        if (ft) FT_Done_Face(ft);
    }
};

FontSet::FontSet(std::shared_ptr<FontSystem> system, const std::string& faceUtf8, int size,
                 const std::string& language)
    : mSystem(std::move(system)), mSize(size), mBuffer(hb_buffer_create()) {
    if (!language.empty()) mLanguage = hb_language_from_string(language.c_str(), -1);
    if (mSize < 1 || mSize > kLargestSize) return;
    std::lock_guard lock(mSystem->mutex);
    if (mSystem->fontconfig == nullptr) return;
    FcPattern* pattern = FcPatternCreate();
    const std::string family = FontSystem::familyOf(faceUtf8);
    if (!family.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    // The named family still comes first: fontconfig ranks a family asked for
    // above the language, which orders the faces after it (a Han character
    // takes a Japanese face in a Japanese text, a Chinese one in a Chinese).
    // Unsaid, fontconfig takes the language of the process's locale.
    if (const std::string lang = fontconfigLanguage(language); !lang.empty()) {
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang.c_str()));
    }
    FcConfigSubstitute(mSystem->fontconfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    mSorted = FcFontSort(mSystem->fontconfig, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    const int count = mSorted ? std::min(mSorted->nfont, kMostFaces) : 0;
    mFaces.resize(static_cast<std::size_t>(count));
    mTried.assign(static_cast<std::size_t>(count), false);
}

FontSet::~FontSet() {
    mFaces.clear();
    if (mSorted) FcFontSetDestroy(mSorted);
    hb_buffer_destroy(mBuffer);
}

FontSet::Face* FontSet::faceAt(int index) {
    if (index < 0 || index >= static_cast<int>(mFaces.size())) return nullptr;
    const auto i = static_cast<std::size_t>(index);
    if (mTried[i]) return mFaces[i].get();
    mTried[i] = true;
    FcChar8* file = nullptr;
    int faceIndex = 0;
    if (FcPatternGetString(mSorted->fonts[index], FC_FILE, 0, &file) != FcResultMatch) {
        return nullptr;
    }
    FcPatternGetInteger(mSorted->fonts[index], FC_INDEX, 0, &faceIndex);
    auto face = std::make_unique<Face>();
    face->system = mSystem;
    std::lock_guard lock(mSystem->mutex);
    if (mSystem->freetype == nullptr ||
        FT_New_Face(mSystem->freetype, reinterpret_cast<const char*>(file), faceIndex, &face->ft) !=
            0) {
        face->ft = nullptr;
        return nullptr;
    }
    if (mEmPixels64 == 0) {
        // The first face sets the scale for all: its cell (ascent to descent)
        // is the text's size, as for the fixed-pitch glyphs.
        int ascent = face->ft->ascender;
        int cell = face->ft->ascender - face->ft->descender;
        if (cell <= 0) {
            if (const auto* os2 =
                    static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face->ft, FT_SFNT_OS2));
                os2 != nullptr) {
                ascent = os2->usWinAscent;
                cell = os2->usWinAscent + os2->usWinDescent;
            }
        }
        const int em = face->ft->units_per_EM > 0 ? face->ft->units_per_EM : 1;
        if (cell <= 0) cell = ascent = em;
        mEmPixels64 = std::max(64L, static_cast<long>(mSize) * 64 * em / cell);
        mBaseline = (ascent * mSize + cell / 2) / cell;
    }
    if (FT_Set_Char_Size(face->ft, 0, mEmPixels64, 72, 72) != 0) {
        FT_Done_Face(face->ft);
        face->ft = nullptr;
        return nullptr;
    }
    face->hb = hb_ft_font_create_referenced(face->ft);
    // HarfBuzz reads the face's tables through FreeType; its own metrics
    // functions, with their caches, are several times faster than asking
    // FreeType glyph by glyph, and give the same unhinted advances.
    hb_ot_font_set_funcs(face->hb);
    mFaces[i] = std::move(face);
    return mFaces[i].get();
}

bool FontSet::holds(int index, char32_t codePoint) {
    if (ignorable(codePoint)) return true;
    FcCharSet* characters = nullptr;
    return FcPatternGetCharSet(mSorted->fonts[index], FC_CHARSET, 0, &characters) ==
               FcResultMatch &&
           FcCharSetHasChar(characters, codePoint);
}

bool FontSet::faceHolds(int face, const char32_t* codePoints, std::size_t count) {
    std::lock_guard lock(mMutex);
    if (face < 0 || face >= static_cast<int>(mFaces.size()) || faceAt(face) == nullptr)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (!holds(face, codePoints[i])) return false;
    return true;
}

int FontSet::faceFor(const char32_t* codePoints, std::size_t count) {
    std::lock_guard lock(mMutex);
    return chooseFace(codePoints, count);
}

void FontSet::facesFor(const char32_t* text, std::span<const CodePointRange> clusters,
                       std::span<int> faces) {
    std::lock_guard lock(mMutex);
    for (std::size_t i = 0; i < clusters.size() && i < faces.size(); ++i)
        faces[i] = chooseFace(text + clusters[i].first, clusters[i].end - clusters[i].first);
}

int FontSet::chooseFace(const char32_t* codePoints, std::size_t count) {
    if (count == 0 || mFaces.empty()) return 0;
    // The named face (and so the scale) is settled before any other.
    faceAt(0);
    auto usable = [&](int index) { return faceAt(index) != nullptr; };
    const char32_t first = codePoints[0];
    if (count == 1) {
        if (auto chosen = mChosen.find(first); chosen != mChosen.end()) return chosen->second;
    }
    int firstOnly = -1;
    for (int index = 0; index < static_cast<int>(mFaces.size()); ++index) {
        if (!holds(index, first)) continue;
        bool all = true;
        for (std::size_t i = 1; i < count && all; ++i)
            all = holds(index, codePoints[i]);
        if (all && usable(index)) {
            if (count == 1) mChosen.emplace(first, index);
            return index;
        }
        if (firstOnly < 0 && usable(index)) firstOnly = index;
    }
    const int chosen = std::max(firstOnly, 0);
    if (count == 1) mChosen.emplace(first, chosen);
    return chosen;
}

void FontSet::shape(int face, const char32_t* text, std::size_t textLength, std::size_t start,
                    std::size_t length, bool rightToLeft, hb_script_t script,
                    std::vector<ShapedGlyph>& out) {
    std::lock_guard lock(mMutex);
    Face* f = faceAt(face);
    if (f == nullptr || length == 0) return;
    hb_buffer_clear_contents(mBuffer);
    hb_buffer_add_utf32(mBuffer, reinterpret_cast<const std::uint32_t*>(text),
                        static_cast<int>(textLength), static_cast<unsigned>(start),
                        static_cast<int>(length));
    hb_buffer_set_direction(mBuffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(mBuffer, script);
    hb_buffer_set_language(mBuffer, mLanguage);  // the language's own forms (OpenType locl)
    hb_buffer_guess_segment_properties(mBuffer);
    hb_shape(f->hb, mBuffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(mBuffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(mBuffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        out.push_back({face, infos[i].codepoint, infos[i].cluster, positions[i].x_advance,
                       positions[i].x_offset, positions[i].y_offset});
    }
}

const GlyphImage* FontSet::image(int face, std::uint32_t glyph) {
    std::lock_guard lock(mMutex);
    return drawnImage(face, glyph);
}

void FontSet::images(std::span<const GlyphId> glyphs, std::span<const GlyphImage*> out) {
    std::lock_guard lock(mMutex);
    for (std::size_t i = 0; i < glyphs.size() && i < out.size(); ++i)
        out[i] = drawnImage(glyphs[i].face, glyphs[i].glyph);
}

const GlyphImage* FontSet::drawnImage(int face, std::uint32_t glyph) {
    Face* f = faceAt(face);
    if (f == nullptr) return nullptr;
    if (auto kept = f->images.find(glyph); kept != f->images.end()) return &kept->second;
    GlyphImage& image = f->images[glyph];
    if (FT_Load_Glyph(f->ft, glyph, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) !=
        0) {
        return &image;
    }
    const FT_GlyphSlot slot = f->ft->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    // A glyph far beyond its em (a broken font) is left blank.
    const unsigned limit = static_cast<unsigned>(8 * mSize + 64);
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch <= 0 || bitmap.width > limit ||
        bitmap.rows > limit) {
        return &image;
    }
    image.width = static_cast<int>(bitmap.width);
    image.height = static_cast<int>(bitmap.rows);
    image.left = slot->bitmap_left;
    image.top = slot->bitmap_top;
    image.coverage.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int row = 0; row < image.height; ++row) {
        std::copy_n(bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch, image.width,
                    image.coverage.begin() + static_cast<std::ptrdiff_t>(row) * image.width);
    }
    return &image;
}

std::shared_ptr<FontSet> FontLibrary::openSet(std::string_view faceUtf8, int size,
                                              std::string_view language) {
    std::lock_guard lock(mMutex);
    const std::tuple<std::string, int, std::string> key{std::string(faceUtf8), size,
                                                        std::string(language)};
    if (auto kept = mSets.find(key); kept != mSets.end()) return kept->second;
    if (mSets.size() >= 16) {
        std::erase_if(mSets, [](const auto& entry) { return entry.second.use_count() == 1; });
    }
    auto set = std::make_shared<FontSet>(mSystem, std::get<0>(key), size, std::get<2>(key));
    mSets.emplace(key, set);
    return set;
}

}  // namespace lumo
