// zelk-tool check on a game's settings files: the slips an author makes in
// them, each named at its file and line with what the player would have
// done, starting from the game `zelk-tool new` makes, which checks clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tools/tool_process.h"

namespace zelk::testing {
namespace {

class SystemCheck : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = FreshFolder(
            "system-check-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        ASSERT_EQ(RunTool(mRoot, {"new", "game", "--size", "800x600"}).status, 0);
        mGame = mRoot / "game";
    }

    // Replaces the first `from` of a settings file (bytes, as the file holds
    // them: CP932, so only ASCII is replaced here).
    void Edit(const std::string& file, const std::string& from, const std::string& to) {
        std::string text = ReadAll(mGame / file);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << file << " has no " << from;
        text.replace(at, from.size(), to);
        WriteBytes(mGame / file, text);
    }

    // The line of a settings file that holds `text`, from 1.
    int LineOf(const std::string& file, const std::string& text) {
        const std::string all = ReadAll(mGame / file);
        const std::size_t at = all.find(text);
        EXPECT_NE(at, std::string::npos) << file << " has no " << text;
        return 1 + static_cast<int>(std::count(all.begin(), all.begin() + at, '\n'));
    }

    // The value of the first line that starts with `key=`.
    std::string ValueOf(const std::string& file, const std::string& key) {
        const std::string all = ReadAll(mGame / file);
        const std::size_t at = all.find(key);
        if (at == std::string::npos) return {};
        const std::size_t end = all.find_first_of("\r\n", at);
        return all.substr(at + key.size(), end - at - key.size());
    }

    // "WIDTH" x "HEIGHT" of the film spec `X,Y,WIDTH,HEIGHT` after `key`.
    std::string SpecSize(const std::string& file, const std::string& key) {
        std::vector<std::string> parts;
        std::stringstream in(ValueOf(file, key));
        for (std::string part; std::getline(in, part, ',');)
            parts.push_back(part);
        return parts.size() < 4 ? std::string() : parts[2] + "x" + parts[3];
    }

    std::string At(const std::string& file, const std::string& text) {
        return "game/" + file + ":" + std::to_string(LineOf(file, text));
    }

    ToolResult Check() { return RunTool(mRoot, {"check", "game"}); }

    static std::string Grey() {
        return ReadAll(fs::path(ZELK_TEST_DATA) / "pictures" / "grey.png");  // 6x3
    }

    fs::path mRoot;
    fs::path mGame;
};

TEST_F(SystemCheck, MisspeltKeysAreNamedWithTheSpellingThePlayerReads) {
    Edit("SystemInfo.ini", "EntryPoint=", "EntryPiont=");
    Edit("SystemInfo.ini", "Item:1=", "Iten:1=");
    Edit("game_mode.ini", "ChoiceCenter=", "ChoiceCentre=");
    Edit("title_mode.ini", "[menu]", "[menus]");

    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string game = At("SystemInfo.ini", "[Game]");
    EXPECT_EQ(
        SplitLines(run.out),
        (std::vector<std::string>{
            game + ": error: [Game] has no EntryPoint: the player needs it. Line " +
                std::to_string(LineOf("SystemInfo.ini", "EntryPiont")) +
                "'s \"EntryPiont\" looks like it: mend its spelling.",
            At("SystemInfo.ini", "EntryPiont") +
                ": warning: \"EntryPiont\" is no key the player reads in [Game]: did you mean "
                "\"EntryPoint\"?",
            At("SystemInfo.ini", "Iten:1") +
                ": warning: \"Iten:1\" is no key the player reads in [Nameplate]: did you mean "
                "\"Item:1\"?",
            At("game_mode.ini", "[WindowMode]") +
                ": error: [WindowMode] has no ChoiceCenter: the player needs it. Line " +
                std::to_string(LineOf("game_mode.ini", "ChoiceCentre")) +
                "'s \"ChoiceCentre\" looks like it: mend its spelling.",
            At("game_mode.ini", "ChoiceCentre") +
                ": warning: \"ChoiceCentre\" is no key the player reads in [WindowMode]: did "
                "you mean \"ChoiceCenter\"?",
            At("title_mode.ini", "[menus]") +
                ": warning: [menus] is no section the player reads in title_mode.ini: did you "
                "mean [menu]?",
            "1 scenarios: 2 errors, 4 warnings"}))
        << run.out;
}

// The language fonts and the reading voice follow: a value that is no tag
// is named, and so is a UTF-8 game that says none (a CP932 game is Japanese
// unless it says otherwise).
TEST_F(SystemCheck, TheGamesLanguageIsATagAndAUtf8GameDeclaresOne) {
    Edit("SystemInfo.ini", "Language=ja", "Language=Japanese");
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  At("SystemInfo.ini", "Language=") +
                      ": warning: Language=Japanese is not a language tag, and the player ignores "
                      "it. Write the language the game's text is written in as a tag such as ja, "
                      "en, fr, ar, zh-Hans or pt-BR (letters, digits and hyphens, first a 2- or "
                      "3-letter language).",
                  "1 scenarios: 0 errors, 1 warnings"}))
        << run.out;
    Edit("SystemInfo.ini", "Language=Japanese\r\n", "");
    EXPECT_EQ(Check().out, "1 scenarios: 0 errors, 0 warnings\n");

    ASSERT_EQ(RunTool(mRoot, {"new", "english", "--lang", "en"}).status, 0);
    const fs::path info = mRoot / "english" / "SystemInfo.ini";
    std::string text = ReadAll(info);
    const std::size_t at = text.find("Language=en\r\n");
    ASSERT_NE(at, std::string::npos);
    WriteBytes(info, text.erase(at, 13));
    const std::size_t game = text.find("[Game]");
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + game, '\n'));
    const ToolResult english = RunTool(mRoot, {"check", "english"});
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(SplitLines(english.out),
              (std::vector<std::string>{
                  "english/SystemInfo.ini:" + std::to_string(line) +
                      ": warning: this UTF-8 game declares no Language. The player chooses the "
                      "fonts for characters that several languages write differently (Han "
                      "characters, for one) and reads pages aloud by it; without it, each page's "
                      "script is guessed. Add Language=en (or the tag of the game's language) to "
                      "[Game].",
                  "1 scenarios: 0 errors, 1 warnings"}))
        << english.out;
}

