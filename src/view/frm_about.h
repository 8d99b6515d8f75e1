// The version dialog's words: the game's [Game] "Title", its "ScenarioVer",
// one more line of those settings ("Copyright", where an author names who
// holds the game), then the player's own name and version, so that a reader
// reporting a fault can say exactly what they ran.
#pragma once

#include <string>
#include <vector>

namespace zelk {

class INIFile;

// Each line as shown; a "Copyright" the game leaves empty takes no line.
std::vector<std::string> AboutLines(INIFile* systemInfo);

}  // namespace zelk
