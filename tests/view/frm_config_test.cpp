#include "view/frm_config.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "view/frm_config_color.h"
#include "view/frm_config_fixture.h"

namespace zelk {
namespace {

using testing::FrmConfigTest;
using testing::kDialogKeys;

bool Raised(const std::vector<std::string>& events, const std::string& key) {
    return std::find(events.begin(), events.end(), key) != events.end();
}

// [SECTION] Loading

TEST_F(FrmConfigTest, LoadingShowsTheConfigurationInEveryTab) {
    WriteUserFile(
        "[Config]\r\nQuerySave=False\r\nDXFullScreen=True\r\nStartScreenMode=2\r\n"
        "AutoModeWait=400\r\nWndAlpha=12\r\nBGMMute=True\r\nMaleVoice=False\r\n");
    Start();
    const ConfigControls& c = dialog->Controls();
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_EQ(c.chkSys[11], 0);  // QuerySave
    EXPECT_EQ(c.chkSys[10], 1);  // QueryLoad: the default
    EXPECT_EQ(c.chkSys[13], 1);  // DXFullScreen
    EXPECT_EQ(dialog->StartScreenMode(), 2);
    EXPECT_FALSE(c.ScreenCenterEnabled());
    EXPECT_EQ(c.optGrpAuto, 0);
    EXPECT_EQ(dialog->AutoModeWait(), 400);
    EXPECT_EQ(c.sldGrpAlpha[0], 12);
    EXPECT_EQ(c.chkSndMute[0], 1);
    EXPECT_EQ(c.chkChMaleVoice, 0);
    EXPECT_EQ(dialog->SelectedTab(), "system");
    // Loading writes nothing and raises nothing.
    EXPECT_TRUE(events.empty());
}

TEST_F(FrmConfigTest, AutoModeWaitWithoutAButtonOfItsTagChoosesNormal) {
    WriteUserFile("[Config]\r\nAutoModeWait=1000\r\n");
    Start();
    EXPECT_EQ(Get("optGrpAuto(2)"), "1");
    EXPECT_EQ(dialog->AutoModeWait(), 1800);
    dialog->AutoModeWait(3200);
    EXPECT_EQ(Get("optGrpAuto(4)"), "1");
    EXPECT_EQ(Get("optGrpAuto(2)"), "0");
    dialog->AutoModeWait(-5);
    EXPECT_EQ(Get("optGrpAuto(2)"), "1");
}

TEST_F(FrmConfigTest, StartScreenModeOutsideTheButtonsChoosesTheFirst) {
    WriteUserFile("[Config]\r\nStartScreenMode=7\r\n");
    Start();
    EXPECT_EQ(dialog->StartScreenMode(), 0);
    dialog->StartScreenMode(1);
    EXPECT_TRUE(dialog->Controls().ScreenCenterEnabled());
    dialog->StartScreenMode(-1);
    EXPECT_EQ(dialog->StartScreenMode(), 0);
}

// [SECTION] The character list

TEST_F(FrmConfigTest, TheCharacterListShowsNamesAndErrorForABrokenEntry) {
    Start();
    EXPECT_EQ(Get("lstChList.ListCount"), "4");
    EXPECT_EQ(Get("lstChList(0)"), "灯里");
    EXPECT_EQ(Get("lstChList(1)"), "湊");  // trimmed
    EXPECT_EQ(Get("lstChList(2)"), "error");
    EXPECT_EQ(Get("lstChList(3)"), "千鶴の母");
    // The first character is selected after loading.
    EXPECT_EQ(Get("lstChList"), "0");
}

TEST_F(FrmConfigTest, OnlyAMaleCharacterOpensTheVoiceBox) {
    Start();
    // 灯里: female, voice on: shown but disabled.
    EXPECT_EQ(Get("chkChVoiceEnabled"), "1");
    EXPECT_EQ(Get("chkChVoiceEnabled.Enabled"), "0");
    EXPECT_EQ(Get("picChColor.Enabled"), "1");
    EXPECT_EQ(Cmd("set chkChVoiceEnabled 0"), "control disabled chkChVoiceEnabled");
    // 千鶴の母: female with the voice off.
    ASSERT_EQ(Cmd("set lstChList 3"), "");
    EXPECT_EQ(Get("chkChVoiceEnabled"), "0");
    EXPECT_EQ(Get("chkChVoiceEnabled.Enabled"), "0");
    // 湊: male ("TRUE" in any case and with blanks).
    ASSERT_EQ(Cmd("set lstChList 1"), "");
    EXPECT_EQ(Get("chkChVoiceEnabled.Enabled"), "1");
    ASSERT_EQ(Cmd("set chkChVoiceEnabled 0"), "");
    EXPECT_EQ(Get("chkChVoiceEnabled"), "0");
    // The voice flag belongs to the character, not to the box.
    ASSERT_EQ(Cmd("set lstChList 0"), "");
    EXPECT_EQ(Get("chkChVoiceEnabled"), "1");
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(UserSection().KeyValue("Char:1").substr(0, 6), "False,");
}

TEST_F(FrmConfigTest, WithoutCharactersTheCharacterFrameIsDisabled) {
    system.KeySection("CharConfig").KeyValue("ListCount", "0");
    Start();
    EXPECT_EQ(Get("lstChList"), "-1");
    EXPECT_EQ(Get("picChColor.Enabled"), "0");
    EXPECT_EQ(Get("chkChVoiceEnabled.Enabled"), "0");
    EXPECT_EQ(Cmd("set picChColor &h123456"), "control disabled picChColor");
}

// [SECTION] Colours

TEST_F(FrmConfigTest, ColoursSwapRedAndBlueToTwentyFourBits) {
    EXPECT_EQ(SwapRedBlue(0x0000FF), 0xFF0000u);
    EXPECT_EQ(SwapRedBlue(0x123456), 0x563412u);
    EXPECT_EQ(SwapRedBlue(0xFF123456), 0x563412u);
    EXPECT_EQ(SwapRedBlue(-1), 0xFFFFFFu);
}

TEST_F(FrmConfigTest, TheColourBoxShowsTheTrueColourAndOkKeepsIt) {
    // Stored in the system order: &h0000FF is red.
    WriteUserFile("[Config]\r\nChar:0=True,&h0000FF\r\nChar:1=True,&hFF00FF0F\r\n");
    Start();
    EXPECT_EQ(Get("picChColor"), "&hFF0000");
    ASSERT_EQ(Cmd("set lstChList 1"), "");
    // A stray high byte is cut off.
    EXPECT_EQ(Get("picChColor"), "&h0FFF00");
    // Several OKs in a row never turn red into blue.
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(Cmd("ok"), "");
        dialog->LoadData();
        EXPECT_EQ(Get("picChColor"), "&hFF0000") << round;
    }
    EXPECT_EQ(cfg->CharColor(0), 0x0000FF);
}

TEST_F(FrmConfigTest, AChosenColourIsStoredInTheSystemOrder) {
    Start();
    ASSERT_EQ(Cmd("set lstChList 3"), "");
    ASSERT_EQ(Cmd("set picChColor &h123456"), "");
    EXPECT_EQ(Get("picChColor"), "&h123456");
    EXPECT_EQ(Cmd("set picChColor blue"), "bad value blue for picChColor");
    ASSERT_EQ(Cmd("ok"), "");
    // Voice off is kept; the number is the system order.
    EXPECT_EQ(UserSection().KeyValue("Char:3"), "False," + std::to_string(0x563412));
    EXPECT_EQ(cfg->CharColor(3), 0x563412);
}

TEST_F(FrmConfigTest, CustomColoursReadAndWriteAsText) {
    Start();
    const std::string text = cfg->StringVal("CustomColor");
    EXPECT_EQ(dialog->CustomColorText(), text);
    // Kept swapped against the text: &hFFC4FF and &hF2C46D.
    EXPECT_EQ(dialog->CustomColorPointer()[1], 0xFFC4FFu);
    EXPECT_EQ(dialog->CustomColorPointer()[4], 0x6DC4F2u);

    dialog->CustomColorText("&h1,&h2");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "カスタムカラー設定が不正です。");
    for (std::uint32_t color : dialog->CustomColorPointer())
        EXPECT_EQ(color, 0u);
    EXPECT_EQ(Get("CustomColorText").substr(0, 17), "&h000000,&h000000");

