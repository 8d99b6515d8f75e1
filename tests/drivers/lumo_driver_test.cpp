// The graphics driver against the real film engine: base film sets,
// transitions, waiting, picture loading and bad input.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "drivers/lumo_driver_fixture.h"

namespace zelk {
namespace {

using testing::DemoDir;
using testing::LumoDriverTest;

int32_t Parent(int32_t film) {
    int32_t words[2] = {0, 0};
    GetFilmProp(film, FP_PARENT, words);
    return words[0];
}

int32_t Prop(int32_t film, int32_t property) {
    int32_t words[2] = {0, 0};
    GetFilmProp(film, property, words);
    return words[0];
}

TEST_F(LumoDriverTest, WindowModeBuildsEveryFilmUnderTheSceneBuffer) {
    mDriver->BaseFilmSet(2);
    EXPECT_EQ(mDriver->BaseFilmSet(), 2);
    EXPECT_FALSE(mDriver->DrawActivity());
    EXPECT_EQ(Parent(mDriver->FIDBuff()), mDriver->FIDRoot());
    EXPECT_EQ(Parent(mDriver->FIDBack()), mDriver->FIDBuff());
    for (int i = 0; i < clsLumoDriver::kCharSlots; ++i)
        EXPECT_EQ(Parent(mDriver->FIDChar(i)), mDriver->FIDBuff());
    for (const int32_t film :
         {mDriver->FIDText(), mDriver->FIDShadow(), mDriver->FIDFrame(), mDriver->FIDWndBk(),
          mDriver->FIDState(), mDriver->FIDNameplate(), mDriver->FIDFace(), mDriver->FIDCur()}) {
        EXPECT_GE(film, 0);
        EXPECT_EQ(Parent(film), mDriver->FIDBuff());
    }
    EXPECT_EQ(Prop(mDriver->FIDWndBk(), FP_ALPHA), 208);
    EXPECT_EQ(Prop(mDriver->FIDWndBk(), FP_WIDTH), 620);
    // The window starts hidden: moved aside, not made transparent.
    EXPECT_EQ(Prop(mDriver->FIDText(), FP_X), 150 + 5000);
    EXPECT_EQ(mRects.CountByTag("selectionitem"), 5);
    EXPECT_EQ(mRects.CountByTag("wndbutton"), 5);
    const clsEventRect* save = mRects.GetRectByTag("wndbutton", 0);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->Extension, "save");
    EXPECT_EQ(save->x1, 204);
    EXPECT_EQ(save->y1, 314);
    EXPECT_EQ(mDriver->FIDButtons().size(), 5u);
    EXPECT_THROW(mDriver->FIDChar(20), std::out_of_range);

    // A new set drops the old films and their rectangles.
    mDriver->BaseFilmSet(1);
    EXPECT_EQ(mRects.CountByTag("wndbutton"), 0);
    EXPECT_LT(mDriver->FIDText(), 0);
    EXPECT_FALSE(mDriver->TextStart("あ", false));
}

// An empty entry in the button list builds no button; pointing at the one
// after it lights that one, not its neighbour.
TEST_F(LumoDriverTest, AnEmptyButtonEntryLeavesTheOthersTheirHighlight) {
    mGameMode.KeySection("WindowMode").KeyValue("Buttons", "save,,load, ,auto");
    mDriver->BaseFilmSet(2);
    ASSERT_EQ(mDriver->FIDButtons().size(), 3u);
    ASSERT_EQ(mRects.CountByTag("wndbutton"), 3);
    for (const auto& rect : mRects) {
        if (rect->STag != "wndbutton") continue;
        mDriver->ButtonFlip(rect->lTag);
        for (const int32_t film : mDriver->FIDButtons())
            EXPECT_EQ(Prop(film, FP_CELL_Y), film == rect->FilmID ? 1 : 0)
                << "pointing at " << rect->Extension;
    }
    const clsEventRect* load = mRects.GetRectByTag("wndbutton", 1);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->Extension, "load");
}

