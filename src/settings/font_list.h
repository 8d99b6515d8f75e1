// The installed faces a reader may choose for the story text: fonts that
// cover Japanese and give every character the same advance, or half and
// full widths (fontconfig's "mono" and "dual" spacing).
#pragma once

#include <string>
#include <vector>

namespace zelk {

// Family names, sorted and without duplicates; never a vertical ("@") face.
std::vector<std::string> JapaneseFixedPitchFamilies();

}  // namespace zelk
