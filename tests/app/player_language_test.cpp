// The player's own texts in the reader's language, as a script sees them
// through `menus` and the question boxes on standard error: the built-in
// Japanese in the C locale, English for an English desktop whose locale
// was never generated here, the settings dialog's choice shown at once and
// kept for the next start, and the items' states beside their captions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/zelk_process.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::CopyOfDemoGame;
using testing::PlayerRun;
using testing::RunScript;

// Only LANG speaks: the variables before it in the desktop's order are
// emptied (the test binary sets LANGUAGE for its own players).
std::string Desktop(const std::string& lang) {
    return "LANGUAGE= LC_ALL= LC_MESSAGES= LANG=" + lang;
}

// The `menus` answers of the run, one list per command.
std::vector<std::vector<std::string>> MenuListings(const PlayerRun& run) {
    std::vector<std::vector<std::string>> listings;
    bool inside = false;
    for (const std::string& line : run.lines) {
        if (line.starts_with("menu ")) {
            if (!inside) listings.emplace_back();
            listings.back().push_back(line);
            inside = true;
        } else {
            inside = false;
        }
    }
    return listings;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string StoredLanguage(const fs::path& folder) {
    std::string text;
    ReadScrambledFile((folder / "savedata" / "config.ini").string(), text);
    INIFile ini;
    ini.Text(text);
    return ini.KeySection("Config").KeyValue("Language");
}

// A speed chosen, the exit question answered "no", the dialog's language
// set to `choice`, then the menus and the question again.
const char* const kScript =
    "idle\n"
    "menus\n"
    "menu message!slow\n"
    "answer no\n"
    "menu file!exit\n"
    "menu property!system\n"
    "dialog set cmbSysLanguage %s\n"
    "dialog ok\n"
    "menus\n"
    "answer no\n"
    "menu file!exit\n"
    "quit\n";

std::string Script(const char* choice) {
    std::string script = kScript;
    script.replace(script.find("%s"), 2, choice);
    return script;
}

TEST(PlayerLanguage, MenusAndQuestionsFollowTheLocaleAndTheDialogsChoice) {
    const fs::path folder = CopyOfDemoGame("player_language_c");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";

    // [SECTION] The C locale: the built-in Japanese; English chosen.
    {
        const PlayerRun run = RunScript(folder, Script("2"), Desktop("C"));
        ASSERT_EQ(run.status, 0) << run.errors;
        const auto listings = MenuListings(run);
        ASSERT_EQ(listings.size(), 2u) << run.errors;
        const std::vector<std::string>& title = listings[0];
        // Headings first, then their items, separators left out.
        ASSERT_GE(title.size(), 3u);
        EXPECT_EQ(title[0], "menu file - - ファイル");
        EXPECT_EQ(title[1], "menu file!saveload 0 0 セーブ・ロード");
        EXPECT_EQ(title.back(), "menu help!version 1 0 バージョン情報");
        EXPECT_EQ(title.size(), 5u + 23u);
        EXPECT_TRUE(Has(title, "menu file!exit 1 0 終了"));
        EXPECT_TRUE(Has(title, "menu screen!window 1 1 ウィンドウ表示"));
        EXPECT_TRUE(Has(title, "menu message!normal 1 1 通常"));
        EXPECT_TRUE(Has(title, "menu message!skip 0 0 スキップ"));
        EXPECT_TRUE(Has(title, "menu message - - メッセージ"));
        // After the dialog's OK: English at once, the slow speed checked.
        const std::vector<std::string>& english = listings[1];
        EXPECT_EQ(english.size(), title.size());
        EXPECT_EQ(english[0], "menu file - - File");
        EXPECT_TRUE(Has(english, "menu message!slow 1 1 Slow"));
        EXPECT_TRUE(Has(english, "menu message!normal 1 0 Normal"));
        EXPECT_TRUE(Has(english, "menu property!system 1 0 System"));
        EXPECT_TRUE(Has(english, "menu help!version 1 0 About"));
        EXPECT_NE(run.errors.find("\tゲームを終了しますか。\tno\n"), std::string::npos)
            << run.errors;
        EXPECT_NE(run.errors.find("\tQuit the game?\tno\n"), std::string::npos) << run.errors;
        EXPECT_EQ(StoredLanguage(folder), "en");
    }

    // [SECTION] An English desktop (en_US is not generated on the test
    // machines): English; Japanese chosen.
    const fs::path english = CopyOfDemoGame("player_language_en");
    {
        const PlayerRun run = RunScript(english, Script("1"), Desktop("en_US.UTF-8"));
        ASSERT_EQ(run.status, 0) << run.errors;
        const auto listings = MenuListings(run);
        ASSERT_EQ(listings.size(), 2u) << run.errors;
        EXPECT_EQ(listings[0][0], "menu file - - File");
        EXPECT_TRUE(Has(listings[0], "menu file!saveload 0 0 Save and load"));
        EXPECT_TRUE(Has(listings[0], "menu message!clipboard 1 0 Copy text to the clipboard"));
        EXPECT_TRUE(Has(listings[1], "menu message!slow 1 1 遅い"));
        EXPECT_NE(run.errors.find("\tQuit the game?\tno\n"), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("\tゲームを終了しますか。\tno\n"), std::string::npos);
        EXPECT_EQ(StoredLanguage(english), "ja");
    }

    // [SECTION] The next start on that English desktop keeps the choice.
    {
        const PlayerRun run = RunScript(english, "idle\nmenus\nquit\n", Desktop("en_US.UTF-8"));
        ASSERT_EQ(run.status, 0) << run.errors;
        const auto listings = MenuListings(run);
        ASSERT_EQ(listings.size(), 1u) << run.errors;
        EXPECT_EQ(listings[0][0], "menu file - - ファイル");
    }
}

}  // namespace
}  // namespace zelk
