#pragma once
// The description of the machine that heads the trace file.

#include <cstdint>
#include <string>

namespace wavo {

// The OS, CPU, memory and sound-platform lines, each at most 1024 bytes.
std::string DescribeMachine(int32_t platformVersion);

}  // namespace wavo
