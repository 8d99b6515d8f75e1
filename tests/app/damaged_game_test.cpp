// The player on a copy of the demo game with one thing damaged: it plays on
// past what it can do without, or says once why it cannot start (one box in
// the program's words, one English line for the terminal), and it never
// crashes, hangs or loses the reader's files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/file_io.h"
#include "modes/play_support.h"
#include "platform/arc/zip_maker.h"
#include "platform/arc/zip_reader.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "zelk-tool/quor_writer.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using testing::Colours;
using testing::CopyOfDemoGame;
using testing::Decoded;
using testing::Field;
using testing::PlayerRun;
using testing::RunScript;
using testing::SplitLines;

// [SECTION] Damaging archives --------------------------------------------------

struct Entry {
    std::string key;
    std::string bytes;
};

// The entries of an archive after its file list, by key.
std::vector<Entry> ReadArchive(const fs::path& path) {
    std::vector<Entry> entries;
    std::string error;
    const std::unique_ptr<ZipReader> archive = ZipReader::Open(path.string(), error);
    if (!archive) return entries;
    const auto list = archive->ReadAll(0, error);
    if (!list) return entries;
    std::vector<std::string> keys;
    const std::string text(list->begin(), list->end());
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        keys.push_back(Cp932ToUtf8Lossy(text.substr(start, end - start)));
    for (std::uint64_t i = 1; i < archive->EntryCount() && i < keys.size(); ++i) {
        const auto bytes = archive->ReadAll(i, error);
        if (!bytes) return {};
        entries.push_back({keys[i], std::string(bytes->begin(), bytes->end())});
    }
    return entries;
}

bool WriteArchive(const fs::path& path, const std::vector<Entry>& entries) {
    QuorWriter writer;
    std::string error;
    for (const Entry& entry : entries) {
        const bool packed = entry.bytes.starts_with("\x89PNG") || entry.bytes.starts_with("OggS");
        if (!writer.AddBytes(entry.key, entry.key, entry.bytes, !packed, error)) return false;
    }
    return writer.Write(path.string(), error);
}

// Rewrites one archive of the game with its entries edited.
void Repack(const fs::path& archive, const std::function<void(std::vector<Entry>&)>& edit) {
    std::vector<Entry> entries = ReadArchive(archive);
    ASSERT_FALSE(entries.empty()) << archive;
    edit(entries);
    ASSERT_TRUE(WriteArchive(archive, entries)) << archive;
}

void Drop(std::vector<Entry>& entries, const std::vector<std::string>& keys) {
    std::erase_if(entries, [&](const Entry& entry) {
        return std::find(keys.begin(), keys.end(), entry.key) != keys.end();
    });
}

Entry& Find(std::vector<Entry>& entries, const std::string& key) {
    for (Entry& entry : entries)
        if (entry.key == key) return entry;
    ADD_FAILURE() << "no entry " << key;
    static Entry none;
    return none;
}

std::string RandomBytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

void Overwrite(const fs::path& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomic(path.string(), bytes)) << path;
}

std::string Bytes(const fs::path& path) {
    return ReadFileBytes(path.string()).value_or("(missing)");
}

// [SECTION] What the player showed ----------------------------------------------

// The question boxes, as the scripted seam writes them to standard error:
// title TAB prompt TAB answer.
std::vector<std::string> Boxes(const PlayerRun& run) {
    std::vector<std::string> boxes;
    for (const std::string& line : SplitLines(run.errors))
        if (line.find('\t') != std::string::npos) boxes.push_back(line);
    return boxes;
}

// The program's own lines for the terminal.
std::vector<std::string> TerminalLines(const PlayerRun& run) {
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(run.errors))
        if (line.starts_with("zelk: ")) lines.push_back(line);
    return lines;
}

struct Rect {
    std::string stag;
    long ltag = 0;
    bool enabled = false;
};

std::vector<Rect> Rects(const PlayerRun& run, const std::string& stag) {
    std::vector<Rect> rects;
    for (const std::string& line : run.lines) {
        if (!line.starts_with("rect ")) continue;
        std::istringstream in(line.substr(5));
        long index = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        int enabled = 0;
        Rect rect;
        in >> index >> rect.stag >> rect.ltag >> x1 >> y1 >> x2 >> y2 >> enabled;
        rect.enabled = enabled != 0;
        if (rect.stag == stag) rects.push_back(rect);
    }
    return rects;
}

