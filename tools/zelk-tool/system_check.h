// The settings side of `zelk-tool check`: the five system files and the
// debug file read against what the player reads (system_keys.h), every
// picture, sound, movie and cursor they name looked up with its size, and
// the files of scenario/ that the player never reads.
#pragma once

#include <string>
#include <vector>

#include "game_check.h"
#include "game_media.h"

namespace zelk::tool {

// Runs every check of the game set up in the process values
// (SetUpGameFolder); places are given below `shownFolder`.
std::vector<Finding> CheckSystemFiles(GameMedia& media, const std::string& shownFolder);

// Whether a file of a packed folder lies in a scenario folder ("scenario",
// any case) and is one the player never reads there: only NAME.txt, NAME
// without a ".", is a scenario a label can reach.
bool IsUnreadScenarioFile(const std::string& packedFolder, const std::string& relativePath);

}  // namespace zelk::tool
