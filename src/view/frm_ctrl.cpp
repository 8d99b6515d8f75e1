#include "view/frm_ctrl.h"

namespace zelk {

frmCtrl::frmCtrl(std::function<void()> onSystem, std::function<void()> onAutoClick) {
    mSystem.Interval(kSystemInterval);
    mSystem.OnTick(std::move(onSystem));
    mAutoClick.OnTick(std::move(onAutoClick));
}

}  // namespace zelk
