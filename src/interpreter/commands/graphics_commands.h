// Graphics commands: backgrounds, characters, faces, free actions and whole-screen transitions.
#pragma once

#include <span>

#include "interpreter/command_table.h"

namespace zelk::commands {

std::span<const CommandEntry> GraphicsCommands();

}  // namespace zelk::commands
