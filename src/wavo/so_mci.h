#pragma once
// SOMCI: files played by a media device. This build has no media device for
// music sequences, so opening one answers WAVO_E_UNFINISHED; load and play
// still travel through jobs 6 and 7 as the class does, and every operation
// that needs an open device answers WAVO_E_NOT_LOADED.

#include "so_music_base.h"

namespace wavo {

class SOMCI : public SOMusicBase {
public:
    using SOMusicBase::SOMusicBase;

    bool IsSounding() override { return false; }
    int32_t SetVolume(int32_t) override { return 0; }  // accepted, no effect
    int32_t GetVolume() override { return 0; }
    int32_t SetPosition(int32_t ms) override;
    int32_t GetPosition() override { return mStartPosition; }
    int32_t GetLength() override { return -1; }
    int32_t Load() override;
    int32_t Play() override;
    int32_t Start() override;
    int32_t Finish() override;
    int32_t ClassStepA() override;
    int32_t ClassStepB() override;
};

}  // namespace wavo
