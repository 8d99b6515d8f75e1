// The graphics driver's scene: the demo's window scene composed on the
// screen, the text and its shadow, choices, the character stack and the
// save section.
#include <SDL.h>
#include <SDL_image.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "common/codepage.h"
#include "drivers/lumo_driver_fixture.h"
#include "platform/picture.h"
#include "settings/ini_section.h"

namespace zelk {
namespace {

using testing::DemoDir;
using testing::LumoDriverTest;

int32_t Prop(int32_t film, int32_t property) {
    int32_t words[2] = {0, 0};
    GetFilmProp(film, property, words);
    return words[0];
}

std::filesystem::path ShotPath(const std::string& name) {
    const char* dir = std::getenv("ZELK_SCREENSHOT_DIR");
    return std::filesystem::path(dir ? dir : std::filesystem::temp_directory_path().string()) /
           name;
}

bool WritePng(ScreenSurface& screen, const std::filesystem::path& path) {
    std::lock_guard lock(screen.Mutex());
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(screen.Pixels(), screen.Width(), screen.Height(), 24,
                                           screen.Stride(), SDL_PIXELFORMAT_BGR24);
    if (!surface) return false;
    const bool saved = IMG_SavePNG(surface, path.string().c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}

// Pixels of the rectangle whose three channels are all above the level.
int BrightPixels(const std::vector<std::uint8_t>& shot, int stride, int x0, int y0, int x1, int y1,
                 int level) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = shot.data() + y * stride + x * 3;
            if (p[0] > level && p[1] > level && p[2] > level) ++count;
        }
    return count;
}

// Pixels of the rectangle that are not black.
int LitPixels(const std::vector<std::uint8_t>& shot, int stride, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = shot.data() + y * stride + x * 3;
            if (p[0] != 0 || p[1] != 0 || p[2] != 0) ++count;
        }
    return count;
}

class LumoSceneTest : public LumoDriverTest {
protected:
    // The demo's reading screen: beach, a character, the window with a page.
    void BuildWindowScene() {
        mDriver->BaseFilmSet(2);
        ASSERT_TRUE(mDriver->BGCenter("bg_beach", -999999, -999999, 0, true));
        ASSERT_TRUE(mDriver->CGChange("st_a01_normal", 320, 240, -1, -1, 0));
        mDriver->TextVisible(true);
        mDriver->WindowNameFlip(1);
        ASSERT_TRUE(
            mDriver->TextStart("浜辺に小さな瓶が流れ着いていた。\n中には手紙が一通。", false));
        mDriver->DrawActivate(0, 0);
        Settle();
    }
};

TEST_F(LumoSceneTest, TheWindowSceneShowsBackgroundCharacterAndText) {
    mDriver->BaseFilmSet(2);
    mDriver->BGCenter("bg_beach", -999999, -999999, 0, true);
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> background = Snapshot();
    mDriver->DrawDeactivate(0, 0);
    mDriver->CGChange("st_a01_normal", 320, 240, -1, -1, 0);
    mDriver->TextVisible(true);
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> windowOnly = Snapshot();
    mDriver->TextStart("浜辺に小さな瓶が流れ着いていた。\n中には手紙が一通。", false);
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> shot = Snapshot();
    const auto path = ShotPath("zelk_window_scene.png");
    ASSERT_TRUE(WritePng(mScreen, path)) << SDL_GetError();
    std::printf("window scene: %s\n", path.string().c_str());

    const int stride = mScreen.Stride();
    // Not one colour.
    bool uniform = true;
    for (size_t i = 3; i < shot.size() && uniform; i += 3)
        uniform = shot[i] == shot[0] && shot[i + 1] == shot[1] && shot[i + 2] == shot[2];
    EXPECT_FALSE(uniform);
    // The text lands in the window's text area as bright pixels.
    const int before = BrightPixels(windowOnly, stride, 150, 360, 620, 454, 220);
    const int after = BrightPixels(shot, stride, 150, 360, 620, 454, 220);
    EXPECT_GT(after, before + 200) << "before " << before << ", after " << after;
    // The character covers the background at its centre, not the corners.
    auto differs = [&](int x, int y) {
        const size_t i = static_cast<size_t>(y * stride + x * 3);
        return background[i] != windowOnly[i] || background[i + 1] != windowOnly[i + 1] ||
               background[i + 2] != windowOnly[i + 2];
    };
    EXPECT_TRUE(differs(320, 200));
    EXPECT_FALSE(differs(20, 20));
    EXPECT_FALSE(differs(620, 20));
    // The background is centred on the screen.
    EXPECT_EQ(Prop(mDriver->FIDBack(), FP_X), 320 - Prop(mDriver->FIDBack(), FP_WIDTH) / 2);
}

