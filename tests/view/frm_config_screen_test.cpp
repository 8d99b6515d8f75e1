// The dialog as drawn: frames of a real ImGui host over an SDL dummy window,
// keys and clicks through the host as the game view would pass them, and
// pictures of every tab.
#define IMGUI_DEFINE_MATH_OPERATORS
#include <SDL_image.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cstdlib>
#include <filesystem>

#include "platform/imgui_host.h"
#include "platform/window_picture.h"
#include "view/frm_config_fixture.h"
#include "view/frm_config_font_preview.h"

namespace zelk {
namespace {

using testing::FrmConfigScreenTest;

// Where the tab pictures go: ZELK_TEST_PICTURES when set (to look at them),
// else the test's temporary folder.
std::string PictureFolder() {
    if (const char* folder = std::getenv("ZELK_TEST_PICTURES")) return folder;
    return ::testing::TempDir();
}

// The number of distinct colours in a rectangle of a picture.
int DistinctColours(const std::string& path, int x0, int y0, int x1, int y1) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) return 0;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (!rgb) return 0;
    std::vector<std::uint32_t> seen;
    for (int y = y0; y < y1 && y < rgb->h; ++y) {
        for (int x = x0; x < x1 && x < rgb->w; ++x) {
            const auto* p = static_cast<const unsigned char*>(rgb->pixels) + y * rgb->pitch + x * 3;
            const std::uint32_t colour = (p[0] << 16) | (p[1] << 8) | p[2];
            if (std::find(seen.begin(), seen.end(), colour) == seen.end()) seen.push_back(colour);
        }
    }
    SDL_FreeSurface(rgb);
    return static_cast<int>(seen.size());
}

class FrmConfigDrawTest : public FrmConfigScreenTest {
protected:
    // Runs one frame and reads ImGui's state inside it.
    template <typename Read>
    void Inspect(Read read) {
        SDL_RenderClear(renderer);
        host->Frame([&] {
            dialog->Draw();
            read(*GImGui);
        });
    }

    unsigned int NavId() {
        unsigned int id = 0;
        Inspect([&](ImGuiContext& g) { id = g.NavId; });
        return id;
    }

    bool PopupOpen() {
        bool open = false;
        Inspect(
            [&](ImGuiContext&) { open = ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId); });
        return open;
    }

    // The ImGui id of the chosen tab's header.
    unsigned int StripStop() {
        unsigned int id = 0;
        Inspect([&](ImGuiContext& g) {
            ImGuiTabBar* bar = g.TabBars.GetByIndex(0);
            id = bar->SelectedTabId;
        });
        return id;
    }

    void Tabs(int count) {
        for (int i = 0; i < count; ++i)
            Key(SDLK_TAB);
    }
};

// [SECTION] Opening, tabs and closing

TEST_F(FrmConfigDrawTest, DrawAnswersTrueUntilTheDialogIsClosed) {
    Start();
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(Frame());
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_FALSE(Frame());
    EXPECT_EQ(Cmd("get chkSys(0)"), "dialog not open");
}

TEST_F(FrmConfigDrawTest, SetViewShowsThatTabAndTheReaderChoosesAnother) {
    Start();
    dialog->SetView("char");
    Frames(3);
    EXPECT_EQ(dialog->SelectedTab(), "char");
    dialog->SetView("nonsense");
    Frames(2);
    EXPECT_EQ(dialog->SelectedTab(), "char");
    // The arrows move along the tab strip, Space takes a tab.
    while (NavId() != StripStop())
        Key(SDLK_TAB);
    Key(SDLK_LEFT);
    Key(SDLK_LEFT);
    Key(SDLK_SPACE);
    Frames(2);
    EXPECT_EQ(dialog->SelectedTab(), "screen");
    EXPECT_EQ(Get("tbsView"), "screen");
}

TEST_F(FrmConfigDrawTest, TheKeyboardNavigationFlagIsGivenBack) {
    Start();
    Frames(2);
    Inspect([](ImGuiContext& g) {
        EXPECT_NE(g.IO.ConfigFlags & ImGuiConfigFlags_NavEnableKeyboard, 0);
    });
    ASSERT_EQ(Cmd("cancel"), "");
    Inspect([](ImGuiContext& g) {
        EXPECT_EQ(g.IO.ConfigFlags & ImGuiConfigFlags_NavEnableKeyboard, 0);
    });
}

