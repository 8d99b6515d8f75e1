#include "scenario/script_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/process.h"
#include "scenario/fake_scenario_host.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class ScriptManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelk-scripts-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        workspace = pattern;
        fs::create_directories(workspace / "scenario");
        Process().WorkspaceDir = workspace.string();
    }
    void TearDown() override { fs::remove_all(workspace); }

    void WriteScenario(const std::string& fileName, const std::string& text) {
        std::ofstream(workspace / "scenario" / fileName, std::ios::binary)
            << Utf8ToCp932(text).value();
    }

    fs::path workspace;
    testing::FakeScenarioHost host;
    ScriptManager manager{host};
};

// [SECTION] Loose files

TEST_F(ScriptManagerTest, ALooseScenarioIsReadAsCp932AndConverted) {
    WriteScenario("Prologue.TXT", "Start:\r\nあいう\r\n\\b\r\nGo Start");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_EQ(manager.ScenarioFolder(), (workspace / "scenario").string());

    const auto script = manager.GetScript("prologue", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->Name(), "prologue");
    EXPECT_EQ(script->Count(), 2);
    EXPECT_EQ(script->Element(0), "put\t\"あいう\"");
    EXPECT_EQ(script->Element(1), "go\tstart");
    EXPECT_EQ(script->LabelAddress("start"), 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ScriptManagerTest, ScriptsAreCachedByNameWhateverTheCase) {
    WriteScenario("main.txt", "nop");
    ASSERT_TRUE(manager.Init(true, ""));
    const auto first = manager.GetScript("main", false);
    fs::remove(workspace / "scenario" / "main.txt");
    EXPECT_EQ(manager.GetScript("MAIN", false), first);
}

TEST_F(ScriptManagerTest, AMissingFileGivesNothingSilently) {
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_EQ(manager.GetScript("none", false), nullptr);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ScriptManagerTest, AConversionErrorIsShownAndNothingIsCached) {
    WriteScenario("bad.txt", "nop\r\nif a // open\r\nelse x");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_EQ(manager.GetScript("bad", false), nullptr);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "シナリオアセンブルエラー  bad . 3\r\nelse x\r\nＥＬＳＥの構文エラーです。");

    WriteScenario("bad.txt", "nop");
    EXPECT_NE(manager.GetScript("bad", false), nullptr);
}

TEST_F(ScriptManagerTest, InitFailsWithoutUsableConverterSettings) {
    host.systemInfo.KeySection("TextBlock").KeyValue("CharCount", "0");
    EXPECT_FALSE(manager.Init(true, ""));
}

// [SECTION] Archives

TEST_F(ScriptManagerTest, ArchiveScriptsAreAlreadyRegular) {
    host.archive["story"] = "top:put\t\"x\"\r\nif\ta\t\t0";
    ASSERT_TRUE(manager.Init(false, ""));
    const auto script = manager.GetScript("story", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->Element(0), "put\t\"x\"");
    EXPECT_EQ(script->Element(1), "if\ta\t\t0");
    EXPECT_EQ(manager.ScenarioFolder(), "");
    EXPECT_EQ(manager.GetScript("nothing", false), nullptr);
}

