// The sound driver through the real engine, under SDL's dummy audio driver
// (its channels, the music dance, the effects' channel choice, volumes and
// the save slot's section) and the disk driver (what comes out).
#include "drivers/wavo_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "../platform/arc/zip_maker.h"
#include "common/paths.h"
#include "common/process.h"
#include "drivers/quor_driver.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"
#include "wavo.h"

namespace zelk {
namespace {

using testing::MakeZip;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::WriteWholeFile;
using namespace std::chrono_literals;

std::string Sound(const std::string& name) {
    return ReadWholeFile(std::string(ZELK_TEST_DATA) + "/sound/" + name);
}

std::int32_t Prop(std::int32_t id, std::int32_t property) {
    std::int32_t value = 0;
    GetSOProp(id, property, &value);
    return value;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// An archive with three pieces of music, an effect and a voice, and a
// driver started over it.
class WavoDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeZip(
            mFolder / "sound.quor",
            {{"l",
              "list\r\nbgm_a\r\nbgm_b\r\nbgm_c\r\nse01\r\ncv01\r\nempty\r\nlong_d\r\nlong_e\r\n"},
             {"1", Sound("tone440.ogg")},
             {"2", Sound("tone1000.ogg")},
             {"3", Sound("tone440.ogg")},
             {"4", Sound("click.ogg")},
             {"5", Sound("click.ogg")},
             {"6", ""},
             {"7", Sound("tone1000.ogg")},
             {"8", Sound("tone440.ogg")}});
        ASSERT_TRUE(mQuor.Init(2));
        ASSERT_TRUE(mQuor.LoadArchive(mFolder / "sound.quor", 0));
        std::string list;
        ASSERT_TRUE(mQuor.LoadTextFile(0, list));
        ASSERT_TRUE(mQuor.LoadArchiveList(list, 0));
        mSystemInfo.KeySection("Game").KeyValue("BGMFadeTime", "300");
        mSaved = Process();
    }
    void TearDown() override {
        mDriver.reset();
        Process() = mSaved;
    }

    clsWavoDriver& Start() {
        mDriver = std::make_unique<clsWavoDriver>(
            WavoDriverParts{[this](const std::string& line) { mLog.push_back(line); },
                            &mSystemInfo,
                            &mQuor,
                            {},
                            {}});
        EXPECT_TRUE(mDriver->Init());
        return *mDriver;
    }
    bool Logged(const std::string& line) const {
        return std::find(mLog.begin(), mLog.end(), line) != mLog.end();
    }
    bool Playing(std::int32_t id) const { return Prop(id, SP_STATE) == SS_PLAYING; }