    // "作成した色を初期化" takes the defaults back, whatever the reader's file says.
    ASSERT_EQ(Cmd("set cmdInitColor 1"), "");
    EXPECT_EQ(dialog->CustomColorText(), text);
}

TEST_F(FrmConfigTest, TheChooserFillsTheCustomColoursInTurn) {
    std::array<std::uint32_t, 16> custom{};
    custom[3] = 0x563412;  // system order
    ColorChooser chooser;
    chooser.PickCustomColor(3, custom);
    EXPECT_EQ(chooser.Color(), 0x123456u);
    EXPECT_EQ(chooser.Slot(), 3);
    chooser.Color(0xFF8000);
    chooser.AddCustomColor(custom);
    EXPECT_EQ(custom[3], 0x0080FFu);
    EXPECT_EQ(chooser.Slot(), 4);
    chooser.PickCustomColor(15, custom);
    chooser.AddCustomColor(custom);
    EXPECT_EQ(chooser.Slot(), 0);
    // Every byte survives the picker's floating-point colour.
    for (std::uint32_t value : {0x000000u, 0x010203u, 0x7F807Fu, 0xFEFFFDu}) {
        chooser.Color(value);
        EXPECT_EQ(chooser.Color(), value);
    }
}

// [SECTION] Live preview and its undo