TEST_F(SystemCheck, PicturesAreCheckedAgainstTheRowsAndTheScreenTheyFill) {
    // A name plate drawn with one row, though [Nameplate] has two items.
    WriteBytes(mGame / "image" / "nameplate.png", Grey());
    // A title picture and a scene's background smaller than the 800x600
    // screen.
    WriteBytes(mGame / "image" / "title_bg.png", Grey());
    WriteBytes(mGame / "image" / "ev_sky.png", Grey());
    // A text window drawn smaller than its place.
    WriteBytes(mGame / "image" / "win_back.png", Grey());
    // A logo and a button that were renamed in image/ but not here.
    fs::rename(mGame / "image" / "logo.png", mGame / "image" / "logo2.png");
    fs::rename(mGame / "image" / "wb_save.png", mGame / "image" / "wb_save2.png");
    // A button list naming a button that has no spec.
    Edit("game_mode.ini", "Buttons=save,", "Buttons=save,help,");

    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = SplitLines(run.out);
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has(At("game_mode.ini", "Nameplate=") +
                    ": error: picture \"nameplate\" of [WindowMode] Nameplate is 6x3: it needs 2 "
                    "rows of cells 40 pixels high (one per [Nameplate] item), 80 pixels in all. "
                    "Draw the missing rows."))
        << run.out;
    // Window type 0 shows the same picture.
    EXPECT_TRUE(has(At("game_mode.ini", "NamePlate=nameplate") +
                    ": error: picture \"nameplate\" of [wndtype:0] NamePlate is 6x3: it needs 2 "
                    "rows of cells 40 pixels high (one per [Nameplate] item), 80 pixels in all. "
                    "Draw the missing rows."))
        << run.out;
    EXPECT_TRUE(has(At("title_mode.ini", "bg=title_bg") +
                    ": warning: picture \"title_bg\" is 6x3, smaller than the screen (800x600): "
                    "the screen around it is left bare. Make it the screen's size."))
        << run.out;
    EXPECT_TRUE(has(At("scenario/main.txt", "bg ev_sky") +
                    ": warning: background \"ev_sky\" is 6x3, smaller than the screen "
                    "(800x600): the screen around it is left bare. Make it the screen's size."))
        << run.out;
    EXPECT_TRUE(has(At("game_mode.ini", "Back=win_back") +
                    ": warning: picture \"win_back\" of [WindowMode] Back is 6x3, smaller than "
                    "its place (" +
                    SpecSize("game_mode.ini", "Back=win_back,") +
                    "): part of the window is left bare. Draw it at its place's size."))
        << run.out;
    EXPECT_TRUE(has(At("title_mode.ini", "bg=logo") +
                    ": error: picture \"logo\" of [Logo] bg not found in image/. Mend the name "
                    "(without extension)."))
        << run.out;
    EXPECT_TRUE(has(At("game_mode.ini", "save=wb_save") +
                    ": error: picture \"wb_save\" of [WindowMode] save not found in image/. Mend "
                    "the name (without extension)."))
        << run.out;
    EXPECT_TRUE(has(At("game_mode.ini", "Buttons=save") +
                    ": error: \"help\" of Buttons has no key in [WindowMode]: add "
                    "help=PICTURE,X,Y,WIDTH,HEIGHT, or remove the name."))
        << run.out;
    EXPECT_EQ(lines.back(), "1 scenarios: 5 errors, 3 warnings") << run.out;
}