// The folder as the player names it in its messages.
std::string Shown(const fs::path& path) {
    return fs::weakly_canonical(path).string();
}

// [SECTION] Playing ---------------------------------------------------------------

// The title, a new game (its opening movie given a click) and three pages,
// with the last page shot.
std::string ReadingScript(const fs::path& folder) {
    return "idle\nwait 3500\nidle\nstate\n"
           "click 150 254\nidle\nstate\n"
           "click 320 240\nidle\nclick 320 240\nidle\nstate\n"
           "click 320 240\nidle\nclick 320 240\nidle\nstate\nshot " +
           (folder / "page.png").string() + "\nquit\n";
}

// The story went on as a reader would see it: from the title into the
// game, page after page of text over a drawn screen, nothing asked, an
// orderly end; the terminal hears only what it is told to expect.
void ExpectReadOn(const PlayerRun& run, const fs::path& folder,
                  const std::vector<std::string>& said = {}) {
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(Boxes(run).empty()) << run.errors;
    EXPECT_EQ(TerminalLines(run), said) << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 4u) << run.errors;
    EXPECT_EQ(Field(states[0], "mode"), "1");
    EXPECT_EQ(Field(states[1], "mode"), "2");
    for (const std::string& page : {states[2], states[3]}) {
        EXPECT_EQ(Field(page, "mode"), "2") << page;
        EXPECT_EQ(Field(page, "wait"), "4") << page;
        EXPECT_FALSE(Field(page, "text").empty()) << page;
    }
    EXPECT_GT(std::stol(Field(states[3], "addr")), std::stol(Field(states[2], "addr")));
    EXPECT_NE(Field(states[3], "text"), Field(states[2], "text"));
    // The text window and its text are on the screen.
    EXPECT_GT(Colours((folder / "page.png").string(), 150, 360, 590, 420), 2u);
}

// The player could not start: one box in the program's words, one English
// line for the terminal, a failure status, and no signal.
void ExpectRefused(const PlayerRun& run, const std::string& english, const std::string& prompt) {
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_EQ(TerminalLines(run), std::vector<std::string>{"zelk: " + english}) << run.errors;
    EXPECT_EQ(Boxes(run), std::vector<std::string>{"ゲーム起動中\t" + prompt + "\tok"})
        << run.errors;
}

class DamagedGame : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CopyOfDemoGame(std::string("damaged-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
        saves = folder / "savedata";
    }
    void TearDown() override {
        if (!folder.empty() && !HasFailure()) fs::remove_all(folder);
    }

    PlayerRun Read() { return RunScript(folder, ReadingScript(folder)); }
    PlayerRun Start() { return RunScript(folder, "idle\nquit\n"); }

    // A default of the game's settings, from its packed system file.
    std::string SystemDefault(const std::string& key) {
        for (const Entry& entry : ReadArchive(folder / "scenario.quor")) {
            if (entry.key != "SystemInfo") continue;
            INIFile system;
            system.Text(Cp932ToUtf8Lossy(entry.bytes));
            return system.KeySection("Config").KeyValue(key);
        }
        return "(none)";
    }

    fs::path folder;
    fs::path saves;
};

// [SECTION] Pictures and sounds ---------------------------------------------------

// What a shipped game tells its terminal of a picture it could not show: the
// place in the packed scenario and the error the author would have seen.
const std::string kNoStreet =
    "zelk: scenario error at s01:6 (packed): 通常背景'bg_street'のロードに失敗しました。; the "
    "game goes on";
const std::string kNoSmile =
    "zelk: scenario error at s01:11 (packed): 人物'st_a01_smile'のロードに失敗しました。; the "
    "game goes on";

TEST_F(DamagedGame, MissingPicturesLeaveTheirPlaceEmptyAndTheStoryGoesOn) {
    Repack(folder / "image.quor", [](std::vector<Entry>& entries) {
        Drop(entries, {"bg_street", "st_a01_smile"});
    });
    ExpectReadOn(Read(), folder, {kNoStreet, kNoSmile});
}

TEST_F(DamagedGame, GarbageAndTruncatedPicturesAreLikeMissingOnes) {
    Repack(folder / "image.quor", [](std::vector<Entry>& entries) {
        Find(entries, "bg_street").bytes = RandomBytes(5000, 1);
        std::string& face = Find(entries, "st_a01_smile").bytes;
        face.resize(face.size() / 3);  // a PNG cut short
        Find(entries, "fa_a01_smile").bytes = "\x89PNG\r\n\x1a\n" + RandomBytes(64, 2);
    });
    ExpectReadOn(Read(), folder, {kNoStreet, kNoSmile});
}