TEST_F(LumoSceneTest, AColourMarkPrintsColouredTextOverABlackShadow) {
    mDriver->BaseFilmSet(2);
    mDriver->TextStart("DFF0000あ", false);
    EXPECT_EQ(Prop(mDriver->FIDText(), FP_TEXT_SHOWN), Prop(mDriver->FIDText(), FP_TEXT_LENGTH));
    EXPECT_EQ(Prop(mDriver->FIDShadow(), FP_TEXT_SHOWN), 1);
    auto inked = [](int32_t film) {
        LumoSurface* image = nullptr;
        LumoSurface* alpha = nullptr;
        GetFilmProp(film, FP_IMAGE_DC, &image);
        GetFilmProp(film, FP_ALPHA_OBJECT, &alpha);
        for (int y = 0; image && alpha && y < alpha->height; ++y)
            for (int x = 0; x < alpha->width; ++x)
                if (alpha->pixels[y * alpha->stride + x] > 200) {
                    const std::uint8_t* p = image->pixels + y * image->stride + x * 3;
                    return std::array<int, 3>{p[0], p[1], p[2]};
                }
        return std::array<int, 3>{-1, -1, -1};
    };
    EXPECT_EQ(inked(mDriver->FIDText()), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(inked(mDriver->FIDShadow()), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(mDriver->CurrentText(), "DFF0000あ");
    mDriver->TextStart("\nい", false);
    EXPECT_EQ(mDriver->CurrentText(), "DFF0000あ\\nい");
    mDriver->TextPageTurn();
    EXPECT_EQ(mDriver->CurrentText(), "");
    EXPECT_EQ(Prop(mDriver->FIDText(), FP_TEXT_LENGTH), 0);
}

TEST(LumoShadowText, OnlyColourMarksTurnBlack) {
    const std::string a = *Utf8ToCp932("あ");
    EXPECT_EQ(ShadowText("D12AB34" + a), "D000000" + a);
    // A "D" among another mark's digits, or a font name, is no colour.
    EXPECT_EQ(ShadowText("B0000000D" + a), "B0000000D" + a);
    EXPECT_EQ(ShadowText("E02DDD00FF00" + a), "E02DDD000000" + a);
    // Marks are upper-case: a lower-case letter begins a character.
    EXPECT_EQ(ShadowText("\ndabcdef"), "\ndabcdef");
    EXPECT_EQ(ShadowText("xdFF0000" + a), "xdFF0000" + a);
    // A trail byte that looks like "D" stays.
    const std::string so = *Utf8ToCp932("ソ");  // 0x83 0x5C
    const std::string de = *Utf8ToCp932("ャ");  // 0x83 0x44: trail "D"
    EXPECT_EQ(ShadowText(so + de + "DFFFFFF"), so + de + "D000000");
}

// Half-width letters left in a text by an escape: the shadow prints as many
// characters as the text, at every step of the typing.
TEST_F(LumoSceneTest, TheShadowKeepsInStepWithLowerCaseLetters) {
    mDriver->BaseFilmSet(2);
    ASSERT_TRUE(mDriver->TextStart("dogsあい", false));
    const int32_t length = Prop(mDriver->FIDText(), FP_TEXT_LENGTH);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(Prop(mDriver->FIDShadow(), FP_TEXT_LENGTH), length);
    EXPECT_EQ(Prop(mDriver->FIDShadow(), FP_TEXT_SHOWN), Prop(mDriver->FIDText(), FP_TEXT_SHOWN));
    EXPECT_EQ(Prop(mDriver->FIDShadow(), FP_TEXT_X), Prop(mDriver->FIDText(), FP_TEXT_X));
}

TEST_F(LumoSceneTest, ChoicesAreCentredAndSpacedWithIntegerArithmetic) {
    mDriver->BaseFilmSet(2);
    ASSERT_TRUE(mDriver->AddChoiceItem("海へ行く", "*sea"));
    mDriver->ChoiceArrange();
    EXPECT_EQ(Prop(mDriver->FIDChoiceFrame(0), FP_Y), 170);
    EXPECT_EQ(Prop(mDriver->FIDChoiceText(0), FP_Y), 178);
    ASSERT_TRUE(mDriver->AddChoiceItem("町へ行く", "*town"));
    ASSERT_TRUE(mDriver->AddChoiceItem("家に帰る", "*home"));
    mDriver->ChoiceArrange();
    EXPECT_EQ(Prop(mDriver->FIDChoiceFrame(0), FP_Y), 118);
    EXPECT_EQ(Prop(mDriver->FIDChoiceFrame(2), FP_Y), 222);
    mDriver->ChoiceVisible(true);
    const clsEventRect* rect = mRects.Item(mDriver->ChoiceRectIndex(1));
    ASSERT_NE(rect, nullptr);
    EXPECT_TRUE(rect->Enabled);
    EXPECT_EQ(rect->ClickScript, "*town");
    EXPECT_EQ(rect->y1, 170);
    EXPECT_EQ(rect->x1, 120) << "the rectangle follows the shown frame";
    EXPECT_TRUE(mDriver->AddChoiceItem("4", ""));
    EXPECT_TRUE(mDriver->AddChoiceItem("5", ""));
    EXPECT_FALSE(mDriver->AddChoiceItem("6", "")) << "five items at most";
    mDriver->ChoiceClear();
    EXPECT_EQ(mDriver->ChoiceCount(), 0);
    EXPECT_FALSE(mRects.Item(mDriver->ChoiceRectIndex(1))->Enabled);

    mGameMode.KeySection("WindowMode").KeyValue("ChoiceSpace", "50");
    mGameMode.KeySection("WindowMode").KeyValue("ChoiceCenter", "200");
    mDriver->BaseFilmSet(2);
    mDriver->AddChoiceItem("a", "");
    mDriver->AddChoiceItem("b", "");
    mDriver->ChoiceArrange();
    EXPECT_EQ(Prop(mDriver->FIDChoiceFrame(0), FP_Y), 175);
    EXPECT_EQ(Prop(mDriver->FIDChoiceFrame(1), FP_Y), 225);
    mDriver->BaseFilmSet(3);
    EXPECT_FALSE(mDriver->AddChoiceItem("a", "")) << "no choices in novel mode";
}

TEST_F(LumoSceneTest, FilmAvoidMovesOnceEachWay) {
    mDriver->BaseFilmSet(2);
    const int32_t film = mDriver->FIDFrame();
    EXPECT_EQ(Prop(film, FP_X), 5010);
    mDriver->FilmAvoid(film, false);
    EXPECT_EQ(Prop(film, FP_X), 5010);
    mDriver->FilmAvoid(film, true);
    mDriver->FilmAvoid(film, true);
    EXPECT_EQ(Prop(film, FP_X), 10);
}

TEST_F(LumoSceneTest, TheCharacterStackKeepsItsRules) {
    mDriver->BaseFilmSet(2);
    EXPECT_EQ(clsLumoDriver::CIDOf("ST_A01_smile"), "a01");
    EXPECT_EQ(clsLumoDriver::CIDOf("ev_bottle"), "?");
    EXPECT_EQ(clsLumoDriver::CIDOf("st_a01"), "?");

    ASSERT_TRUE(mDriver->CGChange("st_a01_normal", 200, 240, 0, 0, 0));
    mLog.clear();
    EXPECT_TRUE(mDriver->CGChange("st_a01_normal", 200, 240, 0, 0, 0));
    EXPECT_TRUE(Logged("CGH Command:No Operation"));

    mLog.clear();
    ASSERT_TRUE(mDriver->CGChange("st_a01_smile", 200, 240, -1, -1, 0));
    EXPECT_TRUE(Logged("(CID Conflict)"));
    EXPECT_EQ(mDriver->FindChar("a01", false), 0);
    EXPECT_EQ(mDriver->FindChar("st_a01_normal", false), -1);
    EXPECT_EQ(mDriver->GetCharXPos("a01"), 200);
    EXPECT_EQ(mDriver->GetCharXPos("zz"), 320);
    EXPECT_EQ(mDriver->GetCharFilmID("a01"), mDriver->FIDChar(0));
    EXPECT_EQ(mDriver->GetCharLocation("nobody"), "");

    ASSERT_TRUE(mDriver->CGChange("ev_bottle", 320, 240, 0, 0, 0));
    EXPECT_EQ(mDriver->FindChar("?", true), -1);
    EXPECT_EQ(mDriver->FindChar("ev_bottle", false), 0);
    EXPECT_EQ(mDriver->FindChar("a01", false), 1);

    // Showing a deeper one again brings it to the front.
    ASSERT_TRUE(mDriver->CGChange("st_a01_smile", 100, 240, 0, 0, 0));
    EXPECT_EQ(mDriver->FindChar("a01", false), 0);
    EXPECT_EQ(mDriver->GetCharFilmID("ev_bottle"), mDriver->FIDChar(1));

    // Twenty-one distinct pictures: the lowest goes.
    mLog.clear();
    for (int i = 0; i < 20; ++i)
        mDriver->CGChange("cg_missing_" + std::to_string(i), i, 0, 0, 0, 0);
    EXPECT_TRUE(Logged("CG Command Alarm:Buff is Filled"));
    EXPECT_EQ(mDriver->FindChar("ev_bottle", false), -1);
    EXPECT_EQ(mDriver->FindChar("cg_missing_19", false), 0);

    EXPECT_TRUE(mDriver->CGHideAll(0));
    EXPECT_EQ(mDriver->FindChar("cg_missing_19", false), -1);
    EXPECT_FALSE(mDriver->CGHide("cg_missing_19", 0));
    EXPECT_FALSE(mDriver->CGFlip("nobody", 1, 1));

    mDriver->BaseFilmSet(1);
    EXPECT_FALSE(mDriver->CGChange("st_a01_normal", 0, 0, 0, 0, 0));
}

// The hide that makes room is logged as any hide, with the stack after it.
TEST_F(LumoSceneTest, ForcedHidesAreLoggedAsHides) {
    mDriver->BaseFilmSet(2);
    const auto after = [this](const std::string& first, const std::string& then) {
        for (size_t i = 0; i < mLog.size(); ++i)
            if (mLog[i] == first) return i + 1 < mLog.size() && mLog[i + 1] == then;
        return false;
    };
    ASSERT_TRUE(mDriver->CGChange("st_a01_normal", 200, 240, 0, 0, 0));
    mLog.clear();
    ASSERT_TRUE(mDriver->CGChange("st_a01_smile", 200, 240, 0, 0, 0));
    EXPECT_TRUE(after("(CID Conflict)", "CGH Command ")) << ::testing::PrintToString(mLog);
    ASSERT_GE(mLog.size(), 3u);
    EXPECT_NE(mLog[2].find("CH(0) File='st_a01_normal' CID='a01' POS=(200,240)"), std::string::npos)
        << mLog[2];

    for (int i = 0; i < clsLumoDriver::kCharSlots - 1; ++i)
        mDriver->CGChange("cg_missing_" + std::to_string(i), i, 0, 0, 0, 0);
    mLog.clear();
    mDriver->CGChange("cg_missing_last", 0, 0, 0, 0, 0);
    EXPECT_TRUE(after("CG Command Alarm:Buff is Filled", "CGH Command "))
        << ::testing::PrintToString(mLog);
    EXPECT_EQ(mDriver->FindChar("a01", false), -1);
}

// Twenty pictures fill the stack; the next one reuses the film of the
// lowest, which showed `first`.
void FillTheStack(clsLumoDriver& driver, const std::string& first) {
    ASSERT_TRUE(driver.CGChange(first, 100, 240, -1, -1, 0));
    for (int i = 1; i < clsLumoDriver::kCharSlots; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "pct%03d", i);
        ASSERT_TRUE(driver.CGChange(name, 600, 40, -1, -1, 0));
    }
}

TEST_F(LumoSceneTest, APictureThatFailsToLoadShowsNothing) {
    mDriver->BaseFilmSet(2);
    mDriver->BGFill(0x000000, 0);
    FillTheStack(*mDriver, "st_a01_normal");
    const int32_t reused = mDriver->FIDChar(clsLumoDriver::kCharSlots - 1);

    mLog.clear();
    EXPECT_FALSE(mDriver->CGChange("st_b01_smlie", 450, 240, -1, -1, 0));
    EXPECT_TRUE(Logged("CG Command Alarm:Buff is Filled"));
    EXPECT_EQ(mDriver->GetCharFilmID("b01"), reused);
    EXPECT_EQ(mDriver->GetCharLocation("b01"), "450,240,0,0");
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> shot = Snapshot();
    EXPECT_EQ(LitPixels(shot, mScreen.Stride(), 350, 100, 550, 380), 0)
        << "the old character shows where the missing one should be";

    // The same for a face: no face rather than the last one.
    mDriver->TextVisible(true);
    mDriver->FaceChange("");
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> noFace = Snapshot();
    ASSERT_TRUE(mDriver->FaceChange("fa_a01_normal"));
    mDriver->DrawActivate(0, 0);
    Settle();
    ASSERT_NE(Snapshot(), noFace);
    EXPECT_FALSE(mDriver->FaceChange("fa_a01_nromal"));
    mDriver->DrawActivate(0, 0);
    Settle();
    EXPECT_TRUE(Snapshot() == noFace) << "the last face stayed";
}

// A reused film that was cut to its picture's opaque part before shows the
// new picture where a fresh film would.
TEST_F(LumoSceneTest, AReusedFilmShowsItsNewPictureInPlace) {
    mDriver->BaseFilmSet(2);
    const int32_t fresh = mDriver->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    ASSERT_TRUE(mDriver->LoadPng(fresh, "st_b01_smile", true, true));
    CallFilmMethod(fresh, FM_TRIM, nullptr);
    ExeQueue();
    int32_t expected[2] = {0, 0};
    GetFilmProp(fresh, FP_SRC_POS, expected);
    ASSERT_LT(expected[0], 0) << "the picture has a transparent margin to cut";
    RemoveFilm(fresh);

    FillTheStack(*mDriver, "st_a01_normal");
    ASSERT_TRUE(mDriver->CGChange("st_b01_smile", 450, 240, -1, -1, 0));
    int32_t source[2] = {0, 0};
    GetFilmProp(mDriver->GetCharFilmID("b01"), FP_SRC_POS, source);
    EXPECT_EQ(source[0], expected[0]);
    EXPECT_EQ(source[1], expected[1]);
}

TEST_F(LumoSceneTest, SlotsMoveAndFadeAndTheirFilmsFollowTheSlotOrder) {
    mDriver->BaseFilmSet(2);
    mDriver->CGChange("st_a01_normal", 200, 240, -1, -1, 0);
    mDriver->CGChange("st_b01_normal", 400, 240, -1, -1, 0);
    mDriver->DrawActivate(0, 0);
    ASSERT_TRUE(mDriver->CGMove("a01", 10, 0, false, 100, true));
    EXPECT_EQ(mDriver->GetCharXPos("a01"), 210);
    EXPECT_EQ(Prop(mDriver->GetCharFilmID("a01"), FP_X),
              210 - std::stoi(mDriver->GetCharLocation("a01").substr(8)) / 2);
    ASSERT_TRUE(mDriver->CGAlpha("b01", 128, 100, true));
    EXPECT_EQ(Prop(mDriver->GetCharFilmID("b01"), FP_ALPHA), 128);
    ASSERT_TRUE(mDriver->CGAlpha("b01", 64, 0, false));
    EXPECT_EQ(Prop(mDriver->GetCharFilmID("b01"), FP_ALPHA), 64);
    ASSERT_TRUE(mDriver->CGHide("b01", 0));
    EXPECT_EQ(mDriver->FindChar("a01", false), 0);
    EXPECT_EQ(Prop(mDriver->FIDChar(1), FP_X), -5000);
}

TEST_F(LumoSceneTest, TheSaveSectionRebuildsTheSameScreen) {
    BuildWindowScene();
    mDriver->CGChange("st_b01_smile", 480, 260, 0, 0, 0);
    mDriver->CGFlip("b01", 0, 0);
    mDriver->AddChoiceItem("海へ行く", "*sea");
    mDriver->ChoiceArrange();
    mDriver->ChoiceVisible(true);
    mDriver->DrawActivate(0, 0);
    Settle();
    const std::vector<std::uint8_t> before = Snapshot();
    INISection status;
    mDriver->SaveStatus(status);
    EXPECT_EQ(status.KeyValue("BaseFilmSet"), "2");
    EXPECT_EQ(status.KeyValue("BGName"), "bg_beach");
    EXPECT_EQ(status.KeyValue("CH1"), "st_a01_normal,320,240,-1,-1,0,0,256,0");
    EXPECT_EQ(status.KeyValue("CH2"), "");
    EXPECT_EQ(status.KeyValue("choice0"), "海へ行く,*sea");
    EXPECT_EQ(status.KeyValue("ChoiceVisible"), "True");
    EXPECT_EQ(status.KeyValue("WindowNameFlip"), "1");

    mDriver->BaseFilmSet(1);
    mDriver->BGFill(0, 0);
    mDriver->DrawActivate(0, 0);
    Settle();
    ASSERT_NE(Snapshot(), before);

    mDriver->LoadStatus(status);
    mDriver->TextVisible(true);
    mDriver->DrawActivate(0, 0);
    Settle();
    EXPECT_TRUE(Snapshot() == before) << "the restored screen differs";
    EXPECT_EQ(mDriver->FindChar("b01", false), 0);
    EXPECT_EQ(mDriver->FindChar("a01", false), 1);
}

// A change made just before a shot must be on the screen when the wait
// returns, whichever point of the engine's frame it fell on.
TEST_F(LumoSceneTest, WaitingOnTheScreenShowsTheLastChangePresented) {
    BuildWindowScene();
    // A point of the window's back that no text or frame covers.
    const int x = 600, y = 440;
    mDriver->WndAlpha(0);
    mDriver->WaitOnScreen();
    const std::array<int, 3> clear = Pixel(x, y);
    mDriver->WndAlpha(256);
    mDriver->WaitOnScreen();
    const std::array<int, 3> opaque = Pixel(x, y);
    ASSERT_NE(clear, opaque);
    for (int i = 0; i < 40; ++i) {
        const bool shown = i % 2 == 0;
        mDriver->WndAlpha(shown ? 256 : 0);
        mDriver->WaitOnScreen();
        ASSERT_EQ(Pixel(x, y), shown ? opaque : clear) << "change " << i;
        // Land the next change on another point of the frame.
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 5));
    }
}

// A movie draws into the same screen; waiting must not paint the scene over it.
TEST_F(LumoSceneTest, WaitingOnTheScreenLeavesWhatAnotherPainterDrew) {
    BuildWindowScene();
    {
        std::lock_guard lock(mScreen.Mutex());
        std::memset(mScreen.Pixels(), 0x5A, static_cast<size_t>(mScreen.Stride()) * 480);
    }
    for (int i = 0; i < 3; ++i)
        mDriver->WaitOnScreen();
    EXPECT_EQ(Pixel(320, 100), (std::array<int, 3>{0x5A, 0x5A, 0x5A}));
    EXPECT_EQ(Pixel(600, 440), (std::array<int, 3>{0x5A, 0x5A, 0x5A}));
}

}  // namespace
}  // namespace zelk
