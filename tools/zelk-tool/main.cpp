// zelk-tool: the author's companion to the player.
#include <cstdio>
#include <exception>
#include <new>
#include <string_view>

#include "commands.h"
#include "manual/zelk-tool.h"
#include "zelk_version.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(const zelk::tool::Arguments&);
};

// Each command's words and meaning are in zelk-tool.1.manual, which makes
// both the usage text and the manual page.
constexpr Command kCommands[] = {
    {"ini", zelk::tool::RunIniCommand},         {"pack", zelk::tool::RunPackCommand},
    {"list", zelk::tool::RunListCommand},       {"extract", zelk::tool::RunExtractCommand},
    {"convert", zelk::tool::RunConvertCommand}, {"check", zelk::tool::RunCheckCommand},
    {"new", zelk::tool::RunNewCommand},         {"routes", zelk::tool::RunRoutesCommand},
};

int Usage() {
    std::fputs(zelk::kZelkToolUsage, stderr);
    return zelk::tool::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h") {
        std::fputs(zelk::kZelkToolUsage, stdout);
        return zelk::tool::kExitOk;
    }
    if (name == "--version") {
        std::printf("zelk-tool %s\n", zelk::kVersion);
        return zelk::tool::kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name != name) continue;
        // A game from anyone may hold anything: whatever a command did not
        // foresee ends it with a message and a failure, never an abort.
        try {
            return command.run(zelk::tool::Arguments(argv + 2, argv + argc));
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "zelk-tool %s: out of memory\n", argv[1]);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "zelk-tool %s: %s\n", argv[1], error.what());
        }
        return zelk::tool::kExitFailure;
    }
    std::fprintf(stderr, "zelk-tool: unknown command \"%s\"\n", argv[1]);
    return Usage();
}
