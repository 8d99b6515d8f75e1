#include "interpreter/page_log.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "common/temp_folder.h"

namespace zelk {
namespace {

TEST(PageLog, StartsWithOneEmptyPage) {
    PageLog log;
    EXPECT_EQ(log.PageCount(), 1);
    EXPECT_EQ(log.Position(), 1);
    EXPECT_EQ(log.PageSize(), 100);
    EXPECT_EQ(log.AllLineCount(), 0);
    EXPECT_EQ(log.Log(), "");
    EXPECT_TRUE(log.LineBuffEnabled());
}

TEST(PageLog, LinesFillPagesOfTheGivenSize) {
    PageLog log;
    log.PageSize(2);
    int turns = 0;
    log.BeforePageTurn = [&] { ++turns; };
    log.PutMsg("a");
    log.PutMsg("b");
    log.PutMsg("c");
    EXPECT_EQ(log.PageCount(), 2);
    EXPECT_EQ(log.PageText(0), "a\r\nb\r\n");
    EXPECT_EQ(log.PageText(1), "c\r\n");
    EXPECT_EQ(log.AllLineCount(), 3);
    EXPECT_EQ(turns, 1);
}

TEST(PageLog, PageTextOutOfRangeIsEmpty) {
    PageLog log;
    log.PageSize(1);
    log.PutMsg("a");
    log.PutMsg("b");
    EXPECT_EQ(log.PageText(-1), "b\r\n");
    EXPECT_EQ(log.PageText(log.PageCount()), "");
    EXPECT_EQ(log.PageText(-2), "");
}

TEST(PageLog, AnUnfinishedLineWaitsInTheBuffer) {
    PageLog log;
    log.PutMsg("Loading ", "", false);
    EXPECT_EQ(log.Log(), "Loading ");
    EXPECT_EQ(log.PageText(0), "");
    log.PutMsg("done");
    EXPECT_EQ(log.PageText(0), "Loading done\r\n");
    EXPECT_EQ(log.Log(), "Loading done\r\n");
}

TEST(PageLog, WithoutTheBufferPiecesGoStraightToThePage) {
    PageLog log;
    log.LineBuffEnabled(false);
    std::vector<std::string> pieces;
    log.LineWrote = [&](std::string& text, const std::string&) { pieces.push_back(text); };
    log.PutMsg("x", "", false);
    log.PutMsg("", "", false);
    EXPECT_EQ(log.PageText(0), "x");
    EXPECT_EQ(pieces, (std::vector<std::string>{"x", ""}));
}

TEST(PageLog, MultiLineMessagesArePiecesWithTheirTag) {
    PageLog log;
    std::vector<std::pair<std::string, std::string>> pieces;
    log.LineWrote = [&](std::string& text, const std::string& tag) {
        pieces.emplace_back(text, tag);
    };
    log.PutMsg("pending", "t0", false);
    log.PutMsg("a\r\nb\r\nc", "t1", false);
    EXPECT_EQ(pieces, (std::vector<std::pair<std::string, std::string>>{{"pendinga\r\n", "t1"},
                                                                        {"b\r\n", "t1"}}));
    EXPECT_EQ(log.Log(), "pendinga\r\nb\r\nc");
    log.PutMsg("", "t2", true);
    EXPECT_EQ(pieces.back(), (std::pair<std::string, std::string>{"c\r\n", "t2"}));
}

TEST(PageLog, ListenersMayRewriteWhatIsWritten) {
    PageLog log;
    log.LineWrote = [](std::string& text, const std::string& tag) {
        if (tag == "err") text = "! " + text;
    };
    log.PutMsg("bad", "err");
    log.PutMsg("fine");
    EXPECT_EQ(log.Log(), "! bad\r\nfine\r\n");
}

TEST(PageLog, FlashingMovesTheBufferWithoutALineEnd) {
    PageLog log;
    log.PutMsg("half", "", false);
    log.FlashLineBuff();
    EXPECT_EQ(log.PageText(0), "half");
    EXPECT_EQ(log.Position(), 1);
}

TEST(PageLog, SettingTheLogPagesItAndKeepsTheLastLineBuffered) {
    PageLog log;
    log.PageSize(2);
    int let = 0;
    int cleared = 0;
    log.AllTextLet = [&] { ++let; };
    log.AllClear = [&] { ++cleared; };
    log.Log("1\r\n2\r\n3\r\n4\r\ntail");
    EXPECT_EQ(log.PageCount(), 3);
    EXPECT_EQ(log.PageText(0), "1\r\n2\r\n");
    EXPECT_EQ(log.PageText(1), "3\r\n4\r\n");
    EXPECT_EQ(log.PageText(2), "");
    EXPECT_EQ(log.Position(), 1);
    EXPECT_EQ(log.Log(), "1\r\n2\r\n3\r\n4\r\ntail");
    log.Log("");
    EXPECT_EQ(let, 2);
    EXPECT_EQ(cleared, 1);
}

TEST(PageLog, AFullLastPageIsNotFollowedByAnEmptyOne) {
    PageLog log;
    log.LineBuffEnabled(false);
    log.PageSize(2);
    log.Log("1\r\n2\r\n3\r\n4");
    EXPECT_EQ(log.PageCount(), 2);
    EXPECT_EQ(log.Position(), 2);
    EXPECT_EQ(log.PageText(1), "3\r\n4");
}

TEST(PageLog, ChangingThePageSizeLosesNothing) {
    PageLog log;
    for (int i = 0; i < 7; ++i)
        log.PutMsg("line " + std::to_string(i));
    log.PutMsg("open", "", false);
    const std::string before = log.Log();
    log.PageSize(3);
    EXPECT_EQ(log.Log(), before);
    EXPECT_EQ(log.PageCount(), 3);
    log.PageSize(0);
    EXPECT_EQ(log.Log(), before);
    EXPECT_EQ(log.PageCount(), 1);
    EXPECT_EQ(log.AllLineCount(), 7);
}

TEST(PageLog, SaveModeZeroAppendsAndEmpties) {
    testing::TempFolder folder;
    PageLog log;
    log.Path(folder / "log.txt");
    log.PutMsg("first");
    ASSERT_TRUE(log.Save());
    EXPECT_EQ(log.Log(), "");
    log.PutMsg("二番目");
    ASSERT_TRUE(log.Save());
    EXPECT_EQ(ReadFileBytes(folder / "log.txt"), "first\r\n\x93\xF1\x94\xD4\x96\xDA\r\n");
}

TEST(PageLog, SaveModesOneAndTwoReplaceTheFile) {
    testing::TempFolder folder;
    PageLog log;
    log.SaveMode(2);
    log.SaveMode(7);
    EXPECT_EQ(log.SaveMode(), 2);
    log.PutMsg("kept");
    ASSERT_TRUE(log.Save(folder / "log.txt"));
    ASSERT_TRUE(log.Save(folder / "log.txt"));
    EXPECT_EQ(ReadFileBytes(folder / "log.txt"), "kept\r\n");
    EXPECT_EQ(log.Log(), "kept\r\n");
    log.SaveMode(1);
    ASSERT_TRUE(log.Save(folder / "log.txt"));
    EXPECT_EQ(log.Log(), "");
}

TEST(PageLog, AFailedSaveKeepsTheLog) {
    testing::TempFolder folder;
    PageLog log;
    log.PutMsg("precious");
    EXPECT_FALSE(log.Save(folder / "missing/log.txt"));
    EXPECT_FALSE(log.Save());
    EXPECT_EQ(log.Log(), "precious\r\n");
}

TEST(PageLog, AutoSaveWritesOnDestruction) {
    testing::TempFolder folder;
    {
        PageLog log;
        log.Path(folder / "auto.txt");
        log.AutoSave(true);
        log.PutMsg("bye", "", false);
    }
    EXPECT_EQ(ReadFileBytes(folder / "auto.txt"), "bye");
}

TEST(PageLog, StopWatchRecordsTheDate) {
    PageLog log;
    log.StopWatch();
    EXPECT_EQ(log.StopWatchDate().size(), 19u);
    EXPECT_EQ(log.StopWatchPassage(), 0);
}

}  // namespace
}  // namespace zelk
