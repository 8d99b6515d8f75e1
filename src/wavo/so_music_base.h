#pragma once
// What the two classes that play music sequences share: the music segment or
// the media device is either there or not, "playing" reads as "loaded" once
// it has stopped sounding, and play begins with the start delay or with a
// start and a play monitor that waits to see it sounding.

#include "sound_object.h"

namespace wavo {

class SOMusicBase : public SOBase {
public:
    using SOBase::SOBase;

    int32_t GetState() override;
    int32_t Stop() override;
    int32_t Unload() override;
    int32_t BeginPlayMonitor() override;

protected:
    // The end of play: job 1 after the start delay, else start and monitor.
    int32_t StartOrDelay();

    bool mOpen = false;  // the segment or device; never true without a synthesizer
};

}  // namespace wavo
