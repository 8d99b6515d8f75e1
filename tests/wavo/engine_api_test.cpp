// The engine's exported frame: start and stop, engine properties, the
// sound-object list, method calls, error texts and the trace file.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

std::string Utf8(const char* cp932, size_t length) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out(length * 3 + 1, '\0');
    char* in = const_cast<char*>(cp932);
    char* outPtr = out.data();
    size_t inLeft = length, outLeft = out.size();
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::filesystem::path TempLog(const char* name) {
    auto path = std::filesystem::temp_directory_path() /
                (std::string("wavo_") + name + "_" + std::to_string(getpid()) + ".log");
    std::filesystem::remove(path);
    return path;
}

// [Start and stop]

TEST(WavoStart, StartsWithASoundOutputAndReportsThePlatform) {
    ASSERT_EQ(InitializeWavo(), 0);
    int32_t version = 0;
    EXPECT_EQ(GetWavoProp(WP_PLATFORM_VERSION, &version), 0);
    EXPECT_EQ(version, 0x801);
    EXPECT_EQ(TerminateWavo(), 0);
}

TEST(WavoStart, AMachineWithoutSoundFailsTheStartAndKeepsTheErrorsReadable) {
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_EQ(InitializeWavo(), WAVO_E_NO_RUNTIME);
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);

    int32_t value = -1;
    EXPECT_EQ(GetWavoProp(WP_LAST_ERROR, &value), 0);
    EXPECT_EQ(value, WAVO_E_NO_RUNTIME);
    EXPECT_EQ(GetWavoProp(WP_PLATFORM_VERSION, &value), 0);
    EXPECT_EQ(value, 0);
    // Not started: the rest answers 0 and does nothing; AddSO gives 0.
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), 0);
    value = 77;
    EXPECT_EQ(GetWavoProp(WP_DEFAULT_VOLUME, &value), 0);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(CallSOMethod(0, SM_PLAY, nullptr), 0);
    EXPECT_EQ(EnumSO(nullptr), 0);
    EXPECT_EQ(TerminateWavo(), 0);
}

TEST(WavoStart, TerminateWithoutAStartWritesNothing) {
    const auto log = TempLog("terminate");
    SetDebugLog(log.string().c_str());
    const auto before = std::filesystem::file_size(log);
    EXPECT_EQ(TerminateWavo(), 0);
    EXPECT_EQ(std::filesystem::file_size(log), before);
    SetDebugLog(nullptr);
    std::filesystem::remove(log);
}

TEST(WavoStart, ASecondStartReplacesTheEngine) {
    ASSERT_EQ(InitializeWavo(), 0);
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), 0);
    ASSERT_EQ(InitializeWavo(), 0);
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), 0);
    EXPECT_EQ(TerminateWavo(), 0);
}

// [Engine properties]

using WavoProperties = EngineTest;

