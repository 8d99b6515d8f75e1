#include "drivers/quor_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/process.h"
#include "platform/arc/trel.h"
#include "platform/arc/zip_maker.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

using testing::MakeZip;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::WriteWholeFile;

const std::string kZipToolArchive = std::string(ZELK_TEST_DATA) + "/archives/zip_tool.quor";

// [SECTION] File lists --------------------------------------------------------

TEST(QuorDriverLists, EachLineMapsToTheFirstIdPlusItsNumber) {
    clsQuorDriver quor;
    ASSERT_TRUE(quor.LoadArchiveList("alpha\r\nbeta\r\n", 5000));
    EXPECT_EQ(quor.FileKeyToID("alpha"), 5000);
    EXPECT_EQ(quor.FileKeyToID("beta"), 5001);
}

TEST(QuorDriverLists, AListWithoutAFinalLineEndLosesItsLastKey) {
    clsQuorDriver quor;
    ASSERT_TRUE(quor.LoadArchiveList("list\r\nbg01\r\nbg02", 0));
    EXPECT_EQ(quor.FileKeyToID("bg01"), 1);
    EXPECT_EQ(quor.FileKeyToID("bg02"), -1);
}

TEST(QuorDriverLists, OnlyCrLfEndsALine) {
    EXPECT_EQ(FileListKeys("a\nb\r\nc\rd\r\n"), (std::vector<std::string>{"a\nb", "c\rd"}));
    EXPECT_TRUE(FileListKeys("").empty());
    EXPECT_TRUE(FileListKeys("no line end").empty());
    EXPECT_EQ(FileListKeys("\r\n\r\n"), (std::vector<std::string>{"", ""}));
}

TEST(QuorDriverLists, KeysIgnoreLetterCase) {
    clsQuorDriver quor;
    quor.LoadArchiveList("list\r\nev_title01\r\n", 0);
    EXPECT_EQ(quor.FileKeyToID("EV_TITLE01"), 1);
    EXPECT_EQ(quor.FileKeyToID("Ev_Title01"), 1);
}

TEST(QuorDriverLists, ALaterListWinsAKeyItShares) {
    clsQuorDriver quor;
    quor.LoadArchiveList("list\r\nshared\r\nonly_first\r\n", 0);
    quor.LoadArchiveList("list\r\nSHARED\r\n", 5000);
    EXPECT_EQ(quor.FileKeyToID("shared"), 5001);
    EXPECT_EQ(quor.FileKeyToID("only_first"), 2);
}

TEST(QuorDriverLists, AKeyTwiceInOneListTakesItsLastLine) {
    clsQuorDriver quor;
    quor.LoadArchiveList("list\r\nbgm\r\nse\r\nbgm\r\n", 0);
    EXPECT_EQ(quor.FileKeyToID("bgm"), 3);
}

TEST(QuorDriverLists, UnknownKeysGiveMinusOne) {
    clsQuorDriver quor;
    EXPECT_EQ(quor.FileKeyToID("anything"), -1);
    quor.LoadArchiveList("list\r\nbg\r\n", 0);
    EXPECT_EQ(quor.FileKeyToID("bg0"), -1);
    EXPECT_EQ(quor.FileKeyToID(""), -1);
}

// An archive owns kIdsPerArchive ids: a longer list would hand out the next
// archive's ids (and cost memory for keys that lead nowhere).
TEST(QuorDriverLists, AListLongerThanAnArchiveMayHoldIsRefused) {
    std::string list;
    for (int line = 0; line < kIdsPerArchive; ++line)
        list += "k" + std::to_string(line) + "\r\n";
    clsQuorDriver quor;
    EXPECT_TRUE(quor.LoadArchiveList(list, 0));
    EXPECT_EQ(quor.FileKeyToID("k4999"), 4999);
    clsQuorDriver longer;
    EXPECT_FALSE(longer.LoadArchiveList(list + "k5000\r\n", 0));
    EXPECT_EQ(longer.FileKeyToID("k5000"), -1);
}

// [SECTION] Reading through the library ---------------------------------------

