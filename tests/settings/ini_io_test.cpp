#include "settings/ini_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/file_io.h"
#include "common/process.h"
#include "common/temp_folder.h"

namespace zelk {
namespace {

// Each test starts from the process defaults and leaves them so.
class IniIo : public ::testing::Test {
protected:
    IniIo() { Process().ResetFolders(folder.Path()); }
    ~IniIo() override {
        SetSystemIniFallback(nullptr);
        Process().ResetFolders("");
    }
    testing::TempFolder folder;
};

TEST_F(IniIo, PlainFilesAreCp932) {
    ASSERT_TRUE(WriteTextFile(folder / "a.ini", "[ゲーム]\r\n題=星"));
    EXPECT_EQ(ReadFileBytes(folder / "a.ini"), "[\x83Q\x81[\x83\x80]\r\n\x91\xE8=\x90\xAF");
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder / "a.ini", text));
    EXPECT_EQ(text, "[ゲーム]\r\n題=星");
}

TEST_F(IniIo, ReadingFailsCleanly) {
    std::string text = "stale";
    EXPECT_FALSE(ReadTextFile(folder / "missing.ini", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadScrambledFile(folder / "missing.ini", text));
}

// One rule for every plain text, a debug file's as a system file's.
TEST_F(IniIo, ANulByteEndsAPlainText) {
    ASSERT_TRUE(WriteFileAtomic(folder / "debug.ini",
                                std::string("[debug]\r\nTitleSkip=true\r\n\0\0garbage", 34)));
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder / "debug.ini", text));
    EXPECT_EQ(text, "[debug]\r\nTitleSkip=true\r\n");
    ASSERT_TRUE(WriteFileAtomic(folder / "zero.ini", std::string(8, '\0')));
    ASSERT_TRUE(ReadTextFile(folder / "zero.ini", text));
    EXPECT_EQ(text, "");
    // The same bytes as a system file.
    ASSERT_TRUE(WriteFileAtomic(folder / "title_mode.ini",
                                std::string("[debug]\nTitleSkip=true\n\0\0garbage", 32)));
    const auto ini = LoadSystemIni("title_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->Text(), "[debug]\r\nTitleSkip=true");
}

// The player's own files never hold a NUL: one is damage, and the file is
// not read, so that it is kept aside whole instead of written back cut.
TEST_F(IniIo, APlainUserFileWithANulIsNotRead) {
    Process().Debug.INIEncript = false;
    ASSERT_TRUE(WriteFileAtomic(folder / "config.ini", std::string("[Config]\r\nk=1\0k2=2", 18)));
    INIFile ini;
    EXPECT_FALSE(ReadIniFile(ini, folder / "config.ini"));
    EXPECT_EQ(ini.Text(), "");
    Process().Debug.INIEncript = true;
}

TEST_F(IniIo, StrayBytesInPlainTextDoNotStopTheRead) {
    ASSERT_TRUE(WriteFileAtomic(folder / "a.ini", "k=\x82\r\nx=1"));
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder / "a.ini", text));
    EXPECT_EQ(text, "k=\xEF\xBF\xBD\r\nx=1");
}

TEST_F(IniIo, BareLineFeedsReadAsTheCrLfLineEndsOfTheGamesFiles) {
    ASSERT_TRUE(WriteFileAtomic(folder / "a.ini", "[Game]\nTitle=t\r\nScreenSizeX=800\n\n"));
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder / "a.ini", text));
    EXPECT_EQ(text, "[Game]\r\nTitle=t\r\nScreenSizeX=800\r\n\r\n");
    INIFile ini;
    ASSERT_TRUE(ini.Load(folder / "a.ini"));
    EXPECT_EQ(ini.KeySection("Game").KeyValue("ScreenSizeX"), "800");
}

TEST_F(IniIo, ScrambledFormRotatesAndKeysUtf16) {
    EXPECT_EQ(ScrambleText("A"), "\x5B\x7A");
    EXPECT_EQ(UnscrambleText("\x5B\x7A"), "A");
    EXPECT_EQ(ScrambleText(""), "");
}