// Bytes changed inside an archive whose directory is intact: the entry's
// checksum no longer holds, and the picture is as good as missing.
TEST_F(DamagedGame, APictureDamagedInsideItsArchiveIsLikeAMissingOne) {
    const fs::path archive = folder / "image.quor";
    std::string picture;
    for (const Entry& entry : ReadArchive(archive))
        if (entry.key == "bg_street") picture = entry.bytes;
    ASSERT_FALSE(picture.empty());
    std::string bytes = Bytes(archive);
    const size_t at = bytes.find(picture);
    ASSERT_NE(at, std::string::npos) << "stored, not deflated";
    bytes[at + picture.size() / 2] ^= 0x5A;
    Overwrite(archive, bytes);
    ExpectReadOn(Read(), folder, {kNoStreet});
}

TEST_F(DamagedGame, MissingAndGarbageSoundsLeaveSilenceAndTheStoryGoesOn) {
    Repack(folder / "sound.quor", [](std::vector<Entry>& entries) {
        Drop(entries, {"bgm_day", "a01_001"});
        Find(entries, "se_step").bytes = "OggS" + RandomBytes(3000, 3);
    });
    const PlayerRun run = Read();
    // Each sound that cannot play is named once, in the order the story
    // asks for it, and the story goes on silent.
    ExpectReadOn(
        run, folder,
        {"zelk: sound 'bgm_day' is not in the game's archives; the game goes on without it",
         "zelk: sound 'se_step' cannot be decoded: it is damaged, or not Ogg Vorbis, Ogg "
         "Opus, FLAC, MP3 or WAVE; the game goes on without it",
         "zelk: sound 'a01_001' is not in the game's archives; the game goes on without "
         "it"});
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(Field(states[0], "bgm"), "bgm_title");  // what is there still plays
    EXPECT_EQ(Field(states[3], "bgm"), "-");
}

// [SECTION] Archives --------------------------------------------------------------

TEST_F(DamagedGame, ATruncatedArchiveIsNamedAndThePlayerStopsCleanly) {
    for (const char* name : {"scenario.quor", "image.quor", "sound.quor"}) {
        SCOPED_TRACE(name);
        const fs::path archive = folder / name;
        const std::string whole = Bytes(archive);
        Overwrite(archive, whole.substr(0, whole.size() / 2));
        ExpectRefused(
            Start(),
            "cannot open the archive " + Shown(archive) + ": it is damaged or not an archive",
            Shown(archive) + "\\nアーカイブの初期化に失敗しました。");
        Overwrite(archive, whole);
    }
    EXPECT_FALSE(fs::exists(saves / "config.ini")) << "nothing of the reader's is written";
}

TEST_F(DamagedGame, AnArchiveWithABadHeaderIsRefusedLikeATruncatedOne) {
    const fs::path archive = folder / "image.quor";
    const std::string whole = Bytes(archive);
    std::string signature = whole;
    signature.replace(0, 4, "XXXX");  // the first local header
    std::string directory = whole;
    directory.replace(directory.rfind("PK\x05\x06"), 4, "XXXX");  // the end of the directory
    for (const std::string& damaged :
         {signature, directory, std::string("this is no archive\r\n"), std::string()}) {
        Overwrite(archive, damaged);
        ExpectRefused(
            Start(),
            "cannot open the archive " + Shown(archive) + ": it is damaged or not an archive",
            Shown(archive) + "\\nアーカイブの初期化に失敗しました。");
    }
}