TEST_F(FrmConfigTest, TheMusicSliderPreviewsAndCancelRestoresIt) {
    Start();
    ASSERT_EQ(Cmd("tab sound"), "");
    ASSERT_EQ(Cmd("set sldSndVolume(0) 120"), "");
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 120);
    EXPECT_EQ(events, std::vector<std::string>{"BGMVolume"});
    ASSERT_EQ(Cmd("set sldSndVolume(1) 10"), "");
    ASSERT_EQ(Cmd("set chkSndMute(0) 1"), "");
    ASSERT_EQ(Cmd("set chkSndMute(1) 1"), "");
    ASSERT_EQ(Cmd("set sldGrpAlpha(0) 5"), "");
    ASSERT_EQ(Cmd("set sldGrpAlpha(1) 6"), "");
    EXPECT_EQ(cfg->LongVal("SEVolume"), 10);
    EXPECT_TRUE(cfg->BoolVal("BGMMute"));
    EXPECT_TRUE(cfg->BoolVal("SEMute"));
    EXPECT_EQ(cfg->LongVal("WndAlpha"), 5);
    EXPECT_EQ(cfg->LongVal("NovelAlpha"), 6);

    events.clear();
    ASSERT_EQ(Cmd("cancel"), "");
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);
    EXPECT_EQ(cfg->LongVal("SEVolume"), 220);
    EXPECT_FALSE(cfg->BoolVal("BGMMute"));
    EXPECT_FALSE(cfg->BoolVal("SEMute"));
    EXPECT_EQ(cfg->LongVal("WndAlpha"), 208);
    EXPECT_EQ(cfg->LongVal("NovelAlpha"), 176);
    // The restore is announced, so the game hears the old volume again.
    for (const char* key : {"BGMVolume", "SEVolume", "BGMMute", "SEMute", "WndAlpha", "NovelAlpha"})
        EXPECT_TRUE(Raised(events, key)) << key;
}

TEST_F(FrmConfigTest, TheVoiceControlsWaitForOk) {
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(2) 30"), "");
    ASSERT_EQ(Cmd("set chkSndMute(2) 1"), "");
    EXPECT_EQ(cfg->LongVal("CVVolume"), 255);
    EXPECT_FALSE(cfg->BoolVal("CVMute"));
    EXPECT_TRUE(events.empty());
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(cfg->LongVal("CVVolume"), 30);
    EXPECT_TRUE(cfg->BoolVal("CVMute"));
    EXPECT_TRUE(Raised(events, "CVVolume"));
}

TEST_F(FrmConfigTest, ClosingFromTheTitleBarRestoresLikeCancel) {
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(0) 0"), "");
    ASSERT_EQ(Cmd("set chkSys(12) 0"), "");
    ASSERT_EQ(Cmd("close"), "");
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);
    // Nothing but the preview was ever written.
    EXPECT_TRUE(cfg->BoolVal("TextShadow"));
}

