#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

const std::string kMixed = "Zoë — 日本語 — 한국어";

class IniEncoding : public ::testing::Test {
protected:
    IniEncoding() { Process().ResetFolders(folder.Path()); }
    ~IniEncoding() override {
        SetSystemIniFallback(nullptr);
        Process().ResetFolders("");
    }
    testing::TempFolder folder;
};

TEST_F(IniEncoding, AUtf8GamesPlainUserFilesRoundTripEveryCharacter) {
    Process().Debug.INIEncript = false;
    INIFile save;
    save.Encoding(TextEncoding::Utf8());
    save.KeySection("SaveData").KeyValue("Title", kMixed);
    save.KeySection("SaveData").KeyValue("Text", "> " + kMixed);
    ASSERT_TRUE(WriteIniFile(save, folder / "s.ini"));
    EXPECT_NE(ReadFileBytes(folder / "s.ini")->find(kMixed), std::string::npos);

    INIFile back;
    back.Encoding(TextEncoding::Utf8());
    ASSERT_TRUE(ReadIniFile(back, folder / "s.ini"));
    EXPECT_EQ(back.KeySection("SaveData").KeyValue("Title"), kMixed);
    EXPECT_EQ(back.KeySection("SaveData").KeyValue("Text"), "> " + kMixed);
    Process().Debug.INIEncript = true;
}

TEST_F(IniEncoding, ACp932GamesFilesAreWrittenByteForByteAsBefore) {
    Process().Debug.INIEncript = false;
    INIFile save;
    save.KeySection("SaveData").KeyValue("Title", "星の夜");
    ASSERT_TRUE(WriteIniFile(save, folder / "s.ini"));
    EXPECT_EQ(ReadFileBytes(folder / "s.ini"), "[SaveData]\r\n\r\nTitle=" + *Utf8ToCp932("星の夜"));
    Process().Debug.INIEncript = true;
}

// A game turned UTF-8 (a translation) still loads the saves its readers
// made while it was CP932.
TEST_F(IniEncoding, AnOldCp932SaveLoadsInAUtf8Game) {
    Process().Debug.INIEncript = false;
    ASSERT_TRUE(WriteFileAtomic(folder / "old.ini",
                                "[SaveData]\r\nTitle=" + *Utf8ToCp932("星の夜") + "\r\n"));
    INIFile back;
    back.Encoding(TextEncoding::Utf8());
    ASSERT_TRUE(ReadIniFile(back, folder / "old.ini"));
    EXPECT_EQ(back.KeySection("SaveData").KeyValue("Title"), "星の夜");
    Process().Debug.INIEncript = true;
}

TEST_F(IniEncoding, SystemInfoNamesTheGamesEncodingAndTheOthersFollowIt) {
    ASSERT_TRUE(
        WriteFileAtomic(folder / "SystemInfo.ini",
                        "\xEF\xBB\xBF[Game]\r\nEncoding=UTF-8\r\nTitle=" + kMixed + "\r\n"));
    std::string error;
    const auto info = LoadSystemIni("SystemInfo", TextEncoding(), &error);
    ASSERT_TRUE(info) << error;
    EXPECT_TRUE(info->Encoding().IsUtf8());
    EXPECT_EQ(info->KeySection("Game").KeyValue("Title"), kMixed);
    EXPECT_EQ(info->Sections()[0]->Text(), "") << "the byte-order mark is no text";

    ASSERT_TRUE(WriteFileAtomic(folder / "title_mode.ini", "[base]\nCaption=" + kMixed + "\n"));
    const auto title = LoadSystemIni("title_mode", info->Encoding(), &error);
    ASSERT_TRUE(title) << error;
    EXPECT_EQ(title->KeySection("base").KeyValue("Caption"), kMixed);
    EXPECT_TRUE(title->Encoding().IsUtf8());
}

TEST_F(IniEncoding, AFileInTheWrongEncodingIsRefusedWithItsLine) {
    // Saved by a UTF-8 editor, in a game that does not say UTF-8.
    ASSERT_TRUE(
        WriteFileAtomic(folder / "SystemInfo.ini", "[Game]\r\nScreenSizeX=640\r\nTitle=Zoë\r\n"));
    std::string error;
    EXPECT_FALSE(LoadSystemIni("SystemInfo", TextEncoding(), &error));
    EXPECT_EQ(error.rfind("SystemInfo.ini:3: this file is UTF-8; this game's files are CP932", 0),
              0u)
        << error;
    // A CP932 file in a UTF-8 game.
    ASSERT_TRUE(WriteFileAtomic(folder / "game_mode.ini",
                                "[a]\r\n\r\nb=" + *Utf8ToCp932("日本語") + "\r\n"));
    EXPECT_FALSE(LoadSystemIni("game_mode", TextEncoding::Utf8(), &error));
    EXPECT_EQ(error.rfind("game_mode.ini:3: this file is CP932; this game's files are UTF-8", 0),
              0u)
        << error;
    // A stray bad byte in a UTF-8 file: read as U+FFFD, and told.
    ASSERT_TRUE(WriteFileAtomic(folder / "omake_mode.ini", "[a]\r\nb=x\xFFy\r\n"));
    error.clear();
    const auto stray = LoadSystemIni("omake_mode", TextEncoding::Utf8(), &error);
    ASSERT_TRUE(stray);
    EXPECT_EQ(stray->KeySection("a").KeyValue("b"), "x\uFFFDy");
    EXPECT_EQ(error.rfind("omake_mode.ini:2: this file is not valid UTF-8", 0), 0u) << error;
    // An unknown declaration.
    ASSERT_TRUE(WriteFileAtomic(folder / "SystemInfo.ini", "[Game]\r\nEncoding=Latin-1\r\n"));
    EXPECT_FALSE(LoadSystemIni("SystemInfo", TextEncoding(), &error));
    EXPECT_EQ(error.rfind("SystemInfo.ini:2: [Game] Encoding=Latin-1", 0), 0u) << error;
}

TEST_F(IniEncoding, TextFilesOfAUtf8GameSkipTheMarkAndRoundTrip) {
    ASSERT_TRUE(WriteTextFile(folder / "t.txt", kMixed, TextEncoding::Utf8()));
    EXPECT_EQ(ReadFileBytes(folder / "t.txt"), kMixed);
    ASSERT_TRUE(WriteFileAtomic(folder / "b.txt", "\xEF\xBB\xBF" + kMixed));
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder / "b.txt", text, TextEncoding::Utf8()));
    EXPECT_EQ(text, kMixed);
}

}  // namespace
}  // namespace zelk
