// Composition of a child film's piece into its parent: direct copy, toned copy
// and the per-pixel blend with its three pixel functions.
#pragma once

#include <cstdint>

#include "lumo.h"
#include "pixel_buffer.h"

namespace lumo {

// The parent's type steers composition through two of its capability bits:
// LUMO_FILM_TONED (the parent tones what it receives) and
// LUMO_FILM_KEEPS_ALPHA (composition also writes the parent's alpha).

// Brightness and saturation of a child; 256 leaves a colour unchanged.
struct Tone {
    int brightness = 256;
    int saturation = 256;

    bool identity() const { return brightness == 256 && saturation == 256; }
};

// The tone function, on one blue, green, red triple in place.
void applyTone(std::uint8_t* pixel, const Tone& tone);

// The four views of one piece, all of the same size (width by height). Either
// alpha view may be empty: the parent keeps no alpha map, or the child has none
// (its pixels then count as opaque, alpha 255).
struct Piece {
    PixelBuffer destinationImage;
    PixelBuffer destinationAlpha;
    PixelBuffer sourceImage;
    PixelBuffer sourceAlpha;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// Builds the piece of width by height pixels at (dx, dy) of the parent's buffers
// and (sx, sy) of the child's, clipped to the piece and to each buffer (negative
// coordinates shift and shrink it on both sides). Pass an empty buffer for an
// alpha map that does not exist.
Piece makePiece(const PixelBuffer& destinationImage, const PixelBuffer& destinationAlpha, int dx,
                int dy, const PixelBuffer& sourceImage, const PixelBuffer& sourceAlpha, int sx,
                int sy, int width, int height);

// Direct copy: the child's pixels replace the parent's; a keeps-alpha parent's
// alpha map becomes 255 over the piece.
void directCopy(const Piece& piece, std::uint32_t parentType);

// Toned copy: every child pixel through the tone function; keeps-alpha as above.
void tonedCopy(const Piece& piece, const Tone& tone, std::uint32_t parentType);

// Per-pixel blend of the child at `opacity` (0..256) with the pixel function the
// parent's type selects (keeps alpha, toned, or plain). The fastest code the
// processor runs is chosen once; every variant gives the bytes of blendScalar.
void blendPiece(const Piece& piece, int opacity, const Tone& tone, std::uint32_t parentType);

// The reference pixel-by-pixel implementation of blendPiece.
void blendScalar(const Piece& piece, int opacity, const Tone& tone, std::uint32_t parentType);

}  // namespace lumo
