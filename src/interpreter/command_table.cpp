// The interpreter's command table: every command word the player can run,
// by family. A word that the game's instruction table names but that has
// no entry here runs as "not implemented".
//
// Index
//   [SECTION] Text, window, wait and choice commands
//   [SECTION] Graphics commands
//   [SECTION] Sound commands
//   [SECTION] Flow commands
//   [SECTION] Variable commands
//   [SECTION] System commands
//   [SECTION] Lookup

#include "interpreter/command_table.h"

#include <string>
#include <unordered_map>

#include "interpreter/commands/flow_commands.h"

namespace zelk {

namespace {

struct CommandEntry {
    std::string_view word;
    CommandFn run;
};

constexpr CommandEntry kCommands[] = {
    // [SECTION] Text, window, wait and choice commands

    // [SECTION] Graphics commands

    // [SECTION] Sound commands

    // [SECTION] Flow commands
    {"go", commands::Go},
    {"call", commands::Call},
    {"return", commands::Return},
    {"if", commands::If},
    {"use", commands::Nothing},
    {"nop", commands::Nothing},
    {"siting", commands::Nothing},

    // [SECTION] Variable commands
    {"let", commands::Let},
    {"add", commands::Add},
    {"sub", commands::Sub},
    {"up", commands::Up},
    {"down", commands::Down},

    // [SECTION] System commands
};

}  // namespace

// [SECTION] Lookup

CommandFn FindCommand(std::string_view word) {
    static const std::unordered_map<std::string_view, CommandFn> table = [] {
        std::unordered_map<std::string_view, CommandFn> map;
        for (const CommandEntry& entry : kCommands)
            map.emplace(entry.word, entry.run);
        return map;
    }();
    const auto found = table.find(word);
    return found == table.end() ? nullptr : found->second;
}

}  // namespace zelk