// Sizes that cannot be true, stated where the archive is otherwise
// consistent: the player reserves nothing for them and names the archive
// and the entry, in the box and on the terminal.
TEST_F(DamagedGame, AnArchiveThatLiesAboutASizeIsNamedWithItsEntry) {
    struct Lie {
        const char* archive;
        std::size_t entry;
        std::int64_t size;
        std::string said;
    };
    for (const Lie& lie :
         {Lie{"scenario.quor", 0, 2000000000, "entry 0 (\"filelist.txt\") claims 2000000000 bytes"},
          Lie{"image.quor", 1, 0xFFFFFFFE, "entry 1 (\""}}) {
        SCOPED_TRACE(lie.archive);
        const fs::path archive = folder / lie.archive;
        const std::string whole = Bytes(archive);
        std::string bytes = whole;
        testing::StateSizes(bytes, lie.entry, lie.size);
        Overwrite(archive, bytes);
        const PlayerRun run = Start();
        EXPECT_EQ(run.status, 1) << run.errors;
        const std::string said = Shown(archive) + ": " + lie.said;
        const std::vector<std::string> lines = TerminalLines(run);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_TRUE(lines[0].starts_with("zelk: cannot open the archive " + said)) << lines[0];
        EXPECT_NE(lines[0].find(lie.size == 0xFFFFFFFE ? "claims 4294967294 bytes" : ""),
                  std::string::npos)
            << lines[0];
        const std::vector<std::string> boxes = Boxes(run);
        ASSERT_EQ(boxes.size(), 1u) << run.errors;
        EXPECT_NE(boxes[0].find("アーカイブの初期化に失敗しました。\\n" + said), std::string::npos)
            << boxes[0];
        Overwrite(archive, whole);
    }
}

// The "version needed to extract" of every header says a version no one
// wrote; the data itself is intact and its checksums hold, so it is read.
TEST_F(DamagedGame, AnArchiveClaimingANewerFormatVersionIsStillRead) {
    const fs::path archive = folder / "scenario.quor";
    std::string bytes = Bytes(archive);
    for (const auto& [signature, offset] :
         {std::pair<std::string, size_t>{"PK\x03\x04", 4}, {"PK\x01\x02", 6}}) {
        for (size_t at = bytes.find(signature); at != std::string::npos;
             at = bytes.find(signature, at + 4)) {
            bytes[at + offset] = 99;
            bytes[at + offset + 1] = 0;
        }
    }
    Overwrite(archive, bytes);
    ExpectReadOn(Read(), folder);
}

// [SECTION] The scenario archive ---------------------------------------------------

// The other archives still make it a packed game, one without its system
// files.
TEST_F(DamagedGame, WithoutAScenarioArchiveTheSystemFilesAreMissing) {
    fs::remove(folder / "scenario.quor");
    ExpectRefused(Start(),
                  "cannot read the game's system information (SystemInfo.ini): missing or damaged",
                  "システム情報をロードできません。");
}

TEST_F(DamagedGame, WithoutAnyArchiveTheFolderIsNoGame) {
    for (const char* archive : {"scenario.quor", "image.quor", "sound.quor"})
        fs::remove(folder / archive);
    const PlayerRun run = Start();
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_EQ(TerminalLines(run),
              std::vector<std::string>{"zelk: " + Shown(folder) +
                                       " is not a game folder: it has no archives (*.quor) and "
                                       "no SystemInfo.ini"})
        << run.errors;
    EXPECT_EQ(Boxes(run),
              std::vector<std::string>{"ゲーム起動中\tシステム情報をロードできません。\tok"});
}

TEST_F(DamagedGame, AnEmptyScenarioArchiveSaysTheSystemFilesAreMissing) {
    ASSERT_TRUE(WriteArchive(folder / "scenario.quor", {}));
    ExpectRefused(Start(),
                  "cannot read the game's system information (SystemInfo.ini): missing or damaged",
                  "システム情報をロードできません。");
}

TEST_F(DamagedGame, AScenarioArchiveWithoutScenariosSaysSoWhenTheGameStarts) {
    Repack(folder / "scenario.quor", [](std::vector<Entry>& entries) {
        std::erase_if(entries, [](const Entry& entry) {
            return !entry.key.ends_with("_mode") && entry.key != "SystemInfo";
        });
    });
    const PlayerRun run =
        RunScript(folder, "idle\nwait 3500\nidle\nstate\nclick 150 254\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Boxes(run),
              std::vector<std::string>{"ひかりの手紙\tシナリオを開始できませんでした。\tok"})
        << run.errors;
    EXPECT_EQ(TerminalLines(run),
              std::vector<std::string>{"zelk: cannot start the scenario at main.start"})
        << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 2u) << run.errors;
    EXPECT_EQ(Field(states[0], "mode"), "1");
    EXPECT_EQ(Field(states[1], "script"), "-");
}

// An instruction the game does not know, in the middle of the first scene.
void AddUnknownInstruction(const fs::path& folder) {
    Repack(folder / "scenario.quor", [](std::vector<Entry>& entries) {
        std::string& scene = Find(entries, "s01").bytes;
        const size_t music = scene.find("\r\nbgm\t");
        ASSERT_NE(music, std::string::npos);
        scene.insert(scene.find("\r\n", music + 2) + 2, "frobnicate\t1\t2\r\n");
    });
}