TEST_F(WavoProperties, ReadOnlyAndUnknownIdsAreRefused) {
    int32_t value = 1;
    EXPECT_EQ(SetWavoProp(WP_LAST_ERROR, &value), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(SetWavoProp(WP_PLATFORM_VERSION, &value), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(SetWavoProp(WP_EXT_ERROR1, &value), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(SetWavoProp(WP_EXT_ERROR2, &value), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(SetWavoProp(0x41000007, &value), WAVO_E_NO_PROPERTY);
    EXPECT_EQ(GetWavoProp(0x41000007, &value), WAVO_E_NO_PROPERTY);
}

TEST_F(WavoProperties, DefaultsStartAsDocumentedAndReachNewObjects) {
    int32_t value = 0;
    uint8_t flag = 9;
    GetWavoProp(WP_HOST_VALUE, &value);
    EXPECT_EQ(value, -1);
    GetWavoProp(WP_EVENT_MESSAGE, &value);
    EXPECT_EQ(value, 512);
    GetWavoProp(WP_DEFAULT_VOLUME, &value);
    EXPECT_EQ(value, 255);
    GetWavoProp(WP_DEFAULT_PLAY_COUNT, &value);
    EXPECT_EQ(value, 1);
    GetWavoProp(WP_DEFAULT_FADE_TIME, &value);
    EXPECT_EQ(value, 1000);
    GetWavoProp(WP_DEFAULT_SYNC, &flag);
    EXPECT_EQ(flag, 0);

    value = 100;
    SetWavoProp(WP_DEFAULT_VOLUME, &value);
    value = -1;
    SetWavoProp(WP_DEFAULT_PLAY_COUNT, &value);
    value = 300;
    SetWavoProp(WP_DEFAULT_FADE_TIME, &value);
    flag = 1;
    SetWavoProp(WP_DEFAULT_AUTO_RELEASE, &flag);
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 100);
    EXPECT_EQ(IntProp(id, SP_PLAY_COUNT), -1);
    EXPECT_EQ(IntProp(id, SP_FADE_TIME), 300);
    uint8_t autoRelease = 0;
    GetSOProp(id, SP_AUTO_RELEASE, &autoRelease);
    EXPECT_EQ(autoRelease, 1);
}

TEST_F(WavoProperties, SettingTheObjectCountChangesNothingAndAnswersTheCount) {
    AddSO(ST_VORBIS_MEMORY);
    AddSO(ST_VORBIS_MEMORY);
    int32_t value = 40;
    EXPECT_EQ(SetWavoProp(WP_SO_COUNT, &value), 2);
    EXPECT_EQ(GetWavoProp(WP_SO_COUNT, &value), 0);
    EXPECT_EQ(value, 2);
}

TEST_F(WavoProperties, HandlesKeepTheirFullWidth) {
    int context = 0;
    WavoEventWindow window{[](void*, uint32_t, int32_t, int32_t) {}, &context};
    EXPECT_EQ(SetWavoProp(WP_EVENT_WINDOW, &window), 0);
    WavoEventWindow back{};
    EXPECT_EQ(GetWavoProp(WP_EVENT_WINDOW, &back), 0);
    EXPECT_EQ(back.proc, window.proc);
    EXPECT_EQ(back.context, &context);

    uintptr_t video = static_cast<uintptr_t>(0x123456789ABCull);
    EXPECT_EQ(SetWavoProp(WP_VIDEO_WINDOW, &video), 0);
    uintptr_t videoBack = 0;
    EXPECT_EQ(GetWavoProp(WP_VIDEO_WINDOW, &videoBack), 0);
    EXPECT_EQ(videoBack, video);
}

TEST_F(WavoProperties, MixerLinesAreStoredPerLine) {
    const int32_t levels[] = {WP_MIXER_LEVEL2, WP_MIXER_LEVEL3, WP_MIXER_LEVEL4};
    const int32_t mutes[] = {WP_MIXER_MUTE2, WP_MIXER_MUTE3, WP_MIXER_MUTE4};
    for (int line = 0; line < 3; ++line) {
        int32_t level = 10 + line;
        uint8_t mute = static_cast<uint8_t>(line + 1);
        EXPECT_EQ(SetWavoProp(levels[line], &level), 0);
        EXPECT_EQ(SetWavoProp(mutes[line], &mute), 0);
    }
    for (int line = 0; line < 3; ++line) {
        int32_t level = 0;
        uint8_t mute = 0;
        GetWavoProp(levels[line], &level);
        GetWavoProp(mutes[line], &mute);
        EXPECT_EQ(level, 10 + line);
        EXPECT_EQ(mute, line + 1);
    }
}

// [The sound-object list]

using WavoObjectList = EngineTest;

TEST_F(WavoObjectList, IdsCountFromZeroAndUnknownFamiliesCreateNothing) {
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), 0);
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), 1);
    EXPECT_EQ(AddSO(0x49051002), -1);
    EXPECT_EQ(AddSO(0), -1);
    EXPECT_EQ(AddSO(ST_MCI_SEQUENCE), 2);
    EXPECT_EQ(AddSO(ST_MUSIC_SEQUENCE), 3);
    int32_t count = 0;
    GetWavoProp(WP_SO_COUNT, &count);
    EXPECT_EQ(count, 4);
}

TEST_F(WavoObjectList, RemoveAnswersOneAlsoForAMissingIdAndIdsAreNotReused) {
    const int32_t first = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(RemoveSO(first), 1);
    EXPECT_EQ(RemoveSO(first), 1);
    EXPECT_EQ(RemoveSO(1234), 1);
    EXPECT_EQ(AddSO(ST_VORBIS_MEMORY), first + 1);
    int32_t value = 0;
    EXPECT_EQ(GetSOProp(first, SP_ID, &value), WAVO_E_NO_SO);
}

