#include "modes/mode_saveload.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "modes/mode_saveload_fixture.h"

namespace zelk::testing {
namespace {

using Mode = clsModeSaveLoad;

// [SECTION] Opening the screen -----------------------------------------------

TEST_F(SaveLoadModeTest, FromTheGameEverySlotOfAnOrdinaryPageOffersSaving) {
    Mode& mode = Open(Mode::kFromGame);
    EXPECT_TRUE(mode.FromGame());
    ASSERT_EQ(mode.Slots().size(), 6u);
    ASSERT_EQ(mode.PageButtons().size(), 5u);
    EXPECT_EQ(mode.CurrentPage(), 1);
    for (long i = 0; i < 6; ++i) {
        EXPECT_TRUE(SaveButton(i).Enabled) << i;
        EXPECT_EQ(CellOf(SaveButton(i)), Mode::kCellNormal) << i;
        // No slot file yet: nothing to load, no picture, no text.
        EXPECT_FALSE(LoadButton(i).Enabled) << i;
        EXPECT_EQ(CellOf(LoadButton(i)), Mode::kCellDisabled) << i;
        EXPECT_EQ(ThumbAlpha(mode.Slots()[i]), 0) << i;
        EXPECT_EQ(mode.Slots()[i].shownText, "") << i;
        EXPECT_EQ(mode.Slots()[i].name, "sd01-0" + std::to_string(i));
    }
    // The menus that would leave or save from under the screen are off.
    for (const char* tag : {"file!saveload", "file!qsave", "file!qload", "file!title",
                            "message!skip", "message!auto", "message!log"}) {
        EXPECT_FALSE(root.view->MenuItem(tag)->Enabled) << tag;
    }
}

TEST_F(SaveLoadModeTest, SlotsAreNumberedDownEachColumnOfTheGrid) {
    Open(Mode::kFromGame);
    // Slots at (14 + c * 312, 64 + r * 122); the save button 146, 78 inside.
    const long expected[6][2] = {{14, 64}, {14, 186}, {14, 308}, {326, 64}, {326, 186}, {326, 308}};
    for (long i = 0; i < 6; ++i) {
        EXPECT_EQ(BaseOf(i).x1, expected[i][0]) << i;
        EXPECT_EQ(BaseOf(i).y1, expected[i][1]) << i;
        EXPECT_EQ(SaveButton(i).x1, expected[i][0] + 146) << i;
        EXPECT_EQ(SaveButton(i).y1, expected[i][1] + 78) << i;
        // One cell of the button picture, not the whole strip.
        EXPECT_EQ(SaveButton(i).y2 - SaveButton(i).y1, 24) << i;
    }
    EXPECT_EQ(BaseOf(3).x1, 326);
    EXPECT_EQ(BaseOf(3).y1, 64);
}

TEST_F(SaveLoadModeTest, TheLastPageSavedIsOpenedAndABadOneOpensPageOne) {
    for (const auto& [stored, shown] :
         {std::pair{3L, 3L}, {0L, 1L}, {6L, 1L}, {-2L, 1L}, {5L, 5L}}) {
        root.cfg->LongVal("LastSaveLoadPage", stored);
        Mode& mode = Open(Mode::kFromGame);
        EXPECT_EQ(mode.CurrentPage(), shown) << stored;
        for (long i = 0; i < 5; ++i) {
            const bool current = i == shown - 1;
            EXPECT_EQ(PageButton(i).Enabled, !current) << stored << " " << i;
            EXPECT_EQ(CellOf(PageButton(i)), current ? 3 : 0) << stored << " " << i;
        }
        root.ChangeMode(0, 0);
    }
}

TEST_F(SaveLoadModeTest, TheLastPageLoadsButNeverSaves) {
    WriteSlot("sd05-00", "２６／１２／０８", "港");
    root.cfg->LongVal("LastSaveLoadPage", 5);
    Open(Mode::kFromGame);
    for (long i = 0; i < 6; ++i) {
        EXPECT_FALSE(SaveButton(i).Enabled) << i;
        EXPECT_EQ(CellOf(SaveButton(i)), Mode::kCellDisabled) << i;
    }
    EXPECT_TRUE(LoadButton(0).Enabled);
    EXPECT_EQ(CellOf(LoadButton(0)), Mode::kCellNormal);
}

TEST_F(SaveLoadModeTest, FromTheTitleNothingCanBeSaved) {
    WriteSlot("sd01-04", "２６／１２／０８", "港");
    Mode& mode = Open(Mode::kFromTitle);
    EXPECT_FALSE(mode.FromGame());
    for (long i = 0; i < 6; ++i) {
        EXPECT_FALSE(SaveButton(i).Enabled) << i;
        EXPECT_EQ(CellOf(SaveButton(i)), Mode::kCellDisabled) << i;
    }
    EXPECT_TRUE(LoadButton(4).Enabled);
    // Even a click that reaches a disabled save button (a keyboard selection
    // made earlier) writes nothing.
    Command(kCmdClick, &SaveButton(1));
    EXPECT_FALSE(FileExists(SlotPath("sd01-01", ".ini")));
    EXPECT_TRUE(root.asked.empty());
}

TEST_F(SaveLoadModeTest, AnUnknownStartArgumentIsReportedAndTheScreenStillOpens) {
    Mode& mode = Open(99);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "不正なモード開始引数です。");
    EXPECT_FALSE(mode.FromGame());
    EXPECT_EQ(mode.Slots().size(), 6u);
}

TEST_F(SaveLoadModeTest, AMissingSettingsFileIsReportedAndTheReaderCanStillLeave) {
    std::filesystem::remove(Process().IniDir + "/saveload_mode.ini");
    root.cfg->LongVal("LastSaveLoadPage", 4);
    Open(Mode::kFromTitle);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "セーブ・ロードモード初期化ファイルがロードできません。");
    EXPECT_EQ(root.view->EvRects().Count(), 0);
    Command(kCmdCancel, nullptr);
    EXPECT_EQ(root.vellMode, kModeTitle);
    // The page the reader saw last is not forgotten.
    EXPECT_EQ(root.cfg->LongVal("LastSaveLoadPage"), 4);
}

