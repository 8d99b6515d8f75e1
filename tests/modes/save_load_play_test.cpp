// The save/load screen of the demo game, used as a reader would: saves on
// two pages, each loaded back to its page and its picture, the slot's date,
// and saves that a killed player never leaves half written.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Decoded;
using testing::EventRect;
using testing::Field;
using testing::LoadRgb;
using testing::Reader;
using testing::Rgb;
namespace fs = std::filesystem;

// The mean difference of two shots per colour byte, 0 to 255.
double Difference(const std::string& a, const std::string& b) {
    const Rgb first = LoadRgb(a), second = LoadRgb(b);
    if (first.w == 0 || first.w != second.w || first.h != second.h) return 255;
    double sum = 0;
    for (size_t i = 0; i < first.pixels.size(); ++i)
        sum += std::abs(int(first.pixels[i]) - int(second.pixels[i]));
    return sum / first.pixels.size();
}

// A page of the story further on.
void ReadOn(Reader& reader, int pages) {
    for (int i = 0; i < pages; ++i) {
        ASSERT_TRUE(reader.Do("click 320 240"));
        ASSERT_TRUE(reader.Do("idle"));
    }
}

// From the title into a new game, two pages in.
void NewGame(Reader& reader) {
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[0]));
    ReadOn(reader, 2);
}

// Kills the player a random moment from now, as a crash or a power cut
// would; the test keeps it busy writing meanwhile.
std::thread KillSoon(Reader& reader, std::mt19937& random, unsigned from, unsigned to) {
    const unsigned delay = std::uniform_int_distribution<unsigned>(from, to)(random);
    return std::thread([&reader, delay] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        reader.Kill();
    });
}

// How many times a soak kills the player: a few in every run of the
// suite, as many as ZELK_SOAK_KILLS says when soaking by hand.
int Kills(int usual) {
    const char* asked = std::getenv("ZELK_SOAK_KILLS");
    return asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : usual;
}

void OpenSaveLoad(Reader& reader) {
    ASSERT_TRUE(reader.Do("menu file!saveload"));
    ASSERT_TRUE(reader.Do("idle"));
    ASSERT_EQ(reader.Get("mode"), "3");
}

// Answers the screen's question and presses a slot's button.
void Press(Reader& reader, const std::string& button, long slot) {
    ASSERT_TRUE(reader.Do("answer yes"));
    for (const EventRect& r : reader.Rects(button))
        if (r.ltag == slot) {
            ASSERT_TRUE(r.enabled) << button << " " << slot;
            ASSERT_TRUE(reader.Click(r));
            return;
        }
    FAIL() << "no " << button << " button " << slot;
}

void TurnTo(Reader& reader, long page) {
    for (const EventRect& r : reader.Rects("page"))
        if (r.ltag == page - 1) {
            ASSERT_TRUE(reader.Click(r));
            return;
        }
    FAIL() << "no page " << page;
}

// The date as the slots show it: two-digit year, month and day in
// full-width digits.
std::string WideDate(std::time_t when) {
    char narrow[16];
    std::strftime(narrow, sizeof narrow, "%y/%m/%d", std::localtime(&when));
    std::string wide;
    for (const char* c = narrow; *c; ++c) {
        if (*c == '/') {
            wide += "\xEF\xBC\x8F";  // U+FF0F
        } else {
            wide += "\xEF\xBC";
            wide += char(0x90 + (*c - '0'));  // U+FF10 onwards
        }
    }
    return wide;
}

TEST(SaveLoadPlay, SavesOnTwoPagesComeBackWithTheirPageAndPicture) {
    const auto folder = CopyOfDemoGame("save_load_play");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string shots = folder.string();
    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[0]));
    ReadOn(reader, 2);

    // Page 1, first slot.
    const std::string first = reader.State();
    ASSERT_TRUE(reader.Do("shot " + shots + "/first.png"));
    OpenSaveLoad(reader);
    Press(reader, "save", 0);
    EXPECT_EQ(reader.Get("mode"), "3");
    // The slot now shows its thumbnail and its text where it was empty.
    ASSERT_TRUE(reader.Do("shot " + shots + "/screen.png"));
    EXPECT_GT(testing::Colours(shots + "/screen.png", 22, 72, 150, 166), 32u);
    EXPECT_GT(testing::Colours(shots + "/screen.png", 160, 72, 300, 130), 2u);
    ASSERT_TRUE(reader.Click(reader.Rects("ret")[0]));
    EXPECT_EQ(reader.Get("addr"), Field(first, "addr"));

    // Page 2, first slot, further on.
    ReadOn(reader, 3);
    const std::string second = reader.State();
    ASSERT_NE(Field(second, "addr"), Field(first, "addr"));
    ASSERT_TRUE(reader.Do("shot " + shots + "/second.png"));
    OpenSaveLoad(reader);
    TurnTo(reader, 2);
    Press(reader, "save", 0);
    ASSERT_TRUE(reader.Click(reader.Rects("ret")[0]));
    ReadOn(reader, 2);

    // Each load brings back its page: place, text and picture.
    for (const auto& [page, saved, shot] :
         {std::tuple{1L, first, "first"}, std::tuple{2L, second, "second"}}) {
        OpenSaveLoad(reader);
        TurnTo(reader, page);
        Press(reader, "load", 0);
        ASSERT_TRUE(reader.Do("idle"));
        const std::string loaded = reader.State();
        EXPECT_EQ(Field(loaded, "mode"), "2") << page;
        for (const char* field : {"script", "addr", "text"})
            EXPECT_EQ(Field(loaded, field), Field(saved, field)) << page << " " << field;
        const std::string now = shots + "/loaded" + std::to_string(page) + ".png";
        ASSERT_TRUE(reader.Do("shot " + now));
        EXPECT_LT(Difference(now, shots + "/" + shot + ".png"), 2.0) << page;
    }
    EXPECT_EQ(reader.Quit(), 0);

    // The slot files: one per save, dated today.
    const fs::path saves = folder / "savedata";
    const std::string slot1 = Decoded(saves / "sd01-00.ini");
    const std::string slot2 = Decoded(saves / "sd02-00.ini");
    ASSERT_FALSE(slot1.empty());
    ASSERT_FALSE(slot2.empty());
    const std::time_t now = std::time(nullptr);
    const bool today = slot1.find("DateString=" + WideDate(now)) != std::string::npos ||
                       slot1.find("DateString=" + WideDate(now - 3600)) != std::string::npos;
    EXPECT_TRUE(today) << slot1.substr(slot1.find("DateString"), 40);
    EXPECT_EQ(LoadRgb((saves / "sd01-00.bmp").string()).w, 128);
}

