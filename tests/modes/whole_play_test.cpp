// The whole demo game as one reader plays it, from the first start to the
// quit: the title, the opening movie, the first ending read page by page
// with a change of the text window's transparency, the log, auto mode and a
// save and a load through the save/load screen on the way; the second
// ending in skip mode, which stops at the first unread page; both staff
// rolls; the extras opened by the endings; and what the play left on disk.
// Pictures are compared in regions against shots the test took itself at
// known points, so that a screen which merely draws something does not
// pass.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "modes/play_support.h"
#include "settings/ini_file.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::Colours;
using testing::CopyOfDemoGame;
using testing::Decoded;
using testing::EventRect;
using testing::Field;
using testing::LoadRgb;
using testing::MeanDifference;
using testing::Open;
using testing::Reader;
using testing::Rgb;

// The game screen's parts in the demo: the scene above the text window's
// buttons, the text window, and the title's extras button.
struct Region {
    int x1, y1, x2, y2;
};
constexpr Region kScene{0, 0, 640, 300};
constexpr Region kTextWindow{20, 440, 620, 470};  // below the text, inside the frame
constexpr Region kExtrasButton{60, 368, 240, 404};
constexpr Region kTitleAboveMenu{0, 0, 640, 230};

double Apart(const std::string& a, const std::string& b, Region r) {
    return MeanDifference(LoadRgb(a), LoadRgb(b), r.x1, r.y1, r.x2, r.y2);
}

bool Enabled(const std::vector<EventRect>& rects, const std::string& extension) {
    for (const EventRect& r : rects)
        if (r.extension == extension) return r.enabled;
    return false;
}

class WholePlay : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = CopyOfDemoGame("whole_play");
        if (mFolder.empty()) GTEST_SKIP() << "the demo game is not packed";
        mReader = std::make_unique<Reader>(mFolder);
    }

    std::string Shot(const std::string& name) {
        const std::string path = (mFolder / (name + ".png")).string();
        EXPECT_TRUE(R().Do("shot " + path)) << name;
        return path;
    }

    Reader& R() { return *mReader; }

    // One page on, as a click of the reader's; the answer counts the pages.
    void Page() {
        ASSERT_TRUE(R().Do("click 320 240"));
        ASSERT_TRUE(R().Do("idle"));
        ++mPages;
    }

    // Clicks page after page, takes the choice's item `choice` and the
    // first clickable area, until the game mode ends.
    void ReadEveryPage(size_t choice) {
        for (int i = 0; i < 400 && R().Get("mode") == "2"; ++i) {
            if (R().Choose(choice)) continue;
            Page();
        }
    }

    // The staff roll: the credits rise over the ending's picture; a right
    // click ends it and the story returns to the title.
    void WatchTheRoll(const std::string& name) {
        ASSERT_EQ(R().Get("mode"), "4") << R().State();
        ASSERT_TRUE(R().Do("wait 3000"));
        const std::string first = Shot(name + "_roll1");
        ASSERT_TRUE(R().Do("wait 1500"));
        const std::string second = Shot(name + "_roll2");
        // The credits move; the picture behind them on the right does not
        // change as much as the rising text on the left.
        EXPECT_GT(Apart(first, second, {0, 0, 320, 480}), 1.0) << name;
        ASSERT_TRUE(R().Do("rclick 320 240"));
        ASSERT_TRUE(R().AtTitle()) << R().State();
    }

    fs::path mFolder;
    std::unique_ptr<Reader> mReader;
    int mPages = 0;
};