TEST_F(SaveLoadModeTest, KeyboardOrderRunsDownTheSlotsThenPagesThenReturn) {
    Mode& mode = Open(Mode::kFromGame);
    for (long i = 0; i < 6; ++i) {
        EXPECT_EQ(SaveButton(i).KBOrder, 2 * i);
        EXPECT_EQ(LoadButton(i).KBOrder, 2 * i + 1);
        EXPECT_EQ(BaseOf(i).KBOrder, -1);
    }
    EXPECT_GT(PageButton(0).KBOrder, LoadButton(5).KBOrder);
    EXPECT_GT(RectOf(mode.ReturnButton())->KBOrder, PageButton(4).KBOrder);
}

// [SECTION] Slot contents ----------------------------------------------------

TEST_F(SaveLoadModeTest, ASavedSlotShowsItsDateTimePlaceAndPicture) {
    WriteSlot("sd01-02", "２６／１２／０８", "灯台の見える丘", 90);
    Mode& mode = Open(Mode::kFromGame);
    const auto& slot = mode.Slots()[2];
    EXPECT_EQ(slot.shownText, "２６／１２／０８\n１２：３４\n灯台の見える丘");
    EXPECT_TRUE(LoadButton(2).Enabled);
    EXPECT_EQ(ThumbAlpha(slot), 256);
    EXPECT_EQ(FilmPixel(slot.thumb, 5, 5), (std::array<int, 3>{90, 40, 200}));
    // The text film holds every character: 8 + 5 + 7 and two line breaks
    // (the engine counts the printed characters only).
    EXPECT_EQ(FilmWord(slot.text, FP_TEXT_LENGTH), 20);
    EXPECT_EQ(FilmWord(slot.text, FP_TEXT_SHOWN), 20);
}

TEST_F(SaveLoadModeTest, ALongSiteNameShowsItsFirstFourteenCharacters) {
    WriteSlot("sd01-00", "２６／１２／０８", "一二三四五六七八九十壱弐参四五六七八九十");
    Mode& mode = Open(Mode::kFromGame);
    EXPECT_EQ(mode.Slots()[0].shownText,
              "２６／１２／０８\n１２：３４\n一二三四五六七八九十壱弐参四");
}

TEST_F(SaveLoadModeTest, HalfWidthLettersInThePlaceNameArePrintedNotReadAsMarks) {
    WriteSlot("sd01-00", "26/12/08", "Cafe A");
    Mode& mode = Open(Mode::kFromGame);
    // "A" would empty the text film, "C" would start a delay mark.
    EXPECT_EQ(FilmWord(mode.Slots()[0].text, FP_TEXT_LENGTH), 8 + 5 + 6);
}

