#include "view/frm_config_font_preview.h"

#include <SDL.h>
#include <ft2build.h>
#include <imgui.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/utf8.h"
#include "platform/imgui_host.h"
#include "settings/game_language.h"

namespace zelk {

namespace {

// fontconfig knows no aliases for the Windows Japanese faces; without these
// it would answer with a Latin font.
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

// Set glyph by glyph, without shaping: letters that stand alone, so that
// none would join or take a mark and read wrong.
struct Sample {
    const char* language;
    const char* text;
};
// clang-format off
constexpr Sample kSamples[] = {
    {"ja", "あいうアイウ漢字 Aa1"},
    {"zh", "汉字漢字中文 Aa1"},
    {"ko", "가나다 한글 Aa1"},
    {"ar", "ا ب ج د ه و Aa1"},
    {"fa", "ا ب پ ج چ Aa1"},
    {"he", "א ב ג ד ה Aa1"},
    {"ru", "Аа Бб Жж Яя Aa1"},
    {"uk", "Аа Її Єє Ґґ Aa1"},
    {"el", "Αα Ββ Γγ Ωω Aa1"},
    {"th", "ก ข ค ง จ Aa1"},
    {"hi", "क ख ग घ Aa1"},
};
// clang-format on
constexpr const char* kLatinSample = "Aa Bb Éé Çç 123";

// Beyond this the sample would be an unreasonable picture.
constexpr int kLargestPixels = 256;

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

}  // namespace

const char* FaceSample(const std::string& language) {
    const std::string wanted = LanguageOfTag(language);
    for (const Sample& sample : kSamples) {
        if (wanted == sample.language) return sample.text;
    }
    return kLatinSample;
}

std::string FacePattern(const std::string& face, const std::string& language) {
    std::string family = face;
    for (const Alias& alias : kAliases) {
        if (face == alias.name) family = alias.family;
    }
    // Characters that fontconfig's pattern syntax gives a meaning to.
    std::string pattern;
    for (char c : family) {
        if (c == '-' || c == ':' || c == ',' || c == '\\') pattern += '\\';
        pattern += c;
    }
    const std::string wanted = LanguageOfTag(language);
    return wanted.empty() ? pattern : pattern + ":lang=" + wanted;
}

FontPreview::FontPreview(SDL_Renderer* renderer) : mRenderer(renderer) {}

FontPreview::~FontPreview() {
    if (mTexture) SDL_DestroyTexture(mTexture);
}

void FontPreview::Draw(const std::string& face, float height, const std::string& language) {
    const int pixels = std::clamp(static_cast<int>(height), 1, kLargestPixels);
    if (!mTried || face != mFace || pixels != mPixels || language != mLanguage) {
        mTried = true;
        mFace = face;
        mPixels = pixels;
        mLanguage = language;
        if (mTexture) SDL_DestroyTexture(mTexture);
        mTexture = nullptr;
        if (mRenderer && !Render(face, pixels, language) && mTexture) {
            SDL_DestroyTexture(mTexture);
            mTexture = nullptr;
        }
    }
    if (mTexture) {
        ImGui::Image(static_cast<ImTextureID>(mTexture),
                     ImVec2(static_cast<float>(mWidth), static_cast<float>(mHeight)));
    } else {
        ImGui::TextUnformatted(FaceSample(language));
    }
}

bool FontPreview::Render(const std::string& face, int pixels, const std::string& language) {
    mFile = FindFontFile(FacePattern(face, language).c_str());
    if (mFile.empty()) return false;
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) return false;
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), mFile.c_str(), 0, &rawFace) != 0) return false;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> font(rawFace);
    if (FT_Set_Pixel_Sizes(font.get(), 0, static_cast<FT_UInt>(pixels)) != 0) return false;

    const int ascent = static_cast<int>(font->size->metrics.ascender >> 6);
    const int descent = static_cast<int>(-(font->size->metrics.descender >> 6));
    const int height = std::max(1, ascent + descent);
    const std::u32string text = DecodeUtf8(FaceSample(language));

    // A character the face lacks is set in the face the story would take
    // it from, as the text window does, rather than as a box.
    const std::string pattern = FacePattern(face, language);
    std::vector<std::unique_ptr<FT_FaceRec_, FaceDeleter>> fallbacks;
    auto faceFor = [&](char32_t c) -> FT_Face {
        if (FT_Get_Char_Index(font.get(), c) != 0) return font.get();
        for (const auto& other : fallbacks)
            if (FT_Get_Char_Index(other.get(), c) != 0) return other.get();
        const std::string file = FindFontFileFor(pattern.c_str(), c);
        FT_Face loaded = nullptr;
        if (file.empty() || FT_New_Face(library.get(), file.c_str(), 0, &loaded) != 0)
            return font.get();
        fallbacks.emplace_back(loaded);
        FT_Set_Pixel_Sizes(loaded, 0, static_cast<FT_UInt>(pixels));
        return loaded;
    };

    // First the advances, for the picture's width.
    int width = 0;
    for (char32_t c : text) {
        FT_Face from = faceFor(c);
        if (FT_Load_Char(from, c, FT_LOAD_DEFAULT) != 0) continue;
        width += static_cast<int>(from->glyph->advance.x >> 6);
    }
    width = std::max(width, 1);

    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * height, 0);
    int pen = 0;
    for (char32_t c : text) {
        FT_Face from = faceFor(c);
        if (FT_Load_Char(from, c, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = from->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const int y = ascent - glyph->bitmap_top + static_cast<int>(row);
                if (y < 0 || y >= height) continue;
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    const int x = pen + glyph->bitmap_left + static_cast<int>(col);
                    if (x < 0 || x >= width) continue;
                    const std::uint8_t value = bitmap.buffer[row * bitmap.pitch + col];
                    std::uint8_t& cell = coverage[static_cast<std::size_t>(y) * width + x];
                    cell = std::max(cell, value);
                }
            }
        }
        pen += static_cast<int>(glyph->advance.x >> 6);
    }

    // White text whose alpha is the coverage, so the dialog's colours show
    // through around it.
    std::vector<std::uint32_t> pixelsRgba(coverage.size());
    for (std::size_t i = 0; i < coverage.size(); ++i)
        pixelsRgba[i] = (static_cast<std::uint32_t>(coverage[i]) << 24) | 0xFFFFFFu;
    mTexture = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                 width, height);
    if (!mTexture) return false;
    if (SDL_UpdateTexture(mTexture, nullptr, pixelsRgba.data(), width * 4) != 0) return false;
    SDL_SetTextureBlendMode(mTexture, SDL_BLENDMODE_BLEND);
    mWidth = width;
    mHeight = height;
    return true;
}

}  // namespace zelk
