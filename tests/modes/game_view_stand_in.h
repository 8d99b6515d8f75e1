// What the stand-in game view records for the modes' tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zelk::testing {

// Every menu command the modes chose, in order.
std::vector<std::pair<std::string, std::string>>& StandInMenuCommands();

}  // namespace zelk::testing
