// A monkey at the demo game: a seeded stream of clicks, right clicks, wheel
// turns, keys and menu commands, up to fifty a second, with an `idle` check
// every so often. The player must never crash or hang; when the monkey
// quits it through a menu, it starts again. At the end every file the
// player wrote still loads. ZELK_MONKEY_SECONDS makes a run longer (120 by
// default) and ZELK_MONKEY_SEED repeats one.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "modes/play_support.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Reader;
namespace fs = std::filesystem;

long FromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

// One random command, as a reader's hand might give it.
std::string RandomCommand(std::mt19937& random) {
    static const std::vector<std::string> kKeys = {
        "Return", "Space",  "Escape",   "Up",   "Down", "Left", "Right",
        "Tab",    "PageUp", "PageDown", "ctrl", "a",    "s",    "alt+Return"};
    static const std::vector<std::string> kMenus = {
        "file!saveload",   "file!qsave",      "file!qload",     "file!title",
        "message!skip",    "message!auto",    "message!log",    "message!fast",
        "message!slow",    "message!normal",  "screen!window",  "screen!full",
        "property!system", "property!screen", "property!sound", "property!char"};
    static const std::vector<std::string> kAnswers = {"yes", "no", "ok"};
    auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(random)];
    };
    const int x = std::uniform_int_distribution<int>(0, 639)(random);
    const int y = std::uniform_int_distribution<int>(0, 479)(random);
    std::string at = " ";
    at += std::to_string(x);
    at += ' ';
    at += std::to_string(y);
    switch (std::uniform_int_distribution<int>(0, 19)(random)) {
        case 0:
        case 1:
            return "rclick" + at;
        case 2:
            return std::string("wheel ") + (random() % 2 ? "1" : "-1");
        case 3:
        case 4:
            return "key " + pick(kKeys);
        case 5:
            return "menu " + pick(kMenus);
        case 6:
            return "answer " + pick(kAnswers);
        case 7:
            return "hold ctrl 300";
        case 8:
            return "move" + at;
        default:
            return "click" + at;
    }
}

TEST(Monkey, RandomHandsNeitherCrashNorHangThePlayerNorSpoilItsFiles) {
    const auto folder = CopyOfDemoGame("monkey");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const long seconds = FromEnvironment("ZELK_MONKEY_SECONDS", 120);
    const unsigned seed =
        static_cast<unsigned>(FromEnvironment("ZELK_MONKEY_SEED", std::random_device{}()));
    SCOPED_TRACE("ZELK_MONKEY_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long commands = 0, starts = 0;
    while (std::chrono::steady_clock::now() < end) {
        Reader reader(folder);
        ++starts;
        ASSERT_TRUE(reader.Do("idle")) << reader.State();
        bool running = true;
        while (running && std::chrono::steady_clock::now() < end) {
            const std::string command = RandomCommand(random);
            const std::vector<std::string> answer = reader.Say(command);
            // No answer at all: the player has ended; a clean exit is a
            // reader's quit, anything else a crash.
            if (answer.empty()) {
                const int status = reader.Wait();
                ASSERT_EQ(status, 0) << "after " << command << " (" << commands << " commands)";
                running = false;
                break;
            }
            ++commands;
            // A menu item the monkey could not see was disabled, or a window
            // already closing after a quit the monkey answered: the script
            // ends there as the seam's contract says. Any other error is the
            // player's.
            if (answer.back().starts_with("error")) {
                EXPECT_TRUE(answer.back() == "error menu item disabled" ||
                            answer.back() == "error no game window")
                    << answer.back() << " after " << command;
                EXPECT_EQ(reader.Wait(), 3);
                running = false;
                break;
            }
            // The settings dialog is modal: a few turns of its tabs, then
            // one of its buttons, or the player never comes back to rest.
            if (command.starts_with("menu property!")) {
                static const char* kTabs[] = {"system", "screen", "sound", "char"};
                for (int i = std::uniform_int_distribution<int>(0, 3)(random); i > 0; --i)
                    ASSERT_TRUE(reader.Do(std::string("dialog tab ") + kTabs[random() % 4]));
                ASSERT_TRUE(reader.Do(random() % 2 ? "dialog ok" : "dialog cancel"));
            }
            if (commands % 25 == 0) {
                const std::vector<std::string> idle = reader.Say("idle");
                ASSERT_FALSE(!idle.empty() && idle.back().starts_with("error idle"))
                    << "hung after " << command << ": " << reader.State();
            }
            reader.Do("wait 20");
        }
        if (running) {
            EXPECT_EQ(reader.Quit(), 0) << commands << " commands";
        }
    }
    EXPECT_GT(commands, seconds / 2) << starts << " starts";

    // Every file written still loads, and the next start reaches the title.
    for (const auto& entry : fs::directory_iterator(folder / "savedata")) {
        if (entry.path().extension() != ".ini") continue;
        std::string text;
        EXPECT_TRUE(ReadScrambledFile(entry.path().string(), text)) << entry.path();
        EXPECT_FALSE(text.empty()) << entry.path();
    }
    Reader reader(folder);
    EXPECT_TRUE(reader.AtTitle()) << reader.State();
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