TEST_F(SaveLoadModeTest, ADamagedDocumentIsAnEmptySlotAndIsLeftAlone) {
    ASSERT_TRUE(WriteFileAtomic(SlotPath("sd01-01", ".ini"), std::string("\0\0garbage", 9)));
    WriteSlot("sd01-03", "２６／１２／０８", "港", 10);
    ASSERT_TRUE(WriteFileAtomic(SlotPath("sd01-02", ".ini"), "no sections at all\r\n"));
    const auto before = ReadFileBytes(SlotPath("sd01-01", ".ini"));
    Mode& mode = Open(Mode::kFromGame);
    for (long i : {1L, 2L}) {
        EXPECT_FALSE(LoadButton(i).Enabled) << i;
        EXPECT_EQ(mode.Slots()[i].shownText, "") << i;
        EXPECT_EQ(ThumbAlpha(mode.Slots()[i]), 0) << i;
    }
    EXPECT_TRUE(LoadButton(3).Enabled);
    EXPECT_EQ(ReadFileBytes(SlotPath("sd01-01", ".ini")), before);
}

TEST_F(SaveLoadModeTest, AMissingOrDamagedPictureLeavesTheSlotLoadableWithoutOne) {
    WriteSlot("sd01-00", "２６／１２／０８", "港");
    WriteSlot("sd01-01", "２６／１２／０８", "港", 10);
    ASSERT_TRUE(WriteFileAtomic(SlotPath("sd01-01", ".bmp"), "BM broken"));
    Mode& mode = Open(Mode::kFromGame);
    for (long i : {0L, 1L}) {
        EXPECT_TRUE(LoadButton(i).Enabled) << i;
        EXPECT_EQ(ThumbAlpha(mode.Slots()[i]), 0) << i;
        EXPECT_NE(mode.Slots()[i].shownText, "") << i;
    }
}

TEST_F(SaveLoadModeTest, TurningThePageShowsThatPagesSlotsAndNoStalePicture) {
    WriteSlot("sd01-00", "２６／１２／０１", "港", 10);
    WriteSlot("sd02-05", "２６／１２／０２", "丘", 20);
    Mode& mode = Open(Mode::kFromGame);
    Command(kCmdClick, &PageButton(1));
    EXPECT_EQ(mode.CurrentPage(), 2);
    EXPECT_EQ(mode.Slots()[0].name, "sd02-00");
    EXPECT_EQ(ThumbAlpha(mode.Slots()[0]), 0);
    EXPECT_FALSE(LoadButton(0).Enabled);
    EXPECT_TRUE(LoadButton(5).Enabled);
    EXPECT_EQ(FilmPixel(mode.Slots()[5].thumb, 0, 0)[0], 20);
    EXPECT_FALSE(PageButton(1).Enabled);
    EXPECT_EQ(CellOf(PageButton(1)), 3);
    EXPECT_TRUE(PageButton(0).Enabled);
    EXPECT_EQ(CellOf(PageButton(0)), 0);
}

// [SECTION] Pointing -----------------------------------------------------------

TEST_F(SaveLoadModeTest, PointingAtASlotButtonLightsItAndItsSlot) {
    Open(Mode::kFromGame);
    Command(kCmdSelect, &SaveButton(2));
    EXPECT_EQ(CellOf(SaveButton(2)), Mode::kCellPointed);
    EXPECT_EQ(CellOf(BaseOf(2)), Mode::kCellPointed);
    Command(kCmdSelect, &SaveButton(3));
    EXPECT_EQ(CellOf(SaveButton(2)), Mode::kCellNormal);
    EXPECT_EQ(CellOf(BaseOf(2)), Mode::kCellNormal);
    EXPECT_EQ(CellOf(BaseOf(3)), Mode::kCellPointed);
    Command(kCmdSelect, nullptr);
    EXPECT_EQ(CellOf(SaveButton(3)), Mode::kCellNormal);
    EXPECT_EQ(CellOf(BaseOf(3)), Mode::kCellNormal);
    // A disabled button keeps its disabled cell.
    EXPECT_EQ(CellOf(LoadButton(3)), Mode::kCellDisabled);
}

// [SECTION] Saving -----------------------------------------------------------

