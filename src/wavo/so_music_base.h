#pragma once
// What the two classes that play music sequences share: the MIDI file played
// by the synthesizer (the segment or the media device of old) is either open
// or not, "playing" reads as "loaded" once it has stopped sounding, and play
// begins with the start delay or with a start and a play monitor that waits
// to see it sounding.

#include <memory>

#include "midi_renderer.h"
#include "sound_object.h"

namespace wavo {

class SOMusicBase : public SOBase {
public:
    using SOBase::SOBase;
    ~SOMusicBase() override;

    bool IsSounding() override { return mMidi && mMidi->IsSounding(); }
    int32_t GetState() override;
    int32_t Stop() override;
    int32_t Unload() override;
    int32_t BeginPlayMonitor() override;
    bool RefillIfDue(bool& recheck) override { return mMidi && mMidi->RefillIfDue(recheck); }
    int32_t TakeRepeats(int32_t& msToNext) override;

protected:
    bool IsOpen() const { return mMidi != nullptr; }
    // Opens the object's file; false (logged) when it cannot play.
    bool OpenMidi(const char* who);
    // Plays from ms with the play count's repeats inside the stream.
    bool StartMidi(int64_t ms);
    // The end of play: job 1 after the start delay, else start and monitor.
    int32_t StartOrDelay();

    std::unique_ptr<MidiRenderer> mMidi;
};

}  // namespace wavo
