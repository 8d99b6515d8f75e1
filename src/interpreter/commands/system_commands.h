// System commands: leaving the story for the title, the ending, the replay or a movie.
#pragma once

#include <span>

#include "interpreter/command_table.h"

namespace zelk::commands {

std::span<const CommandEntry> SystemCommands();

}  // namespace zelk::commands