// The reader sees nothing of it; the terminal tells where it stands.
TEST_F(DamagedGame, AnUnknownInstructionIsPassedOverAndToldOnTheTerminal) {
    AddUnknownInstruction(folder);
    const PlayerRun run = Read();
    ExpectReadOn(run, folder,
                 {"zelk: scenario error at s01:6 (packed): "
                  "未定義命令'frobnicate'を実行しようとしました。; the game goes on"});
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(Field(states[3], "script"), "s01");
    EXPECT_EQ(Field(states[3], "bgm"), "bgm_day");  // the music just before it plays
}

// A debug file makes the same error visible to the game's author, who may
// go on past it.
TEST_F(DamagedGame, InDebugModeAnUnknownInstructionIsShownAndTheAuthorMayGoOn) {
    AddUnknownInstruction(folder);
    Overwrite(folder / "debug.ini", "[debug]\r\n");
    const PlayerRun run =
        RunScript(folder,
                  "idle\nwait 3500\nidle\nclick 150 254\nidle\nanswer ok\nanswer no\n"
                  "click 320 240\nidle\nclick 320 240\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Boxes(run), (std::vector<std::string>{
                              "ひかりの手紙\t未定義命令'frobnicate'を実行しようとしました。\tok",
                              "ひかりの手紙\t終了しますか\tno"}))
        << run.errors;
    const std::vector<std::string> states = States(run);
    ASSERT_EQ(states.size(), 1u) << run.errors;
    EXPECT_EQ(Field(states[0], "wait"), "4");
    EXPECT_FALSE(Field(states[0], "text").empty());
}

// A quick save of the demo game's first scene whose place lies past the end
// of its script: the title offers it, and its load is refused.
void WriteQuickSavePastItsScript(const fs::path& saves) {
    // The fuzzing seed less its first byte, which chooses the seed's form.
    std::string save =
        ReadFileBytes(ZELK_SOURCE_DIR "/fuzz/corpus/fuzz_save_slot/quick_save_first_scene.plain")
            .value_or(" ")
            .substr(1);
    const size_t at = save.find("Address=s01.14\r\n");
    ASSERT_NE(at, std::string::npos);
    save.replace(at, 14, "Address=s01.99999");
    Overwrite(saves / "sd05-00.ini", ScrambleText(save));
}

// The player's own words follow the desktop's language: the refused quick
// load's box and the scenario's error on the terminal in English for an
// English desktop (whose locale is not generated on the test machines), in
// the program's Japanese for the C locale.
TEST_F(DamagedGame, TheRefusedQuickLoadAndTheScenarioErrorSpeakTheDesktopsLanguage) {
    AddUnknownInstruction(folder);
    WriteQuickSavePastItsScript(saves);
    // The title's quick load, then a new game to its first page (the
    // opening movie given a click).
    const std::string script =
        "idle\nwait 3500\nidle\nclick 150 298\nidle\nstate\nclick 150 254\nidle\n"
        "click 320 240\nidle\nstate\nquit\n";
    const std::string refusedLoad =
        "zelk: cannot load the quick save sd05-00: its place s01.99999 lies outside the script "
        "'s01' (";
    const struct {
        const char* lang;
        const char* box;
        const char* error;
    } kDesktops[] = {
        {"en_US.UTF-8", "ひかりの手紙\tThe quick load failed.\tok",
         "zelk: scenario error at s01:6 (packed): unknown instruction 'frobnicate'; the game "
         "goes on"},
        {"C", "ひかりの手紙\tクイックロードに失敗しました。\tok",
         "zelk: scenario error at s01:6 (packed): 未定義命令'frobnicate'を実行しようとしました。; "
         "the game goes on"},
    };
    for (const auto& desktop : kDesktops) {
        SCOPED_TRACE(desktop.lang);
        const PlayerRun run = RunScript(
            folder, script, std::string("LANGUAGE= LC_ALL= LC_MESSAGES= LANG=") + desktop.lang);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(Boxes(run), std::vector<std::string>{desktop.box}) << run.errors;
        const std::vector<std::string> terminal = TerminalLines(run);
        ASSERT_EQ(terminal.size(), 2u) << run.errors;
        EXPECT_TRUE(terminal[0].starts_with(refusedLoad)) << terminal[0];
        EXPECT_EQ(terminal[1], desktop.error);
        // The refusal left the reader at the title, who then read on past the error.
        const std::vector<std::string> states = States(run);
        ASSERT_EQ(states.size(), 2u) << run.errors;
        EXPECT_EQ(Field(states[0], "mode"), "1");
        EXPECT_EQ(Field(states[1], "mode"), "2");
        EXPECT_EQ(Field(states[1], "script"), "s01");
        EXPECT_EQ(Field(states[1], "wait"), "4");
    }
}

