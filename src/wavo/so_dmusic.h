#pragma once
// SODMusic: files played as music segments. This build has no music
// synthesizer, so no segment ever loads (load answers WAVO_E_UNFINISHED); the
// state machine and its result codes are kept so that a host sees the same
// answers as with a synthesizer that cannot open the file.

#include "so_music_base.h"

namespace wavo {

class SODMusic : public SOMusicBase {
public:
    using SOMusicBase::SOMusicBase;

    bool IsSounding() override { return false; }
    int32_t SetVolume(int32_t volume) override;
    int32_t SetPosition(int32_t ms) override;
    int32_t GetPosition() override;
    int32_t GetLength() override;
    int32_t Load() override;
    int32_t Play() override;
    int32_t Start() override;
    int32_t Finish() override { return FinishPlay(false); }
    int32_t ClassStepA() override { return 0; }  // nothing to seek
    int32_t ClassStepB() override { return SetPan(mPendingPan); }
    int32_t SetPan(int32_t pan) override;
    int32_t GetPan(int32_t& pan) override;

private:
    bool IsSequence() const { return ((mTypeWord >> 8) & 0xFF) == 0x01; }

    int32_t mPlayStartTime = 0;
    int32_t mPendingPan = 0;
};

}  // namespace wavo
