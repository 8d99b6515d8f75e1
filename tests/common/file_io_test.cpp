#include "common/file_io.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

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

// A config.ini that is a link to a file of mode 6777 (set-user-ID,
// set-group-ID, world-writable) once passed all of that on to the file
// that replaced the link.
TEST(FileIo, ANewFileTakesTheUmaskNeverALinkTargetsMode) {
    testing::TempFolder folder;
    const mode_t previous = ::umask(022);
    ASSERT_TRUE(WriteFileAtomic(folder / "target", "theirs"));
    ASSERT_EQ(::chmod((folder / "target").c_str(), 06777), 0);
    ASSERT_EQ(::symlink("target", (folder / "config.ini").c_str()), 0);
    const bool written = WriteFileAtomic(folder / "config.ini", "mine");
    ASSERT_TRUE(WriteFileAtomic(folder / "new.ini", "new"));
    ::umask(previous);
    ASSERT_TRUE(written);

    struct stat info {};
    ASSERT_EQ(::lstat((folder / "config.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "the link is replaced, not followed";
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    ASSERT_EQ(::lstat((folder / "new.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(ReadFileBytes(folder / "target"), "theirs");
}

TEST(FileIo, AReplacedFileNeverKeepsSetIdBits) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "old"));
    ASSERT_EQ(::chmod((folder / "f.ini").c_str(), 06640), 0);
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "new"));
    struct stat info {};
    ASSERT_EQ(::stat((folder / "f.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// Opening a FIFO for reading waits for a writer; a device may never end.
// Neither is a file of the program's, and neither may stop the start.
TEST(FileIo, OnlyRegularFilesAreRead) {
    testing::TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "config.ini").c_str(), 0644), 0);
    EXPECT_FALSE(ReadFileBytes(folder / "config.ini"));
    EXPECT_FALSE(ReadFileBytes("/dev/zero"));
    EXPECT_FALSE(ReadFileBytes("/dev/null"));
    ASSERT_EQ(::symlink("/dev/zero", (folder / "slot.ini").c_str()), 0);
    EXPECT_FALSE(ReadFileBytes(folder / "slot.ini"));
}

TEST(FileIo, AFileOverTheLimitIsNotRead) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", std::string(1000, 'x')));
    EXPECT_EQ(ReadFileBytes(folder / "f.ini", 1000)->size(), 1000u);
    errno = 0;
    EXPECT_FALSE(ReadFileBytes(folder / "f.ini", 999));
    EXPECT_EQ(errno, EFBIG);
}

// The reason reaches the reader: errno after a failed write is the cause,
// not what the cleaning up left.
TEST(FileIo, AFailedWriteSaysWhy) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "old"));
    errno = 0;
    EXPECT_FALSE(WriteFileAtomic(folder / "f.ini/under", "x"));
    EXPECT_EQ(errno, ENOTDIR);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WriteFileAtomic(folder / "f.ini", std::string(4096, 'n'));
    const int error = errno;
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
}

// A write killed half way leaves its temporary file; the next start (which
// alone writes the folder) removes those, and only those.
TEST(FileIo, LeftoversOfKilledWritesAreRemoved) {
    testing::TempFolder folder;
    for (const char* name : {".config.ini.Ab3dE9.part", ".sd00-01.ini.part", ".sd00-01.bmp.part",
                             "sd05-01.ini.part", "config.ini", "notes.part.txt", "part"})
        ASSERT_TRUE(WriteFileAtomic(folder / name, "x"));
    ASSERT_EQ(::mkdir((folder / "kept.part").c_str(), 0755), 0);
    EXPECT_EQ(RemoveWriteLeftovers(folder.Path()), 4);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"config.ini", "kept.part", "notes.part.txt", "part"}));
}

// Every temporary file of a write is one that RemoveWriteLeftovers knows.
TEST(FileIo, AWriteKilledHalfWayLeavesOnlyAPartFile) {
    testing::TempFolder folder;
    ASSERT_TRUE(WriteFileAtomic(folder / "f.ini", "old"));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    // A child that dies in the middle of writing: its temporary file stays.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        WriteFileAtomic(folder / "f.ini", std::string(4096, 'n'));
        ::_exit(0);
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(RemoveWriteLeftovers(folder.Path()), 1);
    EXPECT_EQ(ReadFileBytes(folder / "f.ini"), "old");
}

}  // namespace
}  // namespace zelk
