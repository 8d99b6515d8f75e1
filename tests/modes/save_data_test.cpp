#include "modes/save_data.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace zelk
