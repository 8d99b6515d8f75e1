#include "modes/save_data.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

class SaveDataTest : public ::testing::Test {
protected:
    SaveDataTest() : data(MakeReporter()) {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder / "savedata";
    }
    ~SaveDataTest() override { Process().ResetFolders(""); }

    Reporter MakeReporter() {
        Reporter reporter;
        reporter.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        return reporter;
    }

    static SavePreviewImage Preview(int width, int height) {
        SavePreviewImage image{width, height, (width * 3 + 3) & ~3, {}};
        image.pixels.assign(static_cast<std::size_t>(image.stride * height), 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = &image.pixels[static_cast<std::size_t>(y * image.stride + x * 3)];
                p[0] = static_cast<std::uint8_t>(x);      // blue
                p[1] = static_cast<std::uint8_t>(y);      // green
                p[2] = static_cast<std::uint8_t>(x + y);  // red
            }
        }
        return image;
    }

    testing::TempFolder folder;
    std::vector<std::string> messages;
    clsSaveData data;
};

TEST_F(SaveDataTest, SlotNamesHaveTwoDigitsAtLeast) {
    EXPECT_EQ(clsSaveData::FormatSlotName(0, 0), "sd00-00");
    EXPECT_EQ(clsSaveData::FormatSlotName(12, 7), "sd12-07");
    EXPECT_EQ(clsSaveData::FormatSlotName(5, 3), "sd05-03");
    EXPECT_EQ(clsSaveData::FormatSlotName(123, 4567), "sd123-4567");
    EXPECT_EQ(data.FormatINIPath(1, 2), folder / "savedata/sd01-02.ini");
    EXPECT_EQ(data.FormatBMPPath(1, 2), folder / "savedata/sd01-02.bmp");
}

TEST_F(SaveDataTest, HistoryRunsSplitAtEveryChangeOfScenario) {
    data.AddHistory("a", 1);
    data.AddHistory("a", 2);
    data.AddHistory("b", 1);
    data.AddHistory("a", 3);
    EXPECT_EQ(data.HistoryCount(), 4);
    EXPECT_EQ(data.HistorySection(), "a:1,2\r\nb:1\r\na:3");
    std::string scenario;
    long number = 0;
    ASSERT_TRUE(data.GetHistory(3, scenario, number));
    EXPECT_EQ(scenario, "a");
    EXPECT_EQ(number, 3);
    ASSERT_TRUE(data.GetHistory(2, scenario, number));
    EXPECT_EQ(scenario, "b");
    ASSERT_TRUE(data.GetHistory(0, scenario, number));
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveDataTest, ReadingPastTheHistoryIsReported) {
    data.AddHistory("a", 1);
    data.AddHistory("b", 1);
    std::string scenario;
    long number = 0;
    EXPECT_FALSE(data.GetHistory(2, scenario, number));
    EXPECT_EQ(messages, std::vector<std::string>{"全体個数を超えている"});
    EXPECT_FALSE(data.GetHistory(-1, scenario, number));
    clsSaveData empty;
    EXPECT_FALSE(empty.GetHistory(0, scenario, number));
}

TEST_F(SaveDataTest, HistoryTextRoundTripsWithRunningFirstIndices) {
    data.HistorySection("\r\n s01:3,4,5\r\nS01:x,7\r\nend:\r\n");
    EXPECT_EQ(data.HistoryCount(), 6);
    EXPECT_EQ(data.HistorySection(), "s01:3,4,5\r\nS01:0,7\r\nend:0");
    std::string scenario;
    long number = 0;
    ASSERT_TRUE(data.GetHistory(4, scenario, number));
    EXPECT_EQ(scenario, "S01");
    EXPECT_EQ(number, 7);
}

