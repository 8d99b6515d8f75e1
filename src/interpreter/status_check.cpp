// Whether a saved interpreter status may replace the running one: a save is
// data from anywhere (copied between folders, shipped with a game, damaged),
// and a place that does not exist would end the player on the next click.
#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "interpreter/interpreter.h"
#include "platform/translate.h"
#include "settings/ini_section.h"

namespace zelk {

namespace {

// A place as the status writes it: script name, ".", address in decimal.
struct SavedPlace {
    std::string script;
    long address = -1;
};

bool ReadPlace(const std::string& text, SavedPlace& place) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || dot == 0 || text.find('.', dot + 1) != std::string::npos)
        return false;
    const std::string digits = text.substr(dot + 1);
    // Nine digits hold every address a script can have.
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; }))
        return false;
    place.script = text.substr(0, dot);
    // A script is a name in the game's scenario, never a path.
    if (place.script.find_first_of("/\\") != std::string::npos) return false;
    place.address = std::stol(digits);
    return true;
}

}  // namespace

std::string clsInterpreter::StatusFault(const INISection& status) {
    for (const char* key : {"Address", "WaitMode", "RestText", "TextEnabled", "Stack"}) {
        if (!status.KeyExists(key))
            return TrFormat("its interpreter status has no %s (the save is incomplete)", {key});
    }
    // What a place must be: an instruction of an existing script. Where the
    // reader waits for a choice, the place may be just past the last
    // instruction: the choice jumps before anything there runs.
    auto fault = [this](const std::string& text, bool endAllowed) -> std::string {
        SavedPlace place;
        if (!ReadPlace(text, place))
            return TrFormat("its place '%s' is no script and address", {text});
        const std::shared_ptr<Script> script = mScriptManager.GetScript(place.script, false);
        if (!script) return TrFormat("its script '%s' does not exist in this game", {place.script});
        const long end = script->Count();
        if (place.address > end || (place.address == end && !endAllowed)) {
            return TrFormat("its place %s lies outside the script '%s' (%s instructions)",
                            {text, place.script, std::to_string(end)});
        }
        return std::string();
    };
    const long wait = ReadLong(status.KeyValue("WaitMode"));
    const bool choosing = wait == kWaitChoice || wait == kWaitSelection;
    if (std::string why = fault(status.KeyValue("Address"), choosing); !why.empty()) return why;
    const std::string stack = status.KeyValue("Stack");
    if (stack.empty()) return std::string();
    for (const std::string& entry : SplitText(stack, ",")) {
        if (std::string why = fault(entry, false); !why.empty())
            return TrFormat("in its call stack, %s", {why});
    }
    return std::string();
}

}  // namespace zelk