TEST_F(LumoDriverTest, NovelModeHasTheBackBelowTheShadowAndNoButtons) {
    mDriver->BaseFilmSet(3);
    EXPECT_EQ(Prop(mDriver->FIDWndBk(), FP_ALPHA), 176);
    EXPECT_EQ(mRects.CountByTag("wndbutton"), 0);
    EXPECT_LT(mDriver->FIDFrame(), 0);
    mDriver->TextVisible(true);
    mDriver->TextStart("あ\nい", false);
    mDriver->CursorVisible(true);
    EXPECT_EQ(Prop(mDriver->FIDCur(), FP_X), 580);
    EXPECT_EQ(Prop(mDriver->FIDCur(), FP_Y), Prop(mDriver->FIDText(), FP_TEXT_Y) + 46);
}

TEST_F(LumoDriverTest, ACrossFadeAndARuleWipeEndOnTheNewPicture) {
    mDriver->BaseFilmSet(2);
    mDriver->BGFill(0x0000FF, 0);  // red
    mDriver->DrawActivate(0, 0);
    Settle();
    EXPECT_EQ(Pixel(10, 10), (std::array<int, 3>{0, 0, 255}));

    mDriver->BGFill(0xFF0000, 300);  // blue, cross-faded
    Settle();
    EXPECT_EQ(Pixel(10, 10), (std::array<int, 3>{255, 0, 0}));

    ASSERT_TRUE(mDriver->LoadBuffMask("rule_circle"));
    mDriver->DrawDeactivate(0, 0);
    mDriver->BGFill(0x00FF00, 0);
    mDriver->DrawActivate(2, 300);
    Settle();
    EXPECT_EQ(Pixel(10, 10), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(Pixel(320, 240), (std::array<int, 3>{0, 255, 0}));
    EXPECT_TRUE(mDriver->DrawActivity());
}

TEST_F(LumoDriverTest, TimeZeroSwitchesAtOnceAndFadesEndBlackOrWhite) {
    mDriver->BaseFilmSet(1);
    mDriver->BGFill(0x808080, 0);
    mDriver->DrawActivate(1, 0);
    Settle();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 3>{128, 128, 128}));
    mDriver->DrawDeactivate(1, 200);
    Settle();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 3>{0, 0, 0}));
    mDriver->DrawActivate(0, 0);
    mDriver->DrawDeactivate(2, 200);
    Settle();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(LumoDriverTest, CancellingAWaitFinishesTheTransitionAtOnce) {
    int pumps = 0;
    mDriver->Hooks().PumpEvents = [&](int) {
        ++pumps;
        mDriver->WaitCancel();
    };
    mDriver->BaseFilmSet(1);
    mDriver->BGFill(0x000000, 0);
    mDriver->DrawActivate(0, 0);
    mDriver->DrawDeactivate(0, 0);
    mDriver->BGFill(0xFFFFFF, 0);
    mDriver->WaitCancelEnabled(true);
    const auto start = std::chrono::steady_clock::now();
    mDriver->DrawActivate(1, 60000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "a minute's fade must not run out";
    EXPECT_EQ(pumps, 1);
    EXPECT_TRUE(mDriver->WaitCanceled());
    EXPECT_FALSE(mDriver->WaitCancelEnabled());
    Settle();
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(LumoDriverTest, TheSkipFlagCancelsLikeAClick) {
    mDriver->Hooks().IsSkipMode = [] { return true; };
    const int32_t act = mDriver->AddActByParam({AC_WAIT, 60000, AC_END});
    const int32_t speed = 1000;
    SetActProp(act, AP_SPEED, &speed);
    const int32_t target = mDriver->FIDBack();
    SetActProp(act, AP_TARGET, &target);
    CallActMethod(act, AM_START, nullptr);
    ExeQueue();
    mDriver->WaitCancelEnabled(true);
    EXPECT_FALSE(mDriver->WaitEnd(act));
    // Without cancelling the same wait runs to its end.
    const int32_t quick = mDriver->AddActByParam({AC_WAIT, 50, AC_END});
    SetActProp(quick, AP_SPEED, &speed);
    SetActProp(quick, AP_TARGET, &target);
    CallActMethod(quick, AM_START, nullptr);
    ExeQueue();
    EXPECT_TRUE(mDriver->WaitEnd(quick));
    EXPECT_TRUE(mDriver->WaitEnd(-7)) << "an action that cannot be read has ended";
}

TEST_F(LumoDriverTest, PicturesComeWithTheirAlphaOrAnOpaqueMap) {
    const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    ASSERT_TRUE(mDriver->LoadPng(film, "ST_A01_NORMAL", true, true)) << "names ignore case";
    EXPECT_TRUE(Logged("lumo loadpicture 'ST_A01_NORMAL' from png file"));
    EXPECT_TRUE(Logged("lumo loadmask 'ST_A01_NORMAL' from png file"));
    EXPECT_GT(Prop(film, FP_WIDTH), 0);
    LumoSurface* alpha = nullptr;
    ASSERT_EQ(GetFilmProp(film, FP_ALPHA_OBJECT, &alpha), 0);
    EXPECT_EQ(alpha->pixels[0], 0) << "the corner of a character is transparent";

    ASSERT_TRUE(mDriver->LoadBmp(film, "bg_beach", "bg_beach_none", true));
    EXPECT_TRUE(Logged("lumo pat alphachannel 'bg_beach_none'"));
    ASSERT_EQ(GetFilmProp(film, FP_ALPHA_OBJECT, &alpha), 0);
    EXPECT_EQ(alpha->pixels[0], 255);
}

TEST_F(LumoDriverTest, BadPicturesAndSettingsGiveFalseAndALogLine) {
    const int32_t film = mDriver->MakeFilm(FT_ALPHA, 0, 0, 8, 8);
    EXPECT_FALSE(mDriver->LoadPng(film, "no_such_picture", true, true));
    EXPECT_TRUE(Logged("no_such_picture"));

    const auto dir = std::filesystem::temp_directory_path() / "zelk_lumo_bad";
    std::filesystem::create_directories(dir);
    std::ifstream in(DemoDir() + "/image/bg_beach.png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    {
        std::ofstream out(dir / "cut.png", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 3));
        std::ofstream empty(dir / "empty.png", std::ios::binary);
    }
    EXPECT_FALSE(mDriver->LoadByFullPath(film, (dir / "cut.png").string()));
    EXPECT_FALSE(mDriver->LoadByFullPath(film, (dir / "empty.png").string()));
    mDriver->Hooks().ImageDir = dir.string();
    EXPECT_FALSE(mDriver->LoadPng(film, "cut", true, true));
    EXPECT_TRUE(Logged("lumo loadpicture error 'cut'"));
    std::filesystem::remove_all(dir);

    mDriver->BaseFilmSet(2);
    EXPECT_FALSE(mDriver->ChangeWindowType(7));
    EXPECT_TRUE(mDriver->ChangeWindowType(1));
    EXPECT_EQ(mDriver->WindowType(), 1);

    // Garbage numbers in the film specs and a missing section build a window
    // all the same.
    mGameMode.KeySection("WindowMode").KeyValue("Text", ",abc,99999999999,-5,zz");
    mGameMode.KeySection("WindowMode").KeyValue("Back", "win_back,1,2,123456789,1");
    mGameMode.KeySection("NovelMode").Text("");
    mDriver->BaseFilmSet(2);
    mDriver->TextVisible(true);
    EXPECT_TRUE(mDriver->TextStart("あ", false));
    mDriver->BaseFilmSet(3);
    EXPECT_TRUE(mDriver->TextStart("あ", false));
}

TEST_F(LumoDriverTest, TheRootFillsTheSceneThroughTheLogicalPicture) {
    mDriver->BaseFilmSet(1);
    mDriver->LoadLogicalPic(mDriver->FIDBack(), 0, 0x00FFFF);
    mDriver->DrawActivate(0, 0);
    Settle();
    EXPECT_EQ(Pixel(100, 100), (std::array<int, 3>{0, 255, 255}));
}

}  // namespace
}  // namespace zelk