    ScratchFolder mFolder;
    clsQuorDriver mQuor;
    INIFile mSystemInfo;
    ProcessValues mSaved;
    std::vector<std::string> mLog;
    std::unique_ptr<clsWavoDriver> mDriver;
};

// [SECTION] Start and loading -------------------------------------------------

TEST_F(WavoDriverTest, InitCreatesNineChannelsAndReadsTheFadeTime) {
    clsWavoDriver& driver = Start();
    std::vector<std::int32_t> ids{driver.BGMChannelId(0), driver.BGMChannelId(1),
                                  driver.SELoopChannelId(), driver.CVChannelId()};
    for (int i = 0; i < 5; ++i)
        ids.push_back(driver.SEChannelId(i));
    for (std::int32_t id : ids)
        EXPECT_EQ(Prop(id, SP_TYPE), ST_SOUND_MEMORY);
    EXPECT_EQ(driver.BGMFadeTime(), 300);
    EXPECT_TRUE(Logged("  Procedure InitializeWavo Call..."));
    EXPECT_TRUE(Logged("  Initialization of WavoDriver Succeeded."));
    mDriver.reset();
    EXPECT_EQ(mLog.back(), "  Termination of WavoDriver Succeeded.");
}

TEST_F(WavoDriverTest, AFailedStartKeepsTheErrorsAndADriverThatDoesNothing) {
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string driverName = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    mDriver = std::make_unique<clsWavoDriver>(WavoDriverParts{{}, nullptr, &mQuor, {}, {}});
    EXPECT_FALSE(mDriver->Init());
    setenv("SDL_AUDIODRIVER", driverName.c_str(), 1);
    EXPECT_NE(mDriver->WavoLastError(), 0);
    EXPECT_EQ(mDriver->BGMChannelId(0), 0);
    EXPECT_EQ(mDriver->BGMFadeTime(), 500);
    EXPECT_FALSE(mDriver->PlayBGM("bgm_a", false, true));
    EXPECT_FALSE(mDriver->IsPlayingBGM());
}

TEST_F(WavoDriverTest, MissingAndEmptyDataAreLoggedFailures) {
    clsWavoDriver& driver = Start();
    EXPECT_FALSE(driver.PlaySE("nothing", false));
    EXPECT_TRUE(Logged("wavo file not found error 'nothing'"));
    EXPECT_FALSE(driver.PlaySE("empty", false));
    EXPECT_TRUE(Logged("wavo file size error 'empty'"));
    EXPECT_TRUE(driver.PlaySE("se01", false));
    EXPECT_TRUE(Logged("wavo load file 'se01' from archive"));
}

TEST_F(WavoDriverTest, SoundFileModeTakesTheLooseFileAndFallsBackToTheArchive) {
    std::filesystem::create_directories(mFolder.Path() / "SOUND");
    WriteWholeFile(mFolder / "SOUND/Loose.ogg", Sound("click.ogg"));
    Process().WorkspaceDir = mFolder.Path().string();
    Process().Debug.SoundFileMode = true;
    clsWavoDriver& driver = Start();
    EXPECT_TRUE(driver.PlayCV("loose", false, 0));
    EXPECT_TRUE(Logged("wavo load file 'loose' from file"));
    EXPECT_TRUE(driver.PlayCV("cv01", false, 0));
    EXPECT_TRUE(Logged("wavo load file 'cv01' from archive"));
    EXPECT_GT(driver.SOLength(), 150);
}

// [SECTION] The kinds of sound ------------------------------------------------

std::string Media(const std::string& name) {
    return ReadWholeFile(std::string(ZELK_TEST_DATA) + "/wavo/" + name);
}

// Each kind under a key of its own, loose and in an archive.
TEST_F(WavoDriverTest, OpusFlacMp3AndWavePlayLooseAndArchived) {
    const std::vector<std::pair<std::string, std::string>> kinds{
        {"opus", "media_tone_stereo_48000.opus"},
        {"flac", "media_tone_stereo_44100.flac"},
        {"mp3", "media_tone_stereo_44100.mp3"},
        {"wav", "media_tone_stereo_44100.wav"}};
    std::vector<testing::ZipItem> entries{{"l", "list\r\na_opus\r\na_flac\r\na_mp3\r\na_wav\r\n"}};
    std::filesystem::create_directories(mFolder.Path() / "sound");
    for (size_t k = 0; k < kinds.size(); ++k) {
        entries.push_back({std::to_string(k + 1), Media(kinds[k].second)});
        WriteWholeFile(mFolder / ("sound/l_" + kinds[k].first + "." + kinds[k].first),
                       Media(kinds[k].second));
    }
    MakeZip(mFolder / "kinds.quor", entries);
    ASSERT_TRUE(mQuor.LoadArchive(mFolder / "kinds.quor", kIdsPerArchive));
    std::string list;
    ASSERT_TRUE(mQuor.LoadTextFile(kIdsPerArchive, list));
    ASSERT_TRUE(mQuor.LoadArchiveList(list, kIdsPerArchive));
    Process().WorkspaceDir = mFolder.Path().string();
    Process().Debug.SoundFileMode = true;
    clsWavoDriver& driver = Start();
    for (const auto& [kind, file] : kinds) {
        for (const std::string& key : {"a_" + kind, "l_" + kind}) {
            ASSERT_TRUE(driver.PlayBGM(key, false, true)) << key;
            EXPECT_TRUE(Playing(driver.BGMChannelId(driver.CurrentBGM()))) << key;
            EXPECT_NEAR(driver.SOLength(), kind == "wav" ? 250 : 1000, 60) << key;
        }
    }
    EXPECT_TRUE(Logged("wavo load file 'a_opus' from archive"));
    EXPECT_TRUE(Logged("wavo load file 'l_mp3' from file"));
}

TEST_F(WavoDriverTest, ALooseOggComesBeforeTheOtherKinds) {
    std::filesystem::create_directories(mFolder.Path() / "sound");
    for (const std::string& kind : clsWavoDriver::SoundFileKinds())
        WriteWholeFile(mFolder / ("sound/both" + kind), Media("media_tone_stereo_44100.flac"));
    WriteWholeFile(mFolder / "sound/both.ogg", Sound("click.ogg"));
    WriteWholeFile(mFolder / "sound/later.wav", Media("media_tone_stereo_44100.wav"));
    WriteWholeFile(mFolder / "sound/later.mp3", Media("media_tone_stereo_44100.mp3"));
    Process().WorkspaceDir = mFolder.Path().string();
    Process().Debug.SoundFileMode = true;
    clsWavoDriver& driver = Start();
    EXPECT_EQ(clsWavoDriver::SoundFileKinds(),
              (std::vector<std::string>{".ogg", ".opus", ".flac", ".mp3", ".wav"}));
    ASSERT_TRUE(driver.PlaySE("both", false));
    EXPECT_LT(driver.SOLength(), 500);  // the click, not the second of tone
    ASSERT_TRUE(driver.PlaySE("later", false));
    EXPECT_NEAR(driver.SOLength(), 1000, 60);  // the MP3, not the quarter-second WAVE
}

// A sound that cannot play fails its command, which in debug mode shows the
// scenario's error; outside it one line on standard error says so, once for
// each sound however often it is asked for.
TEST_F(WavoDriverTest, ASoundThatCannotPlaySaysSoOnceOutsideDebugMode) {
    std::string cut = Media("media_tone_stereo_44100.flac");
    cut.resize(300);
    std::filesystem::create_directories(mFolder.Path() / "sound");
    WriteWholeFile(mFolder / "sound/broken.flac", cut);
    WriteWholeFile(mFolder / "sound/opus_as_ogg.ogg", Media("media_tone_stereo_48000.opus"));
    Process().WorkspaceDir = mFolder.Path().string();
    Process().Debug.SoundFileMode = true;
    Process().IsDebugMode = false;
    clsWavoDriver& driver = Start();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(driver.PlayBGM("broken", false, true));
    EXPECT_FALSE(driver.PlayBGM("broken", false, true));
    EXPECT_FALSE(driver.PlaySE("Broken", false));
    EXPECT_FALSE(driver.PlaySE("missing", false));
    EXPECT_FALSE(driver.PlayCV("missing", false, 0));
    driver.PlayBGM("", false, true);  // a slot's "no music" says nothing
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "zelk: sound 'broken' cannot be decoded: it is damaged, or not Ogg Vorbis, Ogg "
              "Opus, FLAC, MP3 or WAVE; the game goes on without it\n"
              "zelk: sound 'missing' is neither in sound/ (as .ogg, .opus, .flac, .mp3 or .wav) "
              "nor in the archives; the game goes on without it\n");
    EXPECT_TRUE(Logged("wavo load error 'broken'"));
    EXPECT_FALSE(Logged("wavo load file 'broken' from file"));
    EXPECT_EQ(driver.CurrentBGM(), -1);
    // An Opus stream named ".ogg" is still a sound the engine plays.
    EXPECT_TRUE(driver.PlayBGM("opus_as_ogg", false, true));
}

