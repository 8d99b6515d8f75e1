// Reading the length and the tempo map of MIDI files, and refusing broken
// ones without reading past their end.

#include "midi_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace wavo {
namespace {

std::vector<uint8_t> File(uint16_t division, const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> file = {'M',
                                 'T',
                                 'h',
                                 'd',
                                 0,
                                 0,
                                 0,
                                 6,
                                 0,
                                 1,
                                 0,
                                 uint8_t(tracks.size()),
                                 uint8_t(division >> 8),
                                 uint8_t(division)};
    for (const auto& track : tracks) {
        const uint32_t size = static_cast<uint32_t>(track.size());
        for (uint8_t byte :
             {uint8_t('M'), uint8_t('T'), uint8_t('r'), uint8_t('k'), uint8_t(size >> 24),
              uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)})
            file.push_back(byte);
        for (uint8_t byte : track)
            file.push_back(byte);
    }
    return file;
}

// Tempo 120 at 0, tempo 60 after 960 ticks (two beats).
const std::vector<uint8_t> kTempoTrack = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                                          0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42,
                                          0x40, 0x00, 0xFF, 0x2F, 0x00};
// Notes with running status, ending at tick 1920.
const std::vector<uint8_t> kNoteTrack = {0x00, 0x90, 60, 100, 0x87, 0x40, 60,   0,
                                         0x87, 0x40, 64, 100, 0x00, 0xFF, 0x2F, 0x00};

TEST(MidiFile, TheTempoMapGivesLengthAndTimes) {
    MidiFile file;
    ASSERT_TRUE(file.Parse(File(480, {kTempoTrack, kNoteTrack})));
    EXPECT_EQ(file.EndTick(), 1920);
    // Two beats at 120 (1 s), then two at 60 (2 s).
    EXPECT_EQ(file.LengthMs(), 3000);
    EXPECT_EQ(file.MsAt(480), 500);
    EXPECT_EQ(file.MsAt(1440), 2000);
    EXPECT_EQ(file.TickAt(500), 480);
    EXPECT_EQ(file.TickAt(2000), 1440);
    EXPECT_EQ(file.TickAt(99999), 1920);  // not past the end
}

TEST(MidiFile, WithoutATempoItIs120AndSmpteTimeIsRealTime) {
    MidiFile file;
    ASSERT_TRUE(file.Parse(File(96, {kNoteTrack})));
    EXPECT_EQ(file.LengthMs(), 1920 * 1000 / 192);
    // 25 frames a second of 40 ticks: a millisecond a tick, whatever the tempo.
    ASSERT_TRUE(file.Parse(File(0xE728, {kTempoTrack, kNoteTrack})));
    EXPECT_EQ(file.LengthMs(), 1920);
}

TEST(MidiFile, BrokenFilesAreRefused) {
    MidiFile file;
    const std::vector<uint8_t> good = File(480, {kNoteTrack});
    EXPECT_FALSE(file.Parse({}));
    EXPECT_FALSE(file.Parse(std::vector<uint8_t>(good.begin(), good.begin() + 13)));
    // A track whose size runs past the end of the file.
    EXPECT_FALSE(file.Parse(std::vector<uint8_t>(good.begin(), good.end() - 1)));
    // Data bytes with no status to run on.
    EXPECT_FALSE(file.Parse(File(480, {{0x00, 0x40, 0x40}})));
    // A delta time longer than four bytes.
    EXPECT_FALSE(file.Parse(File(480, {{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}})));
    // A meta event longer than its track.
    EXPECT_FALSE(file.Parse(File(480, {{0x00, 0xFF, 0x01, 0x20, 'a'}})));
    // A note cut in the middle.
    EXPECT_FALSE(file.Parse(File(480, {{0x00, 0x90, 60}})));
    EXPECT_FALSE(file.Parse(File(0, {kNoteTrack})));  // no time base
    std::vector<uint8_t> noTracks = good;
    noTracks[4 + 4 + 3] = 0;
    EXPECT_FALSE(file.Parse(noTracks));
}

}  // namespace
}  // namespace wavo