// The player starts only with its four screens' files and the settings'
// defaults; a key given twice counts once.
TEST_F(SystemCheck, MissingFilesAndSettingsAreErrors) {
    fs::remove(mGame / "saveload_mode.ini");
    Edit("SystemInfo.ini", "TextSpeed=", "TextSpede=");
    const std::string charCount = "CharCount=" + ValueOf("SystemInfo.ini", "CharCount=");
    Edit("SystemInfo.ini", charCount, charCount + "\r\nCharCount=10");

    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  At("SystemInfo.ini", "CharCount=10") +
                      ": warning: \"CharCount\" is given again: the one on line " +
                      std::to_string(LineOf("SystemInfo.ini", charCount)) +
                      " counts and this one is never read. Remove one.",
                  At("SystemInfo.ini", "[Config]") +
                      ": error: [Config] has no TextSpeed: the player needs it. Line " +
                      std::to_string(LineOf("SystemInfo.ini", "TextSpede")) +
                      "'s \"TextSpede\" looks like it: mend its spelling.",
                  At("SystemInfo.ini", "TextSpede") +
                      ": warning: \"TextSpede\" is no key the player reads in [Config]: did you "
                      "mean \"TextSpeed\"?",
                  "game/saveload_mode.ini: error: the player does not start without this file. "
                  "Give the game its saveload_mode.ini, in the game folder or packed.",
                  "1 scenarios: 2 errors, 2 warnings"}))
        << run.out;
}

// A converted copy left beside the scenarios (the iconv of a UTF-8 draft)
// is never read: check names it and pack leaves it out, saying so.
TEST_F(SystemCheck, FilesOfTheScenarioFolderThePlayerNeverReadsAreNamedAndNotPacked) {
    WriteBytes(mGame / "scenario" / "main.utf8.txt", "start:\nnot CP932 at all: é\n");
    WriteBytes(mGame / "scenario" / "notes.md", "to do\n");

    const ToolResult run = Check();
    EXPECT_EQ(run.status, 0) << run.out;
    const std::string why =
        ": warning: the player never reads this file: a scenario is NAME.txt, with no '.' in "
        "NAME. zelk-tool pack leaves it out; move it out of scenario/.";
    EXPECT_EQ(SplitLines(run.out), (std::vector<std::string>{"game/scenario/main.utf8.txt" + why,
                                                             "game/scenario/notes.md" + why,
                                                             "1 scenarios: 0 errors, 2 warnings"}));

    fs::create_directories(mRoot / "shipped");
    const ToolResult pack = RunTool(mRoot, {"pack", "game", "shipped/game.quor"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    const std::string left =
        ": left out, the player never reads it (a scenario is NAME.txt, with no '.' in NAME)\n";
    EXPECT_NE(pack.out.find("scenario/main.utf8.txt" + left), std::string::npos) << pack.out;
    EXPECT_NE(pack.out.find("scenario/notes.md" + left), std::string::npos) << pack.out;
    const ToolResult list = RunTool(mRoot, {"list", "shipped/game.quor"});
    EXPECT_EQ(list.out.find("main.utf8"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("notes"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\tmain\n"), std::string::npos) << list.out;
}

// A settings file of garbage is read as the player reads it: what it holds
// is named, and the check ends with its summary.
TEST_F(SystemCheck, GarbageInASettingsFileIsNamedNotFatal) {
    std::string garbage;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char pick = static_cast<char>(seed >> 24);
        garbage += (seed & 0x700) == 0 ? "\r\n["[seed % 3] : (seed & 0x7000) == 0 ? '=' : pick;
    }
    WriteBytes(mGame / "game_mode.ini", garbage);
    const ToolResult run = Check();
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err;
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().starts_with("1 scenarios: ")) << lines.back();
}

// The tutorial's first debug.ini started a game in the middle of its story,
// past the transition that shows the screen: its pages waited on black.
TEST_F(SystemCheck, ADebugEntryPointBeforeAnyTransitionIsAFrozenScreen) {
    const std::string recipe =
        "[debug]\r\nScenarioFileMode=True\r\nCGFileMode=True\r\nSoundFileMode=True\r\n"
        "EntryPoint=main.sea\r\nTitleSkip=True\r\n";
    WriteBytes(mGame / "debug.ini", recipe);
    ToolResult run = Check();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  At("scenario/main.txt", "\x8a\x43\x82\xcc\x8f\xe3") +
                      ": warning: debug.ini starts the game at main.sea with drawing stopped, "
                      "and this waits for the reader before a transition (wto, bto, mto, "
                      "da...) shows the screen: it waits on a black screen. Add "
                      "DrawActivity=True to debug.ini, or begin the scene with a transition.",
                  "1 scenarios: 0 errors, 1 warnings"}))
        << run.out;

    // The mended recipe, and the story's own start, are clean.
    WriteBytes(mGame / "debug.ini", recipe + "DrawActivity=True\r\n");
    run = Check();
    EXPECT_EQ(run.out, "1 scenarios: 0 errors, 0 warnings\n");
    WriteBytes(mGame / "debug.ini",
               "[debug]\r\nScenarioFileMode=True\r\nEntryPoint=main.start\r\nTitleSkip=True\r\n");
    run = Check();
    EXPECT_EQ(run.out, "1 scenarios: 0 errors, 0 warnings\n");
}

}  // namespace
}  // namespace zelk::testing