// The engine takes a movie's path in CP932: a path CP932 cannot write (a
// UTF-8 game's "☃" in a file name) is refused and said once, never sent
// with "?" in its place.
TEST_F(WavoDriverTest, AMoviePathTheEngineCannotBeGivenIsSaidOnce) {
    Process().IsDebugMode = false;
    clsWavoDriver& driver = Start();
    const std::string path = (mFolder.Path() / "snow☃.mpg").string();
    WriteWholeFile(path, "not a movie");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(driver.PlayMovie(path));
    EXPECT_FALSE(driver.PlayMovie(path));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "zelk: movie " + path +
                  ": its name holds a character the sound engine cannot be given (not in "
                  "CP932); rename the file\n");
}

// A loose sound name that climbs out of the game folder is refused before
// any file is looked for: told once (not once per kind of file), with no
// second line about the missing sound, and nothing outside is played.
TEST_F(WavoDriverTest, ASoundNameOutsideTheGameIsRefusedOnce) {
    const std::filesystem::path game = mFolder.Path() / "game";
    std::filesystem::create_directories(game / "sound");
    WriteWholeFile(mFolder / "secret.ogg", Sound("tone440.ogg"));
    Process().WorkspaceDir = game.string();
    Process().Debug.SoundFileMode = true;
    Process().IsDebugMode = false;
    std::vector<std::string> refused;
    RefusedNameReport before =
        SetRefusedNameReport([&](const std::string& name, const std::string& why) {
            refused.push_back(name + ": " + why);
        });
    clsWavoDriver& driver = Start();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(driver.PlaySE("..\\..\\secret", false));
    const std::string said = ::testing::internal::GetCapturedStderr();
    SetRefusedNameReport(std::move(before));
    EXPECT_EQ(refused,
              std::vector<std::string>{"..\\..\\secret: climbs out of its folder with \"..\""});
    EXPECT_EQ(said, "");
}

