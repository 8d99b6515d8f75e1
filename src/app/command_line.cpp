#include "app/command_line.h"

namespace zelk {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "--help" || argument == "-h")) {
            line.help = true;
        } else if (options && argument == "--version") {
            line.version = true;
        } else if (options && argument == "--window") {
            line.screenMode = 1;
        } else if (options && argument == "--fullscreen") {
            line.screenMode = 0;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            if (line.error.empty()) line.error = "unknown option " + argument;
        } else if (line.gameFolder.empty()) {
            line.gameFolder = argument;
        } else if (line.error.empty()) {
            line.error = "one game folder only, not also " + argument;
        }
    }
    return line;
}

std::string UsageText() {
    return "usage: zelk [--window | --fullscreen] [GAME_FOLDER]\n"
           "Plays the visual-novel game in GAME_FOLDER, or the bundled demo game.\n"
           "  --window       start in a window, whatever the settings say\n"
           "  --fullscreen   start full screen, whatever the settings say\n"
           "  --version      print the version and stop\n"
           "  --help         print this text and stop\n"
           "Saves and settings go to $XDG_DATA_HOME/zelk/, in a folder named after the game\n"
           "(or to ZELK_SAVE_DIR).\n";
}

}  // namespace zelk