// [SECTION] The game's system files -------------------------------------------------

// A system file that the game lacks, loose and archived, is named, and the
// player stops before it writes anything.
TEST_F(DamagedGame, AMissingSystemFileIsNamedAndThePlayerStopsCleanly) {
    Overwrite(saves / "config.ini",
              ScrambleText("[Config]\r\nTextSpeed=4\r\nPos=100,90\r\nFullMode=True"));
    const struct {
        const char* file;
        const char* english;
        const char* prompt;
    } kFiles[] = {
        {"SystemInfo.ini", "system information (SystemInfo.ini)",
         "システム情報をロードできません。"},
        {"game_mode.ini", "mode settings (game_mode.ini)", "ゲームモード設定をロードできません。"},
        {"omake_mode.ini", "extras settings (omake_mode.ini)",
         "おまけモード設定をロードできません。"},
        {"saveload_mode.ini", "save screen settings (saveload_mode.ini)",
         "セーブ・ロードモード初期化ファイルがロードできません。"},
    };
    const fs::path archive = folder / "scenario.quor";
    const std::string packed = Bytes(archive);
    for (const auto& [file, english, prompt] : kFiles) {
        SCOPED_TRACE(file);
        Repack(archive, [key = fs::path(file).stem().string()](std::vector<Entry>& entries) {
            Drop(entries, {key});
        });
        ExpectRefused(Start(),
                      std::string("cannot read the game's ") + english + ": missing or damaged",
                      prompt);
        Overwrite(archive, packed);
        // The reader's settings, window placement included, are as they were.
        INIFile config;
        config.Text(Decoded(saves / "config.ini"));
        EXPECT_EQ(config.Text(), "[Config]\r\nTextSpeed=4\r\nPos=100,90\r\nFullMode=True");
    }
}

// Any text is a settings document: a mode's file of garbage, or an empty
// one, is read as the settings it holds (none), and the game does not stop.
TEST_F(DamagedGame, AModeFileOfGarbageOrNothingDoesNotStopTheGame) {
    std::string garbage = RandomBytes(4000, 4);
    std::erase(garbage, '\0');
    std::erase(garbage, '[');
    for (const char* file : {"game_mode.ini", "saveload_mode.ini", "omake_mode.ini"}) {
        SCOPED_TRACE(file);
        Overwrite(folder / file, garbage);
        const PlayerRun run = RunScript(folder, "idle\nwait 1500\nidle\nstate\nquit\n");
        EXPECT_EQ(run.status, 0) << run.errors;
        ASSERT_EQ(States(run).size(), 1u) << run.errors;
        EXPECT_EQ(Field(States(run)[0], "mode"), "1");
        fs::remove(folder / file);
    }
    // An empty extras file: the story plays as ever.
    Overwrite(folder / "omake_mode.ini", "");
    ExpectReadOn(Read(), folder);
}

// A SystemInfo of garbage is a document without the settings' defaults: the
// settings refuse it once.
TEST_F(DamagedGame, ASystemFileOfGarbageIsRefusedForItsMissingDefaults) {
    std::string garbage = RandomBytes(4000, 4);
    std::erase(garbage, '\0');
    std::erase(garbage, '[');
    Overwrite(folder / "SystemInfo.ini", garbage);
    ExpectRefused(Start(),
                  "cannot set up the settings: the game's SystemInfo.ini has no [Config] section",
                  "設定の初期化に失敗しました。");
}

TEST_F(DamagedGame, ASystemFileWithoutSettingsDefaultsIsRefusedOnce) {
    Overwrite(folder / "SystemInfo.ini", "[Game]\r\nTitle=x\r\n[junk]\r\n\xff\xfe\r\n");
    ExpectRefused(Start(),
                  "cannot set up the settings: the game's SystemInfo.ini has no [Config] section",
                  "設定の初期化に失敗しました。");
}

