// Lines of the scripted input (ZELK_INPUT) of any content, cut and parsed as
// the player reads them: the input arrives in two pieces (the first byte says
// where it is cut, as a read may end anywhere), an unfinished last line is
// taken at the end, and every command line is parsed. What a parsed command
// says must follow from its words alone, and its times must be computable.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/input_command.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool SameCommand(const zelk::InputCommand& a, const zelk::InputCommand& b) {
    return a.verb == b.verb && a.words == b.words && a.pointRead == b.pointRead && a.x == b.x &&
           a.y == b.y && a.number == b.number && a.key.key == b.key.key &&
           a.key.heldMods == b.key.heldMods && a.key.ownMod == b.key.ownMod && a.answer == b.answer;
}

void ParseLine(const std::string& line) {
    using Verb = zelk::InputCommand::Verb;
    const std::optional<std::string> text = zelk::InputCommandText(line);
    if (!text) return;
    Check(!text->empty() && (*text)[0] != '#' && (*text)[0] != ' ' && (*text)[0] != '\t');
    const zelk::ParsedInputCommand parsed = zelk::ParseInputCommand(*text);
    Check(parsed.command.has_value() != !parsed.error.empty());
    if (!parsed.command) return;
    const zelk::InputCommand& command = *parsed.command;
    Check(!command.words.empty());
    // The words joined by single blanks are the same command.
    std::string joined = command.words[0];
    for (size_t k = 1; k < command.words.size(); ++k)
        joined += " " + command.words[k];
    const zelk::ParsedInputCommand again = zelk::ParseInputCommand(joined);
    Check(again.command && SameCommand(*again.command, command));
    const auto now = std::chrono::steady_clock::now();
    if (command.verb == Verb::kWait || command.verb == Verb::kHold) {
        Check(command.number >= 0 && zelk::DeadlineAfter(now, command.number) >= now);
    }
    if (command.verb == Verb::kKey || command.verb == Verb::kHold)
        Check(command.key.key != SDLK_UNKNOWN);
    if (command.verb == Verb::kAnswer)
        Check(command.answer == "yes" || command.answer == "no" || command.answer == "ok");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t cut = data[0] <= input.size() ? data[0] : input.size();
    std::string pending;
    for (const std::string& piece : {input.substr(0, cut), input.substr(cut)}) {
        pending += piece;
        for (const std::string& line : zelk::TakeInputLines(pending)) {
            Check(line.find('\n') == std::string::npos);
            ParseLine(line);
        }
    }
    Check(pending.find('\n') == std::string::npos);
    if (!pending.empty()) ParseLine(pending);
    return 0;
}
