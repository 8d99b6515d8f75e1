#include <gtest/gtest.h>

#include <array>

#include "file_source.h"
#include "memory_source.h"
#include "sound_files.h"

namespace wavo {
namespace {

TEST(MemorySource, RefusesAnEmptyOrMissingBlock) {
    uint8_t byte = 0;
    MemorySource source;
    EXPECT_FALSE(source.Open(&byte, 0));
    EXPECT_FALSE(source.Open(nullptr, 10));
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(source.Size(), -1);
    EXPECT_TRUE(source.Open(&byte, 1));
    EXPECT_EQ(source.Size(), 1);
}

TEST(MemorySource, ReadsWithinTheBlockAndSetsAtEndWhenARequestReachesIt) {
    std::array<uint8_t, 10> block{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    MemorySource source;
    ASSERT_TRUE(source.Open(block.data(), 10));
    std::array<uint8_t, 16> out{};
    EXPECT_EQ(source.Read(out.data(), 6), 6);
    EXPECT_FALSE(source.AtEnd());
    EXPECT_EQ(source.Tell(), 6);
    EXPECT_EQ(source.Read(out.data(), 16), 4);
    EXPECT_EQ(out[3], 9);
    EXPECT_TRUE(source.AtEnd());
    EXPECT_EQ(source.Read(out.data(), 16), 0);
}

TEST(MemorySource, SeeksFromZeroToTheSizeIncludedAndNoFurther) {
    std::array<uint8_t, 10> block{};
    MemorySource source;
    ASSERT_TRUE(source.Open(block.data(), 10));
    EXPECT_FALSE(source.Seek(-1));
    EXPECT_FALSE(source.Seek(11));
    EXPECT_TRUE(source.Seek(10));
    EXPECT_TRUE(source.AtEnd());
    EXPECT_TRUE(source.Seek(3));
    EXPECT_FALSE(source.AtEnd());
    EXPECT_EQ(source.Tell(), 3);
}

TEST(FileSource, RefusesAMissingFile) {
    FileSource source;
    EXPECT_FALSE(source.Open(test::DataPath("no_such_file.ogg")));
    EXPECT_EQ(source.Size(), -1);
}

TEST(FileSource, ReadsTheWholeFileAndSetsAtEndWhenAReadGetsNothing) {
    auto bytes = test::ReadBytes("vorbis_mono_22050.ogg");
    FileSource source;
    ASSERT_TRUE(source.Open(test::DataPath("vorbis_mono_22050.ogg")));
    EXPECT_EQ(source.Size(), std::ssize(bytes));
    std::vector<uint8_t> out(bytes.size());
    EXPECT_EQ(source.Read(out.data(), std::ssize(out)), std::ssize(bytes));
    EXPECT_EQ(out, bytes);
    EXPECT_FALSE(source.AtEnd());
    EXPECT_EQ(source.Read(out.data(), 1), 0);
    EXPECT_TRUE(source.AtEnd());
}

TEST(FileSource, SeeksWithinTheFileAndTellsThePosition) {
    auto bytes = test::ReadBytes("vorbis_mono_22050.ogg");
    FileSource source;
    ASSERT_TRUE(source.Open(test::DataPath("vorbis_mono_22050.ogg")));
    EXPECT_FALSE(source.Seek(source.Size() + 1));
    EXPECT_TRUE(source.Seek(source.Size()));
    EXPECT_TRUE(source.AtEnd());
    ASSERT_TRUE(source.Seek(100));
    uint8_t byte = 0;
    EXPECT_EQ(source.Read(&byte, 1), 1);
    EXPECT_EQ(byte, bytes[100]);
    EXPECT_EQ(source.Tell(), 101);
}

}  // namespace
}  // namespace wavo