TEST_F(DamagedGame, AMissingTitleFileIsShownOnceAndThePlayerStaysUp) {
    Repack(folder / "scenario.quor",
           [](std::vector<Entry>& entries) { Drop(entries, {"title_mode"}); });
    const PlayerRun run = RunScript(folder, "idle\nwait 1500\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(
        Boxes(run),
        std::vector<std::string>{"ひかりの手紙\tモード初期化ファイルがロードできません。\tok"})
        << run.errors;
    EXPECT_EQ(
        TerminalLines(run),
        std::vector<std::string>{"zelk: cannot read the title screen's settings (title_mode)"})
        << run.errors;
    ASSERT_EQ(States(run).size(), 1u);
    EXPECT_EQ(Field(States(run)[0], "mode"), "1");
}

// [SECTION] The reader's files ------------------------------------------------------

TEST_F(DamagedGame, AGarbageSettingsFileIsKeptAsideAndTheGameStartsFromTheDefaults) {
    const std::string garbage = RandomBytes(3001, 5);  // odd: no scrambled text
    Overwrite(saves / "config.ini", garbage);
    Overwrite(saves / "sd00.ini", garbage);
    ExpectReadOn(Read(), folder);
    EXPECT_EQ(Bytes(saves / "config.ini.broken"), garbage);
    EXPECT_EQ(Bytes(saves / "sd00.ini.broken"), garbage);
    INIFile config;
    config.Text(Decoded(saves / "config.ini"));
    EXPECT_EQ(config.KeySection("Config").KeyValue("TextSpeed"), SystemDefault("TextSpeed"));
    EXPECT_FALSE(Decoded(saves / "sd00.ini").empty());
}

// Values no dialog would write: the game plays with what it can make of
// them, music included; numbers are held to their range and written back
// so, and what is no number at all is left for the reader to see.
TEST_F(DamagedGame, SettingsOutOfRangeStillPlayAndAreHeldToTheirRange) {
    Overwrite(saves / "config.ini",
              ScrambleText("[Config]\r\nTextSpeed=-99999999999\r\nTextAutoClick=maybe\r\n"
                           "BGMVolume=99999\r\nSEVolume=-1\r\nCVVolume=abc\r\n"
                           "WndAlpha=77777\r\nFont=\r\nStartScreenMode=7\r\n"
                           "Pos=garbage,,-9\r\nLastSaveLoadPage=-5\r\nChar:1=xx,yy\r\n"
                           "[[[\r\n=====\r\n"));
    const PlayerRun run = Read();
    ExpectReadOn(run, folder);
    ASSERT_FALSE(States(run).empty());
    EXPECT_EQ(Field(States(run)[0], "bgm"), "bgm_title");
    INIFile config;
    config.Text(Decoded(saves / "config.ini"));
    EXPECT_EQ(config.KeySection("Config").KeyValue("BGMVolume"), "255");
    EXPECT_EQ(config.KeySection("Config").KeyValue("SEVolume"), "0");
    EXPECT_EQ(config.KeySection("Config").KeyValue("WndAlpha"), "255");
    EXPECT_EQ(config.KeySection("Config").KeyValue("TextSpeed"), "0");
    EXPECT_EQ(config.KeySection("Config").KeyValue("CVVolume"), "abc");
    EXPECT_EQ(config.KeySection("Config").KeyValue("StartScreenMode"), "7");
}

// A shared save file that decodes but holds a line that is no read mark:
// said once at the start; the rest of it, variables included, stays.
TEST_F(DamagedGame, ADamagedReadMarkIsSaidOnceAndTheRestOfTheSharedFileStays) {
    Overwrite(saves / "sd00.ini",
              ScrambleText("[Var]\r\nclear_a=1\r\n[AlreadyRead]\r\ns01:zz-yy,5-1\r\n"
                           "no colon here\r\n"));
    const PlayerRun run = RunScript(folder, "idle\nwait 3500\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Boxes(run),
              std::vector<std::string>{
                  "ゲーム起動中\tシステムデータに予期しないエラーが発生しました。\tok"});
    INIFile shared;
    shared.Text(Decoded(saves / "sd00.ini"));
    EXPECT_EQ(shared.KeySection("Var").KeyValue("clear_a"), "1");
}

