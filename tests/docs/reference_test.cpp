// The authors' reference in docs/ is whole: every command word the
// interpreter runs has its heading in the scenario language's page, and
// every key the player reads from a game's system files, while it plays the
// demo game through every screen, is described under its file and section.
// Both lists come from the program itself, so a new command or a new key
// that the reference lacks fails here, named.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "docs/reference_text.h"
#include "interpreter/command_table.h"
#include "modes/play_support.h"
#include "zelk-tool/system_keys.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::CopyOfDemoGame;
using testing::DocumentedFiles;
using testing::Documents;
using testing::Field;
using testing::HasHeadingFor;
using testing::Reader;
using testing::ReadReference;
using testing::SplitLines;

// [SECTION] The reading of the reference

TEST(ReferenceText, NamesWithPlaceholdersCoverNumberedKeys) {
    const std::string text =
        "## `SystemInfo.ini`\n"
        "### `[Game]`\n"
        "`Title` is the title; `EntryPoint=main.start` starts it.\n"
        "### `[Nameplate]`\n"
        "`Count`, then `Item:<n>`.\n"
        "### `[wndtype:<n>]`, `[const]`\n"
        "Keys `<name>`.\n"
        "## `game_mode.ini`\n"
        "### `[Base]`\n"
        "`ClickSE`\n";
    const auto files = DocumentedFiles(text);
    EXPECT_TRUE(Documents(files, "SystemInfo", "game", "title"));
    EXPECT_TRUE(Documents(files, "SystemInfo", "Game", "EntryPoint"));
    EXPECT_TRUE(Documents(files, "SystemInfo", "Nameplate", "Item:12"));
    EXPECT_FALSE(Documents(files, "SystemInfo", "Nameplate", "Item:x"));
    EXPECT_FALSE(Documents(files, "SystemInfo", "Nameplate", "Title"));
    EXPECT_TRUE(Documents(files, "SystemInfo", "wndtype:1", "anything"));
    EXPECT_TRUE(Documents(files, "SystemInfo", "const", "pos_l"));
    EXPECT_TRUE(Documents(files, "SystemInfo", "const", ""));
    EXPECT_FALSE(Documents(files, "SystemInfo", "Config", ""));
    // A key of one file is not documented by another file's section.
    EXPECT_FALSE(Documents(files, "game_mode", "Game", "Title"));
    EXPECT_TRUE(Documents(files, "GAME_MODE", "base", "clickse"));
    EXPECT_FALSE(Documents(files, "title_mode", "Base", "ClickSE"));
}

TEST(ReferenceText, HeadingsNameWordsWhole) {
    const std::string text = "# Words\n### `cg` and `cgh`\nSee `bg` in the text.\n";
    EXPECT_TRUE(HasHeadingFor(text, "cgh"));
    EXPECT_TRUE(HasHeadingFor(text, "CG"));
    EXPECT_FALSE(HasHeadingFor(text, "bg"));
    EXPECT_FALSE(HasHeadingFor(text, "c"));
}

// [SECTION] Command words

TEST(Reference, EveryCommandWordHasItsHeading) {
    const std::string scenario = ReadReference("scenario.md");
    ASSERT_FALSE(scenario.empty()) << "docs/scenario.md is missing";
    std::vector<std::string> words;
    for (std::string_view word : CommandWords())
        words.emplace_back(word);
    // The block words never reach the interpreter: the conversion turns
    // them into jumps.
    for (const char* block : {"if", "elseif", "else", "endif"})
        words.emplace_back(block);
    ASSERT_GT(words.size(), 60u);
    for (const std::string& word : words)
        EXPECT_TRUE(HasHeadingFor(scenario, word))
            << "docs/scenario.md has no heading for the command `" << word << "`";
}

// [SECTION] System-file keys