TEST_F(ScriptManagerTest, AParseErrorIsShownButTheScriptStays) {
    host.archive["dup"] = "a:nop\r\na:nop";
    ASSERT_TRUE(manager.Init(false, ""));
    const auto script = manager.GetScript("dup", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(host.messages, std::vector<std::string>{"パースエラー：ラベル'a'が重複しています。"});
    EXPECT_EQ(manager.GetScript("dup", false), script);
    EXPECT_EQ(host.messages.size(), 1u);
}

// [SECTION] Reserved scripts and disposal

TEST_F(ScriptManagerTest, ReservedScriptsSurviveDisposeButNotDisposeAll) {
    host.archive = {{"sys", "nop"}, {"story", "nop"}};
    ASSERT_TRUE(manager.Init(false, "sys"));
    const auto story = manager.GetScript("story", false);
    host.archiveReads = 0;

    manager.Dispose("SYS");
    manager.Dispose("story");
    EXPECT_TRUE(manager.GetScript("sys", false)->Reserved());
    EXPECT_EQ(host.archiveReads, 0);
    EXPECT_NE(manager.GetScript("story", false), story);
    EXPECT_EQ(host.archiveReads, 1);

    manager.DisposeAllScript();
    EXPECT_FALSE(manager.GetScript("sys", false)->Reserved());
    EXPECT_EQ(host.archiveReads, 2);
    // A script in use lives on after it left the cache.
    EXPECT_EQ(story->Element(0), "nop");
}

TEST_F(ScriptManagerTest, AReserveListWithAMissingScriptFails) {
    host.archive["a"] = "nop";
    EXPECT_FALSE(manager.Init(false, "a,b"));
    EXPECT_TRUE(manager.GetScript("a", false)->Reserved());
}

TEST_F(ScriptManagerTest, TheLoadedListShowsOnlyInDebugMode) {
    host.archive = {{"sys", "nop"}, {"story", "nop"}};
    ASSERT_TRUE(manager.Init(false, "sys"));
    manager.GetScript("story", false);
    EXPECT_EQ(manager.DebugShowLoadedScript(), "");
    host.debugMode = true;
    EXPECT_EQ(manager.DebugShowLoadedScript(), "sys (reserved)\r\nstory");
}

// [SECTION] Where a script came from

TEST_F(ScriptManagerTest, ALooseScriptKnowsItsFileAndLines) {
    WriteScenario("Prologue.TXT", "// opening\r\nstart:\r\nあいう\r\n\\b\r\n\r\ngo start");
    ASSERT_TRUE(manager.Init(true, ""));
    const auto script = manager.GetScript("prologue", false);
    ASSERT_TRUE(script);
    // The file as it is on the disk, the block on its first line.
    EXPECT_EQ(script->Place(0), "Prologue.TXT:3");
    EXPECT_EQ(script->Place(1), "Prologue.TXT:6");
    EXPECT_EQ(script->Place(2), "Prologue.TXT:6");
}

TEST_F(ScriptManagerTest, AConversionErrorNamesFileAndLineForTheAuthor) {
    WriteScenario("bad.txt", "nop\r\nif a // open\r\nelse x");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_EQ(manager.GetScript("bad", false), nullptr);
    EXPECT_EQ(host.scenarioErrors,
              std::vector<std::string>{"bad.txt:3: ＥＬＳＥの構文エラーです。"});
}

TEST_F(ScriptManagerTest, ADuplicateLabelNamesItsPlace) {
    WriteScenario("dup.txt", "a:\r\nnop\r\n\r\nA: nop");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_TRUE(manager.GetScript("dup", false));
    EXPECT_EQ(host.scenarioErrors,
              std::vector<std::string>{"dup.txt:4: ラベル'a'が重複しています。"});
}

TEST_F(ScriptManagerTest, AnArchivedScriptHasNoFile) {
    host.archive["story"] = "nop\r\nnop";
    ASSERT_TRUE(manager.Init(false, ""));
    const auto script = manager.GetScript("story", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->SourceFile(), "");
    EXPECT_EQ(script->Place(1), "story 第2要素");
}

// [SECTION] Reloading for the author

TEST_F(ScriptManagerTest, AReloadReadsTheEditedFileAndStartsTheCacheAfresh) {
    WriteScenario("main.txt", "nop");
    WriteScenario("other.txt", "nop");
    WriteScenario("sys.txt", "nop");
    ASSERT_TRUE(manager.Init(true, "sys"));
    const auto before = manager.GetScript("main", false);
    const auto other = manager.GetScript("other", false);
    const auto sys = manager.GetScript("sys", false);

    WriteScenario("main.txt", "let x, 1\r\nnop");
    const auto after = manager.Reload("MAIN");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->Count(), 2);
    EXPECT_EQ(manager.GetScript("main", false), after);
    // The others are read again when asked for; reserved ones at once.
    EXPECT_EQ(manager.Cached("other"), nullptr);
    EXPECT_NE(manager.GetScript("other", false), other);
    const auto sysAfter = manager.Cached("sys");
    ASSERT_TRUE(sysAfter);
    EXPECT_NE(sysAfter, sys);
    EXPECT_TRUE(sysAfter->Reserved());
    // The old script lives on for whoever still runs it.
    EXPECT_EQ(before->Count(), 1);
}

TEST_F(ScriptManagerTest, AReloadThatNoLongerConvertsKeepsTheCache) {
    WriteScenario("main.txt", "nop");
    ASSERT_TRUE(manager.Init(true, ""));
    const auto before = manager.GetScript("main", false);
    WriteScenario("main.txt", "nop\r\nendif");
    EXPECT_EQ(manager.Reload("main"), nullptr);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.scenarioErrors, std::vector<std::string>{"main.txt:2: endif without if"});
    EXPECT_EQ(manager.Cached("main"), before);

    // A file gone is no reload either.
    fs::remove(workspace / "scenario" / "main.txt");
    EXPECT_EQ(manager.Reload("main"), nullptr);
    EXPECT_EQ(manager.Cached("main"), before);
}

}  // namespace
}  // namespace zelk
