#include "modes/mode_factory.h"

#include "modes/mode_ending.h"
#include "modes/mode_game.h"
#include "modes/mode_omake.h"
#include "modes/mode_saveload.h"
#include "modes/mode_title.h"

namespace zelk {

std::unique_ptr<clsModeBase> MakeMode(long eMode, PlayerRoot& root) {
    switch (eMode) {
        case kModeTitle:
            return std::make_unique<clsModeTitle>(root);
        case kModeGame:
            return std::make_unique<clsModeGame>(root);
        case kModeSaveLoad:
            return std::make_unique<clsModeSaveLoad>(root);
        case kModeEnding:
            return std::make_unique<clsModeEnding>(root);
        case kModeOmake:
            return std::make_unique<clsModeOmake>(root);
        default:
            return std::make_unique<clsModeBase>(root, eMode);
    }
}

}  // namespace zelk
