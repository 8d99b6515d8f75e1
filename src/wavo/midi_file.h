#pragma once
// What the sound objects need to know of a Standard MIDI File beyond what the
// synthesizer plays: its length in milliseconds and the tick that stands for
// a time, through the file's tempo map. Reading checks every length against
// the data, so a broken file is refused, never read past its end.

#include <cstdint>
#include <span>
#include <vector>

namespace wavo {

class MidiFile {
public:
    // False for anything that is not a whole Standard MIDI File.
    bool Parse(std::span<const uint8_t> data);

    int64_t LengthMs() const { return MsAt(mEndTick); }
    int64_t EndTick() const { return mEndTick; }
    int64_t MsAt(int64_t tick) const;
    int64_t TickAt(int64_t ms) const;

private:
    struct Tempo {
        int64_t tick;
        int64_t microsPerQuarter;
    };

    bool ParseTrack(std::span<const uint8_t> track);
    // Microseconds per tick at a tempo: SMPTE time counts real time.
    double MicrosPerTick(int64_t microsPerQuarter) const;

    uint16_t mDivision = 0;
    int64_t mEndTick = 0;
    std::vector<Tempo> mTempos;  // sorted by tick, the first at tick 0
};

}  // namespace wavo
