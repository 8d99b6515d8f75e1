// Going back a page on the demo game, as a reader does it: from the menu,
// the keys and the log; over a choice to take the other; a save made there;
// and where going back ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::EventRect;
using testing::Field;
using testing::LoadRgb;
using testing::MeanDifference;
using testing::Reader;
namespace fs = std::filesystem;

// A page as the reader saw it: its text, where the story stood, its shot.
struct Seen {
    std::string text;
    std::string addr;
    std::string shot;
};

class Rollback : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CopyOfDemoGame(
            "zelk-rollback-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
        reader = std::make_unique<Reader>(folder);
    }

    // From the title into a new game, past the opening movie, on page 1.
    void NewGame() {
        ASSERT_TRUE(reader->AtTitle()) << reader->State();
        ASSERT_TRUE(reader->Click(reader->Rects("main_menu")[0]));
        ASSERT_TRUE(reader->Do("click 320 240"));
        ASSERT_TRUE(reader->Do("idle"));
        ASSERT_EQ(reader->Get("mode"), "2");
        ASSERT_EQ(reader->Get("wait"), "4") << reader->State();
    }

    Seen Look(const std::string& name) {
        EXPECT_TRUE(reader->Do("idle"));
        const std::string state = reader->State();
        const std::string shot = (folder / (name + ".png")).string();
        EXPECT_TRUE(reader->Do("shot " + shot));
        return Seen{Field(state, "text"), Field(state, "addr"), shot};
    }

    // Page 1 and the five after it, as first shown.
    std::vector<Seen> ReadSixPages() {
        std::vector<Seen> pages{Look("page1")};
        for (int page = 2; page <= 6; ++page) {
            EXPECT_TRUE(reader->Do("click 320 240"));
            pages.push_back(Look("page" + std::to_string(page)));
        }
        return pages;
    }

    bool Back(const std::string& how = "menu message!back") {
        return reader->Do(how) && reader->Do("idle");
    }

    static void ExpectSame(const Seen& now, const Seen& then, const std::string& what) {
        EXPECT_EQ(now.text, then.text) << what;
        EXPECT_EQ(now.addr, then.addr) << what;
        EXPECT_LT(MeanDifference(LoadRgb(now.shot), LoadRgb(then.shot), 0, 0, 640, 480), 1.0)
            << what;
    }

    fs::path folder;
    std::unique_ptr<Reader> reader;
};

TEST_F(Rollback, ThreePagesBackShowsTheThirdPageAndReadingOnTheFourth) {
    NewGame();
    const std::vector<Seen> pages = ReadSixPages();
    for (size_t i = 1; i < pages.size(); ++i)
        ASSERT_NE(pages[i].text, pages[i - 1].text) << "page " << i + 1;
    EXPECT_EQ(reader->Get("back"), "5");

    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(Back());
    const std::string state = reader->State();
    EXPECT_EQ(Field(state, "back"), "2");
    EXPECT_EQ(Field(state, "wait"), "4");
    ExpectSame(Look("back3"), pages[2], "three pages back");

    ASSERT_TRUE(reader->Do("click 320 240"));
    ExpectSame(Look("again4"), pages[3], "read on");
    EXPECT_EQ(reader->Get("back"), "3");
    EXPECT_EQ(reader->Quit(), 0);
}

TEST_F(Rollback, PageUpGoesBackAndPageDownReadsOn) {
    NewGame();
    const std::vector<Seen> pages = ReadSixPages();
    ASSERT_TRUE(Back("key PageUp"));
    ASSERT_TRUE(Back("key PageUp"));
    ExpectSame(Look("up2"), pages[3], "PageUp twice");
    ASSERT_TRUE(reader->Do("key PageDown"));
    ExpectSame(Look("down1"), pages[4], "PageDown");
    EXPECT_EQ(reader->Quit(), 0);
}