class Trace {
public:
    explicit Trace(const fs::path& file) {
        for (const std::string& line : SplitLines(testing::ReadAll(file))) {
            std::vector<std::string> parts;
            std::size_t start = 0;
            for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
                 start = tab + 1)
                parts.push_back(line.substr(start, tab - start));
            parts.push_back(line.substr(start));
            if (parts.size() == 3) mReads.insert({parts[0], parts[1], parts[2]});
        }
    }
    struct Read {
        std::string file, section, key;
        auto operator<=>(const Read&) const = default;
    };
    const std::set<Read>& Reads() const { return mReads; }
    bool Has(const std::string& file, const std::string& section, const std::string& key) const {
        return mReads.contains({file, section, key});
    }

private:
    std::set<Read> mReads;
};

// Skips on, answering each choice with its item `choice` and each clickable
// area with its first, until the story leaves the game mode.
void SkipChoosing(Reader& reader, size_t choice) {
    for (int i = 0; i < 300 && reader.Get("mode") == "2"; ++i) {
        if (reader.Choose(choice)) continue;
        reader.Do("hold ctrl 1500");
    }
}

// Clicks the n-th rectangle of a kind; false when there is none such.
bool ClickNth(Reader& reader, const std::string& stag, size_t n) {
    const std::vector<testing::EventRect> rects = reader.Rects(stag);
    return rects.size() > n && reader.Click(rects[n]);
}

bool AtMode(Reader& reader, const std::string& mode) {
    return reader.Do("idle") && reader.Get("mode") == mode;
}

// Every screen of the demo game once: the title and its load screen, a
// game with its log, settings dialog, save/load screen, window buttons and
// quick save; both endings with their different choices and staff rolls;
// the quick load; the gallery, a replay and the music room.
void PlayEveryScreen(Reader& reader) {
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(ClickNth(reader, "main_menu", 2));
    ASSERT_TRUE(AtMode(reader, "3")) << reader.State();
    ASSERT_TRUE(ClickNth(reader, "ret", 0));
    ASSERT_TRUE(reader.AtTitle()) << reader.State();

    ASSERT_TRUE(ClickNth(reader, "main_menu", 0));
    for (int page = 0; page < 4; ++page)
        ASSERT_TRUE(reader.Do("click 320 240") && reader.Do("idle"));
    ASSERT_TRUE(AtMode(reader, "2")) << reader.State();
    ASSERT_TRUE(reader.Do("wheel 1") && reader.Do("idle"));
    ASSERT_TRUE(reader.Do("wheel -1") && reader.Do("idle"));
    for (const char* tab : {"system", "screen", "sound", "char"}) {
        ASSERT_TRUE(reader.Do(std::string("menu property!") + tab)) << tab;
        ASSERT_TRUE(reader.Do("dialog cancel") && reader.Do("idle")) << tab;
    }
    ASSERT_TRUE(reader.Do("menu file!saveload"));
    ASSERT_TRUE(AtMode(reader, "3")) << reader.State();
    ASSERT_TRUE(reader.Do("answer yes"));
    ASSERT_TRUE(ClickNth(reader, "save", 0));
    ASSERT_TRUE(ClickNth(reader, "ret", 0));
    ASSERT_TRUE(reader.Do("answer yes") && reader.Do("menu file!qsave") && reader.Do("idle"));
    for (const auto& button : reader.Rects("wndbutton")) {
        if (button.extension == "log") {
            ASSERT_TRUE(reader.Click(button));
        }
    }
    ASSERT_TRUE(reader.Do("rclick 320 240") && reader.Do("idle"));
    SkipChoosing(reader, 0);
    ASSERT_TRUE(AtMode(reader, "4")) << reader.State();
    ASSERT_TRUE(reader.Do("wait 1000") && reader.Do("rclick 320 240"));
    ASSERT_TRUE(reader.AtTitle()) << reader.State();

    ASSERT_TRUE(reader.Do("answer yes"));
    ASSERT_TRUE(ClickNth(reader, "main_menu", 1));
    ASSERT_TRUE(AtMode(reader, "2")) << reader.State();
    ASSERT_TRUE(reader.Do("answer yes") && reader.Do("menu file!title") && reader.Do("idle"));
    ASSERT_TRUE(reader.AtTitle()) << reader.State();

    ASSERT_TRUE(ClickNth(reader, "main_menu", 0));
    SkipChoosing(reader, 1);
    ASSERT_TRUE(AtMode(reader, "4")) << reader.State();
    ASSERT_TRUE(reader.Do("wait 1000") && reader.Do("rclick 320 240"));
    ASSERT_TRUE(reader.AtTitle()) << reader.State();

    // The gallery: a panel's pictures one click each, back to the page.
    ASSERT_TRUE(ClickNth(reader, "main_menu", 3));
    ASSERT_TRUE(AtMode(reader, "5")) << reader.State();
    ASSERT_TRUE(ClickNth(reader, "panel", 1));
    for (int i = 0; i < 10 && reader.Rects("mode").empty(); ++i)
        ASSERT_TRUE(reader.Do("click 320 240") && reader.Do("idle"));
    ASSERT_TRUE(ClickNth(reader, "mode", 1));
    ASSERT_TRUE(ClickNth(reader, "panel", 0));
    SkipChoosing(reader, 0);
    ASSERT_TRUE(AtMode(reader, "5")) << reader.State();
    ASSERT_TRUE(ClickNth(reader, "mode", 2));
    ASSERT_TRUE(ClickNth(reader, "panel", 1));
    for (size_t i = 0; i < reader.Rects("command").size(); ++i)
        ASSERT_TRUE(ClickNth(reader, "command", i));
    ASSERT_TRUE(ClickNth(reader, "ret", 0));
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    EXPECT_EQ(reader.Quit(), 0);
}