TEST_F(FrmConfigTest, UnloadingTheDialogOtherwiseKeepsThePreview) {
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(0) 99"), "");
    dialog.reset();
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 99);
}

TEST_F(FrmConfigTest, ResetOnTheSoundTabThenCancelLeavesTheConfigurationUnchanged) {
    WriteUserFile(
        "[Config]\r\nBGMVolume=10\r\nSEVolume=20\r\nCVVolume=30\r\nBGMMute=True\r\n"
        "CVPan=True\r\n");
    Start();
    const std::string before = cfg->StringVal("BGMVolume") + cfg->StringVal("SEVolume") +
                               cfg->StringVal("CVVolume") + cfg->StringVal("BGMMute") +
                               cfg->StringVal("CVPan");
    ASSERT_EQ(Cmd("tab sound"), "");
    ASSERT_EQ(Cmd("set cmdInit 1"), "");
    // The controls show the defaults and the preview plays them.
    EXPECT_EQ(Get("sldSndVolume(0)"), "200");
    EXPECT_EQ(Get("sldSndVolume(2)"), "255");
    EXPECT_EQ(Get("chkSndPan"), "0");
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);
    EXPECT_FALSE(cfg->DefaultMode());
    ASSERT_EQ(Cmd("cancel"), "");
    const std::string after = cfg->StringVal("BGMVolume") + cfg->StringVal("SEVolume") +
                              cfg->StringVal("CVVolume") + cfg->StringVal("BGMMute") +
                              cfg->StringVal("CVPan");
    EXPECT_EQ(after, before);
}

TEST_F(FrmConfigTest, ResetThenOkWritesTheDefaultsOfThatTabOnly) {
    WriteUserFile("[Config]\r\nQuerySave=False\r\nWndAlpha=3\r\nFont=IPAMincho\r\n");
    Start();
    ASSERT_EQ(Cmd("set cmdInit(1) 1"), "");
    EXPECT_EQ(Get("sldGrpAlpha(0)"), "208");
    EXPECT_EQ(Get("chkSys(11)"), "0");  // the system tab keeps its value
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(cfg->LongVal("WndAlpha"), 208);
    EXPECT_FALSE(cfg->BoolVal("QuerySave"));
    EXPECT_EQ(cfg->StringVal("Font"), "ＭＳ ゴシック");
}

TEST_F(FrmConfigTest, CancelCannotBlankAKeyTheReadersFileLacked) {
    WriteUserFile("[Config]\r\nTextSpeed=2\r\n");
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(0) 50"), "");
    ASSERT_EQ(Cmd("cancel"), "");
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);
    EXPECT_EQ(cfg->StringVal("BGMVolume"), "200");
}

// [SECTION] Saving

TEST_F(FrmConfigTest, OkWritesEveryKeyOfTheTableToTheFile) {
    WriteUserFile("[Config]\r\nTextSpeed=4\r\n");
    Start();
    ASSERT_EQ(Cmd("ok"), "");
    const INISection section = UserSection();
    for (const std::string& key : kDialogKeys)
        EXPECT_TRUE(section.KeyExists(key)) << key;
    EXPECT_EQ(section.KeyValue("TextSpeed"), "4");
    EXPECT_EQ(section.KeyValue("Char:3"), "False,&h0000FF");
}

TEST_F(FrmConfigTest, OkWithoutChangesWritesTheFileBackByteForByte) {
    // The file the configuration creates from the defaults, and one with
    // spellings of its own that read the same.
    const std::string defaults = "[Config]\r\n" + system.KeySection("Config").Text();
    std::string own = ReplaceText(defaults, "BGMMute=False", "BGMMute=false");
    own = ReplaceText(own, "WndAlpha=208", "WndAlpha=&hD0");
    own = ReplaceText(own, "Char:0=True,&hFFC4FF", "Char:0=true,16761087");
    for (const std::string& text : {std::string(), own}) {
        SCOPED_TRACE(text.substr(0, 40));
        dialog.reset();
        cfg.reset();
        std::remove(UserPath().c_str());
        if (!text.empty()) WriteUserFile(text);
        Start();
        const std::string before = UserFileBytes();
        ASSERT_FALSE(before.empty());
        ASSERT_EQ(Cmd("ok"), "");
        EXPECT_EQ(UserFileBytes(), before);
        EXPECT_TRUE(events.empty());
    }
}

