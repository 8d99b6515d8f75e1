// The commands the interpreter dispatches to, one function per command word.
#pragma once

#include <string_view>

namespace zelk {

class clsInterpreter;

using CommandFn = void (*)(clsInterpreter&);

// The command of a word, or null when no command is built for it yet.
CommandFn FindCommand(std::string_view word);

}  // namespace zelk
