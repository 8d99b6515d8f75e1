// Picture decoding: the program's one decoder of PNG, BMP, JPEG and WebP
// pictures,
// shared by the archive library and the graphics driver. A picture is decoded
// once into a colour surface and, for a PNG with transparency, an alpha map;
// it is then drawn into surfaces that belong to someone else (a film's image
// or alpha map), described by a PixelTarget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Pixels owned by the caller. Rows run top-down, `stride` bytes apart. A
// colour surface has 3 bytes a pixel in the order blue, green, red, its rows
// padded to a multiple of 4 bytes; an alpha map or mask has 1 byte a pixel.
struct PixelTarget {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    int bytesPerPixel = 0;
};

// Pictures beyond these are refused before their pixels are allocated: no
// screen of the player needs one, and a header that lies about its size
// must not exhaust memory.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{8192} * 8192;

// Whether the bytes begin as a PNG, BMP, JPEG or WebP picture does.
bool HasPictureSignature(std::span<const std::uint8_t> bytes);

// The row size of a colour surface of the given width.
constexpr int ColorStride(int width) {
    return (width * 3 + 3) & ~3;
}

class Picture {
public:
    // Decodes a PNG, BMP, JPEG or WebP picture, told apart by its first bytes. Any
    // other data, a damaged or cut-off picture gives nothing and a message in
    // `error`.
    static std::optional<Picture> Decode(std::span<const std::uint8_t> bytes, std::string& error);
    static std::optional<Picture> Decode(std::string_view bytes, std::string& error) {
        return Decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                      error);
    }
    static std::optional<Picture> Load(const std::string& path, std::string& error);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // True for a PNG or WebP that carries transparency (an alpha channel, or
    // a transparent palette entry or colour).
    bool HasAlpha() const { return !mAlpha.empty(); }

    // Blue, green, red per pixel; `Width() * 3` meaningful bytes.
    const std::uint8_t* ColorRow(int y) const {
        return mColor.data() + static_cast<std::size_t>(y) * ColorStride(mWidth);
    }

    // Copies the colour picture into a 3-byte colour surface with its top-left
    // corner at x, y; what falls outside the target is cut off. False when the
    // target is no colour surface.
    bool DrawColor(const PixelTarget& target, int x, int y) const;

    // Copies the transparency mask into a 1-byte target likewise: the alpha
    // channel of a PNG that has one, else the grey level of the picture (a
    // mask picture is drawn in greys). False when the target is no 1-byte map.
    bool DrawMask(const PixelTarget& target, int x, int y) const;

private:
    Picture(int width, int height);

    int mWidth = 0;
    int mHeight = 0;
    std::vector<std::uint8_t> mColor;  // rows of ColorStride(mWidth) bytes
    std::vector<std::uint8_t> mAlpha;  // rows of mWidth bytes; empty without alpha
};

// The picture's transparency mask (as DrawMask draws it) as an 8-bit grey
// BMP: the form of a "-m" mask picture. Nothing and a message on failure.
std::optional<std::string> EncodeMaskBmp(const Picture& picture, std::string& error);

}  // namespace zelk
