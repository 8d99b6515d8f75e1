// FFmpeg is opened when first needed, never linked: a library that is not
// there, or lacks a function, gives a clear failure, and the sounds that
// need it fail alone.
#include <gtest/gtest.h>

#include "ffmpeg_library.h"
#include "media_decoder.h"
#include "shared_library.h"
#include "sound_files.h"

namespace wavo {
namespace {

constexpr const char* kNoSuchFile = "libzelk-no-such-library.so.1";

const Ffmpeg* NoFfmpeg() {
    return nullptr;
}

TEST(SharedLibrary, AFileThatIsNotThereIsNamedInTheFailure) {
    SharedLibrary library;
    EXPECT_FALSE(library.Open(kNoSuchFile));
    EXPECT_FALSE(library.Complete());
    EXPECT_NE(library.Error().find(kNoSuchFile), std::string::npos) << library.Error();
    // Looking up in a library that never opened finds nothing and does not crash.
    int (*function)(int) = nullptr;
    library.Find("abs", function);
    EXPECT_EQ(function, nullptr);
}

TEST(SharedLibrary, OneMissingFunctionFailsTheWholeAndIsNamed) {
    SharedLibrary library;
    ASSERT_TRUE(library.Open(FfmpegFiles::Installed().util)) << library.Error();
    decltype(&::av_malloc) found = nullptr;
    void (*missing)() = nullptr;
    library.Find("av_malloc", found);
    library.Find("zelk_not_in_any_library", missing);
    EXPECT_NE(found, nullptr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_FALSE(library.Complete());
    EXPECT_NE(library.Error().find("zelk_not_in_any_library"), std::string::npos)
        << library.Error();
}

TEST(Ffmpeg, TheInstalledLibrariesLoadWithEveryFunction) {
    std::string why;
    const auto ffmpeg = Ffmpeg::Load(FfmpegFiles::Installed(), why);
    ASSERT_NE(ffmpeg, nullptr) << why;
    EXPECT_NE(ffmpeg->avformat_open_input, nullptr);
    EXPECT_NE(ffmpeg->sws_scale, nullptr);
    EXPECT_FALSE(ffmpeg->ErrorText(AVERROR_EOF).empty());
    EXPECT_NE(Ffmpeg::Shared(), nullptr);
}

TEST(Ffmpeg, AMissingLibraryFailsTheWholeAndSaysSoInOneLine) {
    // The installed libraries are held meanwhile, as a player that has
    // played a movie holds them: unloading the failed set then unmaps
    // nothing, so their own start-up allocations are not lost with them
    // (which the leak checker would report).
    ASSERT_NE(Ffmpeg::Shared(), nullptr);
    FfmpegFiles files = FfmpegFiles::Installed();
    files.format = kNoSuchFile;
    std::string why;
    EXPECT_EQ(Ffmpeg::Load(files, why), nullptr);
    EXPECT_NE(why.find(kNoSuchFile), std::string::npos) << why;

    testing::internal::CaptureStderr();
    EXPECT_EQ(Ffmpeg::LoadOrTell(files), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("movies"), std::string::npos) << said;
    EXPECT_NE(said.find(kNoSuchFile), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

// A library under a right name that is the wrong library: everything it
// lacks is looked for, and it counts as missing.
TEST(Ffmpeg, ALibraryWithoutTheFunctionsCountsAsMissing) {
    // The installed libraries are held meanwhile, as a player that has
    // played a movie holds them: unloading the failed set then unmaps
    // nothing, so their own start-up allocations are not lost with them
    // (which the leak checker would report).
    ASSERT_NE(Ffmpeg::Shared(), nullptr);
    FfmpegFiles files = FfmpegFiles::Installed();
    files.resample = files.util;
    std::string why;
    EXPECT_EQ(Ffmpeg::Load(files, why), nullptr);
    EXPECT_NE(why.find("swr_convert"), std::string::npos) << why;
}

TEST(MediaDecoder, WithoutFfmpegASoundFailsWithItsReasonAndTheNextStillTries) {
    const std::string path = test::DataPath("media_tone_stereo_44100.flac");
    MediaDecoder without(&NoFfmpeg);
    EXPECT_FALSE(without.Open(kTypeSoundFile, path.c_str(), 0));
    EXPECT_NE(without.Error().find("FFmpeg"), std::string::npos) << without.Error();
    EXPECT_TRUE(without.AtEnd());
    int16_t buffer[64];
    EXPECT_EQ(without.Read(buffer, sizeof buffer), 0);
    EXPECT_FALSE(without.Seek(0));

    MediaDecoder with;
    EXPECT_TRUE(with.Open(kTypeSoundFile, path.c_str(), 0)) << with.Error();
}

}  // namespace
}  // namespace wavo
