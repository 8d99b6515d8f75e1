// The language a game's text is written in: [Game] Language in
// SystemInfo.ini, a BCP 47 tag ("ja", "en", "zh-Hans", "pt-BR"). Fonts are
// chosen for it among those that hold a character (so a Han character takes
// the face of that language's writing) and the speech service reads the
// pages in it. A CP932 game that does not say is Japanese; a UTF-8 game
// that does not say has no declared language.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

class INIFile;

// Whether `tag` has a language tag's form: subtags of 1 to 8 ASCII letters
// and digits joined by hyphens, the first of 2 or 3 letters, 35 characters
// at most. The form only: no registry is consulted.
bool IsLanguageTag(std::string_view tag);

// The language of a tag, lower-cased ("zh-Hant" gives "zh", "AR" "ar");
// empty when its first part is not 2 or 3 letters.
std::string LanguageOfTag(std::string_view tag);

struct GameLanguage {
    // The tag as the author wrote it; empty when none is declared.
    std::string tag;
    // Whether the key is in the file at all (with any value).
    bool written = false;
    // One sentence when the value was not a tag and so was ignored, and the
    // value as it quotes it.
    std::string problem;
    std::string rejected;
};

// The first [Game] section's Language of a system file read in its game's
// encoding.
GameLanguage ReadGameLanguage(const INIFile& systemInfo);

}  // namespace zelk
