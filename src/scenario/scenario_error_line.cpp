#include "scenario/scenario_error_line.h"

#include <cstdio>

#include "platform/translate.h"
#include "scenario/script.h"

namespace zelk {

std::string ScenarioErrorPlace(const Script& script, long address) {
    const int line = script.SourceLine(static_cast<int>(address));
    if (line > 0) return script.SourceFile() + ":" + std::to_string(line);
    return script.Name() + ":" + std::to_string(address + 1) + " (packed)";
}

std::string ScenarioErrorLine(const std::string& place, const std::string& message) {
    return "zelk: " + TrFormat("scenario error at %s: %s; the game goes on", {place, message});
}

void TellScenarioError(const std::string& place, const std::string& message) {
    std::fprintf(stderr, "%s\n", ScenarioErrorLine(place, message).c_str());
}

}  // namespace zelk