TEST_F(FrmConfigTest, OkWritesWhatTheControlsShow) {
    Start();
    ASSERT_EQ(Cmd("set chkSys(0) 0"), "");
    ASSERT_EQ(Cmd("set optSysScreen(0) 1"), "");
    ASSERT_EQ(Cmd("set optGrpAuto(3) 1"), "");
    ASSERT_EQ(Cmd("set sldSndVolume(2) 7"), "");
    ASSERT_EQ(Cmd("set chkChOriginalColor 0"), "");
    ASSERT_EQ(Cmd("set cmbGrpFont 0"), "");
    const std::string face = Get("cmbGrpFont(0)");
    ASSERT_EQ(Cmd("ok"), "");
    const INISection section = UserSection();
    EXPECT_EQ(section.KeyValue("QueryExit"), "False");
    EXPECT_EQ(section.KeyValue("StartScreenMode"), "0");
    EXPECT_EQ(section.KeyValue("AutoModeWait"), "2500");
    EXPECT_EQ(section.KeyValue("CVVolume"), "7");
    EXPECT_EQ(section.KeyValue("OriginalTextColor"), "False");
    EXPECT_EQ(section.KeyValue("Font"), face);
    EXPECT_FALSE(dialog->IsOpen());
}

TEST_F(FrmConfigTest, AFaceThatIsNotInstalledSurvivesOk) {
    WriteUserFile("[Config]\r\nFont=どこにもない書体\r\n");
    Start();
    EXPECT_EQ(Get("cmbGrpFont"), "-1");
    EXPECT_EQ(Get("lblGrpFont"), "どこにもない書体");
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(UserSection().KeyValue("Font"), "どこにもない書体");
}

TEST_F(FrmConfigTest, TheFaceListIsTheConfigurationsFonts) {
    Start();
    ASSERT_EQ(Get("cmbGrpFont.ListCount"), std::to_string(cfg->FontCount()));
    for (long i = 0; i < cfg->FontCount(); ++i)
        EXPECT_EQ(Get("cmbGrpFont(" + std::to_string(i) + ")"), cfg->FontName(i));
}

// [SECTION] The language of the player's own texts

TEST_F(FrmConfigTest, TheLanguageChoiceIsStoredOnlyWhenChosen) {
    WriteUserFile("[Config]\r\nQueryExit=True\r\n");
    Start();
    EXPECT_EQ(Get("cmbSysLanguage"), "0");
    EXPECT_EQ(Get("cmbSysLanguage.ListCount"), "3");
    EXPECT_EQ(Cmd("set cmbSysLanguage 3"), "bad value 3 for cmbSysLanguage");
    EXPECT_EQ(Cmd("set cmbSysLanguage -1"), "bad value -1 for cmbSysLanguage");
    EXPECT_EQ(Cmd("set cmbSysLanguage(0) 1"), "unknown control cmbSysLanguage(0)");
    // Untouched, a reader's file from before the choice gains no key.
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_FALSE(UserSection().KeyExists("Language"));
    EXPECT_FALSE(Raised(events, "Language"));

    Start();
    ASSERT_EQ(Cmd("set cmbSysLanguage 2"), "");
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(UserSection().KeyValue("Language"), "en");
    // Its change event is what shows the language at once.
    EXPECT_TRUE(Raised(events, "Language"));
}

TEST_F(FrmConfigTest, TheStoredLanguageIsShownAndResetToTheDesktops) {
    WriteUserFile("[Config]\r\nLanguage=JA\r\n");
    Start();
    EXPECT_EQ(Get("cmbSysLanguage"), "1");
    ASSERT_EQ(Cmd("set cmdInit(0) 1"), "");
    EXPECT_EQ(Get("cmbSysLanguage"), "0");
    ASSERT_EQ(Cmd("ok"), "");
    EXPECT_EQ(UserSection().KeyValue("Language"), "auto");

    // A value the player does not know reads as the desktop's.
    WriteUserFile("[Config]\r\nLanguage=tlh\r\n");
    Start();
    EXPECT_EQ(Get("cmbSysLanguage"), "0");
}

}  // namespace
}  // namespace zelk
