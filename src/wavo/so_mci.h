#pragma once
// SOMCI: files played by a media device. A music sequence (a MIDI file) is
// played by the synthesizer with the General MIDI sound font, at full level:
// the device never had a volume. Load and play still travel through jobs 6
// and 7 as the class does; without the sound font, or for a file that is no
// MIDI file, the device does not open (WAVO_E_MCI, and a line in the log),
// and every operation that needs an open device answers WAVO_E_NOT_LOADED.

#include "so_music_base.h"

namespace wavo {

class SOMCI : public SOMusicBase {
public:
    using SOMusicBase::SOMusicBase;

    int32_t SetVolume(int32_t) override { return 0; }  // accepted, no effect
    int32_t GetVolume() override { return 0; }
    int32_t SetPosition(int32_t ms) override;
    int32_t GetPosition() override;
    int32_t GetLength() override;
    int32_t Load() override;
    int32_t Play() override;
    int32_t Start() override;
    int32_t Finish() override;
    int32_t ClassStepA() override;
    int32_t ClassStepB() override;
};

}  // namespace wavo
