// Text of a game shown by the interface's own windows (dialogs and message
// boxes), which set glyphs one after another from the left and join none:
// a right-to-left line is turned into the order it is seen in, its Arabic
// letters into the joined forms they take there.
#pragma once

#include <string>

namespace zelk {

// Each line of `utf8` in the order it is seen; left-to-right text comes
// back as it is.
std::string DisplayOrder(const std::string& utf8);

}  // namespace zelk