TEST_F(IniIo, ScrambledFilesRoundTripEveryCharacter) {
    std::string text = "[Config]\r\nFont=ＭＳ ゴシック\r\nemoji=\U0001F600\r\n";
    for (int i = 1; i < 300; ++i)
        text += static_cast<char>('a' + i % 26);  // past the key length
    ASSERT_TRUE(WriteScrambledFile(folder / "c.ini", text));
    std::string back;
    ASSERT_TRUE(ReadScrambledFile(folder / "c.ini", back));
    EXPECT_EQ(back, text);
}

TEST_F(IniIo, AnEmptyScrambledFileIsAnEmptyText) {
    ASSERT_TRUE(WriteScrambledFile(folder / "e.ini", ""));
    EXPECT_EQ(ReadFileBytes(folder / "e.ini"), "");
    std::string text = "x";
    EXPECT_TRUE(ReadScrambledFile(folder / "e.ini", text));
    EXPECT_EQ(text, "");
}

TEST_F(IniIo, GarbageIsNotAScrambledText) {
    EXPECT_FALSE(UnscrambleText("\x5B"));      // odd length
    EXPECT_FALSE(UnscrambleText("\x51\x7A"));  // NUL character
    EXPECT_FALSE(UnscrambleText(ScrambleText("A").substr(0, 1)));
    // A lone low surrogate: 0xDC00 scrambled by hand.
    const unsigned char low = static_cast<unsigned char>((0xDC << 3) | (0xDC >> 5)) ^ 'z';
    EXPECT_FALSE(UnscrambleText(std::string("\x51") + static_cast<char>(low)));
}

TEST_F(IniIo, IniFilesFollowTheScrambleSwitch) {
    INIFile ini;
    ini.Text("[S]\r\nk=v");
    Process().Debug.INIEncript = true;
    ASSERT_TRUE(WriteIniFile(ini, folder / "s.ini"));
    EXPECT_EQ(ReadFileBytes(folder / "s.ini"), ScrambleText("[S]\r\nk=v"));
    INIFile back;
    ASSERT_TRUE(ReadIniFile(back, folder / "s.ini"));
    EXPECT_EQ(back.KeySection("S").KeyValue("k"), "v");
    EXPECT_EQ(back.Path(), folder / "s.ini");

    Process().Debug.INIEncript = false;
    ReadIniFile(back, folder / "s.ini");
    EXPECT_FALSE(back.KeyExists("S")) << "scrambled bytes do not read as plain text";
    ASSERT_TRUE(WriteIniFile(ini, folder / "p.ini"));
    EXPECT_EQ(ReadFileBytes(folder / "p.ini"), "[S]\r\nk=v");
}

TEST_F(IniIo, ReadingAMissingIniFileEmptiesItAndSetsThePath) {
    INIFile ini;
    ini.Text("[Old]\r\nk=v");
    EXPECT_FALSE(ReadIniFile(ini, folder / "none.ini"));
    EXPECT_EQ(ini.Text(), "");
    EXPECT_EQ(ini.Path(), folder / "none.ini");
    EXPECT_TRUE(WriteIniFile(ini)) << "an empty path writes to Path";
    INIFile nowhere;
    EXPECT_FALSE(WriteIniFile(nowhere));
}

TEST_F(IniIo, AFailedWriteLeavesTheOldFile) {
    Process().Debug.INIEncript = true;
    ASSERT_TRUE(WriteScrambledFile(folder / "config.ini", "[Config]\r\nk=old"));
    const auto before = ReadFileBytes(folder / "config.ini");
    std::filesystem::create_directory(folder / "config.ini.d");
    EXPECT_FALSE(WriteScrambledFile(folder / "config.ini.d", "x"));
    EXPECT_FALSE(WriteScrambledFile(folder / "gone/config.ini", "x"));
    EXPECT_EQ(ReadFileBytes(folder / "config.ini"), before);
}

TEST_F(IniIo, LoadAndSaveUsePlainText) {
    INIFile ini;
    EXPECT_FALSE(ini.Load(folder / "none.ini"));
    EXPECT_FALSE(ini.Save());
    ini.Text("[A]\r\nk=値\r\n");
    ASSERT_TRUE(ini.Save(folder / "a.ini"));
    EXPECT_EQ(ini.Path(), folder / "a.ini");
    INIFile back;
    ASSERT_TRUE(back.Load(folder / "a.ini"));
    EXPECT_EQ(back.Text(), "[A]\r\nk=値");
}