class QuorDriverArchive : public ::testing::Test {
protected:
    // The root's start-up: every archive of the folder, its list, its keys.
    bool RegisterAll(clsQuorDriver& quor, const std::string& folder) {
        const std::vector<std::string> archives = FindArchives(folder);
        if (!quor.Init(static_cast<std::int32_t>(archives.size()))) return false;
        for (std::size_t c = 0; c < archives.size(); ++c) {
            const auto base = static_cast<std::int32_t>(c) * kIdsPerArchive;
            std::string list;
            if (!quor.LoadArchive(archives[c], base) || !quor.LoadTextFile(base, list) ||
                !quor.LoadArchiveList(list, base)) {
                return false;
            }
        }
        return true;
    }

    std::string Read(const clsQuorDriver& quor, std::string_view key) {
        const std::int32_t id = quor.FileKeyToID(key);
        std::string bytes(static_cast<std::size_t>(quor.GetSize(id)), '\0');
        if (id < 0 || !quor.GetMemory(id, bytes.data(), static_cast<std::int32_t>(bytes.size())))
            return "<missing>";
        return bytes;
    }

    ScratchFolder mFolder;
};

TEST_F(QuorDriverArchive, AnArchiveByTheZipToolLoadsWithItsJapaneseKeys) {
    clsQuorDriver quor;
    ASSERT_TRUE(quor.Init(1));
    ASSERT_TRUE(quor.LoadArchive(kZipToolArchive, 0));
    std::string list;
    ASSERT_TRUE(quor.LoadTextFile(0, list));
    EXPECT_EQ(list, "filelist\r\nSystemInfo\r\nrgb\r\n背景\r\n");
    ASSERT_TRUE(quor.LoadArchiveList(list, 0));
    EXPECT_EQ(quor.FileKeyToID("背景"), 3);

    std::string text;
    ASSERT_TRUE(quor.LoadTextFile(quor.FileKeyToID("systeminfo"), text));
    EXPECT_EQ(text, "[Game]\r\nTitle=テスト\r\nScreenSizeX=640\r\n");

    std::int32_t width = 0, height = 0;
    ASSERT_TRUE(quor.GetGraphicSize(quor.FileKeyToID("RGB"), width, height));
    EXPECT_EQ(width, 6);
    std::vector<std::uint8_t> map(6 * 3);
    EXPECT_TRUE(quor.LoadMask_Direct(3, PixelTarget{map.data(), 6, 3, 6, 1}));
    EXPECT_EQ(map[4], 255);
}

TEST_F(QuorDriverArchive, AKeyInTwoArchivesReadsFromTheLaterOne) {
    MakeZip(mFolder / "a.quor",
            {{"l", "list\r\nbgm01\r\nonly_a\r\n"}, {"1", "from a"}, {"2", "A"}});
    MakeZip(mFolder / "B.QUOR", {{"l", "list\r\nBGM01\r\n"}, {"1", "from b"}});
    WriteWholeFile(mFolder / "notes.txt", "not an archive");
    clsQuorDriver quor;
    ASSERT_TRUE(RegisterAll(quor, mFolder.Path().string()));
    EXPECT_EQ(quor.FileKeyToID("bgm01"), 5001);
    EXPECT_EQ(Read(quor, "bgm01"), "from b");
    EXPECT_EQ(Read(quor, "only_a"), "A");
}

TEST_F(QuorDriverArchive, ArchivesAreFoundInNameOrderWithoutRegardToCase) {
    for (const char* name : {"b.quor", "A.quor", "c.QUOR", "skip.zip", "quor"}) {
        WriteWholeFile(mFolder / name, "");
    }
    std::filesystem::create_directory(mFolder / "folder.quor");
    const std::vector<std::string> found = FindArchives(mFolder.Path().string());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], mFolder / "A.quor");
    EXPECT_EQ(found[1], mFolder / "b.quor");
    EXPECT_EQ(found[2], mFolder / "c.QUOR");
    EXPECT_TRUE(FindArchives(mFolder / "missing").empty());
}

