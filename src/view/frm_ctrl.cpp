#include "view/frm_ctrl.h"

#include "app/launch.h"
#include "app/vell.h"

namespace zelk {

frmCtrl::frmCtrl() {
    mSystem.Interval(kSystemInterval);
    mSystem.OnTick([] {
        if (clsLaunch* launch = Launch()) launch->OnSystemTimer();
    });
    mAutoClick.OnTick([] {
        if (clsVell* vell = Vell()) vell->AutoClick();
    });
}

}  // namespace zelk
