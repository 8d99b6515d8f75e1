#pragma once
// SODMusic: files played as music segments. A music sequence (a MIDI file)
// is played by the synthesizer with the General MIDI sound font; the
// segment's path volume keeps its old scale of 96 dB over 0..255. Without
// the sound font, or for a file that is no MIDI file, the load fails as a
// segment that cannot be loaded did (WAVO_E_AUDIO) and says why in the log.

#include "so_music_base.h"

namespace wavo {

class SODMusic : public SOMusicBase {
public:
    using SOMusicBase::SOMusicBase;

    int32_t SetVolume(int32_t volume) override;
    int32_t SetPosition(int32_t ms) override;
    int32_t GetPosition() override;
    int32_t GetLength() override;
    int32_t Load() override;
    int32_t Play() override;
    int32_t Start() override;
    int32_t Finish() override { return FinishPlay(false); }
    int32_t ClassStepA() override { return 0; }  // the start point is taken at start
    int32_t ClassStepB() override { return SetPan(mPendingPan); }
    int32_t SetPan(int32_t pan) override;
    int32_t GetPan(int32_t& pan) override;

private:
    bool IsSequence() const { return ((mTypeWord >> 8) & 0xFF) == 0x01; }
    void ApplyVolume();

    int32_t mPlayStartTime = 0;
    int32_t mPendingPan = 0;
};

}  // namespace wavo
