// What the stand-in game view of the modes' tests records.
#pragma once

#include <string>
#include <vector>

namespace zelk::testing {

// Every list given to MenuEnableByText, in order.
std::vector<std::string>& StandInMenuCalls();

}  // namespace zelk::testing