// The demo's first clickable areas: the bottle, or Minato beside it.
TEST_F(Rollback, GoingBackOverAChoiceLetsTheOtherOneBeTaken) {
    NewGame();
    for (int i = 0; i < 60 && reader->Get("wait") != "6"; ++i)
        ASSERT_TRUE(reader->Do("hold ctrl 400"));
    ASSERT_TRUE(reader->Do("idle"));
    ASSERT_EQ(reader->Get("wait"), "6") << reader->State();
    std::vector<EventRect> areas = reader->Rects("gamemode_button");
    ASSERT_EQ(areas.size(), 2u);
    ASSERT_TRUE(reader->Click(areas[0]));
    ASSERT_TRUE(reader->Do("idle"));
    EXPECT_NE(reader->Get("text").find("瓶を拾いあげた"), std::string::npos) << reader->State();

    ASSERT_TRUE(Back());
    ASSERT_EQ(reader->Get("wait"), "6") << reader->State();
    areas = reader->Rects("gamemode_button");
    ASSERT_EQ(areas.size(), 2u);
    ASSERT_TRUE(areas[1].enabled);
    ASSERT_TRUE(reader->Click(areas[1]));
    ASSERT_TRUE(reader->Do("idle"));
    EXPECT_NE(reader->Get("text").find("ガラス瓶だな"), std::string::npos) << reader->State();
    EXPECT_EQ(reader->Quit(), 0);
}

TEST_F(Rollback, TheLogsButtonReturnsToItsPage) {
    NewGame();
    const std::vector<Seen> pages = ReadSixPages();
    ASSERT_TRUE(reader->Do("menu message!log"));
    ASSERT_TRUE(reader->Do("idle"));
    // The log's four lines are pages 3 to 6; the page now shown has no way
    // back, it is where the reader is.
    const std::vector<EventRect> buttons = reader->Rects("log_back");
    ASSERT_EQ(buttons.size(), 4u);
    for (long line = 0; line < 4; ++line) {
        EXPECT_EQ(buttons[line].ltag, line);
        EXPECT_EQ(buttons[line].enabled, line < 3) << line;
    }
    Look("log");
    ASSERT_TRUE(reader->Click(buttons[1]));
    ASSERT_TRUE(reader->Do("idle"));
    EXPECT_EQ(reader->Get("sub"), "9");
    EXPECT_TRUE(reader->Rects("log_back").empty());
    ExpectSame(Look("fromlog"), pages[3], "the log's second line");
    EXPECT_EQ(reader->Get("back"), "3");
    EXPECT_EQ(reader->Quit(), 0);
}

TEST_F(Rollback, ASaveMadeAfterGoingBackLoadsThatPage) {
    NewGame();
    const std::vector<Seen> pages = ReadSixPages();
    ASSERT_TRUE(Back());
    ASSERT_TRUE(Back());
    ASSERT_TRUE(reader->Do("answer yes"));
    ASSERT_TRUE(reader->Do("menu file!qsave"));
    ASSERT_TRUE(reader->Do("idle"));
    for (int page = 5; page <= 6; ++page) {
        ASSERT_TRUE(reader->Do("click 320 240"));
        ASSERT_TRUE(reader->Do("idle"));
    }
    ASSERT_TRUE(reader->Do("answer yes"));
    ASSERT_TRUE(reader->Do("menu file!qload"));
    ASSERT_TRUE(reader->Do("idle"));
    ExpectSame(Look("loaded"), pages[3], "the quick save");
    // A load is a new sitting: the pages before it are out of reach.
    EXPECT_EQ(reader->Get("back"), "0");
    EXPECT_EQ(reader->Say("menu message!back").back(), "error menu item disabled");
}

TEST_F(Rollback, GoingBackEndsAtAChangeOfMode) {
    NewGame();
    for (int page = 2; page <= 3; ++page) {
        ASSERT_TRUE(reader->Do("click 320 240"));
        ASSERT_TRUE(reader->Do("idle"));
    }
    EXPECT_EQ(reader->Get("back"), "2");
    ASSERT_TRUE(reader->Do("answer yes"));
    ASSERT_TRUE(reader->Do("menu file!title"));
    ASSERT_TRUE(reader->AtTitle());
    EXPECT_EQ(reader->Get("back"), "0");

    NewGame();
    const std::string first = reader->Get("text");
    EXPECT_EQ(reader->Get("back"), "0");
    ASSERT_TRUE(Back("key PageUp"));
    EXPECT_EQ(reader->Get("text"), first);
    EXPECT_EQ(reader->Get("wait"), "4");
    // A refused command ends the player: the last thing asked.
    EXPECT_EQ(reader->Say("menu message!back").back(), "error menu item disabled");
}

}  // namespace
}  // namespace zelk
