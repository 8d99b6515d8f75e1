// Save slots that do not belong to the running game, as a reader meets them:
// copied from another game, shipped beside a game by a stranger, cut short or
// pointing where no scenario is. Each is refused with the load failure the
// reader knows, the game on the screen stays as it was and goes on; a save
// of an older build, which names no game, still loads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/file_io.h"
#include "modes/play_support.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Field;
using testing::PlayerRun;
using testing::RunScript;
using testing::SplitLines;
namespace fs = std::filesystem;

// A quick save of the demo game's first scene, made by a build from before
// saves named their game: the fuzzing seed less its first byte, which
// chooses the seed's form.
std::string OldSave() {
    const std::string seed =
        ReadFileBytes(ZELK_SOURCE_DIR "/fuzz/corpus/fuzz_save_slot/quick_save_first_scene.plain")
            .value_or(" ");
    return seed.substr(1);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// As the player stores slots: scrambled.
void WriteSlot(const fs::path& path, const std::string& plain) {
    ASSERT_TRUE(WriteFileAtomic(path.string(), ScrambleText(plain))) << path;
}

std::vector<std::string> Lines(const PlayerRun& run, const std::string& start) {
    std::vector<std::string> found;
    for (const std::string& line : SplitLines(run.errors))
        if (line.starts_with(start)) found.push_back(line);
    return found;
}

// The load buttons of page 1, slots 0 to 5.
const char* const kLoad[] = {"264 154", "264 276", "264 398", "576 154", "576 276", "576 398"};

TEST(StrangerSave, HostileSlotsAreRefusedTheGameStaysAndAnOldSaveStillLoads) {
    const fs::path folder = CopyOfDemoGame("stranger_save");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string old = Cp932ToUtf8Lossy(OldSave());
    ASSERT_NE(old.find("Address=s01.14\r\n"), std::string::npos);
    ASSERT_NE(old.find("Stack=main.3\r\n"), std::string::npos);
    const fs::path saves = folder / "savedata";

    WriteSlot(saves / "sd01-00.ini", old);
    WriteSlot(saves / "sd01-01.ini", Replaced(old, "Address=s01.14", "Address=s01.99999"));
    WriteSlot(saves / "sd01-02.ini", Replaced(old, "Address=s01.14", "Address=nosuch.3"));
    // Cut to an even length, which still unscrambles, inside the interpreter's status.
    std::string cut = ScrambleText(old);
    cut.resize(ScrambleText(old.substr(0, old.find("RestText="))).size());
    ASSERT_EQ(cut.size() % 2, 0u);
    ASSERT_TRUE(WriteFileAtomic((saves / "sd01-03.ini").string(), cut));
    WriteSlot(saves / "sd01-04.ini", "[Game]\r\nTitle=よその物語\r\n" + old + "\r\n[End]");
    WriteSlot(saves / "sd01-05.ini", Replaced(old, "Stack=main.3", "Stack=main.9999"));
    // The quick save the title offers, pointing past its script.
    WriteSlot(saves / "sd05-00.ini", Replaced(old, "Address=s01.14", "Address=s01.99999"));
    std::vector<std::string> stored;
    for (const char* slot : {"sd01-01", "sd01-02", "sd01-03", "sd01-04", "sd01-05", "sd05-00"})
        stored.push_back(ReadFileBytes((saves / (std::string(slot) + ".ini")).string()).value());

    // The title's quick load; a new game two pages in; every hostile slot of
    // page 1; back to the game and on; then the old save, and on from it.
    std::string script =
        "idle\nwait 3500\nidle\nclick 150 298\nidle\nstate\n"
        "click 150 254\nidle\nclick 320 240\nidle\nclick 320 240\nidle\nstate\n"
        "menu file!saveload\nidle\n";
    for (int slot = 1; slot <= 5; ++slot)
        script += "answer yes\nclick " + std::string(kLoad[slot]) + "\nidle\n";
    script +=
        "state\nclick 568 453\nidle\nstate\nclick 320 240\nidle\nstate\n"
        "menu file!saveload\nidle\nanswer yes\nclick " +
        std::string(kLoad[0]) + "\nidle\nstate\nclick 320 240\nidle\nstate\nquit\n";
    const PlayerRun run = RunScript(folder, script);

    EXPECT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 7u) << run.errors;
    // The refused quick load leaves the reader at the title.
    EXPECT_EQ(Field(states[0], "mode"), "1") << states[0];
    const std::string reading = states[1];
    ASSERT_EQ(Field(reading, "mode"), "2") << reading;
    // Every refusal leaves the save screen up, and the game behind it as it was.
    EXPECT_EQ(Field(states[2], "mode"), "3") << states[2];
    for (const char* field : {"mode", "script", "addr", "wait", "text"})
        EXPECT_EQ(Field(states[3], field), Field(reading, field)) << field;
    EXPECT_EQ(Field(states[4], "mode"), "2") << states[4];
    EXPECT_GT(std::stol(Field(states[4], "addr")), std::stol(Field(reading, "addr")));
    // The old save loads at its place and reads on.
    EXPECT_EQ(Field(states[5], "mode"), "2") << states[5];
    EXPECT_EQ(Field(states[5], "script"), "s01") << states[5];
    EXPECT_EQ(Field(states[5], "addr"), "14") << states[5];
    EXPECT_EQ(Field(states[6], "mode"), "2") << states[6];
    EXPECT_GT(std::stol(Field(states[6], "addr")), 14) << states[6];

    // Each refusal in the reader's words once, and its reason on the terminal.
    EXPECT_EQ(Lines(run, "ひかりの手紙\tクイックロードに失敗しました。").size(), 1u) << run.errors;
    EXPECT_EQ(Lines(run, "ひかりの手紙\tセーブデータをロードできませんでした。\tok").size(), 5u)
        << run.errors;
    const std::vector<std::string> terminal = Lines(run, "zelk: ");
    const std::vector<std::string> expected = {
        "zelk: cannot load the quick save sd05-00: its place s01.99999 lies outside the script "
        "'s01' (",
        "zelk: cannot load the save sd01-01: its place s01.99999 lies outside the script 's01' (",
        "zelk: cannot load the save sd01-02: its script 'nosuch' does not exist in this game",
        "zelk: cannot load the save sd01-03: it is incomplete: it has no [VellStatus] section",
        "zelk: cannot load the save sd01-04: it is a save of another game (\"よその物語\")",
        "zelk: cannot load the save sd01-05: in its call stack, its place main.9999 lies outside "
        "the script 'main' (",
    };
    ASSERT_EQ(terminal.size(), expected.size()) << run.errors;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(terminal[i].starts_with(expected[i])) << terminal[i];
    // Nothing of them was touched.
    size_t k = 0;
    for (const char* slot : {"sd01-01", "sd01-02", "sd01-03", "sd01-04", "sd01-05", "sd05-00"})
        EXPECT_EQ(ReadFileBytes((saves / (std::string(slot) + ".ini")).string()), stored[k++])
            << slot;
}

}  // namespace
}  // namespace zelk
