// The interpreter's command table: every command word the player can run,
// by family: flow and variables here, the others in their families' files. A word that the game's
// instruction table names but that has no entry here runs as "not implemented".
//
// Index
//   [SECTION] Flow commands
//   [SECTION] Variable commands
//   [SECTION] Lookup

#include "interpreter/command_table.h"

#include <string>
#include <unordered_map>

#include "interpreter/commands/flow_commands.h"
#include "interpreter/commands/graphics_commands.h"
#include "interpreter/commands/sound_commands.h"
#include "interpreter/commands/system_commands.h"
#include "interpreter/commands/text_commands.h"

namespace zelk {

namespace {

constexpr CommandEntry kCommands[] = {
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

};

}  // namespace

// [SECTION] Lookup

namespace {

const std::unordered_map<std::string_view, CommandFn>& Table() {
    static const std::unordered_map<std::string_view, CommandFn> table = [] {
        std::unordered_map<std::string_view, CommandFn> map;
        for (const CommandEntry& entry : kCommands)
            map.emplace(entry.word, entry.run);
        for (auto family : {commands::TextCommands(), commands::GraphicsCommands(),
                            commands::SoundCommands(), commands::SystemCommands()}) {
            for (const CommandEntry& entry : family)
                map.emplace(entry.word, entry.run);
        }
        return map;
    }();
    return table;
}

}  // namespace

CommandFn FindCommand(std::string_view word) {
    const auto found = Table().find(word);
    return found == Table().end() ? nullptr : found->second;
}

std::vector<std::string_view> CommandWords() {
    std::vector<std::string_view> words;
    words.reserve(Table().size());
    for (const auto& [word, run] : Table())
        words.push_back(word);
    return words;
}

}  // namespace zelk
