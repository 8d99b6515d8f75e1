// The commands the interpreter dispatches to, one function per command word.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace zelk {

class clsInterpreter;

using CommandFn = void (*)(clsInterpreter&);

struct CommandEntry {
    std::string_view word;
    CommandFn run;
};

// The command of a word, or null when no command is built for it yet.
CommandFn FindCommand(std::string_view word);

// Every word that has a command, each once: what the authors' reference
// must describe.
std::vector<std::string_view> CommandWords();

}  // namespace zelk