TEST_F(WavoDriverTest, InDebugModeTheFailureIsTheCommandsAlone) {
    Process().IsDebugMode = true;
    clsWavoDriver& driver = Start();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(driver.PlaySE("missing", false));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A channel whose new data failed to load holds no sound: asking again for
// the piece it held before loads that piece again instead of the wreck.
TEST_F(WavoDriverTest, AFailedLoadLeavesTheChannelEmptyNotStale) {
    std::string cut = Media("media_tone_stereo_44100.mp3");
    cut.resize(200);
    MakeZip(mFolder / "cut.quor", {{"l", "list\r\ncut\r\n"}, {"1", cut}});
    ASSERT_TRUE(mQuor.LoadArchive(mFolder / "cut.quor", kIdsPerArchive));
    std::string list;
    ASSERT_TRUE(mQuor.LoadTextFile(kIdsPerArchive, list));
    ASSERT_TRUE(mQuor.LoadArchiveList(list, kIdsPerArchive));
    clsWavoDriver& driver = Start();
    long count = 1;
    ASSERT_TRUE(driver.PlaySELoop("se01", count, false));
    EXPECT_FALSE(driver.PlaySELoop("cut", count, false));
    EXPECT_TRUE(driver.PlaySELoop("se01", count, false));
    EXPECT_TRUE(Playing(driver.SELoopChannelId()));
}

// [SECTION] Movies ------------------------------------------------------------

// The view's deactivate sense is off while the movie stops and as it was
// afterwards.
TEST_F(WavoDriverTest, StopMovieKeepsTheViewsDeactivateSense) {
    bool sense = true;
    std::vector<bool> written;
    mDriver = std::make_unique<clsWavoDriver>(WavoDriverParts{{},
                                                              &mSystemInfo,
                                                              &mQuor,
                                                              [&] { return sense; },
                                                              [&](bool value) {
                                                                  written.push_back(value);
                                                                  sense = value;
                                                              }});
    ASSERT_TRUE(mDriver->Init());
    EXPECT_EQ(mDriver->DeactivateSense(), true);
    EXPECT_TRUE(mDriver->StopMovie());
    EXPECT_EQ(written, (std::vector<bool>{false, true}));
    EXPECT_TRUE(sense);
}

// [SECTION] Music -------------------------------------------------------------

TEST_F(WavoDriverTest, TheSameKeyAndLoopGoOnAndADifferentLoopPlaysAgainOnTheOther) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    EXPECT_EQ(driver.CurrentBGM(), 0);
    EXPECT_EQ(Prop(driver.BGMChannelId(0), SP_PLAY_COUNT), -1);
    std::this_thread::sleep_for(50ms);
    const std::int32_t position = Prop(driver.BGMChannelId(0), SP_POSITION);
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    EXPECT_EQ(driver.CurrentBGM(), 0);
    EXPECT_GE(Prop(driver.BGMChannelId(0), SP_POSITION), position);  // not restarted
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, false));
    EXPECT_EQ(driver.CurrentBGM(), 1);
    EXPECT_EQ(Prop(driver.BGMChannelId(1), SP_PLAY_COUNT), 1);
    EXPECT_TRUE(Playing(driver.BGMChannelId(1)));
}

TEST_F(WavoDriverTest, ThreeQuickChangesPutTheThirdPieceWhereNothingPlays) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    ASSERT_TRUE(driver.PlayBGM("bgm_b", false, true));
    EXPECT_EQ(driver.CurrentBGM(), 1);
    // bgm_a on channel 0 is still fading out; a third piece takes channel 0
    // after all, the one that is not the current piece.
    ASSERT_TRUE(driver.PlayBGM("bgm_c", false, true));
    EXPECT_EQ(driver.CurrentBGM(), 0);
    EXPECT_TRUE(Playing(driver.BGMChannelId(0)));
    // After a stop, the channel still fading counts as playing.
    ASSERT_TRUE(driver.StopBGM(false));
    EXPECT_EQ(driver.CurrentBGM(), -1);
    EXPECT_FALSE(driver.IsPlayingBGM());
    ASSERT_TRUE(Playing(driver.BGMChannelId(0)));
    ASSERT_TRUE(driver.PlayBGM("bgm_b", false, true));  // its key is still on channel 1
    EXPECT_EQ(driver.CurrentBGM(), 1);
    ASSERT_TRUE(driver.StopBGM(false));
    ASSERT_TRUE(WaitUntil([&] { return !Playing(driver.BGMChannelId(0)); }));
    ASSERT_TRUE(WaitUntil([&] { return !Playing(driver.BGMChannelId(1)); }));
    EXPECT_FALSE(driver.PlayBGM("unknown", false, true));
}

