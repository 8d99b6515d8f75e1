// The two music classes playing MIDI files through the synthesizer: what
// comes out of the disk driver, their state machines, loops, and the game
// going on when the sound font or the file is missing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

// A one-track file at 120 beats a minute, 480 ticks a beat: A4 for half a
// second, then C5 for half a second, on the piano.
std::vector<uint8_t> TwoNotes(uint8_t program = 0) {
    const std::vector<uint8_t> events = {0x00, 0xFF, 0x51,    0x03, 0x07,
                                         0xA1, 0x20,                     // 500000 us a beat
                                         0x00, 0xC0, program,            //
                                         0x00, 0x90, 69,      100,       // A4 on
                                         0x83, 0x60, 0x80,    69,   64,  // 480 ticks later off
                                         0x00, 0x90, 72,      100,       // C5 on
                                         0x83, 0x60, 0x80,    72,   64,  //
                                         0x00, 0xFF, 0x2F,    0x00};
    std::vector<uint8_t> file = {
        'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
        1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, uint8_t(events.size())};
    for (uint8_t byte : events)
        file.push_back(byte);
    return file;
}

// The power of one frequency in a stretch of samples (Goertzel).
double PowerAt(const std::vector<float>& samples, size_t from, size_t count, double frequency) {
    const double w = 2.0 * std::numbers::pi * frequency / 44100.0;
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = from; i < from + count && i < samples.size(); ++i) {
        const double s = samples[i] + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
}

class WavoMidi : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder =
            std::filesystem::temp_directory_path() / ("wavo_midi_" + std::to_string(getpid()));
        std::filesystem::create_directories(mFolder);
        mLog = (mFolder / "log.txt").string();
        Write("two.mid", TwoNotes());
        SetDebugLog(mLog.c_str());
        ASSERT_EQ(InitializeWavo(), 0);
        mEvents.Install();
    }
    void TearDown() override {
        TerminateWavo();
        unsetenv("WAVO_SOUNDFONT");
        std::filesystem::remove_all(mFolder);
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (mFolder / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    int32_t Open(int32_t type, const std::string& name) {
        const int32_t id = AddSO(type);
        const std::string path = (mFolder / name).string();
        EXPECT_EQ(SetSOProp(id, SP_FILE_NAME, path.c_str()), 0);
        CallSOMethod(id, SM_LOAD, nullptr);
        return id;
    }

    std::string Log() const {
        std::ifstream in(mLog);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    DiskAudio mDisk{"wavo_midi"};
    std::filesystem::path mFolder;
    std::string mLog;
    EventRecorder mEvents;
};

TEST_F(WavoMidi, AMusicSegmentPlaysItsNotesThroughTheSoundFontAndFallsSilent) {
    const int32_t id = Open(ST_MUSIC_SEQUENCE, "two.mid");
    ASSERT_EQ(StateOf(id), SS_LOADED) << Log();
    EXPECT_EQ(IntProp(id, SP_LENGTH), 1000);
    CallSOMethod(id, SM_PLAY, nullptr);
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    // "Playing" reads "loaded" once the last note has rung out.
    ASSERT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }, 10s));
    TerminateWavo();

    std::vector<float> left, right;
    mDisk.Read(left, right);
    const size_t onset = Onset(left, right);
    ASSERT_LT(onset + 44100, left.size()) << "no sound came out";
    // The first half second is an A, the second a C: each note is far
    // stronger than its neighbours a semitone away.
    const size_t a = onset + 2205, c = onset + 22050 + 2205, span = 17640;
    EXPECT_GT(PowerAt(left, a, span, 440.0), 10 * PowerAt(left, a, span, 466.2));
    EXPECT_GT(PowerAt(left, a, span, 440.0), 10 * PowerAt(left, a, span, 415.3));
    EXPECT_GT(PowerAt(left, c, span, 523.3), 10 * PowerAt(left, c, span, 493.9));
    EXPECT_GT(PowerAt(left, c, span, 523.3), 3 * PowerAt(left, c, span, 440.0));
    // After the file's second and the release, silence.
    size_t last = left.size();
    while (last > 0 && std::abs(left[last - 1]) < 1e-4f && std::abs(right[last - 1]) < 1e-4f)
        --last;
    EXPECT_GT(last, onset + 44100 * 9 / 10);
    EXPECT_LT(last, onset + 44100 * 4);
}