TEST(Reference, EverySystemFileKeyThePlayerReadsIsDescribed) {
    const std::string reference = ReadReference("system-files.md");
    ASSERT_FALSE(reference.empty()) << "docs/system-files.md is missing";
    const fs::path folder = CopyOfDemoGame("reference_keys");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const fs::path traceFile = folder / "keys.txt";
    {
        Reader reader(folder, {{"ZELK_KEY_TRACE", traceFile.string()}});
        PlayEveryScreen(reader);
    }
    const Trace trace(traceFile);
    // The trace itself works: it holds reads of each file.
    ASSERT_TRUE(trace.Has("SystemInfo", "Game", "Title"));
    ASSERT_TRUE(trace.Has("game_mode", "WindowMode", "Text"));
    ASSERT_TRUE(trace.Has("title_mode", "menu", "Buttons"));
    ASSERT_TRUE(trace.Has("saveload_mode", "SlotBase", "Thumb"));
    ASSERT_TRUE(trace.Has("omake_mode", "cgmode", "bg"));

    const auto documented = DocumentedFiles(reference);
    std::vector<std::string> missing;
    for (const auto& read : trace.Reads()) {
        if (!Documents(documented, read.file, read.section, read.key)) {
            missing.push_back(read.file + ".ini [" + read.section + "]" +
                              (read.key.empty() ? std::string() : " " + read.key));
        }
    }
    std::string list;
    for (const std::string& line : missing)
        list += "\n  " + line;
    EXPECT_TRUE(missing.empty()) << "docs/system-files.md does not describe:" << list;

    // zelk-tool check warns of a key its table does not know: every key
    // the player read must be in it.
    std::string unknown;
    for (const auto& read : trace.Reads()) {
        if (!tool::KnowsKey(read.file, read.section, read.key)) {
            unknown += "\n  " + read.file + ".ini [" + read.section + "]" +
                       (read.key.empty() ? std::string() : " " + read.key);
        }
    }
    EXPECT_TRUE(unknown.empty()) << "tools/zelk-tool/system_keys.cpp does not know:" << unknown;
}

}  // namespace
}  // namespace zelk