TEST_F(DamagedGame, GarbageSaveSlotsCannotBeLoadedAndAreLeftAsTheyWere) {
    const std::string slot = RandomBytes(2000, 6);
    const std::string thumbnail = "BM" + RandomBytes(500, 7);
    const std::string quick = RandomBytes(2000, 8);
    Overwrite(saves / "sd01-00.ini", slot);
    Overwrite(saves / "sd01-00.bmp", thumbnail);
    Overwrite(saves / "sd05-00.ini", quick);
    // The load screen, then the title's quick load of the garbage quick save.
    const PlayerRun run = RunScript(
        folder, "idle\nwait 3500\nidle\nclick 150 342\nidle\nrects\nshot " +
                    (folder / "slots.png").string() +
                    "\nclick 568 453\nidle\nwait 1500\nidle\nclick 150 298\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::vector<Rect> loads = Rects(run, "load");
    ASSERT_FALSE(loads.empty()) << run.errors;
    EXPECT_EQ(loads[0].ltag, 0);
    EXPECT_FALSE(loads[0].enabled);
    EXPECT_GT(Colours((folder / "slots.png").string(), 0, 0, 640, 480), 16u);
    // The quick load fails in words, once, and the reader stays at the title.
    EXPECT_EQ(Boxes(run),
              std::vector<std::string>{"ひかりの手紙\tクイックロードに失敗しました。\tok"})
        << run.errors;
    ASSERT_EQ(States(run).size(), 1u);
    EXPECT_EQ(Field(States(run)[0], "mode"), "1");
    EXPECT_EQ(Bytes(saves / "sd01-00.ini"), slot);
    EXPECT_EQ(Bytes(saves / "sd01-00.bmp"), thumbnail);
    EXPECT_EQ(Bytes(saves / "sd05-00.ini"), quick);
}

// A SystemInfo.ini saved by a UTF-8 editor in a game that does not say it
// is UTF-8: named with the line of its first such character, never read as
// mojibake (nor a save folder named after a title read so).
TEST_F(DamagedGame, ASystemFileInTheWrongEncodingIsNamedWithItsLine) {
    std::string utf8;
    for (const Entry& entry : ReadArchive(folder / "scenario.quor"))
        if (entry.key == "SystemInfo") utf8 = Cp932ToUtf8Lossy(entry.bytes);
    ASSERT_FALSE(utf8.empty());
    std::size_t first = 0;
    while (static_cast<unsigned char>(utf8[first]) < 0x80)
        ++first;
    const long line = 1 + std::count(utf8.begin(), utf8.begin() + static_cast<long>(first), '\n');
    Overwrite(folder / "SystemInfo.ini", utf8);
    const PlayerRun run = Start();
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_EQ(TerminalLines(run),
              std::vector<std::string>{
                  "zelk: SystemInfo.ini:" + std::to_string(line) +
                  ": this file is UTF-8; this game's files are CP932 (save it as CP932, or "
                  "declare the game UTF-8 with [Game] Encoding=UTF-8 in SystemInfo.ini)"})
        << run.errors;
    EXPECT_NE(run.errors.find("システム情報をロードできません。"), std::string::npos) << run.errors;

    // Declared, it is read as what it is.
    Overwrite(folder / "SystemInfo.ini", "[Game]\r\nEncoding=UTF-16\r\n" + utf8);
    EXPECT_EQ(TerminalLines(Start()),
              std::vector<std::string>{"zelk: SystemInfo.ini:2: [Game] Encoding=UTF-16 is no "
                                       "encoding the player knows: write UTF-8, or CP932 (the "
                                       "default)"});
}

// A language that is no tag: the game plays on (in Japanese, as a CP932
// game that says none), and the terminal says what was ignored.
TEST_F(DamagedGame, ALanguageThatIsNoTagIsIgnoredWithALine) {
    std::string system;
    for (const Entry& entry : ReadArchive(folder / "scenario.quor"))
        if (entry.key == "SystemInfo") system = entry.bytes;
    const std::size_t game = system.find("[Game]\r\n");
    ASSERT_NE(game, std::string::npos);
    system.insert(game + 8, "Language=Japanese\r\n");
    Overwrite(folder / "SystemInfo.ini", system);
    const PlayerRun run = RunScript(folder, "idle\nwait 3500\nidle\nstate\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(TerminalLines(run),
              std::vector<std::string>{
                  "zelk: SystemInfo.ini: [Game] Language=Japanese is not a language tag and is "
                  "ignored: write one such as ja, en, fr, zh-Hans or pt-BR (letters, digits and "
                  "hyphens, first a 2- or 3-letter language)"})
        << run.errors;
    ASSERT_FALSE(States(run).empty()) << run.errors;
    EXPECT_EQ(Field(States(run)[0], "mode"), "1");
}

}  // namespace
}  // namespace zelk
