// PictureScaler: draws the game's picture (blue-green-red rows) scaled into
// a rectangle of a window's surface, whole or only a part of it. Every
// output pixel is computed from its own position alone, so a part drawn
// after a change matches, pixel for pixel, what a whole redraw would show:
// only what changed is ever drawn. Whole multiples of the picture's size are
// drawn with sharp pixels, any other size smoothly (bilinear).
//
// Full screen on a large display scales a few million pixels for each frame
// of a cross-fade, so the kernel is split in two passes: each source row a
// part needs is scaled across once (gathering, in 8.8 fixed point) and kept
// while the output rows under it are blended down from two such rows, a
// plain loop over arrays the compiler turns into vector code. An output row
// equal to the one above it (a sharp scale) is copied.
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
    // Where a four-byte target pixel keeps each colour, and what its fourth
    // byte holds; none for other layouts.
    struct Lanes {
        int blue = 0, green = 0, red = 0, other = 0;
        std::uint16_t otherValue = 0;  // in 8.8 fixed point
    };
    static void Build(Axis& axis, int source, int output, bool sharp);
    static bool FourByteLanes(const SDL_PixelFormat& format, Lanes& lanes);

    void DrawFourBytes(const PictureSource& source, SDL_Surface& target, const SDL_Rect& place,
                       const SDL_Rect& area, const Lanes& lanes);
    void DrawAnyFormat(const PictureSource& source, SDL_Surface& target, const SDL_Rect& place,
                       const SDL_Rect& area);
    // One source row scaled across the output columns [begin, end) of the
    // place, four 8.8 lanes a pixel.
    void ScaleRow(const std::uint8_t* row, int begin, int end, const Lanes& lanes,
                  std::uint16_t* out) const;

    // Across, per output column, for the vector path: the byte offset of
    // the pair of source pixels it reads and their weights (blue, green,
    // red of the left, then of the right); the columns from `safeEnd` on
    // would read past the row's end eight bytes at a time.
    struct Pairs {
        std::vector<int> offset;
        std::vector<std::uint16_t> weights;  // eight a column
        int safeEnd = 0;
    };
    static void BuildPairs(const Axis& axis, int sourceWidth, Pairs& pairs);

    Axis mX, mY;
    Pairs mPairs;
    int mSourceW = 0, mSourceH = 0, mPlaceW = 0, mPlaceH = 0;
    // Two source rows scaled across: the rows under an output row.
    std::vector<std::uint16_t> mRows[2];
};

}  // namespace zelk