TEST_F(SaveDataTest, ABodyOfBlankLinesIsAnEmptyHistory) {
    data.AddHistory("a", 1);
    data.HistorySection(" \r\n\r\n ");
    EXPECT_EQ(data.HistoryCount(), 0);
    EXPECT_EQ(data.HistorySection(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveDataTest, ACorruptHistoryIsReportedOnceAndDropped) {
    data.HistorySection("a:1\r\nbroken\r\nalso broken\r\nb:2");
    EXPECT_EQ(messages, std::vector<std::string>{"セーブデータが破損しています。"});
    EXPECT_EQ(data.HistoryCount(), 0);
}

TEST_F(SaveDataTest, SaveCreatesTheFolderAndLoadRestoresEverything) {
    data.Var().KeyValue("flag", "1");
    data.VellStatus().KeyValue("DateString", "２６／１２／０８");
    data.AddHistory("s01", 3);
    data.AddHistory("s01", 4);
    ASSERT_TRUE(data.Save("sd00-00"));
    EXPECT_TRUE(data.IsLoadable("sd00-00"));

    clsSaveData other;
    other.AddHistory("x", 9);
    ASSERT_TRUE(other.Load("sd00-00"));
    EXPECT_EQ(other.Var().KeyValue("flag"), "1");
    EXPECT_EQ(other.VellStatus().KeyValue("DateString"), "２６／１２／０８");
    EXPECT_EQ(other.HistorySection(), "s01:3,4");
    EXPECT_EQ(other.HistoryCount(), 2);
}

// A game updated with new variables still reads the saves made before: what
// a save holds stays, even a value the defaults would not give or one
// the game no longer has; only what it lacks comes from the defaults.
TEST_F(SaveDataTest, ASaveFromBeforeAnUpdateGainsTheNewVariablesAndKeepsItsOwn) {
    data.Var().Text("met=3\r\nroute=\r\nretired=1");
    ASSERT_TRUE(data.Save("sd00-01"));

    clsSaveData loaded;
    ASSERT_TRUE(loaded.Load("sd00-01"));
    INISection defaults;
    defaults.Text("met=0\r\n; added in 1.1\r\nletters=2\r\nroute=none\r\nMET=9\r\nending=0");
    loaded.AddMissingVars(defaults);
    INISection& vars = loaded.Var();
    EXPECT_EQ(vars.KeyValue("met"), "3");
    EXPECT_EQ(vars.KeyValue("route"), "");
    EXPECT_EQ(vars.KeyValue("retired"), "1");
    EXPECT_EQ(vars.KeyValue("letters"), "2");
    EXPECT_EQ(vars.KeyValue("ending"), "0");
    EXPECT_EQ(vars.Text(), "met=3\r\nroute=\r\nretired=1\r\nletters=2\r\nending=0");

    // Once whole, the variables are left alone.
    loaded.AddMissingVars(defaults);
    EXPECT_EQ(vars.Text(), "met=3\r\nroute=\r\nretired=1\r\nletters=2\r\nending=0");
}

TEST_F(SaveDataTest, SlotsAreScrambledWhileTheSwitchIsOn) {
    Process().Debug.INIEncript = true;
    data.Var().KeyValue("k", "v");
    ASSERT_TRUE(data.Save("sd01-01"));
    std::string text;
    EXPECT_TRUE(ReadScrambledFile(data.FormatINIPath(1, 1), text));
    Process().Debug.INIEncript = false;
    ASSERT_TRUE(data.Save("sd01-02"));
    EXPECT_EQ(ReadFileBytes(data.FormatINIPath(1, 2))->rfind("[Var]", 0), 0u);
}

TEST_F(SaveDataTest, AMissingOrGarbageSlotIsNotLoadableAndKeepsTheGame) {
    data.Var().KeyValue("flag", "running");
    data.AddHistory("s", 1);
    EXPECT_FALSE(data.Load("sd09-09"));
    std::filesystem::create_directories(Process().SaveDir);
    for (bool scrambled : {true, false}) {
        Process().Debug.INIEncript = scrambled;
        ASSERT_TRUE(WriteFileAtomic(data.FormatINIPath(9, 9), "\x01\x02\x03 garbage \xFF"));
        EXPECT_TRUE(data.IsLoadable("sd09-09"));
        EXPECT_FALSE(data.Load("sd09-09")) << scrambled;
    }
    EXPECT_EQ(data.Var().KeyValue("flag"), "running");
    EXPECT_EQ(data.HistoryCount(), 1);
}

TEST_F(SaveDataTest, ThumbnailIsA24BitBitmap) {
    data.SavePreview(Preview(5, 3));
    ASSERT_TRUE(data.Save("sd00-01"));
    EXPECT_TRUE(data.IsPreviewExists("sd00-01"));
    const std::string bmp = *ReadFileBytes(data.FormatBMPPath(0, 1));
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 3])) << 24;
    };
    ASSERT_EQ(bmp.size(), 54u + 16u * 3u);  // rows of 15 bytes padded to 16
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), bmp.size());
    EXPECT_EQ(u32(18), 5u);
    EXPECT_EQ(u32(22), 3u);
    EXPECT_EQ(bmp[28], 24);
    // The first stored row is the bottom one (y = 2); pixel x = 4 of it.
    const std::size_t pixel = 54 + 4 * 3;
    EXPECT_EQ(bmp[pixel], 4);      // blue
    EXPECT_EQ(bmp[pixel + 1], 2);  // green
    EXPECT_EQ(bmp[pixel + 2], 6);  // red
}