// The lines of a settings text without their values: what a half-written
// file would lose.
std::vector<std::string> Shape(const std::string& text) {
    std::vector<std::string> keys;
    for (const std::string& line : testing::SplitLines(text)) {
        const size_t equals = line.find('=');
        keys.push_back(equals == std::string::npos ? line : line.substr(0, equals));
    }
    return keys;
}

// Every save the killed players made is whole: its text decodes to the
// same sections and keys as the first, and its thumbnail loads.
TEST(SaveLoadPlay, AKilledPlayerNeverLeavesAHalfWrittenSave) {
    const auto folder = CopyOfDemoGame("save_load_kill");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const fs::path slot = folder / "savedata" / "sd01-00.ini";
    const fs::path thumbnail = folder / "savedata" / "sd01-00.bmp";

    std::string firstState;
    std::vector<std::string> reference;
    std::mt19937 random(std::random_device{}());
    int saves = 0;
    for (int run = 0; run < Kills(5); ++run) {
        Reader reader(folder);
        NewGame(reader);
        if (run == 0) firstState = reader.State();
        OpenSaveLoad(reader);
        if (run == 0) {
            Press(reader, "save", 0);
            reference = Shape(Decoded(slot));
            ASSERT_FALSE(reference.empty());
        }
        std::thread killer = KillSoon(reader, random, 2000, 5000);
        while (reader.Do("answer yes")) {
            const std::vector<EventRect> buttons = reader.Rects("save");
            if (buttons.empty() || !reader.Click(buttons[0])) break;
            ++saves;
        }
        killer.join();
        EXPECT_EQ(Shape(Decoded(slot)), reference) << "after " << saves << " saves";
        EXPECT_EQ(LoadRgb(thumbnail.string()).w, 128) << "after " << saves << " saves";
    }
    EXPECT_GT(saves, 50);

    // The next start loads the slot from the title.
    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    for (const EventRect& r : reader.Rects("main_menu"))
        if (r.extension == "load") {
            ASSERT_TRUE(reader.Click(r));
        }
    ASSERT_EQ(reader.Get("mode"), "3");
    Press(reader, "load", 0);
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(reader.Get("script"), Field(firstState, "script"));
    EXPECT_EQ(reader.Get("addr"), Field(firstState, "addr"));
    EXPECT_EQ(reader.Quit(), 0);
}

// Quick saves and the settings written on OK, killed at random moments:
// every quick slot and "config.ini" is whole afterwards, and the next start
// loads the newest quick save.
TEST(SaveLoadPlay, AKilledPlayerLeavesQuickSavesAndSettingsWhole) {
    const auto folder = CopyOfDemoGame("quick_save_kill");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const fs::path saves = folder / "savedata";
    auto quickSlots = [&saves] {
        std::vector<fs::path> slots;
        for (const auto& entry : fs::directory_iterator(saves)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("sd") && name.size() == 11 && name.ends_with(".ini"))
                slots.push_back(entry.path());
        }
        return slots;
    };

    std::vector<std::string> slotShape, configShape;
    std::mt19937 random(std::random_device{}());
    int writes = 0;
    for (int run = 0; run < Kills(4); ++run) {
        Reader reader(folder);
        NewGame(reader);
        if (run == 0) {
            ASSERT_TRUE(reader.Do("answer yes"));
            ASSERT_TRUE(reader.Do("menu file!qsave"));
            ASSERT_TRUE(reader.Do("idle"));
            ASSERT_FALSE(quickSlots().empty());
            slotShape = Shape(Decoded(quickSlots().front()));
            ASSERT_TRUE(reader.Do("menu property!sound"));
            ASSERT_TRUE(reader.Do("dialog ok"));
            configShape = Shape(Decoded(saves / "config.ini"));
            ASSERT_FALSE(configShape.empty());
        }
        std::thread killer = KillSoon(reader, random, 1000, 4000);
        for (int volume = 0;; volume = (volume + 37) % 256) {
            if (!reader.Do("answer yes") || !reader.Do("menu file!qsave") || !reader.Do("idle"))
                break;
            if (!reader.Do("menu property!sound") ||
                !reader.Do("dialog set sldSndVolume(0) " + std::to_string(volume)) ||
                !reader.Do("dialog ok"))
                break;
            writes += 2;
        }
        killer.join();
        for (const fs::path& quick : quickSlots())
            EXPECT_EQ(Shape(Decoded(quick)), slotShape) << quick << " after " << writes;
        EXPECT_EQ(Shape(Decoded(saves / "config.ini")), configShape) << "after " << writes;
    }
    EXPECT_GT(writes, 20);

    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Do("answer yes"));
    ASSERT_TRUE(reader.Do("menu file!qload"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(reader.Get("mode"), "2") << reader.State();
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
