// The archive commands of zelk-tool, run as the built program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "platform/arc/zip_maker.h"
#include "platform/picture.h"

namespace zelk {
namespace {

using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::TestPicture;
using testing::WriteWholeFile;

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ZelkToolArchive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kTool)) << kTool << " is not built";
        fs::create_directories(mFolder / "game/image");
        WriteWholeFile(mFolder / "game/image/chara.png", TestPicture("rgba.png"));
        WriteWholeFile(mFolder / "game/image/bg01.bmp", TestPicture("rgb24.bmp"));
        WriteWholeFile(mFolder / "game/image/背景.png", TestPicture("grey.png"));
        WriteWholeFile(mFolder / "game/start.txt", "*start\r\nこんにちは\r\n");
        WriteWholeFile(mFolder / "game/SystemInfo.ini", "[Game]\r\n");
    }

    ToolRun Tool(const std::vector<std::string>& args) {
        std::string command = "'" + kTool + "'";
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        command += " >'" + (mFolder / "out") + "' 2>'" + (mFolder / "err") + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(mFolder / "out"),
                ReadWholeFile(mFolder / "err")};
    }

    const std::string kTool = std::string(ZELK_BIN_DIR) + "/zelk-tool";
    ScratchFolder mFolder;
};

TEST_F(ZelkToolArchive, PackListAndExtractRoundTrip) {
    const std::string archive = mFolder / "game.quor";
    const ToolRun pack = Tool({"pack", mFolder / "game", archive});
    ASSERT_EQ(pack.status, 0) << pack.err;

    // Files in path order, each PNG with alpha followed by its mask.
    const ToolRun list = Tool({"list", archive});
    ASSERT_EQ(list.status, 0) << list.err;
    const std::string keys =
        "filelist\r\nSystemInfo\r\nbg01\r\nchara\r\nchara-m\r\n背景\r\nstart\r\n";
    const auto size = [](const std::string& bytes) { return std::to_string(bytes.size()); };
    // The mask: an 8-bit BMP of 6 x 3, its rows padded to 8 bytes.
    const std::string maskSize = std::to_string(14 + 40 + 256 * 4 + 8 * 3);
    EXPECT_EQ(list.out, "0\t" + size(*Utf8ToCp932(keys)) + "\tfilelist\n" + "1\t" +
                            size(ReadWholeFile(mFolder / "game/SystemInfo.ini")) +
                            "\tSystemInfo\n" + "2\t" + size(TestPicture("rgb24.bmp")) + "\tbg01\n" +
                            "3\t" + size(TestPicture("rgba.png")) + "\tchara\n" + "4\t" + maskSize +
                            "\tchara-m\n" + "5\t" + size(TestPicture("grey.png")) + "\t背景\n" +
                            "6\t" + size(ReadWholeFile(mFolder / "game/start.txt")) + "\tstart\n");
    const ToolRun listEntry = Tool({"extract", archive, "FileList"});
    EXPECT_EQ(listEntry.out, *Utf8ToCp932(keys));

    for (const auto& [key, file] : {std::pair{"START", "game/start.txt"},
                                    {"chara", "game/image/chara.png"},
                                    {"背景", "game/image/背景.png"},
                                    {"systeminfo", "game/SystemInfo.ini"}}) {
        const ToolRun extract = Tool({"extract", archive, key});
        EXPECT_EQ(extract.status, 0) << key << ": " << extract.err;
        EXPECT_EQ(extract.out, ReadWholeFile(mFolder / file)) << key;
    }
}

TEST_F(ZelkToolArchive, TheMaskEntryOfAPngIsItsAlphaInGrey) {
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game.quor"}).status, 0);
    const ToolRun extract = Tool({"extract", mFolder / "game.quor", "chara-m"});
    ASSERT_EQ(extract.status, 0) << extract.err;
    std::string error;
    const std::optional<Picture> mask = Picture::Decode(extract.out, error);
    const std::optional<Picture> chara = Picture::Decode(TestPicture("rgba.png"), error);
    ASSERT_TRUE(mask && chara) << error;
    std::vector<std::uint8_t> fromMask(18), fromAlpha(18);
    ASSERT_TRUE(mask->DrawMask({fromMask.data(), 6, 3, 6, 1}, 0, 0));
    ASSERT_TRUE(chara->DrawMask({fromAlpha.data(), 6, 3, 6, 1}, 0, 0));
    EXPECT_EQ(fromMask, fromAlpha);
}

// A WebP's transparency ships the same way: the player reads masks from the
// archive as "-m" pictures whatever the picture's kind.
TEST_F(ZelkToolArchive, TheMaskEntryOfAWebpIsItsAlphaInGrey) {
    WriteWholeFile(mFolder / "game/image/leaf.webp", TestPicture("rgba.webp"));
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game.quor"}).status, 0);
    const ToolRun extract = Tool({"extract", mFolder / "game.quor", "leaf-m"});
    ASSERT_EQ(extract.status, 0) << extract.err;
    std::string error;
    const std::optional<Picture> mask = Picture::Decode(extract.out, error);
    const std::optional<Picture> leaf = Picture::Decode(TestPicture("rgba.webp"), error);
    ASSERT_TRUE(mask && leaf) << error;
    std::vector<std::uint8_t> fromMask(18), fromAlpha(18);
    ASSERT_TRUE(mask->DrawMask({fromMask.data(), 6, 3, 6, 1}, 0, 0));
    ASSERT_TRUE(leaf->DrawMask({fromAlpha.data(), 6, 3, 6, 1}, 0, 0));
    EXPECT_EQ(fromMask, fromAlpha);
}