TEST_F(WavoDriverTest, ANewPieceWithoutCurrentMusicAvoidsAFadingChannelZero) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    ASSERT_TRUE(driver.StopBGM(false));
    ASSERT_TRUE(driver.PlayBGM("bgm_b", false, true));
    EXPECT_EQ(driver.CurrentBGM(), 1);
}

TEST_F(WavoDriverTest, ASyncChangeWaitsForTheFade) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(driver.PlayBGM("bgm_b", true, true));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

// [SECTION] Effects and voice -------------------------------------------------

TEST_F(WavoDriverTest, PlaySEWithFiveBusyChannelsCutsTheLastOne) {
    clsWavoDriver& driver = Start();
    // Five different keys fill the channels from the last free one down.
    for (const char* key : {"bgm_a", "bgm_b", "bgm_c", "long_d", "long_e"})
        ASSERT_TRUE(driver.PlaySE(key, false));
    EXPECT_EQ(Prop(driver.SEChannelId(4), SP_STATE), SS_PLAYING);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Playing(driver.SEChannelId(i))) << i;
    EXPECT_EQ(Prop(driver.SEChannelId(0), SP_LENGTH), Prop(driver.SEChannelId(4), SP_LENGTH));
    // "bgm_a" went to channel 4 first; with all busy a new key cuts channel 4.
    std::filesystem::create_directories(mFolder.Path() / "sound");
    WriteWholeFile(mFolder / "sound/extra.ogg", Sound("click.ogg"));
    Process().WorkspaceDir = mFolder.Path().string();
    Process().Debug.SoundFileMode = true;
    ASSERT_TRUE(driver.PlaySE("extra", false));
    EXPECT_TRUE(Logged("wavo load file 'extra' from file"));
    EXPECT_TRUE(Playing(driver.SEChannelId(4)));
    // The same key again restarts its own channel.
    ASSERT_TRUE(driver.PlaySE("bgm_b", false));
    EXPECT_TRUE(driver.IsPlayingSE());
    driver.StopSE();
    EXPECT_FALSE(driver.IsPlayingSE());
}

TEST_F(WavoDriverTest, ALoopCountOfZeroLoopsUntilStoppedAndReadsMinusOne) {
    clsWavoDriver& driver = Start();
    long count = 0;
    ASSERT_TRUE(driver.PlaySELoop("se01", count, false));
    EXPECT_EQ(count, -1);
    EXPECT_EQ(Prop(driver.SELoopChannelId(), SP_PLAY_COUNT), -1);
    std::this_thread::sleep_for(450ms);  // the effect is 200 ms long
    EXPECT_TRUE(driver.IsPlayingSeLoop());
    EXPECT_TRUE(driver.StopSELoop());
    EXPECT_FALSE(driver.IsPlayingSeLoop());
    long twice = 2;
    ASSERT_TRUE(driver.PlaySELoop("se01", twice, false));
    EXPECT_EQ(twice, 2);
    EXPECT_EQ(Prop(driver.SELoopChannelId(), SP_PLAY_COUNT), 2);
}

TEST_F(WavoDriverTest, AVoiceTakesItsPanAfterPlay) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayCV("cv01", false, -200));
    EXPECT_NEAR(Prop(driver.CVChannelId(), SP_PAN), -200, 1);  // through decibels
    EXPECT_TRUE(driver.IsPlayingCV());
    EXPECT_TRUE(driver.StopCV());
    EXPECT_FALSE(driver.IsPlayingCV());
}

// [SECTION] Volumes -----------------------------------------------------------

TEST(WavoDriverVolume, TheEffectiveMusicVolumeRoundsHalvesToEven) {
    EXPECT_EQ(clsWavoDriver::EffectiveBGMVolume(255, 50), 128);  // 127.5
    EXPECT_EQ(clsWavoDriver::EffectiveBGMVolume(253, 50), 126);  // 126.5
    EXPECT_EQ(clsWavoDriver::EffectiveBGMVolume(255, 100), 255);
    EXPECT_EQ(clsWavoDriver::EffectiveBGMVolume(0, 100), 0);
}