TEST_F(SaveDataTest, ASaveWithoutAPictureLeavesNoStaleThumbnail) {
    data.SavePreview(Preview(2, 2));
    ASSERT_TRUE(data.Save("sd00-02"));
    data.SavePreview({});
    ASSERT_TRUE(data.Save("sd00-02"));
    EXPECT_FALSE(data.IsPreviewExists("sd00-02"));
}

TEST_F(SaveDataTest, AFailedSaveKeepsTheOldSlot) {
    data.Var().KeyValue("v", "old");
    data.SavePreview(Preview(2, 2));
    ASSERT_TRUE(data.Save("sd00-03"));
    const auto oldIni = ReadFileBytes(data.FormatINIPath(0, 3));
    const auto oldBmp = ReadFileBytes(data.FormatBMPPath(0, 3));
    std::filesystem::create_directory(Process().SaveDir + "/sd00-04.ini");  // unwritable slot
    EXPECT_FALSE(data.Save("sd00-04"));
    // The caller tells the reader which file and why.
    EXPECT_EQ(data.LastWriteFailure(), data.FormatINIPath(0, 4) + ": Is a directory");
    EXPECT_EQ(ReadFileBytes(data.FormatINIPath(0, 3)), oldIni);
    EXPECT_EQ(ReadFileBytes(data.FormatBMPPath(0, 3)), oldBmp);
    EXPECT_FALSE(data.IsPreviewExists("sd00-04"));
}

TEST_F(SaveDataTest, ClearEmptiesDocumentAndHistory) {
    data.Var().KeyValue("k", "v");
    data.AddHistory("a", 1);
    data.Clear();
    EXPECT_EQ(data.HistoryCount(), 0);
    EXPECT_EQ(data.Var().KeyValue("k"), "");
}