TEST_F(ZelkToolArchive, AMaskPictureOfTheFolderWinsOverAMadeOne) {
    WriteWholeFile(mFolder / "game/image/chara-m.bmp", TestPicture("grey4.bmp"));
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game.quor"}).status, 0);
    const ToolRun extract = Tool({"extract", mFolder / "game.quor", "chara-m"});
    EXPECT_EQ(extract.out, TestPicture("grey4.bmp"));
}

TEST_F(ZelkToolArchive, TwoFilesWithOneKeyAreRefusedAndTheOldArchiveStays) {
    WriteWholeFile(mFolder / "game.quor", "old archive");
    WriteWholeFile(mFolder / "game/image/BG01.png", TestPicture("rgb.png"));
    const ToolRun pack = Tool({"pack", mFolder / "game", mFolder / "game.quor"});
    EXPECT_EQ(pack.status, 1);
    EXPECT_NE(pack.err.find("bg01"), std::string::npos) << pack.err;
    EXPECT_EQ(ReadWholeFile(mFolder / "game.quor"), "old archive");
}

TEST_F(ZelkToolArchive, ABrokenPngIsRefused) {
    WriteWholeFile(mFolder / "game/image/cut.png", TestPicture("truncated.png"));
    const ToolRun pack = Tool({"pack", mFolder / "game", mFolder / "game.quor"});
    EXPECT_EQ(pack.status, 1);
    EXPECT_NE(pack.err.find("cut.png"), std::string::npos) << pack.err;
    EXPECT_FALSE(fs::exists(mFolder / "game.quor"));
}

TEST_F(ZelkToolArchive, AnArchiveInsideThePackedFolderIsLeftOut) {
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game/data.quor"}).status, 0);
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game/data.quor"}).status, 0);
    const ToolRun list = Tool({"list", mFolder / "game/data.quor"});
    EXPECT_EQ(list.out.find("data"), std::string::npos) << list.out;
}

TEST_F(ZelkToolArchive, ReadingFailuresAreReported) {
    ASSERT_EQ(Tool({"pack", mFolder / "game", mFolder / "game.quor"}).status, 0);
    const ToolRun unknown = Tool({"extract", mFolder / "game.quor", "nothing"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_FALSE(unknown.err.empty());

    WriteWholeFile(mFolder / "broken.quor", "PK broken");
    EXPECT_EQ(Tool({"list", mFolder / "broken.quor"}).status, 1);
    EXPECT_EQ(Tool({"list", mFolder / "missing.quor"}).status, 1);
    EXPECT_EQ(Tool({"pack", mFolder / "missing", mFolder / "x.quor"}).status, 1);
}

// A hostile archive: its sizes lie where the archive's own consistency
// checks cannot see it. Every command that reads it says which archive and
// entry lie and fails; none reserves what the lie claims, none aborts.
TEST_F(ZelkToolArchive, AnArchiveThatLiesAboutItsSizesIsRefusedByEveryCommand) {
    const std::string honest = mFolder / "honest.quor";
    ASSERT_EQ(Tool({"pack", mFolder / "game", honest}).status, 0);
    const std::string list = ReadWholeFile(honest);
    fs::create_directories(mFolder / "liar/scenario");
    WriteWholeFile(mFolder / "liar/scenario/start.txt", "*start\r\n");
    const std::string liar = mFolder / "liar/scenario.quor";

    struct Lie {
        std::size_t entry;
        std::int64_t size;
        std::string said;
    };
    // The file list claiming two billion bytes, and the PNG (stored) close
    // to four billion.
    for (const Lie& lie : {Lie{0, 2000000000, "entry 0 (\"filelist.txt\") claims 2000000000 bytes"},
                           Lie{3, 0xFFFFFFFE, "claims 4294967294 bytes but stores"}}) {
        SCOPED_TRACE(lie.said);
        std::string bytes = list;
        testing::StateSizes(bytes, lie.entry, lie.size);
        WriteWholeFile(liar, bytes);
        const std::vector<std::vector<std::string>> commands = {
            {"list", liar},
            {"extract", liar, "chara"},
            {"check", mFolder / "liar"},
            {"convert", mFolder / "liar/scenario/start.txt", "--game", mFolder / "liar"}};
        for (const std::vector<std::string>& command : commands) {
            SCOPED_TRACE(command[0]);
            const ToolRun run = Tool(command);
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_NE(run.err.find(liar + ": "), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(lie.said), std::string::npos) << run.err;
        }
    }
}

// A link inside the folder is packed as the file it names; one that leaves
// the folder is not followed, and the author is told.
TEST_F(ZelkToolArchive, LinksThatLeaveTheFolderAreNotFollowed) {
    WriteWholeFile(mFolder / "secret.txt", "the reader's own");
    fs::create_symlink(mFolder / "secret.txt", mFolder / "game/image/secret.txt");
    fs::create_symlink("../../secret.txt", mFolder / "game/image/relative.txt");
    fs::create_symlink("chara.png", mFolder / "game/image/hero.png");
    const ToolRun pack = Tool({"pack", mFolder / "game", mFolder / "game.quor"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_NE(pack.out.find("image/secret.txt: left out, a link to a file outside the folder"),
              std::string::npos)
        << pack.out;
    EXPECT_NE(pack.out.find("image/relative.txt: left out"), std::string::npos) << pack.out;
    const ToolRun list = Tool({"list", mFolder / "game.quor"});
    EXPECT_EQ(list.out.find("secret"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("relative"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\thero\n"), std::string::npos) << list.out;
    EXPECT_EQ(ReadWholeFile(mFolder / "game.quor").find("the reader's own"), std::string::npos);
}

}  // namespace
}  // namespace zelk
