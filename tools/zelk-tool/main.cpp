// zelk-tool: the author's companion to the player.
#include <cstdio>
#include <string_view>

#include "commands.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(const zelk::tool::Arguments&);
    std::string_view usage;
};

constexpr Command kCommands[] = {
    {"ini", zelk::tool::RunIniCommand,
     "ini get FILE SECTION KEY | ini set FILE SECTION KEY VALUE | ini decode FILE | ini encode "
     "FILE  [--scrambled]"},
    {"pack", zelk::tool::RunPackCommand, "pack FOLDER ARCHIVE"},
    {"list", zelk::tool::RunListCommand, "list ARCHIVE"},
    {"extract", zelk::tool::RunExtractCommand, "extract ARCHIVE KEY"},
    {"convert", zelk::tool::RunConvertCommand, "convert FILE [--game DIR] [--cp932]"},
    {"check", zelk::tool::RunCheckCommand, "check FOLDER"},
    {"new", zelk::tool::RunNewCommand, "new FOLDER [--title TEXT] [--size WxH]"},
};

int Usage() {
    std::fputs("usage: zelk-tool COMMAND ...\n", stderr);
    for (const Command& command : kCommands) {
        std::fprintf(stderr, "  zelk-tool %.*s\n", static_cast<int>(command.usage.size()),
                     command.usage.data());
    }
    return zelk::tool::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string_view name = argv[1];
    for (const Command& command : kCommands) {
        if (command.name == name) return command.run(zelk::tool::Arguments(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "zelk-tool: unknown command \"%s\"\n", argv[1]);
    return Usage();
}
