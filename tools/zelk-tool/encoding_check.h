// What `zelk-tool check` says of encodings: a file saved in the other
// encoding than its game's, with the line of its first offending byte, and
// the mistakes of a UTF-8 game's story text (a line of text without its
// "> " mark, read as an instruction).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "game_check.h"

namespace zelk::tool {

// The finding for a file's bytes, or nothing when they are in the game's
// encoding. `shownFile` is the file as the author sees it.
std::optional<Finding> EncodingFinding(const std::string& bytes, TextEncoding encoding,
                                       const std::string& shownFile);

// Every loose system file (ini folder) and debug.ini of the game set up in
// Process(), checked as above; places below `shownFolder`.
std::vector<Finding> CheckSystemFileEncodings(TextEncoding encoding,
                                              const std::string& shownFolder);

// A UTF-8 game's unknown command word: what to say, knowing the line as
// written. Story text without its mark gets the mark as the mend.
std::string UnknownWordInUtf8Game(const std::string& word, const std::string& written);

}  // namespace zelk::tool
