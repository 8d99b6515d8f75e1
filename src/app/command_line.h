// What the reader typed: a game folder and a few switches. Parsing is kept
// apart from acting on it so that every spelling can be tested.
#pragma once

#include <string>
#include <vector>

namespace zelk {

struct CommandLine {
    bool help = false;
    bool version = false;
    // -1 as the settings say, 0 full screen, 1 a window.
    long screenMode = -1;
    std::string gameFolder;  // empty: the demo game
    std::string error;       // a misspelt switch or a second folder
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text `zelk --help` prints.
std::string UsageText();

// The game folder a named path means: a game's "scenario.quor" (what a file
// manager hands over when the reader opens it) means the folder holding it;
// anything else is taken as the folder itself.
std::string GameFolderOf(const std::string& named);

}  // namespace zelk
