#include "scenario/shared_data.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

class SharedDataTest : public ::testing::Test {
protected:
    SharedDataTest() {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder / "savedata";
        system.Text("[Game]\r\nTitle=t\r\n[shared]\r\nclear=0\r\nseen=0");
        omake.Text(
            "[cgmode_cmd]\r\ncmd0=ev01,1,2\r\nCMD1=ev02\r\ncmd2=ev01,dup\r\nother=ev99\r\n"
            "; cmd3=ev98");
    }
    ~SharedDataTest() override { Process().ResetFolders(""); }

    std::unique_ptr<SharedData> Make() {
        Reporter reporter;
        reporter.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        auto data = std::make_unique<SharedData>(reporter);
        EXPECT_TRUE(data->Init(system, &omake));
        return data;
    }

    INIFile File() {
        INIFile file;
        ReadIniFile(file, Process().SaveDir + "/sd00.ini");
        return file;
    }

    // Counts writes of sd00.ini by the change of its inode: every write
    // renames a new file over the old one.
    ino_t Inode() {
        struct stat info {};
        ::stat((Process().SaveDir + "/sd00.ini").c_str(), &info);
        return info.st_ino;
    }

    testing::TempFolder folder;
    INIFile system;
    INIFile omake;
    std::vector<std::string> messages;
};

TEST_F(SharedDataTest, AMissingFileIsCreatedWithTheSharedVariables) {
    auto data = Make();
    EXPECT_EQ(File().KeySection("Var").KeyValue("clear"), "0");
    EXPECT_EQ(data->Var().KeyValue("seen"), "0");
}

TEST_F(SharedDataTest, VariablesDeclaredAfterTheFirstStartJoinWithTheirFirstValues) {
    Make()->Var().KeyValue("clear", "1");
    system.Text("[Game]\r\nTitle=t\r\n[shared]\r\nclear=0\r\nseen=0\r\nplays=3\r\n; gone=1");
    auto data = Make();
    EXPECT_EQ(data->Var().KeyValue("clear"), "1");
    EXPECT_EQ(data->Var().KeyValue("plays"), "3");
    EXPECT_FALSE(data->Var().KeyExists("gone"));
    data.reset();
    EXPECT_EQ(File().KeySection("Var").KeyValue("plays"), "3");
}

TEST_F(SharedDataTest, InitFailsWhenTheFileCannotBeCreated) {
    ASSERT_TRUE(WriteFileAtomic(folder / "savedata", "a file where the folder should be"));
    SharedData data;
    EXPECT_FALSE(data.Init(system, &omake));
}

TEST_F(SharedDataTest, ConsecutiveMarksFormOneRange) {
    auto data = Make();
    for (long n : {5, 6, 7})
        data->AddCmdHistory("A", n);
    EXPECT_EQ(data->CmdHistorySection(), "A:5-7");
    data->AddCmdHistory("A", 9);
    data->AddCmdHistory("A", 8);
    EXPECT_EQ(data->CmdHistorySection(), "A:5-9");
}

TEST_F(SharedDataTest, MarksMergeFromEverySide) {
    auto data = Make();
    for (long n : {10, 2, 20, 11, 1, 4, 3, 19, 15, 5, 5, 0})
        data->AddCmdHistory("s", n);
    EXPECT_EQ(data->CmdHistorySection(), "s:0-5,10-11,15,19-20");
    data->AddCmdHistory("s", 12);
    data->AddCmdHistory("s", 14);
    data->AddCmdHistory("s", 13);
    EXPECT_EQ(data->CmdHistorySection(), "s:0-5,10-15,19-20");
}

TEST_F(SharedDataTest, AChangeOfScenarioSavesTheFile) {
    auto data = Make();
    const ino_t created = Inode();
    data->AddCmdHistory("A", 3);
    EXPECT_EQ(Inode(), created);
    data->AddCmdHistory("B", 1);
    const ino_t first = Inode();
    EXPECT_NE(first, created);
    EXPECT_EQ(File().KeySection("AlreadyRead").Text(), "A:3");
    data->AddCmdHistory("A", 4);
    EXPECT_NE(Inode(), first);
    EXPECT_EQ(data->CmdHistorySection(), "A:3-4\r\nB:1");
}

TEST_F(SharedDataTest, MarksSurviveARestart) {
    {
        auto data = Make();
        data->AddCmdHistory("A", 1);
        data->AddCmdHistory("A", 2);
    }
    auto data = Make();
    EXPECT_TRUE(data->CmdExists("A", 2));
    EXPECT_FALSE(data->CmdExists("a", 2)) << "names compare exactly";
}

