// What every command family shares: reading its arguments (defaults,
// numbers, values), script coordinates and the parts of the host.
#pragma once

#include <string>

#include "interpreter/interpreter.h"
#include "interpreter/interpreter_host.h"

namespace zelk::commands {

// Buttons that a game-mode scene adds and the game mode clears.
inline constexpr const char* kGameButtonTag = "gamemode_button";

// The argument was not given and has no default of its own ("%").
bool Absent(const clsInterpreter& intprt, std::size_t n);
// Argument n as a number; `fallback` when absent.
long Number(clsInterpreter& intprt, std::size_t n, long fallback = 0);
// Argument n as a value (a quoted text is the text itself).
std::string Value(clsInterpreter& intprt, std::size_t n);
// Argument n as given, or `fallback` when absent.
std::string Text(const clsInterpreter& intprt, std::size_t n, const std::string& fallback = {});
// Script coordinates to screen pixels, rounded.
long ScriptX(long x);
long ScriptY(long y);
// Half the script's width and height: the default centre.
long ScriptCenterX();
long ScriptCenterY();

}  // namespace zelk::commands