// [SECTION] Keyboard

TEST_F(FrmConfigDrawTest, EscapeCancelsAndEnterSaves) {
    Start();
    Frames(2);
    ASSERT_EQ(Cmd("set sldSndVolume(0) 1"), "");
    Key(SDLK_ESCAPE);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);

    dialog->LoadData();
    Frames(2);
    ASSERT_EQ(Cmd("set chkSys(13) 1"), "");
    Key(SDLK_RETURN);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(UserSection().KeyValue("DXFullScreen"), "True");
}

TEST_F(FrmConfigDrawTest, TabWalksTheControlsAndTheArrowsMoveAFocusedSlider) {
    Start();
    dialog->SetView("sound");
    Frames(3);
    // The tab strip first, then the music slider.
    Tabs(1);
    const unsigned int slider = NavId();
    ASSERT_NE(slider, 0u);
    Key(SDLK_RIGHT);
    Key(SDLK_RIGHT);
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 202);
    EXPECT_EQ(NavId(), slider);
    Key(SDLK_LEFT);
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 201);
    Key(SDLK_PAGEDOWN);
    EXPECT_EQ(Get("sldSndVolume(0)"), "185");
    // The next stop is its mute box; Space ticks it, previewed at once.
    Key(SDLK_TAB);
    EXPECT_NE(NavId(), slider);
    Key(SDLK_SPACE);
    EXPECT_TRUE(cfg->BoolVal("BGMMute"));
    // Shift+Tab goes back to the slider.
    Key(SDLK_TAB, KMOD_LSHIFT);
    EXPECT_EQ(NavId(), slider);
}

TEST_F(FrmConfigDrawTest, EnterOnTheFocusedCancelButtonCancels) {
    Start();
    Frames(2);
    ASSERT_EQ(Cmd("set sldGrpAlpha(0) 1"), "");
    unsigned int cancel = 0;
    Inspect(
        [&](ImGuiContext&) { cancel = ImGui::FindWindowByName("詳細設定")->GetID("キャンセル"); });
    // The dialog opens with the focus on the tab strip, the first stop;
    // backwards the order wraps round to its last.
    Key(SDLK_TAB, KMOD_LSHIFT);
    ASSERT_EQ(NavId(), cancel);
    Key(SDLK_RETURN);
    Frames(2);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(cfg->LongVal("WndAlpha"), 208);
}

TEST_F(FrmConfigDrawTest, TheColourBoxOpensTheChooserWhoseCancelKeepsTheColour) {
    WriteUserFile("[Config]\r\nChar:0=True,&h0000FF\r\n");
    Start();
    dialog->SetView("char");
    Frames(3);
    // The strip, the list, then the colour box (the voice box is closed
    // for a female character).
    Tabs(2);
    Key(SDLK_RETURN);
    Frames(2);
    ASSERT_TRUE(dialog->IsOpen());
    ASSERT_TRUE(PopupOpen());
    const std::string picture = PictureFolder() + "/frm_config_chooser.png";
    ASSERT_TRUE(SaveWindowPicture(renderer, picture));
    Key(SDLK_ESCAPE);
    EXPECT_FALSE(PopupOpen());
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_EQ(Get("picChColor"), "&hFF0000");
    // Once more, and OK takes the chooser's colour: unchanged red.
    Key(SDLK_RETURN);
    Frames(2);
    ASSERT_TRUE(PopupOpen());
    Key(SDLK_RETURN);
    EXPECT_FALSE(PopupOpen());
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_EQ(Get("picChColor"), "&hFF0000");
}

TEST_F(FrmConfigDrawTest, ASmallWindowKeepsTheWholeDialogInside) {
    SDL_SetWindowSize(window, 400, 300);
    Start();
    Frames(3);
    Inspect([&](ImGuiContext&) {
        ImGuiWindow* dialogWindow = ImGui::FindWindowByName("詳細設定");
        ASSERT_NE(dialogWindow, nullptr);
        EXPECT_LE(dialogWindow->Size.x, 400.0f);
        EXPECT_LE(dialogWindow->Size.y, 300.0f);
        EXPECT_GE(dialogWindow->Pos.x, 0.0f);
        EXPECT_GE(dialogWindow->Pos.y, 0.0f);
    });
    ASSERT_TRUE(SaveWindowPicture(renderer, PictureFolder() + "/frm_config_small.png"));
    // Still usable: Enter saves.
    Key(SDLK_RETURN);
    EXPECT_FALSE(dialog->IsOpen());
}

