#include "so_mci.h"

#include "wavo.h"

namespace wavo {

int32_t SOMCI::SetPosition(int32_t ms) {
    mStartPosition = ms;
    return WAVO_OK;
}

int32_t SOMCI::Load() {
    PostJob(JT_CLASS_STEP_A, 0, 0, 0, 0);
    return WAVO_OK;
}

int32_t SOMCI::Play() {
    PostJob(JT_CLASS_STEP_B, 0, 0, 0, 0);
    return WAVO_OK;
}

// Open the device.
int32_t SOMCI::ClassStepA() {
    if (mOpen) Unload();
    return WAVO_E_UNFINISHED;
}

// Seek to the start position and start.
int32_t SOMCI::ClassStepB() {
    if (!mOpen) return WAVO_E_NOT_LOADED;
    return StartOrDelay();
}

int32_t SOMCI::Start() {
    return mOpen ? WAVO_E_MCI : WAVO_E_NOT_LOADED;
}

int32_t SOMCI::Finish() {
    if (!mOpen) return WAVO_E_NOT_LOADED;
    return FinishPlay(false);
}

}  // namespace wavo
