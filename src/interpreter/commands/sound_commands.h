// Sound commands: music, effects, looping effects and voices.
#pragma once

#include <span>

#include "interpreter/command_table.h"

namespace zelk::commands {

std::span<const CommandEntry> SoundCommands();

}  // namespace zelk::commands