TEST(FontPreview, WindowsFaceNamesAskForTheInstalledJapaneseFaces) {
    EXPECT_EQ(FacePattern("ＭＳ ゴシック"), "IPAGothic:lang=ja");
    EXPECT_EQ(FacePattern("ＭＳ Ｐ明朝"), "IPAPMincho:lang=ja");
    EXPECT_EQ(FacePattern("IPAGothic"), "IPAGothic:lang=ja");
    // fontconfig's own separators are escaped.
    EXPECT_EQ(FacePattern("A-B:C"), "A\\-B\\:C:lang=ja");
}

// A UTF-8 game's sample is of its language, asked of the face by the
// language alone; a tag that names none asks for no coverage.
TEST(FontPreview, TheSampleAndCoverageFollowTheGamesLanguage) {
    EXPECT_EQ(FacePattern("Noto Sans", "ar-EG"), "Noto Sans:lang=ar");
    EXPECT_EQ(FacePattern("Noto Sans", "zh-Hant"), "Noto Sans:lang=zh");
    for (const char* none : {"", "x", "1234", "日本語", "en:lang=ja"})
        EXPECT_EQ(FacePattern("Noto Sans", none), "Noto Sans") << none;
    EXPECT_EQ(std::string(FaceSample("ja")), "あいうアイウ漢字 Aa1");
    EXPECT_NE(std::string(FaceSample("AR")).find("ب"), std::string::npos);
    EXPECT_EQ(std::string(FaceSample("fr")), FaceSample(""));
}

// A letter the chosen face lacks comes from the face the story would take
// it from; one no font holds finds none.
TEST(FontPreview, ALetterTheFaceLacksComesFromAFaceThatHoldsIt) {
    const std::string latin = FindFontFile("Noto Sans");
    const std::string arabic = FindFontFileFor("Noto Sans:lang=ar", U'ب');
    if (latin.empty() || arabic.empty()) GTEST_SKIP() << "needs Noto Sans and an Arabic font";
    EXPECT_NE(arabic, latin);
    EXPECT_EQ(FindFontFileFor("Noto Sans:lang=ar", U'A'), latin);
    EXPECT_EQ(FindFontFileFor("Noto Sans", 0x10FFFD), "") << "a private character";
}

TEST_F(FrmConfigDrawTest, TheFaceSampleIsSetInTheChosenFace) {
    FontPreview preview(renderer);
    host->Frame([&] {
        ImGui::Begin("sample");
        preview.Draw("ＭＳ ゴシック", 24.0f);
        ImGui::End();
    });
    EXPECT_FALSE(preview.FontFile().empty());
    EXPECT_TRUE(preview.HasPicture());
    // Without a renderer the sample falls back to the dialog's face.
    FontPreview plain(nullptr);
    host->Frame([&] {
        ImGui::Begin("sample");
        plain.Draw("ＭＳ ゴシック", 24.0f);
        ImGui::End();
    });
    EXPECT_FALSE(plain.HasPicture());
}

// [SECTION] Pictures

TEST_F(FrmConfigDrawTest, EveryTabDrawsAPicture) {
    Start();
    Frames(2);
    for (int tab = 0; tab < frmConfig::kTabCount; ++tab) {
        dialog->SetView(frmConfig::TabKey(tab));
        Frames(3);
        ASSERT_EQ(dialog->SelectedTab(), frmConfig::TabKey(tab));
        const std::string path = PictureFolder() + "/frm_config_" + frmConfig::TabKey(tab) + ".png";
        ASSERT_TRUE(SaveWindowPicture(renderer, path));
        // The dialog covers the middle of the game picture with text and
        // controls: far more than the background's one colour.
        EXPECT_GT(DistinctColours(path, 40, 60, 600, 420), 20) << path;
        // The game picture shows around it.
        EXPECT_EQ(DistinctColours(path, 0, 0, 8, 8), 1) << path;
    }
    ASSERT_EQ(Cmd("ok"), "");
}

}  // namespace
}  // namespace zelk
