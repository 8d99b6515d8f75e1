// FreeType and fontconfig of one engine, shared by the fixed-pitch glyphs of
// code page 932 text and the shaped glyphs of UTF-8 text. Private to the
// drawing code.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>
#include <strings.h>

#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace lumo {

// Beyond this a glyph's scratch picture would be unreasonably large.
inline constexpr int kLargestSize = 1024;

// fontconfig knows no aliases for the Windows Japanese faces; without these it
// would answer with a Latin font.
struct Alias {
    const char* name;
    const char* family;
};
// clang-format off
inline constexpr Alias kAliases[] = {
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

inline constexpr FcChar32 kHiraganaA = 0x3042;

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

    // A face name in UTF-8 as fontconfig's family: our alias, else the name.
    static std::string familyOf(const std::string& name) {
        for (const Alias& alias : kAliases) {
            if (strcasecmp(name.c_str(), alias.name) == 0) return alias.family;
        }
        return name;
    }

    // A face name in UTF-8 to a font file: our aliases, else the name itself, in
    // both cases asking for Japanese; a name that only finds a font without
    // Japanese falls back to any Japanese font.
    std::pair<std::string, int> resolve(const std::string& name) {
        if (fontconfig == nullptr) return {"", 0};
        const std::string family = familyOf(name);
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

}  // namespace lumo
