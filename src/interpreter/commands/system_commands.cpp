#include "interpreter/commands/system_commands.h"

#include <string>

#include "interpreter/commands/command_support.h"
#include "platform/translate.h"

namespace zelk::commands {

namespace {

// Mode numbers of the root's ChangeMode.
constexpr long kEndingMode = 4;
constexpr long kExtrasMode = 5;
// The ending mode's start argument for a staff roll.
constexpr long kStaffRoll = 14;

void RestartTitle(clsInterpreter& intprt) {
    intprt.WaitMode(kWaitClick);
    intprt.Host().IsSkipMode(false);
    intprt.HoldAddress();
    intprt.ClearSkip();
    intprt.Host().Story().RestartTitle();
    if (!intprt.Host().DrawActivity()) intprt.Host().Graphics().DrawActivate(0, 1000);
}

void RestartReplayMode(clsInterpreter& intprt) {
    intprt.Host().IsSkipMode(false);
    intprt.WaitMode(kWaitClick);
    intprt.Host().Story().ChangeMode(kExtrasMode, 0, "");
}

// The ending mode comes back to the game mode afterwards, which then runs
// the instruction after this one: staying here would roll the ending again.
void PlayEnding(clsInterpreter& intprt) {
    intprt.WaitMode(kWaitClick);
    intprt.ClearSkip();
    const std::string param = std::to_string(Number(intprt, 1)) + "," + Text(intprt, 2) + "," +
                              Text(intprt, 3) + "," + Text(intprt, 4);
    intprt.Host().Story().ChangeMode(kEndingMode, kStaffRoll, param);
}

void PlayMovie(clsInterpreter& intprt) {
    const std::string file = Value(intprt, 1);
    StoryHost& story = intprt.Host().Story();
    story.AddCGHistory(file);
    // The root finds the name in the movie folder, or refuses it.
    if (!story.PlayMovie(file, Number(intprt, 2))) {
        intprt.SoundError(TrFormat("ムービー'%s'を再生できません。", {file}));
    }
    intprt.WaitMode(kWaitClick);
}

constexpr CommandEntry kSystemCommands[] = {
    {"restarttitle", RestartTitle},
    {"restartreplaymode", RestartReplayMode},
    {"playending", PlayEnding},
    {"playmovie", PlayMovie},
};

}  // namespace

std::span<const CommandEntry> SystemCommands() {
    return kSystemCommands;
}

}  // namespace zelk::commands
