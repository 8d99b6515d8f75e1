// The language UTF-8 text is written in: it orders the fallback faces (a
// Han character takes the face of that language's writing) and picks the
// language's own glyph forms, while the face a text names still comes first.
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "lumo_host.h"

using namespace lumo_test;

namespace {

// Whether an installed font holds `character` and is made for `language`.
bool fontFor(const char* language, FcChar32 character) {
    FcPattern* pattern = FcPatternCreate();
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>(language));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcCharSet* characters = FcCharSetCreate();
    FcCharSetAddChar(characters, character);
    FcPatternAddCharSet(pattern, FC_CHARSET, characters);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* found = FcFontList(nullptr, pattern, objects);
    const bool any = found != nullptr && found->nfont > 0;
    if (found) FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcCharSetDestroy(characters);
    FcLangSetDestroy(languages);
    FcPatternDestroy(pattern);
    return any;
}

bool familyInstalled(const char* family) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* found = FcFontList(nullptr, pattern, objects);
    const bool any = found != nullptr && found->nfont > 0;
    if (found) FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return any;
}

// The alpha map of `textUtf8` drawn in a new engine for text in `language`,
// in the face `face`.
std::vector<std::uint8_t> drawn(const char* language, const char* face,
                                const std::string& textUtf8) {
    const int32_t rate = 1;
    const int32_t utf8 = LUMO_TEXT_UTF8;
    EXPECT_EQ(SetLumoSetting(LS_FRAME_RATE, &rate), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &utf8), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, language), 0);
    EXPECT_EQ(InitializeLumo(), 0);
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, 160, 48);
    setProp(film, FP_TEXT_SIZE, 32);
    setProp(film, FP_TEXT_LINE_PITCH, 40);
    EXPECT_EQ(SetFilmProp(film, FP_TEXT_FONT, face), 0);
    EXPECT_EQ(SetFilmProp(film, FP_TEXT_APPEND, textUtf8.c_str()), 0);
    setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
    const LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
    std::vector<std::uint8_t> map;
    for (int y = 0; y < alpha->height; ++y)
        map.insert(map.end(), alpha->pixels + y * alpha->stride,
                   alpha->pixels + y * alpha->stride + alpha->width);
    EXPECT_EQ(TerminateLumo(), 0);
    const int32_t cp932 = LUMO_TEXT_CP932;
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &cp932), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, nullptr), 0);
    return map;
}

int covered(const std::vector<std::uint8_t>& map) {
    int count = 0;
    for (const std::uint8_t a : map)
        count += a > 64;
    return count;
}

}  // namespace

TEST(LumoTextLanguage, IsSetWhileStoppedAsAPlainTag) {
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, "zh-Hans"), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, ""), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, nullptr), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, "ja JP"), -1);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, "日本語"), -1);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, std::string(200, 'a').c_str()), -1);
    ASSERT_EQ(InitializeLumo(), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, "ja"), -1) << "only while stopped";
    EXPECT_EQ(TerminateLumo(), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, "ja"), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_LANGUAGE, nullptr), 0);
}

// 直 and 骨 are written differently in Japan and in mainland China; with a
// Latin face named, the Han characters come from the fallback faces, which
// the language orders.
TEST(LumoTextLanguage, HanCharactersTakeTheFaceOfTheTextsLanguage) {
    if (!fontFor("ja", 0x76F4) || !fontFor("zh-cn", 0x76F4)) {
        GTEST_SKIP() << "needs a Japanese and a Simplified Chinese font holding 直 (for example "
                        "fonts-noto-cjk, or fonts-ipafont with fonts-wqy-microhei)";
    }
    const std::vector<std::uint8_t> japanese = drawn("ja", "DejaVu Sans", "直骨");
    const std::vector<std::uint8_t> chinese = drawn("zh-Hans", "DejaVu Sans", "直骨");
    EXPECT_GT(covered(japanese), 0);
    EXPECT_GT(covered(chinese), 0);
    EXPECT_NE(japanese, chinese);
    // The same language draws the same glyphs.
    EXPECT_EQ(japanese, drawn("ja", "DejaVu Sans", "直骨"));
}

// Marathi writes श and ल in forms of its own, which a Devanagari font holds
// beside the Hindi ones; the text's language chooses them.
TEST(LumoTextLanguage, TheLanguagesOwnFormsAreShaped) {
    if (!familyInstalled("Noto Sans Devanagari")) {
        GTEST_SKIP() << "needs Noto Sans Devanagari (fonts-noto-core)";
    }
    const std::vector<std::uint8_t> hindi = drawn("hi", "Noto Sans Devanagari", "शल");
    const std::vector<std::uint8_t> marathi = drawn("mr", "Noto Sans Devanagari", "शल");
    const std::vector<std::uint8_t> none = drawn("", "Noto Sans Devanagari", "शल");
    EXPECT_GT(covered(hindi), 0);
    EXPECT_NE(hindi, marathi);
    EXPECT_EQ(hindi, none) << "an undeclared language takes the common forms";
}
