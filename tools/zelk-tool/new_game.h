// The files of a new game: the five system files laid out for its screen,
// one scenario with a choice, and placeholder pictures drawn in code. The
// game plays as it is written, so an author starts from something that
// works and changes one thing at a time.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "new_game_layout.h"

namespace zelk::tool {

struct NewGameFile {
    std::string path;   // below the game folder, "/" separated
    std::string bytes;  // as written to disk
};

// The language a new game is written in: Japanese (CP932 files, as every
// game before), or English (a UTF-8 game).
enum class NewGameLanguage { kJapanese, kEnglish };

// The system files and the scenario, as UTF-8 text with LF line ends (the
// caller stores them as the player reads them: in the game's encoding, with
// CR LF).
std::vector<NewGameFile> NewGameTexts(const std::string& title, const NewGameLayout& layout,
                                      NewGameLanguage language = NewGameLanguage::kJapanese);

// The pictures of image/, as PNG files. Nothing, with a message, when one
// cannot be encoded.
std::optional<std::vector<NewGameFile>> NewGamePictures(const std::string& title,
                                                        const NewGameLayout& layout,
                                                        std::string& error);

}  // namespace zelk::tool
