#include "modes/mode_factory.h"

namespace zelk {

std::unique_ptr<clsModeBase> MakeMode(long eMode, PlayerRoot& root) {
    switch (eMode) {
        // Each mode joins this table as it is built.
        default:
            return std::make_unique<clsModeBase>(root, eMode);
    }
}

}  // namespace zelk