TEST_F(WavoObjectList, EnumWalksInCreationOrderUntilTheCallbackSaysStop) {
    for (int i = 0; i < 4; ++i)
        AddSO(ST_VORBIS_MEMORY);
    RemoveSO(1);
    static std::vector<int32_t> seen;
    seen.clear();
    EXPECT_EQ(EnumSO([](int32_t id) -> int32_t {
                  seen.push_back(id);
                  return 1;
              }),
              1);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 2, 3}));
    seen.clear();
    EnumSO([](int32_t id) -> int32_t {
        seen.push_back(id);
        return 0;
    });
    EXPECT_EQ(seen, (std::vector<int32_t>{0}));
}

TEST_F(WavoObjectList, EnumOnAnEmptyListAnswersOne) {
    EXPECT_EQ(EnumSO([](int32_t) -> int32_t { return 1; }), 1);
}

TEST_F(WavoObjectList, ClearRemovesEveryObject) {
    AddSO(ST_VORBIS_MEMORY);
    AddSO(ST_MCI_SEQUENCE);
    EXPECT_EQ(ClearSO(), 0);
    int32_t count = -1;
    GetWavoProp(WP_SO_COUNT, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(WavoObjectList, MethodCallsCheckTheObjectThenTheMethod) {
    EXPECT_EQ(CallSOMethod(5, SM_PLAY, nullptr), WAVO_E_NO_SO);
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(CallSOMethod(id, 0x47000300, nullptr), WAVO_E_NO_METHOD);
    EXPECT_EQ(CallSOMethod(id, SM_FADE_IN | 0x10, nullptr), WAVO_E_NO_METHOD);
    // A method that fails inside still answers 0: the state tells.
    EXPECT_EQ(CallSOMethod(id, SM_PLAY, nullptr), 0);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
}

TEST_F(WavoObjectList, JobsOfARemovedObjectAreDropped) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(AddNewJob(JT_BACK_TO_LOADED, id, 50, 0), 0);
    RemoveSO(id);
    // A job for an id that never existed is dropped too.
    EXPECT_EQ(AddNewJob(JT_RELEASE, 999, 0, 0), 0);
    const int32_t next = AddSO(ST_VORBIS_MEMORY);
    EXPECT_NE(next, id);
    EXPECT_EQ(StateOf(next), SS_UNLOADED);
}

TEST_F(WavoObjectList, AReleaseJobRemovesTheObjectWhenDue) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    AddNewJob(JT_RELEASE, id, 20, 0);
    int32_t value = 0;
    EXPECT_TRUE(WaitUntil([&] { return GetSOProp(id, SP_ID, &value) == WAVO_E_NO_SO; }));
}

// [Movies and display size while no movie service exists]

using WavoMovies = EngineTest;

TEST_F(WavoMovies, PlayWithoutAVideoWindowFailsAndIsTheLastError) {
    EXPECT_EQ(dshowPlay("movie.mpg"), WAVO_E_NO_VIDEO_WINDOW);
    int32_t last = 0;
    GetWavoProp(WP_LAST_ERROR, &last);
    EXPECT_EQ(last, WAVO_E_NO_VIDEO_WINDOW);
    EXPECT_EQ(dshowIsPlaying(), 0);
}

TEST_F(WavoMovies, PlayOfAMissingFileFailsOnThePlatformAndPlaysNothing) {
    WavoVideoWindow host{};  // the video window is the host's surface description
    const auto window = reinterpret_cast<uintptr_t>(&host);
    SetWavoProp(WP_VIDEO_WINDOW, &window);
    EXPECT_EQ(dshowPlay("no_such_movie.mpg"), WAVO_E_MOVIE);
    int32_t step = 0;
    GetWavoProp(WP_EXT_ERROR1, &step);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(dshowChangeWindow(), WAVO_E_NOT_PLAYING);
    EXPECT_EQ(dshowStop(), 0);
    const uintptr_t none = 0;
    SetWavoProp(WP_VIDEO_WINDOW, &none);
}

TEST_F(WavoMovies, ChangeWindowWithoutAWindowOrAMovie) {
    EXPECT_EQ(dshowChangeWindow(), WAVO_E_NO_VIDEO_WINDOW);
    EXPECT_EQ(ResumeDisplaySize(), 0);
    EXPECT_EQ(ChangeDisplaySize(0, 640, 480, 32), WAVO_E_DISPLAY_MODE);
}

// [Error texts]