TEST_F(IniIo, SystemFilesAreFoundWithoutRegardToCase) {
    ASSERT_TRUE(WriteTextFile(folder / "systeminfo.INI", "[Game]\r\nTitle=題"));
    const auto ini = LoadSystemIni("SystemInfo");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("game").KeyValue("title"), "題");
    EXPECT_EQ(ini->Path(), "");
    EXPECT_FALSE(LoadSystemIni("game_mode"));
}

// Any text is a settings document, one with no named section too: an empty
// file, comments only, lines before any header. What it lacks, its readers
// find missing key by key.
TEST_F(IniIo, SystemFilesWithoutANamedSectionStillLoad) {
    ASSERT_TRUE(WriteTextFile(folder / "omake_mode.ini", ""));
    auto ini = LoadSystemIni("omake_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->Count(), 1);
    EXPECT_EQ(ini->KeySection("repmode").KeyValue("RepModeText"), "");

    ASSERT_TRUE(WriteTextFile(folder / "game_mode.ini", "; only a comment\r\n[]\r\nk=v"));
    ini = LoadSystemIni("game_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("").KeyValue("k"), "v");
    EXPECT_EQ(ini->Text(), "; only a comment\r\n[]\r\nk=v");

    ASSERT_TRUE(WriteTextFile(folder / "title_mode.ini", "; notes\r\n[base]\r\nFadeTime=9"));
    ini = LoadSystemIni("title_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("base").KeyValue("FadeTime"), "9");
}

// Only a file that is missing or cannot be read is no settings file: a
// folder of its name is none, and neither is a fallback without it.
TEST_F(IniIo, MissingSystemFilesAreRefused) {
    EXPECT_FALSE(LoadSystemIni("saveload_mode"));
    std::filesystem::create_directory(folder / "saveload_mode.ini");
    EXPECT_FALSE(LoadSystemIni("saveload_mode"));
    SetSystemIniFallback([](const std::string&) { return std::nullopt; });
    EXPECT_FALSE(LoadSystemIni("title_mode"));
}

// A NUL byte ends the text, loose or archived: what comes before it loads.
TEST_F(IniIo, ANulByteEndsASystemFile) {
    ASSERT_TRUE(WriteFileAtomic(folder / "title_mode.ini",
                                std::string("[base]\r\nFadeTime=9\0\r\n[junk]\r\nx=1", 32)));
    auto ini = LoadSystemIni("title_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("base").KeyValue("FadeTime"), "9");
    EXPECT_FALSE(ini->KeyExists("junk"));

    ASSERT_TRUE(WriteFileAtomic(folder / "game_mode.ini", std::string("\0[base]", 7)));
    ini = LoadSystemIni("game_mode");
    ASSERT_TRUE(ini) << "an empty text, not no file";
    EXPECT_EQ(ini->Text(), "");

    SetSystemIniFallback([](const std::string&) -> std::optional<std::string> {
        return std::string("[cgmode_cmd]\r\ncmd0=1\0cmd1=2", 27);
    });
    ini = LoadSystemIni("omake_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("cgmode_cmd").KeyValue("cmd0"), "1");
    EXPECT_FALSE(ini->KeySection("cgmode_cmd").KeyExists("cmd1"));
}

TEST_F(IniIo, SystemFilesFallBackToTheInstalledSource) {
    SetSystemIniFallback([](const std::string& key) -> std::optional<std::string> {
        if (key == "omake_mode") return std::string("[cgmode_cmd]\r\ncmd0=\x8A\xBF,1");
        return std::nullopt;
    });
    const auto ini = LoadSystemIni("omake_mode");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->KeySection("cgmode_cmd").KeyValue("cmd0"), "漢,1");
    EXPECT_FALSE(LoadSystemIni("title_mode"));
    ASSERT_TRUE(WriteTextFile(folder / "omake_mode.ini", "[loose]"));
    EXPECT_TRUE(LoadSystemIni("omake_mode")->KeyExists("loose")) << "loose files come first";
}

}  // namespace
}  // namespace zelk
