// Movies and MIDI without their libraries: FFmpeg and FluidSynth are opened
// when first needed, and where they are missing the movie or the piece
// fails alone, with a line saying why, and the engine goes on.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "debug_log.h"
#include "fluid_library.h"
#include "midi_renderer.h"
#include "mixer.h"
#include "movie_player.h"
#include "platform_services.h"
#include "shared_library.h"

namespace wavo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoSuchFile = "libzelk-no-such-library.so.1";

const Ffmpeg* NoFfmpeg() {
    return nullptr;
}

const FluidSynth* NoFluidSynth() {
    return nullptr;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The engine's trace written to a file of the test's own while it lives.
class TraceFile {
public:
    TraceFile() : mPath(fs::temp_directory_path() / ("wavo-optional-" + std::to_string(getpid()))) {
        fs::remove(mPath);
        DebugLog::Instance().SetPath(mPath.string());
    }
    ~TraceFile() {
        DebugLog::Instance().Forget();
        fs::remove(mPath);
    }
    std::string Text() const { return ReadText(mPath); }

private:
    fs::path mPath;
};

struct Pixels {
    std::vector<uint8_t> data = std::vector<uint8_t>(64 * 48 * 3);
    static uint8_t* Lock(void* context) { return static_cast<Pixels*>(context)->data.data(); }
};

TEST(MoviePlayer, WithoutFfmpegAMovieFailsAloneAndThePlayerGoesOn) {
    TraceFile trace;
    Pixels pixels;
    WavoVideoWindow window{&pixels, 64, 48, 64 * 3, &Pixels::Lock, nullptr, nullptr, nullptr};
    const auto handle = reinterpret_cast<uintptr_t>(&window);
    MoviePlayer player(nullptr, &NoFfmpeg);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ServiceErrors errors;
        EXPECT_EQ(player.Play("movie.mpg", handle, 255, errors), WAVO_E_MOVIE);
        EXPECT_EQ(errors.extended1, 3);
        EXPECT_EQ(player.IsPlaying(), 0);
        EXPECT_EQ(player.ChangeWindow(handle, errors), WAVO_E_NOT_PLAYING);
        EXPECT_EQ(player.Stop(), WAVO_OK);
    }
    EXPECT_NE(trace.Text().find("FFmpeg is not installed"), std::string::npos) << trace.Text();
}

bool Mapped(const std::string& name) {
    return ReadText("/proc/self/maps").find(name) != std::string::npos;
}

// A library that is no use leaves the process again; one that is kept
// stays mapped after its last handle is closed.
TEST(SharedLibrary, AFailedLibraryIsUnmappedAndAKeptOneStays) {
    const std::string file = FluidSynth::InstalledFile();
    if (Mapped(file)) GTEST_SKIP() << file << " was loaded before this test";
    {
        SharedLibrary library;
        ASSERT_TRUE(library.Open(file)) << library.Error();
        void (*missing)() = nullptr;
        library.Find("zelk_not_in_any_library", missing);
        EXPECT_FALSE(library.Complete());
        EXPECT_TRUE(Mapped(file));
    }
    EXPECT_FALSE(Mapped(file));
    {
        SharedLibrary library;
        ASSERT_TRUE(library.Open(file)) << library.Error();
        library.Keep();
    }
    EXPECT_TRUE(Mapped(file));
}

TEST(FluidSynth, TheInstalledLibraryLoadsWithEveryFunction) {
    std::string why;
    const auto fluid = FluidSynth::Load(FluidSynth::InstalledFile(), why);
    ASSERT_NE(fluid, nullptr) << why;
    EXPECT_NE(fluid->fluid_synth_write_s16, nullptr);
}

TEST(FluidSynth, AMissingLibraryIsNamedAndSaidInOneLine) {
    std::string why;
    EXPECT_EQ(FluidSynth::Load(kNoSuchFile, why), nullptr);
    EXPECT_NE(why.find(kNoSuchFile), std::string::npos) << why;
    testing::internal::CaptureStderr();
    EXPECT_EQ(FluidSynth::LoadOrTell(kNoSuchFile), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("MIDI music is silent"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

TEST(MidiRenderer, WithoutFluidSynthAPieceIsSilentWithALine) {
    TraceFile trace;
    // One track that only ends.
    const std::vector<uint8_t> midi = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                       96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
    const fs::path path =
        fs::temp_directory_path() / ("wavo-optional-" + std::to_string(getpid()) + ".mid");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(midi.data()), std::ssize(midi));
    }
    Mixer mixer(44100);
    EXPECT_EQ(MidiRenderer::Open(path.string(), mixer, "SODMusic", &NoFluidSynth), nullptr);
    EXPECT_NE(trace.Text().find("SODMusic: FluidSynth is not installed"), std::string::npos)
        << trace.Text();
    fs::remove(path);
}

}  // namespace
}  // namespace wavo
