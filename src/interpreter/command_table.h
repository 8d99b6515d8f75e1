// The commands the interpreter dispatches to, one function per command word.
#pragma once

#include <span>
#include <string_view>

namespace zelk {

class clsInterpreter;

using CommandFn = void (*)(clsInterpreter&);

struct CommandEntry {
    std::string_view word;
    CommandFn run;
};

// The command of a word, or null when no command is built for it yet.
CommandFn FindCommand(std::string_view word);

}  // namespace zelk
