// Building screens of the modes: a film described by a settings value
// ("picture, x, y, width, height") and a button made of one film and one
// event rectangle fitted to it.
#pragma once

#include <string>

#include "drivers/lumo_driver_film_record.h"

namespace zelk {

class clsEventRect;
class clsEventRects;
class clsLumoDriver;

// The graphics driver's ApplyFilmSpec, its changes carried out at once.
void ApplyFilmSpec(clsLumoDriver& lumo, int film, FilmSpecRecord& record);

// An alpha film under the driver's buffer film with a rectangle over it.
// A spec without a picture makes a blank film one row of `cells` tall, so
// that a picture of that many rows loaded later keeps the film's height.
// Null when the engine made no film.
clsEventRect* MakeButton(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                         const std::string& sTag, const std::string& spec, long cells = 1);

// The same with explicit values: `height` is one row of a picture that
// holds the button's states as rows (FP_CELL_Y selects them); 0 keeps the
// picture's own height.
clsEventRect* MakeButtonAt(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                           const std::string& sTag, const std::string& png, long x, long y,
                           long height, bool alphaPicture);

}  // namespace zelk
