// The installed faces a reader may choose for the story text. A Japanese
// game's engine sets text in cells, so it is offered the fonts that cover
// Japanese and give every character the same advance, or half and full
// widths (fontconfig's "mono" and "dual" spacing); a UTF-8 game's engine
// sets text by width, so any outline font that covers its language fits.
#pragma once

#include <string>
#include <vector>

namespace zelk {

// Family names, sorted and without duplicates; never a vertical ("@") face.
std::vector<std::string> JapaneseFixedPitchFamilies();

// Outline fonts of any spacing that cover the language of the tag (`fr`,
// `pt-BR`, `zh-Hant`: its first part decides); every outline font when the
// tag is empty or not a language's.
std::vector<std::string> FamiliesForLanguage(const std::string& tag);

}  // namespace zelk
