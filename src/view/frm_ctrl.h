// frmCtrl: the hidden control form. Its two timers run the auto click and the
// launcher's deferred system functions outside of any event handler.
#pragma once

#include <functional>

#include "platform/pump_timer.h"

namespace zelk {

class frmCtrl {
public:
    // What the timers run: the launcher's system function and the root's
    // auto click.
    frmCtrl(std::function<void()> onSystem, std::function<void()> onAutoClick);

    PumpTimer& tmrSystem() { return mSystem; }
    PumpTimer& tmrAutoClick() { return mAutoClick; }

    // Interval of tmrSystem: about one timer period after a close request
    // the root is released.
    static constexpr long kSystemInterval = 600;

private:
    PumpTimer mSystem;
    PumpTimer mAutoClick;
};

}  // namespace zelk