TEST_F(SharedDataTest, CmdExistsLooksThroughEveryRangeAndEntry) {
    auto data = Make();
    data->CmdHistorySection("A:1-3,10\r\nB:7");
    EXPECT_TRUE(data->CmdExists("A", 2));
    EXPECT_TRUE(data->CmdExists("A", 10));
    EXPECT_FALSE(data->CmdExists("A", 4));
    EXPECT_TRUE(data->CmdExists("B", 7));
    EXPECT_FALSE(data->CmdExists("C", 7));
    data->AddCmdHistory("B", 8);
    EXPECT_TRUE(data->CmdExists("A", 1)) << "entries before the current one";
}

TEST_F(SharedDataTest, WritingMarksTrimsAndReadsNumbersLeniently) {
    auto data = Make();
    data->CmdHistorySection("\r\n  A:1-x,abc,4 \r\n\r\n");
    EXPECT_EQ(data->CmdHistorySection(), "A:1-0,0,4");
    data->CmdHistorySection(" \r\n");
    EXPECT_EQ(data->CmdHistorySection(), "");
    EXPECT_FALSE(data->CmdExists("A", 4));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharedDataTest, ACorruptLineIsReportedAndReplaced) {
    auto data = Make();
    data->CmdHistorySection("A:1\r\ngarbage\r\nB:2");
    EXPECT_EQ(messages,
              std::vector<std::string>{"システムデータに予期しないエラーが発生しました。"});
    EXPECT_EQ(data->CmdHistorySection(), "A:1\r\nERROR_SCENARIO:0\r\nB:2");
    EXPECT_TRUE(data->CmdExists("B", 2));
}

TEST_F(SharedDataTest, OnlyIndexedPicturesAreRecorded) {
    auto data = Make();
    const ino_t before = Inode();
    data->AddCGHistory("ev99");
    data->AddCGHistory("ev98");
    EXPECT_EQ(Inode(), before) << "nothing written";
    data->AddCGHistory("EV02");
    EXPECT_EQ(File().KeySection("CGHistory").KeyValue("ev02"), "1");
    data->AddCGHistory("ev01");
    EXPECT_EQ(data->CGHistory().KeyValue("EV01"), "1");
}

TEST_F(SharedDataTest, WithoutTheExtrasFileNoPictureIsRecorded) {
    SharedData data;
    ASSERT_TRUE(data.Init(system, nullptr));
    data.AddCGHistory("ev01");
    EXPECT_FALSE(data.CGHistory().KeyExists("ev01"));
}

TEST_F(SharedDataTest, AnUnreadableFileIsKeptAsideAndRecreated) {
    Process().Debug.INIEncript = true;
    ::mkdir(Process().SaveDir.c_str(), 0755);
    ASSERT_TRUE(WriteFileAtomic(Process().SaveDir + "/sd00.ini", "odd"));
    auto data = Make();
    EXPECT_EQ(ReadFileBytes(Process().SaveDir + "/sd00.ini.broken"), "odd");
    EXPECT_EQ(File().KeySection("Var").KeyValue("clear"), "0");
}

// The read marks are written at every change of scenario: a folder that
// went away (or turned read-only) is told once, not at every change, and
// again once a write in between has succeeded.
TEST_F(SharedDataTest, AWriteThatFailsIsToldOnceUntilOneSucceeds) {
    auto data = Make();
    const std::string saves = Process().SaveDir;
    ASSERT_EQ(::rename(saves.c_str(), (saves + "-away").c_str()), 0);
    ::testing::internal::CaptureStderr();
    data->AddCmdHistory("a", 1);
    data->AddCmdHistory("b", 1);
    data->AddCmdHistory("a", 2);
    EXPECT_FALSE(data->Save());
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "zelk: cannot write " + saves + "/sd00.ini: No such file or directory\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(saves + "/sd00.ini"), std::string::npos) << messages[0];

    ASSERT_EQ(::rename((saves + "-away").c_str(), saves.c_str()), 0);
    EXPECT_TRUE(data->Save());
    ASSERT_EQ(::rename(saves.c_str(), (saves + "-away").c_str()), 0);
    EXPECT_FALSE(data->Save());
    EXPECT_EQ(messages.size(), 2u);
    ASSERT_EQ(::rename((saves + "-away").c_str(), saves.c_str()), 0);
}

}  // namespace
}  // namespace zelk
