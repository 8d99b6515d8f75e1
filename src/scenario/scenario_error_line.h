// The line a scenario error leaves on standard error outside debug mode,
// where no box and no log tell the author of it: a shipped game that takes
// a wrong branch is then found from its terminal, as a missing sound is.
// The text is made in one place, so that it reads the same wherever it is
// told.
#pragma once

#include <string>

namespace zelk {

class Script;

// Where the error stands for the terminal: "s01.txt:42" for a loose file;
// a packed script keeps no source lines, so it is named by the line of the
// regular form it is stored in ("s01:43 (packed)"), which
// `zelk-tool extract ARCHIVE s01` shows.
std::string ScenarioErrorPlace(const Script& script, long address);

// "zelk: scenario error at PLACE: MESSAGE; the game goes on"
std::string ScenarioErrorLine(const std::string& place, const std::string& message);

// Writes the line to standard error.
void TellScenarioError(const std::string& place, const std::string& message);

}  // namespace zelk
