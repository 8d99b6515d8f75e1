#pragma once
// A MIDI file played by FluidSynth with a General MIDI sound font into a
// streaming buffer of the engine's mixer, the way the music classes once
// played through the platform's synthesizer. Like the streaming sound
// object, the buffer plays looping and its two halves are rendered in turn
// as play crosses them; a repeat starts the file again inside the stream,
// so the join is gapless and the notes that ring over it ring on.
//
// Not thread-safe by itself: its sound object calls it under the SOList lock.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fluid_library.h"
#include "midi_file.h"
#include "sound_buffer.h"

namespace wavo {

class Mixer;

class MidiRenderer {
public:
    // The sound font: the file named by WAVO_SOUNDFONT, else Debian's
    // General MIDI font.
    static std::string SoundFontPath();

    // nullptr, with a line in the engine's log naming the reason, when the
    // file is no MIDI file, the sound font or FluidSynth is missing or the
    // synthesizer cannot start. `who` names the class in that line.
    static std::unique_ptr<MidiRenderer> Open(const std::string& path, Mixer& mixer,
                                              const char* who,
                                              FluidSynthSource fluid = &FluidSynth::Shared);
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer&) = delete;
    MidiRenderer& operator=(const MidiRenderer&) = delete;

    int64_t LengthMs() const { return mFile.LengthMs(); }
    // Plays from ms; repeats: how many times the file starts again after
    // its end (-1: without end). False when the synthesizer refused.
    bool Start(int64_t ms, int32_t repeats);
    void Stop();
    bool IsSounding() const { return mBuffer->IsPlaying(); }
    // Where the heard sound is in the file.
    int64_t PositionMs() const;

    // Hundredths of a decibel, kVolumeSilent..0; pan kPanLeft..kPanRight.
    bool SetVolume(int32_t hundredthsDb) { return mBuffer->SetVolume(hundredthsDb); }
    bool SetPan(int32_t pan) { return mBuffer->SetPan(pan); }
    int32_t Pan() const { return mBuffer->Pan(); }

    // The refill pass (see SODSound::RefillIfDue).
    bool RefillIfDue(bool& recheck);
    // Starts of the file heard since the last call (see SOBase::TakeRepeats).
    int32_t TakeRepeats(int32_t& msToNext);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    MidiRenderer(Key, const FluidSynth& fluid, std::vector<uint8_t> data, const MidiFile& file,
                 uint32_t rate);

private:
    bool NewPlayer(int64_t ms);
    void DropPlayer();
    bool FileEnded() const;
    // Renders up to frames stereo frames; fewer only where the play ends.
    size_t Render(int16_t* out, size_t frames);
    void FillNextHalf();
    uint64_t PlayedFrames() const { return mBuffer->PlayedBytes() / 4; }

    const FluidSynth& mFluid;
    const std::vector<uint8_t> mData;
    const MidiFile mFile;
    const uint32_t mRate;
    _fluid_hashtable_t* mSettings = nullptr;
    _fluid_synth_t* mSynth = nullptr;
    _fluid_player_t* mPlayer = nullptr;
    std::unique_ptr<SoundBuffer> mBuffer;
    NotifyEvent mEvent;
    std::vector<int16_t> mScratch;
    int32_t mHalfIndex = -1;  // -1: the next fill writes offset 0; 0: the middle
    bool mEnded = false;
    int32_t mRepeatsLeft = 0;
    int64_t mStartMs = 0;
    uint64_t mTailFrames = 0;         // rendered after the file's last event
    uint64_t mWritten = 0;            // frames rendered since Start
    std::deque<uint64_t> mLoopMarks;  // values of mWritten where the file starts again
    uint64_t mHeardMark = 0;          // the last of them heard
};

}  // namespace wavo
