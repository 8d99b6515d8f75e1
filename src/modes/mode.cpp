#include "modes/mode.h"

#include "view/player_root.h"

namespace zelk {

void clsModeBase::ScreenCmd(long eVellMode, long eEvent, clsEventRect* er) {
    if (eVellMode != mRoot.VellMode()) return;
    OnScreenCmd(eEvent, er);
}

}  // namespace zelk