TEST(WavoErrorText, CodesWithoutATextOfTheirOwnGetTheUndefinedCodeText) {
    char buffer[256];
    GetErrorDescription(0x45000201, buffer, sizeof buffer);
    EXPECT_EQ(Utf8(buffer, std::strlen(buffer)), "定義されていないエラーコードが渡されました。");
    GetErrorDescription(0x12345678, buffer, sizeof buffer);
    EXPECT_EQ(Utf8(buffer, std::strlen(buffer)), "定義されていないエラーコードが渡されました。");
}

TEST(WavoErrorText, TextsComeInCodePage932) {
    char buffer[256];
    GetErrorDescription(WAVO_E_NO_SO, buffer, sizeof buffer);
    EXPECT_EQ(std::strlen(buffer), 36u);  // 18 two-byte characters
    EXPECT_EQ(Utf8(buffer, std::strlen(buffer)), "存在しないサウンドオブジェクトです。");
    GetErrorDescription(WAVO_E_AUDIO, buffer, sizeof buffer);
    EXPECT_EQ(Utf8(buffer, std::strlen(buffer)), "DirectAudioにかかわる何らかのえらーです。");
}

TEST(WavoErrorText, ASmallBufferGetsNoTerminator) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    GetErrorDescription(0, buffer, 5);
    EXPECT_NE(buffer[4], '\0');
    EXPECT_EQ(buffer[5], '#');
    // Exactly the length plus one gets the terminator.
    char exact[64];
    std::memset(exact, '#', sizeof exact);
    GetErrorDescription(0, exact, 33);  // 16 characters, 32 bytes
    EXPECT_EQ(exact[32], '\0');
    EXPECT_EQ(exact[33], '#');
}

TEST(WavoErrorText, ANullOrEmptyBufferIsLeftAlone) {
    EXPECT_EQ(GetErrorDescription(0, nullptr, 100), 0);
    char one = '#';
    EXPECT_EQ(GetErrorDescription(0, &one, 0), 0);
    EXPECT_EQ(one, '#');
}

// [Trace file]

TEST(WavoTrace, DescribesTheMachineThenTracesStartAndStop) {
    const auto log = TempLog("trace");
    SetDebugLog(log.string().c_str());
    ASSERT_EQ(InitializeWavo(), 0);
    TerminateWavo();
    AddSO(ST_VORBIS_MEMORY);
    const std::string text = ReadFile(log);
    EXPECT_EQ(text.rfind("OS: ", 0), 0u);
    EXPECT_NE(text.find("CPU:\n  VenderID: "), std::string::npos);
    EXPECT_NE(text.find("  CPUID: "), std::string::npos);
    EXPECT_NE(text.find("Memory:\n  Load          = "), std::string::npos);
    EXPECT_NE(text.find("DirectX: 0801 (or higher)\n\n"), std::string::npos);
    const char* lines[] = {
        "InitializeWavo Start\n",
        "Wavo.Initialize Start\n",
        "InitializeMCI\n",
        "Wavo.Initialize InitializeMCI success\n",
        "Wavo.Initialize IDirectMusicPerformance success\n",
        "Wavo.Initialize Done\n",
        "InitializeWavo Wavo.Initialize success\n",
        "InitializeWavo JobList initialized\n",
        "InitializeWavo JobThread initialized\n",
        "InitializeWavo Done\n",
        "TerminateWavo Start\n",
        "TerminateWavo JobThread teminated\n",
        "TerminateWavo JobList teminated\n",
        "Wavo.Terminate Start\n",
        "Wavo.Terminate TerminateMCI done\n",
        "Wavo.Terminate TerminateDAudio done\n",
        "Wavo.Terminate TerminateDSound done\n",
        "Wavo.Terminate TerminateDShow done\n",
        "Wavo.Terminate Done\n",
        "TerminateWavo Wavo.Terminate\n",
        "TerminateWavo Done\n",
    };
    size_t at = 0;
    for (const char* line : lines) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found + std::strlen(line);
    }
    // The path is forgotten at the end: nothing follows.
    EXPECT_EQ(at, text.size());
    std::filesystem::remove(log);
}

TEST(WavoTrace, AFailedStartIsTraced) {
    const auto log = TempLog("failed");
    SetDebugLog(log.string().c_str());
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_EQ(InitializeWavo(), WAVO_E_NO_RUNTIME);
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("Wavo.Initialize failed(DirectX not found)\n"
                        "InitializeWavo Wavo.Initialize failed\n"),
              std::string::npos);
    SetDebugLog(nullptr);
    std::filesystem::remove(log);
}

}  // namespace
}  // namespace wavo::test