TEST_F(WavoMidi, AMediaDeviceOpensAndPlaysThroughItsJobs) {
    const int32_t id = Open(ST_MCI_SEQUENCE, "two.mid");
    // Load only posts the opening job.
    ASSERT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; })) << Log();
    EXPECT_EQ(IntProp(id, SP_LENGTH), 1000);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 0);  // the device has no volume
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(id) == SS_PLAYING; }));
    CallSOMethod(id, SM_STOP, nullptr);
    EXPECT_EQ(StateOf(id), SS_LOADED);
    CallSOMethod(id, SM_UNLOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    EXPECT_EQ(IntProp(id, SP_LENGTH), -1);
}

TEST_F(WavoMidi, APlayCountOfMinusOneRepeatsTheFileInTheSameStream) {
    const int32_t id = Open(ST_MUSIC_SEQUENCE, "two.mid");
    ASSERT_EQ(StateOf(id), SS_LOADED) << Log();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const Event& event : mEvents.Events())
                if (event.id == id && event.code == WE_REPEAT && event.lparam >= 2) return true;
            return false;
        },
        10s))
        << [&] {
               std::string text;
               for (const Event& event : mEvents.Events())
                   text += std::to_string(event.code) + "/" + std::to_string(event.lparam) + " ";
               return text + " state " + std::to_string(StateOf(id)) + " position " +
                      std::to_string(IntProp(id, SP_POSITION));
           }();
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    EXPECT_LT(IntProp(id, SP_POSITION), 1000);
    CallSOMethod(id, SM_STOP, nullptr);
    EXPECT_EQ(StateOf(id), SS_LOADED);
}

TEST_F(WavoMidi, WithoutTheSoundFontNothingLoadsAndTheRestPlaysOn) {
    setenv("WAVO_SOUNDFONT", "/nonexistent/font.sf2", 1);
    const int32_t music = Open(ST_MUSIC_SEQUENCE, "two.mid");
    EXPECT_EQ(StateOf(music), SS_UNLOADED);
    const int32_t device = Open(ST_MCI_SEQUENCE, "two.mid");
    CallSOMethod(device, SM_PLAY, nullptr);
    EXPECT_EQ(StateOf(device), SS_UNLOADED);
    const std::string log = Log();
    EXPECT_NE(log.find("SODMusic::Load: no sound font at '/nonexistent/font.sf2'"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("SOMCI::Open: no sound font at '/nonexistent/font.sf2'"), std::string::npos)
        << log;
    // The game's own sounds are not touched.
    const int32_t tone = LoadWaveObject(ToneWave(0.1, 440, 0.5));
    CallSOMethod(tone, SM_PLAY, nullptr);
    EXPECT_TRUE(mEvents.WaitFor(tone, WE_FINISHED));
}

TEST_F(WavoMidi, ABrokenFileDoesNotLoad) {
    const std::vector<uint8_t> whole = TwoNotes();
    ASSERT_GT(whole.size(), 10u);
    // The track runs past the end.
    const std::vector<uint8_t> cut(whole.begin(), whole.end() - 10);
    Write("cut.mid", cut);
    Write("text.mid", {'h', 'e', 'l', 'l', 'o'});
    for (const char* name : {"cut.mid", "text.mid"}) {
        const int32_t id = Open(ST_MUSIC_SEQUENCE, name);
        EXPECT_EQ(StateOf(id), SS_UNLOADED) << name;
        CallSOMethod(id, SM_PLAY, nullptr);
        EXPECT_EQ(StateOf(id), SS_UNLOADED) << name;
    }
    EXPECT_NE(Log().find("cut.mid' is not a MIDI file"), std::string::npos);
}

}  // namespace
}  // namespace wavo::test