TEST_F(WholePlay, BothEndingsWithSavesLogAutoSettingsAndTheExtras) {
    // The title on the first start: nothing to load quickly, no extras yet.
    ASSERT_TRUE(R().AtTitle()) << R().State();
    const std::string titleFirst = Shot("title_first");
    EXPECT_GT(Colours(titleFirst, 0, 0, 640, 480), 64u);
    std::vector<EventRect> menu = R().Rects("main_menu");
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_FALSE(Enabled(menu, "quickload"));
    EXPECT_FALSE(Enabled(menu, "omake"));

    // A new game opens with the movie, which a click ends.
    ASSERT_TRUE(R().Click(menu[0]));
    ASSERT_TRUE(R().Do("idle"));
    EXPECT_EQ(R().Get("movie"), "1") << R().State();
    // Waiting for an idle player does not draw the scene over the movie.
    ASSERT_TRUE(R().Do("wait 500"));
    for (const char* name : {"movie", "movie_again"}) {
        ASSERT_TRUE(R().Do("idle"));
        EXPECT_GT(Colours(Shot(name), 0, 0, 640, 480), 64u) << name;
    }
    ASSERT_EQ(R().Get("movie"), "1") << R().State();
    Page();
    ASSERT_EQ(R().Get("movie"), "0") << R().State();
    ASSERT_FALSE(R().Get("text").empty()) << R().State();
    Page();
    Page();

    // The text window's transparency, changed in the settings dialog,
    // shows at once on the same page; the scene above it stays as it was.
    const std::string page = R().State();
    const std::string opaque = Shot("window_opaque");
    ASSERT_TRUE(R().Do("menu property!screen"));
    EXPECT_EQ(R().DialogValue("sldGrpAlpha(0)"), "208");
    ASSERT_TRUE(R().Do("dialog set sldGrpAlpha(0) 32"));
    ASSERT_TRUE(R().Do("dialog ok"));
    ASSERT_TRUE(R().Do("idle"));
    const std::string clear = Shot("window_clear");
    EXPECT_EQ(R().Get("addr"), Field(page, "addr"));
    EXPECT_LT(Apart(opaque, clear, kScene), 1.0);
    EXPECT_GT(Apart(opaque, clear, kTextWindow), 20.0);

    // The wheel opens the log over the page and brings the page back.
    ASSERT_TRUE(R().Do("wheel 1"));
    ASSERT_TRUE(R().Do("idle"));
    EXPECT_EQ(R().Get("sub"), "11") << R().State();
    EXPECT_FALSE(R().Rects("log_bk").empty());
    ASSERT_TRUE(R().Do("wheel -1"));
    ASSERT_TRUE(R().Do("idle"));
    EXPECT_EQ(R().Get("sub"), "9") << R().State();
    EXPECT_LT(Apart(clear, Shot("log_left"), {0, 0, 640, 480}), 1.0);

    // Auto mode reads on by itself, and stops when it is switched off.
    ASSERT_TRUE(R().Do("menu message!auto"));
    EXPECT_EQ(R().Get("auto"), "1");
    std::vector<std::string> seen{R().Get("text")};
    for (int i = 0; i < 30 && seen.size() < 4; ++i) {
        ASSERT_TRUE(R().Do("wait 1000"));
        const std::string text = R().Get("text");
        if (text != seen.back()) seen.push_back(text);
    }
    EXPECT_GE(seen.size(), 4u) << "auto mode turned " << seen.size() - 1 << " pages";
    ASSERT_TRUE(R().Do("idle"));
    ASSERT_TRUE(R().Do("menu message!auto"));
    EXPECT_EQ(R().Get("auto"), "0");
    ASSERT_TRUE(R().Do("idle"));

    // A save through the save/load screen, a few pages more, and its load
    // brings back the page and its picture.
    Page();
    const std::string saved = R().State();
    const std::string savedShot = Shot("saved");
    ASSERT_TRUE(R().Do("menu file!saveload"));
    ASSERT_TRUE(R().Do("idle"));
    ASSERT_EQ(R().Get("mode"), "3");
    ASSERT_TRUE(R().Do("answer yes"));
    ASSERT_FALSE(R().Rects("save").empty());
    ASSERT_TRUE(R().Click(R().Rects("save")[0]));
    ASSERT_TRUE(R().Click(R().Rects("ret")[0]));
    EXPECT_EQ(R().Get("addr"), Field(saved, "addr"));
    Page();
    Page();
    Page();
    ASSERT_NE(R().Get("addr"), Field(saved, "addr"));
    ASSERT_TRUE(R().Do("menu file!saveload"));
    ASSERT_TRUE(R().Do("idle"));
    ASSERT_TRUE(R().Do("answer yes"));
    ASSERT_TRUE(R().Click(R().Rects("load")[0]));
    ASSERT_TRUE(R().Do("idle"));
    const std::string loaded = R().State();
    for (const char* field : {"mode", "script", "addr", "text"})
        EXPECT_EQ(Field(loaded, field), Field(saved, field)) << field;
    EXPECT_LT(Apart(savedShot, Shot("loaded"), {0, 0, 640, 480}), 2.0);

    // The first ending, every page clicked, the first item of the choice.
    ReadEveryPage(0);
    EXPECT_GT(mPages, 40);
    WatchTheRoll("a");

    // Back at the title: the same screen, now with the extras open and a
    // quick load still not there (no quick save was made).
    const std::string titleAfter = Shot("title_after_a");
    EXPECT_LT(Apart(titleFirst, titleAfter, kTitleAboveMenu), 2.0);
    EXPECT_GT(Apart(titleFirst, titleAfter, kExtrasButton), 4.0);
    menu = R().Rects("main_menu");
    EXPECT_TRUE(Enabled(menu, "omake"));

    // The second ending in skip mode: skipping runs over everything read
    // (the reader answering the choices on the way, the last one with its
    // second item) and stops at the first unread page.
    ASSERT_TRUE(R().Click(menu[0]));
    Page();  // the movie
    std::string unread;
    for (int i = 0; i < 300 && unread.empty(); ++i) {
        const std::string state = R().State();
        if (Field(state, "mode") != "2") break;
        if (Field(state, "script") == "end_b" && Field(state, "skip") == "0") {
            unread = state;
            break;
        }
        // The last choice, in the main script, takes its second item.
        if (R().Choose(Field(state, "script") == "main" ? 1 : 0)) continue;
        if (Field(state, "skip") == "0" && Field(state, "wait") == "4") {
            ASSERT_TRUE(R().Do("menu message!skip"));
        }
        ASSERT_TRUE(R().Do("wait 200"));
    }
    ASSERT_FALSE(unread.empty()) << R().State();
    EXPECT_EQ(Field(unread, "wait"), "4") << unread;
    R().SkipWhileIn("2");
    WatchTheRoll("b");

    // The extras: every picture in the gallery, every scene to replay.
    menu = R().Rects("main_menu");
    ASSERT_TRUE(R().Click(menu[3]));
    ASSERT_EQ(R().Get("mode"), "5") << R().State();
    const std::vector<bool> gallery = Open(R().Rects("panel"));
    EXPECT_EQ(gallery, std::vector<bool>(gallery.size(), true));
    ASSERT_TRUE(R().Click(R().Rects("mode")[1]));
    const std::vector<bool> scenes = Open(R().Rects("panel"));
    EXPECT_EQ(scenes, (std::vector<bool>{true, true, true, true, true, false}));
    ASSERT_TRUE(R().Click(R().Rects("panel")[2]));
    EXPECT_EQ(R().Get("script"), "s03") << R().State();
    R().SkipWhileIn("2");
    ASSERT_EQ(R().Get("mode"), "5") << R().State();
    ASSERT_TRUE(R().Click(R().Rects("mode")[2]));
    ASSERT_TRUE(R().Click(R().Rects("panel")[1]));
    EXPECT_EQ(R().Get("bgm"), "bgm_day");
    ASSERT_TRUE(R().Click(R().Rects("ret")[0]));
    ASSERT_TRUE(R().AtTitle()) << R().State();
    EXPECT_EQ(R().Quit(), 0);

    // What the play left: both endings cleared, every scene read and every
    // picture seen, the save, and the transparency the reader chose.
    const fs::path saves = mFolder / "savedata";
    INIFile shared;
    shared.Text(Decoded(saves / "sd00.ini"));
    const std::string read = shared.KeySection("AlreadyRead").Text();
    for (const char* script : {"main:", "s01:", "s02:", "s03:", "end_a:", "end_b:"})
        EXPECT_NE(read.find(script), std::string::npos) << script << " in\n" << read;
    const std::string everything = Decoded(saves / "sd00.ini");
    for (const char* line : {"clear_a=1", "clear_b=1", "ev_dawn=1", "ev_light=1", "rep_eb=1"})
        EXPECT_NE(everything.find(line), std::string::npos) << line;
    const std::string slot = Decoded(saves / "sd01-00.ini");
    EXPECT_NE(slot.find(Field(saved, "script") + "." + Field(saved, "addr")), std::string::npos);
    EXPECT_NE(Decoded(saves / "config.ini").find("WndAlpha=32"), std::string::npos);

    // The README's pictures come from this play: ZELK_SCREENSHOTS=FOLDER
    // keeps them.
    if (const char* keep = std::getenv("ZELK_SCREENSHOTS")) {
        for (const auto& [shot, name] :
             {std::pair{"title_after_a", "title"}, std::pair{"saved", "reading"},
              std::pair{"a_roll1", "ending"}})
            fs::copy_file(mFolder / (std::string(shot) + ".png"),
                          fs::path(keep) / (std::string(name) + ".png"),
                          fs::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace zelk
