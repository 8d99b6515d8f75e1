// A film record: the settings value that describes one film as "picture,
// x, y, width, height, extra". The window's films, the modes' buttons, the
// save/load screen's slots and the save thumbnail's size all read theirs with
// ParseFilmSpec.
#pragma once

#include <string>

namespace zelk {

struct FilmSpecRecord {
    std::string Name;
    long X = 0;
    long Y = 0;
    long W = 0;
    long H = 0;
    long Extra = 0;  // the wait cursor's milliseconds per cell
    // How many items the value holds: a reader that keeps its own value
    // for a missing item tells it from a 0 by this.
    long Items = 0;
};

// Items are split at ","; the name is trimmed; each number is read
// leniently, a missing or unreadable item giving 0. The offsets are added
// to x and y before they are rounded, as the save/load screen places the
// films of a slot: "146.5" with an offset of 1 gives 148, not 147.
FilmSpecRecord ParseFilmSpec(const std::string& spec, long offsetX = 0, long offsetY = 0);

}  // namespace zelk
