// Text, window, wait and choice commands: story pages, waits, choices and clickable areas.
#pragma once

#include <span>

#include "interpreter/command_table.h"

namespace zelk::commands {

std::span<const CommandEntry> TextCommands();

}  // namespace zelk::commands
