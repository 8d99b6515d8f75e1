// PictureScaler: draws the game's picture (blue-green-red rows) scaled into
// a rectangle of a window's surface, whole or only a part of it. Every
// output pixel is computed from its own position alone, so a part drawn
// after a change matches, pixel for pixel, what a whole redraw would show:
// only what changed is ever drawn. Whole multiples of the picture's size are
// drawn with sharp pixels, any other size smoothly (bilinear).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace zelk {

struct PictureSource {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

class PictureScaler {
public:
    // Draws the part `clip` (target coordinates) of the picture placed at
    // `place` in the target. The target must be locked if SDL says so.
    void Draw(const PictureSource& source, SDL_Surface& target, const SDL_Rect& place,
              const SDL_Rect& clip);

    // The target pixels that a change of the source rectangle (x, y, w, h)
    // reaches when the picture is placed at `place`.
    static SDL_Rect Reach(const PictureSource& source, const SDL_Rect& place,
                          const SDL_Rect& changed);

private:
    struct Axis {
        std::vector<int> first;   // source index of each output index
        std::vector<int> second;  // its neighbour (the same at the edge)
        std::vector<int> weight;  // of the neighbour, 0 to 256
    };
    static void Build(Axis& axis, int source, int output, bool sharp);

    Axis mX, mY;
    int mSourceW = 0, mSourceH = 0, mPlaceW = 0, mPlaceH = 0;
};

}  // namespace zelk
