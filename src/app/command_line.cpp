#include "app/command_line.h"

#include <sys/stat.h>

#include "manual/zelk.h"
#include "platform/translate.h"

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
            if (line.error.empty()) line.error = TrFormat("unknown option %s", {argument});
        } else if (line.gameFolder.empty()) {
            line.gameFolder = argument;
        } else if (line.error.empty()) {
            line.error = TrFormat("one game folder only, not also %s", {argument});
        }
    }
    return line;
}

std::string UsageText() {
    return kZelkUsage;
}

std::string GameFolderOf(const std::string& named) {
    constexpr std::string_view kArchive = "scenario.quor";
    struct stat info {};
    const size_t slash = named.find_last_of('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(named)
                                      : std::string_view(named).substr(slash + 1);
    if (name != kArchive || ::stat(named.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return named;
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : named.substr(0, slash);
}

}  // namespace zelk