// The save stands without its picture when the disk is full for the
// picture alone (a file-size limit stands in for it); the reader hears of
// the picture once, however often it fails, and again once it was written
// in between.
TEST_F(SaveDataTest, AThumbnailThatCannotBeWrittenIsToldOnce) {
    data.SavePreview(Preview(200, 100));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16384;
    ::setrlimit(RLIMIT_FSIZE, &small);
    ::testing::internal::CaptureStderr();
    const bool first = data.Save("sd00-05");
    const bool second = data.Save("sd00-05");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    EXPECT_TRUE(data.IsLoadable("sd00-05"));
    EXPECT_FALSE(data.IsPreviewExists("sd00-05"));
    const std::string reason = data.FormatBMPPath(0, 5) + ": File too large";
    EXPECT_EQ(errors, "zelk: cannot write " + reason + "\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];

    ASSERT_TRUE(data.Save("sd00-05"));
    EXPECT_TRUE(data.IsPreviewExists("sd00-05"));
    EXPECT_EQ(messages.size(), 1u);
}

// A FIFO in a slot's place once stopped the save/load screen, waiting for
// a writer that never came.
TEST_F(SaveDataTest, AFifoInASlotsPlaceIsNoSave) {
    std::filesystem::create_directories(Process().SaveDir);
    ASSERT_EQ(::mkfifo(data.FormatINIPath(0, 7).c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(data.FormatBMPPath(0, 7).c_str(), 0644), 0);
    EXPECT_FALSE(data.IsLoadable("sd00-07"));
    EXPECT_FALSE(data.IsPreviewExists("sd00-07"));
    INIFile document;
    EXPECT_FALSE(data.ReadSlotDocument("sd00-07", document));
    EXPECT_FALSE(data.Load("sd00-07"));
}

// [SECTION] Whose slots are loaded

// A document with every section the player writes, as a save of `title`'s
// would hold it before the stamp.
void FillAsThePlayerDoes(clsSaveData& data) {
    data.Var().KeyValue("flag", "1");
    data.WavoStatus().KeyValue("BgmFile", "bgm_day");
    data.GameViewStatus().KeyValue("ERCount", "0");
    data.LumoStatus().KeyValue("BGName", "bg_street");
    data.IntprtStatus().Text(
        "Address=s01.14\r\nWaitMode=4\r\nRestText=\"\"\r\nTextEnabled=True\r\nStack=main.3");
    data.VellStatus().Text(
        "TextTempVisible=True\r\nDateString=２６／１２／０９\r\nTimeString=０７：２０");
    data.AddHistory("s01", 6);
}

class SaveOwnerTest : public SaveDataTest {
protected:
    SaveOwnerTest() {
        Process().Debug.INIEncript = false;
        data.ForGame("ひかりの手紙");
        running.ForGame("ひかりの手紙");
        running.Var().KeyValue("flag", "running");
        running.AddHistory("r", 1);
    }
    ~SaveOwnerTest() override { Process().Debug.INIEncript = true; }

    std::string SlotText(const std::string& name) {
        return ReadFileBytes(data.SlotINIPath(name)).value_or("");
    }
    void WriteSlot(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(Process().SaveDir);
        std::ofstream(data.SlotINIPath(name), std::ios::binary | std::ios::trunc) << text;
    }
    // The running game refuses the slot, says why and stays as it was.
    void ExpectRefused(const std::string& name, const std::string& why) {
        EXPECT_FALSE(running.Load(name)) << name;
        EXPECT_EQ(running.LoadError(), why) << name;
        EXPECT_EQ(running.Var().KeyValue("flag"), "running") << name;
        EXPECT_EQ(running.HistorySection(), "r:1") << name;
    }

    clsSaveData running;
};

TEST_F(SaveOwnerTest, ASaveEndsWithItsGamesTitleAndLoadsIntoThatGame) {
    FillAsThePlayerDoes(data);
    ASSERT_TRUE(data.Save("sd01-00"));
    const std::string text = SlotText("sd01-00");
    // The stamp comes first and the end last, so that a slot cut anywhere
    // keeps the one and loses the other.
    const std::string stamp = "[Game]\r\nTitle=" + Utf8ToCp932Lossy("ひかりの手紙") + "\r\n";
    EXPECT_EQ(text.rfind(stamp, 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("\r\n[End]")) << text;

    ASSERT_TRUE(running.Load("sd01-00")) << running.LoadError();
    EXPECT_EQ(running.LoadError(), "");
    EXPECT_EQ(running.Var().KeyValue("flag"), "1");
    EXPECT_EQ(running.HistorySection(), "s01:6");
    // Saving a loaded slot again keeps one stamp, still at the end.
    running.Var().KeyValue("flag", "2");
    ASSERT_TRUE(running.Save("sd01-01"));
    const std::string again = SlotText("sd01-01");
    EXPECT_EQ(again.rfind(stamp), 0u) << again;
    EXPECT_EQ(again.find("[End]"), again.size() - 5) << again;
}

TEST_F(SaveOwnerTest, AnotherGamesSaveIsRefusedAndTheRunningGameStays) {
    clsSaveData other;
    other.ForGame("よその物語");
    FillAsThePlayerDoes(other);
    ASSERT_TRUE(other.Save("sd01-02"));
    ExpectRefused("sd01-02", "it is a save of another game (\"よその物語\")");
    // An untitled game is a game of its own too.
    clsSaveData untitled;
    untitled.ForGame("");
    FillAsThePlayerDoes(untitled);
    ASSERT_TRUE(untitled.Save("sd01-03"));
    ExpectRefused("sd01-03", "it is a save of another game (\"\")");
}

TEST_F(SaveOwnerTest, AnOldSaveWithoutTheStampStillLoadsWhenItIsWhole) {
    clsSaveData old;  // as builds before the stamp wrote it
    FillAsThePlayerDoes(old);
    ASSERT_TRUE(old.Save("sd01-04"));
    ASSERT_EQ(SlotText("sd01-04").find("[Game]"), std::string::npos);
    ASSERT_TRUE(running.Load("sd01-04")) << running.LoadError();
    EXPECT_EQ(running.IntprtStatus().KeyValue("Address"), "s01.14");
}

TEST_F(SaveOwnerTest, ASlotCutShortIsRefusedWhereverItIsCut) {
    FillAsThePlayerDoes(data);
    ASSERT_TRUE(data.Save("sd02-00"));
    const std::string whole = SlotText("sd02-00");
    clsSaveData old;
    FillAsThePlayerDoes(old);
    ASSERT_TRUE(old.Save("sd02-01"));
    const std::string wholeOld = SlotText("sd02-01");
    // Every cut of a stamped slot, and every cut of an old one before its
    // last key (after which nothing tells where it should end).
    for (const std::string* slot : {&whole, &wholeOld}) {
        const std::size_t end = slot == &whole ? slot->size() - 2 : slot->find("TimeString=") + 11;
        for (std::size_t cut = 1; cut < end; ++cut) {
            WriteSlot("sd02-02", slot->substr(0, cut));
            EXPECT_FALSE(running.Load("sd02-02")) << cut << "\n" << slot->substr(0, cut);
        }
    }
    EXPECT_EQ(running.Var().KeyValue("flag"), "running");
    EXPECT_EQ(running.HistorySection(), "r:1");
}

TEST_F(SaveOwnerTest, AnIncompleteSlotNamesWhatItLacks) {
    FillAsThePlayerDoes(data);
    ASSERT_TRUE(data.Save("sd03-00"));
    const std::string whole = SlotText("sd03-00");
    const auto without = [&](const std::string& text) {
        std::string cut = whole;
        cut.erase(cut.find(text), text.size());
        return cut;
    };
    WriteSlot("sd03-01", without("[LumoStatus]"));
    ExpectRefused("sd03-01", "it is incomplete: it has no [LumoStatus] section");
    WriteSlot("sd03-02", without("TimeString="));
    ExpectRefused("sd03-02", "it is incomplete: its [VellStatus] has no TimeString");
}

TEST_F(SaveOwnerTest, AStatusTheCheckRefusesIsNotLoaded) {
    FillAsThePlayerDoes(data);
    ASSERT_TRUE(data.Save("sd04-00"));
    std::string seen;
    running.CheckStatusWith([&](const INISection& status) {
        seen = status.KeyValue("Address");
        return std::string("its place is nowhere");
    });
    ExpectRefused("sd04-00", "its place is nowhere");
    EXPECT_EQ(seen, "s01.14");
    running.CheckStatusWith([](const INISection&) { return std::string(); });
    EXPECT_TRUE(running.Load("sd04-00"));
}

TEST_F(SaveOwnerTest, APlainSlotOfATitleTheCodePageLacksLoadsIntoItsGame) {
    clsSaveData game;
    game.ForGame("Café ☃ story");
    FillAsThePlayerDoes(game);
    ASSERT_TRUE(game.Save("sd05-00"));
    clsSaveData same;
    same.ForGame("Café ☃ story");
    EXPECT_TRUE(same.Load("sd05-00")) << same.LoadError();
    Process().Debug.INIEncript = true;
    ASSERT_TRUE(game.Save("sd05-01"));
    EXPECT_TRUE(same.Load("sd05-01")) << same.LoadError();
}

TEST_F(SaveDataTest, AMissingSlotSaysSo) {
    EXPECT_FALSE(data.Load("sd09-08"));
    EXPECT_EQ(data.LoadError(), "it is missing, unreadable or damaged");
}

}  // namespace
}  // namespace zelk

namespace zelk {
namespace {

// A UTF-8 game's plain slots keep every character of its title and text; a
// slot it wrote while it was a CP932 game (before a translation) still loads.
TEST_F(SaveDataTest, AUtf8GamesPlainSlotRoundTripsEveryCharacter) {
    const std::string mixed = "Zoë — 日本語 — 한국어";
    Process().Debug.INIEncript = false;
    clsSaveData game;
    game.ForGame(mixed, TextEncoding::Utf8());
    FillAsThePlayerDoes(game);
    game.Var().KeyValue("name", mixed);
    game.VellStatus().KeyValue("DateString", mixed);
    ASSERT_TRUE(game.Save("sd01-00"));
    const std::string bytes = ReadFileBytes(game.SlotINIPath("sd01-00")).value_or("");
    EXPECT_EQ(bytes.rfind("[Game]\r\nTitle=" + mixed + "\r\n", 0), 0u) << bytes;

    clsSaveData same;
    same.ForGame(mixed, TextEncoding::Utf8());
    ASSERT_TRUE(same.Load("sd01-00")) << same.LoadError();
    EXPECT_EQ(same.Var().KeyValue("name"), mixed);
    EXPECT_EQ(same.VellStatus().KeyValue("DateString"), mixed);

    // Written by the CP932 edition of the game, read by its UTF-8 one.
    clsSaveData before;
    before.ForGame("ひかりの手紙");
    FillAsThePlayerDoes(before);
    before.Var().KeyValue("name", "灯里");
    ASSERT_TRUE(before.Save("sd02-00"));
    clsSaveData after;
    after.ForGame("ひかりの手紙", TextEncoding::Utf8());
    ASSERT_TRUE(after.Load("sd02-00")) << after.LoadError();
    EXPECT_EQ(after.Var().KeyValue("name"), "灯里");
    Process().Debug.INIEncript = true;
}

}  // namespace
}  // namespace zelk