TEST_F(QuorDriverArchive, FailuresBecomeFalseOrZero) {
    clsQuorDriver quor;
    ASSERT_TRUE(quor.Init(1));
    WriteWholeFile(mFolder / "broken.quor", "PK\x03\x04 and then nothing");
    EXPECT_FALSE(quor.LoadArchive(mFolder / "broken.quor", 0));
    EXPECT_FALSE(quor.LoadArchive(mFolder / "missing.quor", 0));
    EXPECT_EQ(quor.GetSize(0), 0);
    EXPECT_EQ(quor.GetSize(-1), 0);
    std::string text = "unchanged";
    EXPECT_FALSE(quor.LoadTextFile(0, text));
    EXPECT_EQ(text, "unchanged");
    std::int32_t width = 0, height = 0;
    EXPECT_FALSE(quor.GetGraphicSize(0, width, height));
    char byte = 0;
    EXPECT_FALSE(quor.GetMemory(0, &byte, 1));
}

// Text entries are copied a few times on their way in; one larger than any
// real file list, script or system file is refused before that.
TEST_F(QuorDriverArchive, AnOverLargeTextEntryIsRefused) {
    const std::string path = mFolder / "big.quor";
    const std::string big(static_cast<std::size_t>(kMaxTextEntrySize) + 1, ' ');
    MakeZip(path, {{"filelist.txt", "filelist\r\nbig\r\nsmall\r\n"},
                   {"big.txt", big},
                   {"small.txt", "small"}});
    clsQuorDriver quor;
    ASSERT_TRUE(quor.Init(1));
    ASSERT_TRUE(quor.LoadArchive(path, 0));
    std::string text = "unchanged";
    EXPECT_FALSE(quor.LoadTextFile(1, text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_TRUE(quor.LoadTextFile(2, text));
    EXPECT_EQ(text, "small");
}

TEST_F(QuorDriverArchive, TwoArchivesKeepTheirIdsApart) {
    // Two archives registered under the ids the root gives them: the second
    // archive's list is id 5000, not an entry of the first.
    MakeZip(mFolder / "a.quor", {{"l", "list\r\nx\r\n"}, {"x", "X"}});
    MakeZip(mFolder / "b.quor", {{"l", "list\r\ny\r\n"}, {"y", "Y"}});
    clsQuorDriver quor;
    ASSERT_TRUE(RegisterAll(quor, mFolder.Path().string()));
    EXPECT_EQ(Read(quor, "x"), "X");
    EXPECT_EQ(Read(quor, "y"), "Y");
    EXPECT_EQ(quor.GetSize(2), 0);
}

// [SECTION] Life cycle and system files ---------------------------------------

TEST(QuorDriverLifeCycle, DestructionTerminatesTheLibraryAndLogs) {
    std::vector<std::string> lines;
    {
        clsQuorDriver quor([&](const std::string& line) { lines.push_back(line); });
        ASSERT_TRUE(quor.Init(0));
        EXPECT_EQ(Trel_OK(), 1);
    }
    EXPECT_EQ(Trel_OK(), 0);
    EXPECT_EQ(lines, std::vector<std::string>{"Quor-Terminate"});
}

TEST(QuorDriverLifeCycle, ServesSystemIniFilesWhileItLives) {
    ScratchFolder iniFolder;
    const std::string savedIniDir = Process().IniDir;
    Process().IniDir = iniFolder.Path().string();
    {
        clsQuorDriver quor;
        ASSERT_TRUE(quor.Init(1));
        ASSERT_TRUE(quor.LoadArchive(kZipToolArchive, 0));
        std::string list;
        ASSERT_TRUE(quor.LoadTextFile(0, list));
        quor.LoadArchiveList(list, 0);
        EXPECT_FALSE(LoadSystemIni("SystemInfo"));
        quor.ServeSystemIni();

        const std::unique_ptr<INIFile> ini = LoadSystemIni("SystemInfo");
        ASSERT_TRUE(ini);
        EXPECT_EQ(ini->KeySection("Game").KeyValue("Title"), "テスト");
        // Id 0, the list itself, is no system file.
        EXPECT_FALSE(LoadSystemIni("filelist"));
        EXPECT_FALSE(LoadSystemIni("missing"));
    }
    EXPECT_FALSE(LoadSystemIni("SystemInfo"));
    Process().IniDir = savedIniDir;
}

}  // namespace
}  // namespace zelk
