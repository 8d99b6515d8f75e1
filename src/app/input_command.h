// The reading half of the scripted input (ZELK_INPUT): what was read cut into
// lines, and a line into a command with every check that needs nothing but
// the line itself. InputScript carries the commands out; the checks that need
// the running player (its window, a menu item, the screen size, the dialog)
// stay there, so a script meets its errors in the same order as ever.
#pragma once

#include <SDL.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zelk {

// Cuts the finished lines off the front of `pending`, each without its "\n"
// and a "\r" before that; an unfinished last line stays in `pending`.
std::vector<std::string> TakeInputLines(std::string& pending);

// The command a line holds, without the blanks and tabs around it; nothing
// for a blank line or a comment ("#...").
std::optional<std::string> InputCommandText(const std::string& line);

// A decimal number filling the whole text (blanks before it and a sign
// allowed); one beyond a long's range reads as the end of the range.
bool ReadInputNumber(const std::string& text, long& value);

// A key with the modifiers held with it ("alt+Return").
struct InputKey {
    SDL_Keycode key = SDLK_UNKNOWN;
    Uint16 heldMods = 0;  // the modifiers named before the key
    Uint16 ownMod = 0;    // the key's own, when it is a modifier itself
};

struct InputCommand {
    enum class Verb {
        kClick,
        kRClick,
        kDClick,
        kMove,
        kWheel,
        kKey,
        kHold,
        kMenu,
        kAnswer,
        kIdle,
        kWait,
        kShot,
        kShotWin,
        kState,
        kRects,
        kMenus,
        kDialog,
        kQuit
    };

    Verb verb = Verb::kIdle;
    std::vector<std::string> words;  // the verb first
    // Pointer commands: whether both coordinates are numbers (the player
    // says so only once it knows it has a window), and the point.
    bool pointRead = false;
    long x = 0, y = 0;
    long number = 0;     // wheel notches; hold and wait milliseconds
    InputKey key;        // key and hold
    std::string answer;  // answer: "yes", "no" or "ok" ("cancel" is "no")
};

// A command, or the reason the player writes after "error ".
struct ParsedInputCommand {
    std::optional<InputCommand> command;
    std::string error;
};

// `text` is a command as InputCommandText gives it.
ParsedInputCommand ParseInputCommand(const std::string& text);

// The key a name such as "ctrl+shift+a" gives, or the error's reason.
std::optional<InputKey> ParseInputKey(const std::string& name, std::string& error);

// `ms` milliseconds after `now`; a time beyond what the clock can tell is
// its latest time point (a wait that never ends, not one already over).
std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::steady_clock::time_point now,
                                                    long ms);

}  // namespace zelk
