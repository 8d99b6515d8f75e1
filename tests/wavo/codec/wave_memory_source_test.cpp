#include <gtest/gtest.h>

#include "sound_files.h"
#include "wave_memory_source.h"

namespace wavo {
namespace {

using test::RiffBuilder;

const std::vector<uint8_t> kPcmFormat = RiffBuilder::Format(1, 2, 22050, 4, 16);
const std::vector<uint8_t> kData{1, 2, 3, 4, 5, 6, 7, 8};

bool Opens(const std::vector<uint8_t>& block) {
    WaveMemorySource source;
    return source.Open(block.data(), std::ssize(block));
}

TEST(WaveMemorySource, ReadsOnlyTheDataChunk) {
    auto block = RiffBuilder().Chunk("fmt ", kPcmFormat).Chunk("data", kData).Build();
    WaveMemorySource source;
    ASSERT_TRUE(source.Open(block.data(), std::ssize(block)));
    EXPECT_EQ(source.Size(), 8);
    std::vector<uint8_t> out(16);
    EXPECT_EQ(source.Read(out.data(), 16), 8);
    out.resize(8);
    EXPECT_EQ(out, kData);
    EXPECT_TRUE(source.AtEnd());
}

TEST(WaveMemorySource, CopiesTheFormatAndGivesTheLengthFromItsByteRate) {
    std::vector<uint8_t> data(88200 / 4);
    auto block = RiffBuilder().Chunk("fmt ", kPcmFormat).Chunk("data", data).Build();
    WaveMemorySource source;
    ASSERT_TRUE(source.Open(block.data(), std::ssize(block)));
    ASSERT_NE(source.Format(), nullptr);
    EXPECT_EQ(source.Format()->formatTag, 1);
    EXPECT_EQ(source.Format()->channels, 2);
    EXPECT_EQ(source.Format()->samplesPerSec, 22050u);
    EXPECT_EQ(source.Format()->avgBytesPerSec, 88200u);
    EXPECT_EQ(source.Format()->bitsPerSample, 16);
    EXPECT_DOUBLE_EQ(source.LengthMs(), 250.0);
}

TEST(WaveMemorySource, SkipsAFactChunkBeforeTheData) {
    auto block = RiffBuilder()
                     .Chunk("fmt ", kPcmFormat)
                     .Chunk("fact", RiffBuilder::Le32(2))
                     .Chunk("data", kData)
                     .Build();
    EXPECT_TRUE(Opens(block));
}

TEST(WaveMemorySource, RefusesAnyOtherChunkBetweenFormatAndData) {
    auto list = RiffBuilder()
                    .Chunk("fmt ", kPcmFormat)
                    .Chunk("LIST", {'I', 'N', 'F', 'O'})
                    .Chunk("data", kData)
                    .Build();
    EXPECT_FALSE(Opens(list));
    auto twoFacts = RiffBuilder()
                        .Chunk("fmt ", kPcmFormat)
                        .Chunk("fact", RiffBuilder::Le32(2))
                        .Chunk("fact", RiffBuilder::Le32(2))
                        .Chunk("data", kData)
                        .Build();
    EXPECT_FALSE(Opens(twoFacts));
}

TEST(WaveMemorySource, RefusesADataChunkRunningPastTheBlock) {
    auto block = RiffBuilder().Chunk("fmt ", kPcmFormat).Chunk("data", kData).Build();
    block.pop_back();
    EXPECT_FALSE(Opens(block));
    auto huge = RiffBuilder()
                    .Chunk("fmt ", kPcmFormat)
                    .Raw({'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0xFF})
                    .Raw(kData)
                    .Build();
    EXPECT_FALSE(Opens(huge));
}

TEST(WaveMemorySource, RefusesHeadersThatClaimMoreThanTheBlockHolds) {
    auto hugeFormat = RiffBuilder().Raw({'f', 'm', 't', ' ', 0xFF, 0xFF, 0xFF, 0x7F}).Build();
    EXPECT_FALSE(Opens(hugeFormat));
    auto hugeFact = RiffBuilder()
                        .Chunk("fmt ", kPcmFormat)
                        .Raw({'f', 'a', 'c', 't', 0xFF, 0xFF, 0xFF, 0xFF})
                        .Build();
    EXPECT_FALSE(Opens(hugeFact));
    auto noData = RiffBuilder().Chunk("fmt ", kPcmFormat).Build();
    EXPECT_FALSE(Opens(noData));
}

TEST(WaveMemorySource, RefusesWrongMagicAndBlocksTooShort) {
    auto block = RiffBuilder().Chunk("fmt ", kPcmFormat).Chunk("data", kData).Build();
    for (size_t at : {0u, 8u, 12u}) {
        auto broken = block;
        broken[at] = 'X';
        EXPECT_FALSE(Opens(broken)) << "byte " << at;
    }
    for (size_t length = 0; length < block.size(); ++length) {
        WaveMemorySource source;
        EXPECT_FALSE(source.Open(block.data(), static_cast<int64_t>(length))) << length;
    }
}

TEST(WaveMemorySource, KeepsFormatChunksOfEveryLength) {
    for (size_t size : {14u, 16u, 18u, 20u, 30u, 50u}) {
        auto format = kPcmFormat;
        format.resize(size);
        auto block = RiffBuilder().Chunk("fmt ", format).Chunk("data", kData).Build();
        WaveMemorySource source;
        ASSERT_TRUE(source.Open(block.data(), std::ssize(block))) << size;
        EXPECT_EQ(source.Format()->channels, 2) << size;
        EXPECT_EQ(source.Size(), 8) << size;
    }
}

TEST(WaveMemorySource, OpensAnEmptyDataChunkAsAtItsEnd) {
    auto block = RiffBuilder().Chunk("fmt ", kPcmFormat).Chunk("data", {}).Build();
    WaveMemorySource source;
    ASSERT_TRUE(source.Open(block.data(), std::ssize(block)));
    uint8_t byte = 0;
    EXPECT_EQ(source.Read(&byte, 1), 0);
    EXPECT_TRUE(source.AtEnd());
}

}  // namespace
}  // namespace wavo
