#include "settings/font_list.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

#include "settings/game_language.h"

namespace zelk {

namespace {

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};

// The families of the fonts that match `query`, sorted and without
// duplicates; `fixedPitch` keeps only mono and dual spacing.
std::vector<std::string> Families(const char* query, bool fixedPitch) {
    std::vector<std::string> families;
    // A configuration of our own, released at the end: the library's shared
    // one would stay allocated for the life of the process.
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    if (!config) return families;
    std::unique_ptr<FcPattern, PatternDeleter> pattern(
        FcNameParse(reinterpret_cast<const FcChar8*>(query)));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FAMILY, FC_SPACING, nullptr));
    if (!pattern || !objects) return families;
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
        FcFontList(config.get(), pattern.get(), objects.get()));
    if (!fonts) return families;
    for (int i = 0; i < fonts->nfont; ++i) {
        int spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(fonts->fonts[i], FC_SPACING, 0, &spacing);
        if (fixedPitch && spacing != FC_MONO && spacing != FC_DUAL) continue;
        FcChar8* family = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
        std::string name(reinterpret_cast<const char*>(family));
        if (name.empty() || name.front() == '@') continue;
        families.push_back(std::move(name));
    }
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

}  // namespace

std::vector<std::string> JapaneseFixedPitchFamilies() {
    return Families(":lang=ja", true);
}

std::vector<std::string> FamiliesForLanguage(const std::string& tag) {
    // Only the language itself goes to fontconfig: its own names for
    // scripts and regions are not the tag's ("zh-Hant" is its "zh-tw").
    const std::string language = LanguageOfTag(tag);
    if (language.empty()) return Families(":scalable=true", false);
    return Families((":scalable=true:lang=" + language).c_str(), false);
}

}  // namespace zelk
