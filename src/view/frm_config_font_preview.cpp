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

// Beyond this the sample would be an unreasonable picture.
constexpr int kLargestPixels = 256;

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

}  // namespace

std::string FacePattern(const std::string& face) {
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
    return pattern + ":lang=ja";
}

FontPreview::FontPreview(SDL_Renderer* renderer) : mRenderer(renderer) {}

FontPreview::~FontPreview() {
    if (mTexture) SDL_DestroyTexture(mTexture);
}

void FontPreview::Draw(const std::string& face, float height) {
    const int pixels = std::clamp(static_cast<int>(height), 1, kLargestPixels);
    if (!mTried || face != mFace || pixels != mPixels) {
        mTried = true;
        mFace = face;
        mPixels = pixels;
        if (mTexture) SDL_DestroyTexture(mTexture);
        mTexture = nullptr;
        if (mRenderer && !Render(face, pixels) && mTexture) {
            SDL_DestroyTexture(mTexture);
            mTexture = nullptr;
        }
    }
    if (mTexture) {
        ImGui::Image(static_cast<ImTextureID>(mTexture),
                     ImVec2(static_cast<float>(mWidth), static_cast<float>(mHeight)));
    } else {
        ImGui::TextUnformatted(kSample);
    }
}

bool FontPreview::Render(const std::string& face, int pixels) {
    mFile = FindFontFile(FacePattern(face).c_str());
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
    const std::u32string text = DecodeUtf8(kSample);

    // First the advances, for the picture's width.
    int width = 0;
    for (char32_t c : text) {
        if (FT_Load_Char(font.get(), c, FT_LOAD_DEFAULT) != 0) continue;
        width += static_cast<int>(font->glyph->advance.x >> 6);
    }
    width = std::max(width, 1);

    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * height, 0);
    int pen = 0;
    for (char32_t c : text) {
        if (FT_Load_Char(font.get(), c, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = font->glyph;
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
