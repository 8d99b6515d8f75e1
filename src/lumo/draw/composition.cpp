#include "composition.h"

#include <algorithm>
#include <cstring>

#include "pixel_functions.h"

namespace lumo {

void applyTone(std::uint8_t* pixel, const Tone& tone) {
    // Past ±65536 every product already clamps to 0 or 255; bounding the factors
    // keeps the products in range without changing a result.
    constexpr int kBound = 1 << 16;
    int channel[3] = {pixel[0], pixel[1], pixel[2]};
    if (tone.brightness != 256) {
        const int brightness = std::clamp(tone.brightness, -kBound, kBound);
        for (int& c : channel)
            c = std::clamp(c * brightness / 256, 0, 255);
    }
    if (tone.saturation != 256) {
        const int saturation = std::clamp(tone.saturation, -kBound, kBound);
        const int mean = (channel[0] + channel[1] + channel[2]) / 3;
        for (int& c : channel)
            c = std::clamp(mean + ((saturation * (c - mean)) >> 8), 0, 255);
    }
    for (int i = 0; i < 3; ++i)
        pixel[i] = static_cast<std::uint8_t>(channel[i]);
}

Piece makePiece(const PixelBuffer& destinationImage, const PixelBuffer& destinationAlpha, int dx,
                int dy, const PixelBuffer& sourceImage, const PixelBuffer& sourceAlpha, int sx,
                int sy, int width, int height) {
    Piece piece;
    if (destinationImage.bits == nullptr || sourceImage.bits == nullptr) return piece;
    // The alpha maps may be smaller than their images; the piece fits all four.
    const auto narrowest = [](const PixelBuffer& image, const PixelBuffer& alpha) {
        if (alpha.bits == nullptr) return std::pair{image.clipWidth, image.clipHeight};
        return std::pair{std::min(image.clipWidth, alpha.clipWidth),
                         std::min(image.clipHeight, alpha.clipHeight)};
    };
    const auto [destinationWidth, destinationHeight] =
        narrowest(destinationImage, destinationAlpha);
    const auto [sourceWidth, sourceHeight] = narrowest(sourceImage, sourceAlpha);
    Block b{dx, dy, sx, sy, width, height};
    if (!clipBlock(b, destinationWidth, destinationHeight, sourceWidth, sourceHeight)) return piece;
    dx = b.dx, dy = b.dy, sx = b.sx, sy = b.sy, width = b.width, height = b.height;

    piece.width = width;
    piece.height = height;
    piece.destinationImage = viewOf(destinationImage, dx, dy, width, height);
    piece.sourceImage = viewOf(sourceImage, sx, sy, width, height);
    if (destinationAlpha.bits != nullptr) {
        piece.destinationAlpha = viewOf(destinationAlpha, dx, dy, width, height);
    }
    if (sourceAlpha.bits != nullptr) piece.sourceAlpha = viewOf(sourceAlpha, sx, sy, width, height);
    return piece;
}

namespace {

bool keepsAlpha(const Piece& piece, std::uint32_t parentType) {
    return (parentType & LUMO_FILM_KEEPS_ALPHA) != 0 && piece.destinationAlpha.bits != nullptr;
}

void makeOpaque(const Piece& piece) {
    for (int y = 0; y < piece.height; ++y) {
        std::memset(piece.destinationAlpha.row(y), 255, piece.width);
    }
}

// Adapters giving the three pixel functions one shape for blendRows.
struct KeepAlphaPixel {
    static void apply(std::uint8_t* c, const std::uint8_t* s, std::uint8_t* alpha, int e,
                      const Tone&) {
        pixel::keepAlpha(c, s, alpha, e);
    }
};

struct TonedPixel {
    static void apply(std::uint8_t* c, const std::uint8_t* s, std::uint8_t*, int e,
                      const Tone& tone) {
        pixel::toned(c, s, e, tone);
    }
};

struct PlainPixel {
    static void apply(std::uint8_t* c, const std::uint8_t* s, std::uint8_t*, int e, const Tone&) {
        pixel::plain(c, s, e);
    }
};

template <typename PixelFunction>
void blendRows(const Piece& piece, int opacity, const Tone& tone) {
    const int last = piece.width - 1;
    for (int y = 0; y < piece.height; ++y) {
        std::uint8_t* c = piece.destinationImage.row(y);
        const std::uint8_t* s = piece.sourceImage.row(y);
        const std::uint8_t* a = piece.sourceAlpha.bits ? piece.sourceAlpha.row(y) : nullptr;
        std::uint8_t* d = piece.destinationAlpha.bits ? piece.destinationAlpha.row(y) : nullptr;
        for (int x = 0; x <= last; ++x) {
            const int alpha = a ? a[x] : 255;
            if (alpha * opacity < 256) {
                // A transparent run goes by in one step; the row's last pixel is
                // left to the loop.
                while (x + 1 < last && a && a[x + 1] == 0)
                    ++x;
                continue;
            }
            const int e = (alpha * opacity) >> 8;
            PixelFunction::apply(c + 3 * x, s + 3 * x, d ? d + x : nullptr, e, tone);
        }
    }
}

}  // namespace

void directCopy(const Piece& piece, std::uint32_t parentType) {
    if (piece.empty()) return;
    for (int y = 0; y < piece.height; ++y) {
        std::memmove(piece.destinationImage.row(y), piece.sourceImage.row(y), 3 * piece.width);
    }
    if (keepsAlpha(piece, parentType)) makeOpaque(piece);
}

void tonedCopy(const Piece& piece, const Tone& tone, std::uint32_t parentType) {
    if (piece.empty()) return;
    for (int y = 0; y < piece.height; ++y) {
        std::uint8_t* c = piece.destinationImage.row(y);
        const std::uint8_t* s = piece.sourceImage.row(y);
        for (int x = 0; x < piece.width; ++x, c += 3, s += 3) {
            std::memcpy(c, s, 3);
            applyTone(c, tone);
        }
    }
    if (keepsAlpha(piece, parentType)) makeOpaque(piece);
}

void blendScalar(const Piece& piece, int opacity, const Tone& tone, std::uint32_t parentType) {
    if (piece.empty()) return;
    opacity = std::clamp(opacity, 0, 256);
    if (keepsAlpha(piece, parentType)) {
        blendRows<KeepAlphaPixel>(piece, opacity, tone);
    } else if ((parentType & LUMO_FILM_TONED) != 0) {
        blendRows<TonedPixel>(piece, opacity, tone);
    } else {
        blendRows<PlainPixel>(piece, opacity, tone);
    }
}

}  // namespace lumo
