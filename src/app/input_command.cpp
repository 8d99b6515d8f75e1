#include "app/input_command.h"

#include <cstdlib>

#include "common/text.h"

namespace zelk {

namespace {

SDL_Keycode KeyFromName(const std::string& name) {
    const std::string lower = ToLowerAscii(name);
    if (lower == "ctrl" || lower == "control") return SDLK_LCTRL;
    if (lower == "alt") return SDLK_LALT;
    if (lower == "shift") return SDLK_LSHIFT;
    return SDL_GetKeyFromName(name.c_str());
}

Uint16 ModifierOf(const std::string& name) {
    const std::string lower = ToLowerAscii(name);
    if (lower == "ctrl" || lower == "control") return KMOD_LCTRL;
    if (lower == "alt") return KMOD_LALT;
    if (lower == "shift") return KMOD_LSHIFT;
    return 0;
}

struct VerbName {
    const char* name;
    InputCommand::Verb verb;
};

constexpr VerbName kVerbs[] = {
    {"click", InputCommand::Verb::kClick},     {"rclick", InputCommand::Verb::kRClick},
    {"dclick", InputCommand::Verb::kDClick},   {"move", InputCommand::Verb::kMove},
    {"wheel", InputCommand::Verb::kWheel},     {"key", InputCommand::Verb::kKey},
    {"hold", InputCommand::Verb::kHold},       {"menu", InputCommand::Verb::kMenu},
    {"answer", InputCommand::Verb::kAnswer},   {"idle", InputCommand::Verb::kIdle},
    {"wait", InputCommand::Verb::kWait},       {"shot", InputCommand::Verb::kShot},
    {"shotwin", InputCommand::Verb::kShotWin}, {"state", InputCommand::Verb::kState},
    {"rects", InputCommand::Verb::kRects},     {"menus", InputCommand::Verb::kMenus},
    {"dialog", InputCommand::Verb::kDialog},   {"quit", InputCommand::Verb::kQuit},
};

}  // namespace

bool ReadInputNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == '\0';
}

std::vector<std::string> TakeInputLines(std::string& pending) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t end;
    while ((end = pending.find('\n', start)) != std::string::npos) {
        std::string line = pending.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    pending.erase(0, start);
    return lines;
}

std::optional<std::string> InputCommandText(const std::string& line) {
    std::string trimmed = TrimChars(line, " \t");
    if (trimmed.empty() || trimmed[0] == '#') return std::nullopt;
    return trimmed;
}

std::optional<InputKey> ParseInputKey(const std::string& name, std::string& error) {
    const std::vector<std::string> parts = SplitText(name, "+");
    InputKey key;
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
        const Uint16 mod = ModifierOf(parts[k]);
        if (mod == 0) {
            error = "unknown modifier " + parts[k];
            return std::nullopt;
        }
        key.heldMods |= mod;
    }
    key.key = KeyFromName(parts.back());
    if (key.key == SDLK_UNKNOWN) {
        error = "unknown key " + parts.back();
        return std::nullopt;
    }
    key.ownMod = ModifierOf(parts.back());
    return key;
}

ParsedInputCommand ParseInputCommand(const std::string& text) {
    using Verb = InputCommand::Verb;
    ParsedInputCommand parsed;
    InputCommand command;
    for (const std::string& word : SplitText(text, " ")) {
        if (!word.empty()) command.words.push_back(word);
    }
    const std::vector<std::string>& words = command.words;
    const std::string verbName = words.empty() ? std::string() : words[0];
    const size_t count = words.size();
    const auto failed = [&parsed](std::string reason) {
        parsed.error = std::move(reason);
        return parsed;
    };

    const VerbName* known = nullptr;
    for (const VerbName& entry : kVerbs) {
        if (verbName == entry.name) known = &entry;
    }
    if (known == nullptr) return failed("unknown command " + verbName);
    command.verb = known->verb;

    switch (command.verb) {
        case Verb::kClick:
        case Verb::kRClick:
        case Verb::kDClick:
        case Verb::kMove:
            if (count != 3) return failed("usage: " + verbName + " X Y");
            command.pointRead =
                ReadInputNumber(words[1], command.x) && ReadInputNumber(words[2], command.y);
            break;
        case Verb::kWheel:
            if (count != 2 || !ReadInputNumber(words[1], command.number))
                return failed("usage: wheel N");
            break;
        case Verb::kKey:
        case Verb::kHold: {
            if (command.verb == Verb::kKey && count != 2) return failed("usage: key NAME");
            if (command.verb == Verb::kHold &&
                (count != 3 || !ReadInputNumber(words[2], command.number) || command.number < 0)) {
                return failed("usage: hold NAME MS");
            }
            std::string error;
            const std::optional<InputKey> key = ParseInputKey(words[1], error);
            if (!key) return failed(error);
            command.key = *key;
            break;
        }
        case Verb::kMenu:
            if (count != 2) return failed("usage: menu SECTION!ITEM");
            break;
        case Verb::kAnswer: {
            const std::string word = count == 2 ? ToLowerAscii(words[1]) : "";
            if (word != "yes" && word != "no" && word != "ok" && word != "cancel") {
                return failed("usage: answer yes|no|ok|cancel");
            }
            command.answer = word == "cancel" ? "no" : word;
            break;
        }
        case Verb::kWait:
            if (count != 2 || !ReadInputNumber(words[1], command.number) || command.number < 0) {
                return failed("usage: wait MS");
            }
            break;
        case Verb::kShot:
        case Verb::kShotWin:
            if (count != 2) return failed("usage: " + verbName + " FILE");
            break;
        case Verb::kIdle:
        case Verb::kState:
        case Verb::kRects:
        case Verb::kMenus:
        case Verb::kDialog:
        case Verb::kQuit:
            break;
    }
    parsed.command = std::move(command);
    return parsed;
}

std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::steady_clock::time_point now,
                                                    long ms) {
    using Clock = std::chrono::steady_clock;
    // Compared in milliseconds, the unit that cannot overflow here.
    const auto room =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now);
    if (ms >= room.count()) return Clock::time_point::max();
    if (ms <= 0) return now;
    return now + std::chrono::milliseconds(ms);
}

}  // namespace zelk
