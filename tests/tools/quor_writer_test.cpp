#include "zelk-tool/quor_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <filesystem>
#include <string>

#include "common/codepage.h"
#include "platform/arc/zip_maker.h"
#include "platform/arc/zip_reader.h"

namespace zelk {
namespace {

using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::WriteWholeFile;

std::string ReadEntry(const ZipReader& archive, std::uint64_t index) {
    std::string error;
    const auto bytes = archive.ReadAll(index, error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

int CompressionOf(const std::string& path, std::uint64_t index) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    zip_stat_t stat;
    zip_stat_index(archive, index, 0, &stat);
    zip_discard(archive);
    return stat.comp_method;
}

TEST(QuorWriter, TheFileListNamesItselfThenEveryKeyInCp932) {
    QuorWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddBytes("bg01", "bg01.bmp", "B", false, error)) << error;
    ASSERT_TRUE(writer.AddBytes("背景", "haikei.bmp", "H", false, error)) << error;
    EXPECT_EQ(Cp932ToUtf8(writer.FileList()), "filelist\r\nbg01\r\n背景\r\n");
    EXPECT_EQ(writer.EntryCount(), 3u);
}

TEST(QuorWriter, WrittenEntriesFollowTheListInOrder) {
    ScratchFolder folder;
    WriteWholeFile(folder / "voice.ogg", "OggS and so on");
    QuorWriter writer("list");
    std::string error;
    ASSERT_TRUE(writer.AddBytes("script", "script.txt", std::string(1000, 's'), true, error));
    ASSERT_TRUE(writer.AddFile("voice", "voice.ogg", folder / "voice.ogg", false, error));
    ASSERT_TRUE(writer.Write(folder / "game.quor", error)) << error;

    const auto archive = ZipReader::Open(folder / "game.quor", error);
    ASSERT_TRUE(archive) << error;
    ASSERT_EQ(archive->EntryCount(), 3u);
    EXPECT_EQ(ReadEntry(*archive, 0), "list\r\nscript\r\nvoice\r\n");
    EXPECT_EQ(ReadEntry(*archive, 1), std::string(1000, 's'));
    EXPECT_EQ(ReadEntry(*archive, 2), "OggS and so on");
    EXPECT_EQ(CompressionOf(folder / "game.quor", 1), ZIP_CM_DEFLATE);
    EXPECT_EQ(CompressionOf(folder / "game.quor", 2), ZIP_CM_STORE);
}

TEST(QuorWriter, KeysThatCannotStandInAListAreRefused) {
    QuorWriter writer;
    std::string error;
    EXPECT_FALSE(writer.AddBytes("", "a", "", false, error));
    EXPECT_FALSE(writer.AddBytes("two\r\nlines", "a", "", false, error));
    EXPECT_FALSE(writer.AddBytes("line\n", "a", "", false, error));
    EXPECT_FALSE(writer.AddBytes("emoji😀", "a", "", false, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(writer.EntryCount(), 1u);
}

TEST(QuorWriter, AKeyTakenInAnyCaseIsRefused) {
    QuorWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddBytes("Title", "title.png", "", false, error));
    EXPECT_TRUE(writer.HasKey("TITLE"));
    EXPECT_FALSE(writer.AddBytes("tItLe", "title.bmp", "", false, error));
    EXPECT_NE(error.find("tItLe"), std::string::npos);
}

TEST(QuorWriter, AnArchiveHoldsAtMostItsIdRange) {
    QuorWriter writer;
    std::string error;
    for (std::size_t i = 1; i < kMaxArchiveEntries; ++i) {
        ASSERT_TRUE(writer.AddBytes(std::string("k") += std::to_string(i),
                                    std::string("n") += std::to_string(i), "", false, error))
            << i;
    }
    EXPECT_EQ(writer.EntryCount(), kMaxArchiveEntries);
    EXPECT_FALSE(writer.AddBytes("one more", "one more", "", false, error));
}

TEST(QuorWriter, AFailedWriteLeavesTheOldArchiveAndNoLeftovers) {
    ScratchFolder folder;
    WriteWholeFile(folder / "game.quor", "the old archive");
    QuorWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddFile("gone", "gone.bmp", folder / "gone.bmp", false, error));
    EXPECT_FALSE(writer.Write(folder / "game.quor", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(folder / "game.quor"), "the old archive");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(QuorWriter, WritingReplacesAnOldArchiveAndKeepsItsPermissions) {
    ScratchFolder folder;
    WriteWholeFile(folder / "game.quor", "the old archive");
    chmod((folder / "game.quor").c_str(), 0640);
    QuorWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddBytes("a", "a.txt", "A", true, error));
    ASSERT_TRUE(writer.Write(folder / "game.quor", error)) << error;
    EXPECT_TRUE(ZipReader::Open(folder / "game.quor", error));
    struct stat info {};
    ASSERT_EQ(stat((folder / "game.quor").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(QuorWriter, WritingIntoAMissingFolderFailsCleanly) {
    ScratchFolder folder;
    QuorWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Write(folder / "no folder/game.quor", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace zelk