TEST_F(SaveLoadModeTest, SavingAsksTheSettingsQuestionAndWritesTheSlot) {
    root.sd->VellStatus().KeyValue("DateString", "２６／１２／０８");
    root.sd->GameViewStatus().KeyValue("SiteName", "浜辺");
    root.sd->Var().KeyValue("flag", "7");
    root.sd->SavePreview(Picture(128, 96, 77));
    Mode& mode = Open(Mode::kFromGame);
    root.answers = {kAnswerYes};
    Command(kCmdClick, &SaveButton(4));
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "このスロットにセーブしますか。");
    ASSERT_TRUE(FileExists(SlotPath("sd01-04", ".ini")));
    ASSERT_TRUE(FileExists(SlotPath("sd01-04", ".bmp")));
    // The page is shown again with the new save in it.
    EXPECT_EQ(mode.Slots()[4].shownText.substr(0, 24), "２６／１２／０８");
    EXPECT_TRUE(LoadButton(4).Enabled);
    EXPECT_EQ(ThumbAlpha(mode.Slots()[4]), 256);
    EXPECT_EQ(FilmPixel(mode.Slots()[4].thumb, 10, 10)[0], 77);
    EXPECT_EQ(CellOf(SaveButton(4)), Mode::kCellPointed);
    clsSaveData check;
    ASSERT_TRUE(check.Load("sd01-04"));
    EXPECT_EQ(check.Var().KeyValue("flag"), "7");
    EXPECT_EQ(root.vellMode, kModeSaveLoad);
}

TEST_F(SaveLoadModeTest, AnsweringNoKeepsTheOldSave) {
    WriteSlot("sd01-01", "２６／１２／０１", "港", 10);
    const auto before = ReadFileBytes(SlotPath("sd01-01", ".ini"));
    root.sd->Var().KeyValue("flag", "new");
    Open(Mode::kFromGame);
    root.answers = {kAnswerNo};
    Command(kCmdClick, &SaveButton(1));
    EXPECT_EQ(ReadFileBytes(SlotPath("sd01-01", ".ini")), before);
    EXPECT_EQ(CellOf(SaveButton(1)), Mode::kCellPointed);
}

TEST_F(SaveLoadModeTest, WithoutTheQuestionSavingOverwritesAtOnce) {
    WriteSlot("sd01-01", "２６／１２／０１", "港", 10);
    root.cfg->BoolVal("QuerySave", false);
    root.sd->Var().KeyValue("slot", "replaced");
    Open(Mode::kFromGame);
    Command(kCmdClick, &SaveButton(1));
    EXPECT_TRUE(root.asked.empty());
    clsSaveData check;
    ASSERT_TRUE(check.Load("sd01-01"));
    EXPECT_EQ(check.Var().KeyValue("slot"), "replaced");
    // The old save's picture is gone with it: this save was made without one.
    EXPECT_FALSE(FileExists(SlotPath("sd01-01", ".bmp")));
}

TEST_F(SaveLoadModeTest, ASaveThatCannotBeWrittenIsReported) {
    Open(Mode::kFromGame);
    std::filesystem::create_directory(SlotPath("sd01-00", ".ini"));
    root.answers = {kAnswerYes};
    Command(kCmdClick, &SaveButton(0));
    ASSERT_EQ(root.asked.size(), 2u);
    // Which file and why, as the terminal hears it too.
    EXPECT_EQ(root.asked[1],
              "セーブに失敗しました。\r\n" + SlotPath("sd01-00", ".ini") + ": Is a directory");
    EXPECT_FALSE(LoadButton(0).Enabled);
}

// [SECTION] Loading and leaving ------------------------------------------------

TEST_F(SaveLoadModeTest, LoadingReplacesTheGameAndRestoresItWithSound) {
    WriteSlot("sd02-03", "２６／１２／０２", "丘");
    root.cfg->LongVal("LastSaveLoadPage", 2);
    root.sd->Var().KeyValue("slot", "the running game");
    Open(Mode::kFromTitle);
    root.answers = {kAnswerYes};
    Command(kCmdClick, &LoadButton(3));
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "このスロットのデータをロードしますか。");
    EXPECT_EQ(root.sd->Var().KeyValue("slot"), "sd02-03");
    EXPECT_EQ(root.vellMode, kModeGame);
    EXPECT_EQ(root.modeChanges.back(), (std::pair{2L, 7L}));
    EXPECT_EQ(root.restores, std::vector<bool>{true});
    // The screen ended: its rectangles are gone and its page is kept.
    EXPECT_EQ(root.view->EvRects().CountByTag("load"), 0);
    EXPECT_EQ(root.cfg->LongVal("LastSaveLoadPage"), 2);
    EXPECT_TRUE(root.lumo->DrawActivity());
}

