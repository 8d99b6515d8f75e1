// The mode of an identifier: the table of the modes, in one place.
#pragma once

#include <memory>

#include "modes/mode.h"

namespace zelk {

std::unique_ptr<clsModeBase> MakeMode(long eMode, PlayerRoot& root);

}  // namespace zelk
