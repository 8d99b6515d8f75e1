// The reading half of the scripted input: lines cut from what was read, the
// commands they hold with the checks that need only the line, and the times
// the waits end.
#include "app/input_command.h"

#include <gtest/gtest.h>

#include <climits>

namespace zelk {
namespace {

using Clock = std::chrono::steady_clock;
using Verb = InputCommand::Verb;

InputCommand Parsed(const std::string& text) {
    const ParsedInputCommand parsed = ParseInputCommand(text);
    EXPECT_TRUE(parsed.command) << text << ": " << parsed.error;
    return parsed.command.value_or(InputCommand{});
}

std::string ErrorOf(const std::string& text) {
    const ParsedInputCommand parsed = ParseInputCommand(text);
    EXPECT_FALSE(parsed.command) << text;
    return parsed.error;
}

TEST(InputLines, FinishedLinesAreCutAndTheRestWaitsForMore) {
    std::string pending = "idle\r\nclick 1 2\n\nsta";
    EXPECT_EQ(TakeInputLines(pending), (std::vector<std::string>{"idle", "click 1 2", ""}));
    EXPECT_EQ(pending, "sta");
    pending += "te\n";
    EXPECT_EQ(TakeInputLines(pending), std::vector<std::string>{"state"});
    EXPECT_EQ(pending, "");
    // Only the carriage return right before the line feed goes.
    pending = "a\r\r\nb\rc\n";
    EXPECT_EQ(TakeInputLines(pending), (std::vector<std::string>{"a\r", "b\rc"}));
}

TEST(InputLines, BlankLinesAndCommentsHoldNoCommand) {
    EXPECT_FALSE(InputCommandText(""));
    EXPECT_FALSE(InputCommandText(" \t "));
    EXPECT_FALSE(InputCommandText("# click 1 2"));
    EXPECT_FALSE(InputCommandText("  \t# indented"));
    EXPECT_EQ(InputCommandText("\t click 1 2 \t"), "click 1 2");
    EXPECT_EQ(InputCommandText("state # not a comment"), "state # not a comment");
}

TEST(InputCommands, PointerCommandsTakeTheirButtonsAndPoint) {
    for (const auto& [text, verb] :
         {std::pair{"click 10 20", Verb::kClick}, std::pair{"rclick 10 20", Verb::kRClick},
          std::pair{"dclick 10 20", Verb::kDClick}, std::pair{"move 10 20", Verb::kMove}}) {
        const InputCommand command = Parsed(text);
        EXPECT_EQ(command.verb, verb) << text;
        EXPECT_TRUE(command.pointRead);
        EXPECT_EQ(command.x, 10);
        EXPECT_EQ(command.y, 20);
    }
    // Words are split at blanks only, however many.
    EXPECT_EQ(Parsed("click   3    4").words, (std::vector<std::string>{"click", "3", "4"}));
    EXPECT_EQ(ErrorOf("click 10"), "usage: click X Y");
    EXPECT_EQ(ErrorOf("move 1 2 3"), "usage: move X Y");
}

TEST(InputCommands, BadCoordinatesWaitForThePlayersOwnChecks) {
    // The player says "no game window" before "bad coordinates", and checks
    // the screen's size itself: the line alone is no error.
    const InputCommand bad = Parsed("click ten 20");
    EXPECT_FALSE(bad.pointRead);
    const InputCommand outside = Parsed("click -5 99999");
    EXPECT_TRUE(outside.pointRead);
    EXPECT_EQ(outside.x, -5);
    EXPECT_EQ(outside.y, 99999);
    EXPECT_FALSE(Parsed("click 1 2x").pointRead);
}

TEST(InputCommands, NumbersAreWholeDecimalNumbers) {
    EXPECT_EQ(Parsed("wheel -3").number, -3);
    EXPECT_EQ(Parsed("wheel +2").number, 2);
    EXPECT_EQ(Parsed("wait 0").number, 0);
    EXPECT_EQ(ErrorOf("wheel 1.5"), "usage: wheel N");
    EXPECT_EQ(ErrorOf("wheel 0x10"), "usage: wheel N");
    EXPECT_EQ(ErrorOf("wheel"), "usage: wheel N");
    EXPECT_EQ(ErrorOf("wait -1"), "usage: wait MS");
    EXPECT_EQ(ErrorOf("wait soon"), "usage: wait MS");
    // Beyond the range: its end, which the waits then handle.
    EXPECT_EQ(Parsed("wait 99999999999999999999999").number, LONG_MAX);
    EXPECT_EQ(Parsed("wheel -99999999999999999999999").number, LONG_MIN);
}

TEST(InputCommands, KeysWithTheirModifiers) {
    const InputCommand plain = Parsed("key Return");
    EXPECT_EQ(plain.key.key, SDLK_RETURN);
    EXPECT_EQ(plain.key.heldMods, 0);
    const InputCommand chord = Parsed("key ctrl+shift+a");
    EXPECT_EQ(chord.key.key, SDLK_a);
    EXPECT_EQ(chord.key.heldMods, KMOD_LCTRL | KMOD_LSHIFT);
    // A modifier pressed alone carries its own modifier bit.
    const InputCommand held = Parsed("hold Control 1500");
    EXPECT_EQ(held.verb, Verb::kHold);
    EXPECT_EQ(held.key.key, SDLK_LCTRL);
    EXPECT_EQ(held.key.ownMod, KMOD_LCTRL);
    EXPECT_EQ(held.number, 1500);
    EXPECT_EQ(Parsed("key alt+F12").key.key, SDLK_F12);

    EXPECT_EQ(ErrorOf("key NoSuchKey"), "unknown key NoSuchKey");
    EXPECT_EQ(ErrorOf("key meta+a"), "unknown modifier meta");
    EXPECT_EQ(ErrorOf("key ctrl+"), "unknown key ");
    EXPECT_EQ(ErrorOf("key a+b"), "unknown modifier a");
    EXPECT_EQ(ErrorOf("key"), "usage: key NAME");
    // The usage comes before the key's name is looked at.
    EXPECT_EQ(ErrorOf("hold NoSuchKey"), "usage: hold NAME MS");
    EXPECT_EQ(ErrorOf("hold NoSuchKey 5"), "unknown key NoSuchKey");
}

TEST(InputCommands, AnswersAndTheCommandsWithoutChecks) {
    EXPECT_EQ(Parsed("answer YES").answer, "yes");
    EXPECT_EQ(Parsed("answer cancel").answer, "no");
    EXPECT_EQ(Parsed("answer ok").answer, "ok");
    EXPECT_EQ(ErrorOf("answer maybe"), "usage: answer yes|no|ok|cancel");
    EXPECT_EQ(ErrorOf("answer"), "usage: answer yes|no|ok|cancel");
    EXPECT_EQ(Parsed("menu file!qsave").verb, Verb::kMenu);
    EXPECT_EQ(ErrorOf("menu"), "usage: menu SECTION!ITEM");
    EXPECT_EQ(Parsed("shotwin a.png").verb, Verb::kShotWin);
    EXPECT_EQ(ErrorOf("shot"), "usage: shot FILE");
    // These take whatever follows; the dialog reads its own words.
    EXPECT_EQ(Parsed("idle now").verb, Verb::kIdle);
    EXPECT_EQ(Parsed("dialog set chkSys(12) 0").words.size(), 4u);
    EXPECT_EQ(Parsed("quit").verb, Verb::kQuit);
    EXPECT_EQ(Parsed("rects").verb, Verb::kRects);
    EXPECT_EQ(Parsed("menus").verb, Verb::kMenus);
    EXPECT_EQ(ErrorOf("Menus"), "unknown command Menus");
    EXPECT_EQ(Parsed("state").verb, Verb::kState);
}

TEST(InputCommands, VerbsAreExactAndCaseMatters) {
    EXPECT_EQ(ErrorOf("frobnicate"), "unknown command frobnicate");
    EXPECT_EQ(ErrorOf("Click 1 2"), "unknown command Click");
    EXPECT_EQ(ErrorOf("click\t1 2"), "unknown command click\t1");
}

TEST(InputDeadlines, WaitsEndWhenAskedOrNever) {
    const Clock::time_point now = Clock::now();
    EXPECT_EQ(DeadlineAfter(now, 0), now);
    EXPECT_EQ(DeadlineAfter(now, 1500), now + std::chrono::milliseconds(1500));
    // Too far for the clock: the wait never ends, rather than ending at once.
    EXPECT_EQ(DeadlineAfter(now, LONG_MAX), Clock::time_point::max());
    EXPECT_EQ(DeadlineAfter(now, 9'300'000'000'000L), Clock::time_point::max());
    const Clock::time_point late = Clock::time_point::max() - std::chrono::milliseconds(10);
    EXPECT_EQ(DeadlineAfter(late, 20), Clock::time_point::max());
}

}  // namespace
}  // namespace zelk