TEST_F(WavoDriverTest, VolumesReachTheChannelsClampedAndNegativeStops) {
    clsWavoDriver& driver = Start();
    driver.BGMVolume(255);
    driver.BGMVolumeRate(50);
    EXPECT_EQ(Prop(driver.BGMChannelId(0), SP_VOLUME), 128);
    EXPECT_EQ(Prop(driver.BGMChannelId(1), SP_VOLUME), 128);
    driver.SEVolume(300);
    EXPECT_EQ(driver.SEVolume(), 300);  // the value, not the clamped one
    EXPECT_EQ(Prop(driver.SEChannelId(2), SP_VOLUME), 255);
    EXPECT_EQ(Prop(driver.SELoopChannelId(), SP_VOLUME), 255);
    ASSERT_TRUE(driver.PlayCV("cv01", false, 0));
    driver.CVVolume(100);
    EXPECT_EQ(Prop(driver.CVChannelId(), SP_VOLUME), 100);
    driver.CVVolume(-5);
    EXPECT_FALSE(driver.IsPlayingCV());
    EXPECT_EQ(Prop(driver.CVChannelId(), SP_VOLUME), 100);  // stopped, not set
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    EXPECT_EQ(Prop(driver.BGMChannelId(0), SP_VOLUME), 128);
}

// Volumes out of range come from a damaged or hand-edited settings file:
// every sound still starts, at the nearest volume the engine takes.
TEST_F(WavoDriverTest, SoundsStartWhateverTheConfiguredVolumes) {
    clsWavoDriver& driver = Start();
    driver.BGMVolume(99999);
    driver.SEVolume(-1);
    driver.CVVolume(70000);
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, true));
    EXPECT_EQ(Prop(driver.BGMChannelId(0), SP_VOLUME), 255);
    ASSERT_TRUE(driver.PlaySE("se01", false));
    EXPECT_EQ(Prop(driver.SEChannelId(4), SP_VOLUME), 0);
    long count = 1;
    ASSERT_TRUE(driver.PlaySELoop("se01", count, false));
    EXPECT_EQ(Prop(driver.SELoopChannelId(), SP_VOLUME), 0);
    ASSERT_TRUE(driver.PlayCV("cv01", false, 0));
    EXPECT_EQ(Prop(driver.CVChannelId(), SP_VOLUME), 255);
    EXPECT_EQ(driver.BGMVolume(), 99999);  // the setting itself is kept
}

// [SECTION] Status ------------------------------------------------------------

TEST_F(WavoDriverTest, StatusKeepsLoopingMusicAndTheEndlessEffect) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_b", false, true));
    long count = 0;
    ASSERT_TRUE(driver.PlaySELoop("se01", count, false));
    driver.BGMVolumeRate(70);
    INIFile file;
    INISection& status = file.KeySection("WavoStatus");
    driver.SaveStatus(status);
    EXPECT_EQ(status.KeyValue("BgmFile"), "bgm_b");
    EXPECT_EQ(status.KeyValue("BGMVolumeRate"), "70");
    EXPECT_EQ(status.KeyValue("SelFile"), "se01");

    driver.StopBGM(false);
    driver.StopSELoop();
    driver.BGMVolumeRate(100);
    status.KeyValue("BGMVolumeRate", "42.5");
    driver.LoadStatus(status);
    EXPECT_EQ(driver.BGMVolumeRate(), 42);
    EXPECT_TRUE(driver.IsPlayingBGM());
    EXPECT_EQ(driver.CurrentBGM(), 0);  // where its key still is
    EXPECT_TRUE(driver.IsPlayingSeLoop());
}

TEST_F(WavoDriverTest, StatusOfMusicPlayedOnceIsEmpty) {
    clsWavoDriver& driver = Start();
    ASSERT_TRUE(driver.PlayBGM("bgm_a", false, false));
    INIFile file;
    INISection& status = file.KeySection("WavoStatus");
    status.KeyValue("BgmFile", "old");
    driver.SaveStatus(status);
    EXPECT_EQ(status.KeyValue("BgmFile"), "");
    EXPECT_EQ(status.KeyValue("SelFile"), "");
}

}  // namespace
}  // namespace zelk
