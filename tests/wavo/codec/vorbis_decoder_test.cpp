#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <limits>

#include "sound_files.h"
#include "vorbis_decoder.h"

namespace wavo {
namespace {

std::vector<int16_t> DecodeAll(Decoder& decoder) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> piece(44100);
    while (!decoder.AtEnd()) {
        int64_t got = decoder.Read(piece.data(), std::ssize(piece));
        if (got == 0) break;
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
    }
    return test::AsSamples(bytes);
}

// Byte offsets of the Ogg pages of a stream.
std::vector<size_t> PageStarts(const std::vector<uint8_t>& stream) {
    std::vector<size_t> starts;
    for (size_t at = 0; at + 27 <= stream.size();) {
        starts.push_back(at);
        size_t segments = stream[at + 26];
        size_t length = 27 + segments;
        for (size_t s = 0; s < segments && at + 27 + s < stream.size(); ++s)
            length += stream[at + 27 + s];
        at += length;
    }
    return starts;
}

TEST(VorbisDecoder, ConvertsSamplesTruncatedAndClamped) {
    EXPECT_EQ(VorbisDecoder::ToPcm16(1.0f), 32767);
    EXPECT_EQ(VorbisDecoder::ToPcm16(-1.0f), -32767);
    EXPECT_EQ(VorbisDecoder::ToPcm16(1.5f), 32767);
    EXPECT_EQ(VorbisDecoder::ToPcm16(-1.5f), -32768);
    EXPECT_EQ(VorbisDecoder::ToPcm16(0.99999f), 32766);
    EXPECT_EQ(VorbisDecoder::ToPcm16(-0.99999f), -32766);
    EXPECT_EQ(VorbisDecoder::ToPcm16(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(VorbisDecoder::ToPcm16(-std::numeric_limits<float>::infinity()), -32768);
}

TEST(VorbisDecoder, GivesTheStreamsFormatAsSixteenBitPcm) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    const WaveFormat& format = decoder.OutputFormat();
    EXPECT_EQ(format.formatTag, kFormatPcm);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSec, 44100u);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.avgBytesPerSec, 176400u);
    EXPECT_EQ(decoder.SourceFormat(), nullptr);
}

class VorbisFiles : public testing::TestWithParam<const char*> {};

TEST_P(VorbisFiles, DecodeAsVorbisfileDoes) {
    auto reference = test::DecodeWithVorbisfile(GetParam());
    auto stream = test::ReadBytes(GetParam());
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    auto decoded = DecodeAll(decoder);
    EXPECT_TRUE(decoder.AtEnd());
    EXPECT_EQ(decoded.size(), reference.size());
    EXPECT_GE(test::AlignedSnr(reference, decoded, decoder.OutputFormat().channels, 16), 60.0);
}

