#include "common/file_io.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "common/temp_folder.h"

namespace zelk {
namespace {

TEST(FileIo, WrittenBytesReadBackExactly) {
    testing::TempFolder folder;
    const std::string bytes("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileAtomic(folder / "f.bin", bytes));
    EXPECT_EQ(ReadFileBytes(folder / "f.bin"), bytes);
    ASSERT_TRUE(WriteFileAtomic(folder / "f.bin", ""));
    EXPECT_EQ(ReadFileBytes(folder / "f.bin"), "");
}

TEST(FileIo, ReadingAMissingFileOrAFolderGivesNothing) {
    testing::TempFolder folder;
    EXPECT_FALSE(ReadFileBytes(folder / "missing"));
    EXPECT_FALSE(ReadFileBytes(folder.Path()));
}

TEST(FileIo, ReplacingLeavesNoTemporaryFiles) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "one"));
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "two"));
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++count;
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ReadFileBytes(folder / "f.ini"), "two");
}

TEST(FileIo, AFailedWriteLeavesTheOldFile) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "old"));
    // A file-size limit makes the write run out of room part way, like a
    // full disk, even for a privileged user.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WriteFileAtomic(folder / "f.ini", std::string(4096, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(folder / "f.ini"), "old");
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++count;
    EXPECT_EQ(count, 1) << "the temporary file is removed";
}

TEST(FileIo, AFolderInTheWayIsNotReplaced) {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder / "taken");
    EXPECT_FALSE(WriteFileAtomic(folder / "taken", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
}

TEST(FileIo, WritingIntoAMissingFolderFails) {
    testing::TempFolder folder;
    EXPECT_FALSE(WriteFileAtomic(folder / "no/f.ini", "x"));
    EXPECT_FALSE(WriteFileAtomic("", "x"));
}

TEST(FileIo, AReplacedFileKeepsItsPermissions) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "old"));
    ::chmod((folder / "f.ini").c_str(), 0600);
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "new"));
    struct stat info {};
    ASSERT_EQ(::stat((folder / "f.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace zelk
