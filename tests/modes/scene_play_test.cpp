// The scene and the window's buttons as a reader sees them: small games made
// of the demo's pictures and a scenario of their own, played through the
// scripted input and judged by their shots.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::EventRect;
using testing::LoadRgb;
using testing::MeanDifference;
using testing::Reader;
using testing::Rgb;
namespace fs = std::filesystem;

class ScenePlay : public ::testing::Test {
protected:
    // A copy of the demo game that starts at scene.start of `lines`.
    fs::path Game(const std::string& name, const std::vector<std::string>& lines) {
        fs::path folder = CopyOfDemoGame(name);
        if (folder.empty()) return folder;
        fs::create_directories(folder / "scenario");
        std::ofstream(folder / "debug.ini", std::ios::binary)
            << "[debug]\r\nScenarioFileMode=True\r\nTitleSkip=True\r\n"
               "EntryPoint=scene.start\r\n";
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        std::ofstream(folder / "scenario" / "scene.txt", std::ios::binary)
            << Utf8ToCp932(text).value();
        return folder;
    }

    static bool Shows(Reader& reader, const std::string& text, int tries = 50) {
        for (int i = 0; i < tries; ++i) {
            if (!reader.Do("idle")) return false;
            if (reader.Get("text").find(text) != std::string::npos && reader.Get("wait") == "4")
                return true;
            reader.Do("wait 100");
        }
        return false;
    }
};

// Pixels of the region that are not black.
int LitPixels(const Rgb& shot, int x1, int y1, int x2, int y2) {
    int lit = 0;
    for (int y = y1; y < y2 && y < shot.h; ++y)
        for (int x = x1; x < x2 && x < shot.w; ++x) {
            const std::uint8_t* p = shot.At(x, y);
            if (p[0] != 0 || p[1] != 0 || p[2] != 0) ++lit;
        }
    return lit;
}

// Twenty pictures fill the character stack, so the next one takes the film
// of the first. A typo in its name must show nothing there, not the first
// character again.
TEST_F(ScenePlay, ACharacterWithATypoShowsNoOldPicture) {
    std::vector<std::string> lines = {"start:", "bgfill 0", "cg st_a01_normal, 100, 240"};
    for (int i = 1; i < 20; ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "cg pct%03d, 600, 40", i);
        lines.push_back(line);
    }
    for (const char* line :
         {"da", "一頁目です。", "\\b", "cg st_b01_smlie, 450, 240", "二頁目です。", "\\b"})
        lines.push_back(line);
    const fs::path folder = Game("scene_typo", lines);
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";

    Reader reader(folder);
    ASSERT_TRUE(Shows(reader, "一頁目です。")) << reader.State();
    const std::string first = (folder / "first.png").string();
    ASSERT_TRUE(reader.Do("shot " + first));
    // The run-time error of the missing picture is shown; the question to
    // quit that may follow it is answered no.
    ASSERT_TRUE(reader.Do("answer no"));
    ASSERT_TRUE(reader.Do("answer no"));
    ASSERT_TRUE(reader.Do("click 320 240"));
    ASSERT_TRUE(Shows(reader, "二頁目です。")) << reader.State();
    const std::string second = (folder / "second.png").string();
    ASSERT_TRUE(reader.Do("shot " + second));
    EXPECT_EQ(reader.Quit(), 0);

    const Rgb before = LoadRgb(first);
    const Rgb after = LoadRgb(second);
    ASSERT_GT(after.w, 0);
    ASSERT_GT(LitPixels(before, 0, 100, 220, 300), 1000) << "the first character stands left";
    EXPECT_EQ(LitPixels(after, 0, 100, 220, 300), 0) << "its slot went to the new picture";
    EXPECT_EQ(LitPixels(after, 330, 100, 570, 300), 0) << "the old character shows again";
}

// The window's buttons with an empty entry in their list: pointing at a
// button lights that button, exactly as in the game without the entry.
TEST_F(ScenePlay, PointingAtAButtonAfterAnEmptyEntryLightsThatButton) {
    const std::vector<std::string> lines = {"start:", "bg bg_beach", "da", "一頁目です。", "\\b"};
    std::string settings;
    ASSERT_TRUE(ReadTextFile(std::string(ZELK_SOURCE_DIR) + "/games/demo/game_mode.ini", settings));
    ASSERT_NE(settings.find("Buttons=save,load,"), std::string::npos);

    // The point at which a game's "load" button lies, and the shot taken
    // while pointing there.
    auto play = [&](const std::string& name, const std::string& buttons, EventRect& load) {
        const fs::path folder = Game(name, lines);
        if (folder.empty()) return std::string();
        EXPECT_TRUE(WriteTextFile((folder / "game_mode.ini").string(),
                                  ReplaceText(settings, "Buttons=save,load,", buttons)));
        Reader reader(folder);
        EXPECT_TRUE(Shows(reader, "一頁目です。")) << reader.State();
        for (const EventRect& r : reader.Rects("wndbutton"))
            if (r.extension == "load") load = r;
        const std::string shot = (folder / "pointing.png").string();
        EXPECT_TRUE(reader.Do("move " + load.Centre()));
        EXPECT_TRUE(reader.Do("idle"));
        EXPECT_TRUE(reader.Do("shot " + shot));
        EXPECT_EQ(reader.Quit(), 0);
        return shot;
    };
    EventRect plainLoad, gappedLoad;
    const std::string plain = play("buttons_plain", "Buttons=save,load,", plainLoad);
    if (plain.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string gapped = play("buttons_gapped", "Buttons=save,,load,", gappedLoad);
    ASSERT_FALSE(gapped.empty());

    EXPECT_EQ(gappedLoad.x1, plainLoad.x1);
    EXPECT_EQ(gappedLoad.ltag, 1) << "the second button built";
    const Rgb a = LoadRgb(plain);
    const Rgb b = LoadRgb(gapped);
    // The row of buttons, between the nameplate and the state mark: only
    // "load" is lit in both.
    EXPECT_EQ(MeanDifference(a, b, 200, 310, 545, 338), 0.0);
}

}  // namespace
}  // namespace zelk