TEST_F(SaveLoadModeTest, AnsweringNoToLoadingStaysOnTheScreen) {
    WriteSlot("sd01-00", "２６／１２／０２", "丘");
    root.sd->Var().KeyValue("slot", "the running game");
    Open(Mode::kFromGame);
    root.answers = {kAnswerNo};
    Command(kCmdClick, &LoadButton(0));
    EXPECT_EQ(root.vellMode, kModeSaveLoad);
    EXPECT_EQ(root.sd->Var().KeyValue("slot"), "the running game");
    EXPECT_EQ(CellOf(LoadButton(0)), Mode::kCellPointed);
}

TEST_F(SaveLoadModeTest, ASlotDamagedAfterThePageWasShownDoesNotReplaceTheGame) {
    WriteSlot("sd01-00", "２６／１２／０２", "丘");
    root.sd->Var().KeyValue("slot", "the running game");
    Open(Mode::kFromGame);
    ASSERT_TRUE(WriteFileAtomic(SlotPath("sd01-00", ".ini"), std::string(3, '\0')));
    Command(kCmdClick, &LoadButton(0));
    EXPECT_EQ(root.vellMode, kModeSaveLoad);
    EXPECT_EQ(root.sd->Var().KeyValue("slot"), "the running game");
    EXPECT_EQ(root.asked.back(), "セーブデータをロードできませんでした。");
    EXPECT_FALSE(LoadButton(0).Enabled);
    EXPECT_TRUE(root.restores.empty());
}

TEST_F(SaveLoadModeTest, LeavingReturnsToTheGameWithItsSnapshotOrToTheTitle) {
    Open(Mode::kFromGame);
    Command(kCmdClick, RectOf(Screen().ReturnButton()));
    EXPECT_EQ(root.modeChanges.back(), (std::pair{2L, 7L}));
    EXPECT_EQ(root.restores, std::vector<bool>{false});

    Open(Mode::kFromGame);
    Command(kCmdCancel, nullptr);
    EXPECT_EQ(root.modeChanges.back(), (std::pair{2L, 7L}));
    EXPECT_EQ(root.restores, (std::vector<bool>{false, false}));

    Open(Mode::kFromTitle);
    Command(kCmdCancel, nullptr);
    EXPECT_EQ(root.modeChanges.back(), (std::pair{1L, 3L}));
    EXPECT_EQ(root.restores.size(), 2u);
}

TEST_F(SaveLoadModeTest, ACommandRaisedForAnotherModeIsIgnored) {
    Open(Mode::kFromGame);
    root.ModeScreenCmd(kModeGame, kCmdCancel, nullptr);
    EXPECT_EQ(root.vellMode, kModeSaveLoad);
}

// [SECTION] The picture on the screen -----------------------------------------

TEST_F(SaveLoadModeTest, FromTheGameTheBackgroundIsBlendedOverTheGameScreen) {
    auto openOver = [&](long colour) {
        root.lumo->BaseFilmSet(1);
        root.lumo->BGFill(colour, 0);
        root.lumo->DrawActivate(0, 0);
        Settle();
        Open(Mode::kFromGame);
        Settle();
        const auto pixel = ScreenPixel(320, 20);
        root.ChangeMode(0, 0);
        return pixel;
    };
    const auto overRed = openOver(0x0000FF);
    const auto overBlue = openOver(0xFF0000);
    // The game shows through: more red over the red screen, more blue over
    // the blue one.
    EXPECT_GT(overRed[2], overBlue[2]);
    EXPECT_GT(overBlue[0], overRed[0]);
}

TEST_F(SaveLoadModeTest, FromTheTitleTheBackgroundIsOpaque) {
    auto openOver = [&](long colour) {
        root.lumo->BaseFilmSet(1);
        root.lumo->BGFill(colour, 0);
        root.lumo->DrawActivate(0, 0);
        Settle();
        Open(Mode::kFromTitle);
        Settle();
        const auto pixel = ScreenPixel(320, 20);
        root.ChangeMode(0, 0);
        return pixel;
    };
    EXPECT_EQ(openOver(0x0000FF), openOver(0xFF0000));
}

}  // namespace
}  // namespace zelk::testing