TEST_P(VorbisFiles, DecodeAFileAsTheSameBlockInMemory) {
    auto stream = test::ReadBytes(GetParam());
    VorbisDecoder memory, file;
    ASSERT_TRUE(memory.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    ASSERT_TRUE(file.Open(kTypeVorbisFile, test::DataPath(GetParam()).c_str(), 0));
    EXPECT_EQ(DecodeAll(file), DecodeAll(memory));
}

TEST_P(VorbisFiles, GiveTheLengthThatVorbisfileMeasures) {
    OggVorbis_File reference;
    ASSERT_EQ(ov_fopen(test::DataPath(GetParam()).c_str(), &reference), 0);
    auto expected = static_cast<int64_t>(ov_time_total(&reference, -1) * 1000);
    ov_clear(&reference);
    auto stream = test::ReadBytes(GetParam());
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    std::vector<uint8_t> some(10000);
    decoder.Read(some.data(), std::ssize(some));
    int64_t position = decoder.Position();
    EXPECT_EQ(decoder.LengthMs(), expected);
    // Measuring leaves the decoding where it was.
    EXPECT_EQ(decoder.Position(), position);
    auto rest = DecodeAll(decoder);
    EXPECT_EQ(int64_t(rest.size()) * 2 + 10000,
              int64_t(test::DecodeWithVorbisfile(GetParam()).size()) * 2);
}

INSTANTIATE_TEST_SUITE_P(Files, VorbisFiles,
                         testing::Values("vorbis_stereo_44100.ogg", "vorbis_mono_22050.ogg"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(VorbisDecoder, TakesOnlyTheVorbisTypeWords) {
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    VorbisDecoder decoder;
    EXPECT_FALSE(decoder.Open(kTypeWaveMemory, stream.data(), std::ssize(stream)));
    EXPECT_FALSE(decoder.Open(0x49081003, stream.data(), std::ssize(stream)));
    EXPECT_FALSE(decoder.Open(kTypeVorbisFile, nullptr, 0));
    EXPECT_FALSE(decoder.Open(kTypeVorbisFile, test::DataPath("missing.ogg").c_str(), 0));
    EXPECT_EQ(decoder.LengthMs(), -1);
}

TEST(VorbisDecoder, RefusesABlockWithOnlyTheFirstHeaderPage) {
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    auto pages = PageStarts(stream);
    ASSERT_GE(pages.size(), 3u);
    VorbisDecoder decoder;
    EXPECT_FALSE(decoder.Open(kTypeVorbisMemory, stream.data(), int64_t(pages[1])));
}

TEST(VorbisDecoder, RefusesDataThatIsNotVorbis) {
    auto wave = test::ReadBytes("pcm16_mono_22050.wav");
    VorbisDecoder decoder;
    EXPECT_FALSE(decoder.Open(kTypeVorbisMemory, wave.data(), std::ssize(wave)));
    // An Ogg page whose first packet is not a Vorbis header.
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    stream[28 + 1] = 'X';
    EXPECT_FALSE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
}

TEST(VorbisDecoder, EndsEarlyWhenTheStreamIsCutInTheMiddle) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    auto full = test::DecodeWithVorbisfile("vorbis_stereo_44100.ogg");
    stream.resize(stream.size() / 2 + 1234);
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    auto decoded = DecodeAll(decoder);
    EXPECT_TRUE(decoder.AtEnd());
    EXPECT_GT(decoded.size(), full.size() / 4);
    EXPECT_LT(decoded.size(), full.size());
    decoded.resize(decoded.size() - 4096);
    std::vector<int16_t> start(full.begin(), full.begin() + std::ssize(decoded));
    EXPECT_GE(test::AlignedSnr(start, decoded, 2, 0), 60.0);
}

TEST(VorbisDecoder, PassesOverGarbageAfterTheHeaders) {
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    auto pages = PageStarts(stream);
    ASSERT_GE(pages.size(), 4u);
    // Everything after the header pages becomes noise.
    uint32_t noise = 12345;
    for (size_t at = pages[2]; at < stream.size(); ++at) {
        noise = noise * 1103515245 + 12345;
        stream[at] = static_cast<uint8_t>(noise >> 16);
    }
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    EXPECT_TRUE(DecodeAll(decoder).empty());
    EXPECT_TRUE(decoder.AtEnd());
}

TEST(VorbisDecoder, SurvivesCorruptPagesInTheMiddle) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    auto reference = test::DecodeWithVorbisfile("vorbis_stereo_44100.ogg");
    for (size_t at = stream.size() / 3; at < stream.size() / 3 + 3000; at += 7)
        stream[at] ^= 0x5A;
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    auto decoded = DecodeAll(decoder);
    EXPECT_TRUE(decoder.AtEnd());
    EXPECT_GT(decoded.size(), reference.size() / 2);
    EXPECT_LE(decoded.size(), reference.size());
}

TEST(VorbisDecoder, RestartsFromTheBeginningOnSeekToZero) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    auto first = DecodeAll(decoder);
    ASSERT_TRUE(decoder.Seek(0));
    EXPECT_FALSE(decoder.AtEnd());
    EXPECT_EQ(decoder.Position(), 0);
    EXPECT_EQ(DecodeAll(decoder), first);
}

TEST(VorbisDecoder, SeeksToADecodedPositionByDecodingUpToIt) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    auto all = DecodeAll(decoder);
    // One second in, plus two bytes: the frame at one second.
    ASSERT_TRUE(decoder.Seek(176400 + 2));
    EXPECT_EQ(decoder.Position(), 176400);
    auto rest = DecodeAll(decoder);
    ASSERT_EQ(rest.size(), all.size() - 88200);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), all.begin() + 88200));
}

TEST(VorbisDecoder, IsAtItsEndWhenTheStreamCannotBeReadAgain) {
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    auto pages = PageStarts(stream);
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    EXPECT_FALSE(decoder.AtEnd());
    // The header pages go bad after the open: the restart of a repeat fails.
    stream[pages[1] + 30] ^= 0xFF;
    EXPECT_FALSE(decoder.Seek(0));
    EXPECT_TRUE(decoder.AtEnd());
    uint8_t byte = 0;
    EXPECT_EQ(decoder.Read(&byte, 1), 0);
    decoder.Close();
    EXPECT_TRUE(decoder.AtEnd());
}

TEST(VorbisDecoder, CountsPositionInDecodedBytes) {
    auto stream = test::ReadBytes("vorbis_mono_22050.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    std::vector<uint8_t> out(3000);
    EXPECT_EQ(decoder.Read(out.data(), 3000), 3000);
    EXPECT_EQ(decoder.Read(out.data(), 1000), 1000);
    EXPECT_EQ(decoder.Position(), 4000);
    EXPECT_EQ(decoder.DecodedSize(), std::ssize(stream));
}

TEST(VorbisDecoder, ReadsTheLoopSectionFromTheComments) {
    auto stream = test::ReadBytes("vorbis_loop_stereo_44100.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    ASSERT_TRUE(decoder.Loop().has_value());
    EXPECT_EQ(decoder.Loop()->startFrame, 22050);
    EXPECT_EQ(decoder.Loop()->lengthFrames, 11025);
    // A rewind reads the headers again; the section stays.
    ASSERT_TRUE(decoder.Seek(1000));
    EXPECT_TRUE(decoder.Loop().has_value());
}

TEST(VorbisDecoder, AFileWithoutLoopCommentsNamesNoSection) {
    auto stream = test::ReadBytes("vorbis_stereo_44100.ogg");
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeVorbisMemory, stream.data(), std::ssize(stream)));
    EXPECT_FALSE(decoder.Loop().has_value());
}

}  // namespace
}  // namespace wavo
