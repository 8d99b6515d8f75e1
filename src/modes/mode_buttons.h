// Building screens of the modes: a film described by a settings value
// ("picture, x, y, width, height") and a button made of one film and one
// event rectangle fitted to it.
#pragma once

#include <string>

namespace zelk {

class clsEventRect;
class clsEventRects;
class clsLumoDriver;

struct FilmSpecRecord {
    std::string Name;
    long X = 0;
    long Y = 0;
    long W = 0;
    long H = 0;
};

// Items are split at ","; a missing or unreadable item gives 0.
FilmSpecRecord ParseFilmSpec(const std::string& spec);

// Positions the film and gives it its picture and size; a spec without a
// picture makes a blank film of W x H. W and H left at 0 beside a picture
// are read back from it. The film ends opaque.
void ApplyFilmSpec(clsLumoDriver& lumo, int film, FilmSpecRecord& record);

// An alpha film under the driver's buffer film with a rectangle over it.
// Null when the engine made no film.
clsEventRect* MakeButton(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                         const std::string& sTag, const std::string& spec);

// The same with explicit values: `height` is one row of a picture that
// holds the button's states as rows (FP_CELL_Y selects them).
clsEventRect* MakeButtonAt(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                           const std::string& sTag, const std::string& png, long x, long y,
                           long height, bool alphaPicture);

}  // namespace zelk
