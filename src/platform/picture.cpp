#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace zelk {

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

struct RWopsDeleter {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};
using RWopsPtr = std::unique_ptr<SDL_RWops, RWopsDeleter>;

enum class PictureFormat { Png, Bmp, Jpeg, Webp };

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

std::optional<PictureFormat> FormatOf(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return PictureFormat::Png;
    if (StartsWith(bytes, {'B', 'M'})) return PictureFormat::Bmp;
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return PictureFormat::Jpeg;
    if (StartsWith(bytes, {'R', 'I', 'F', 'F'}) && bytes.size() >= 12 &&
        std::equal(bytes.begin() + 8, bytes.begin() + 12, "WEBP"))
        return PictureFormat::Webp;
    return std::nullopt;
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int k = 0; k < count; ++k)
        value = value << 8 | bytes[at + k];
    return value;
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int k = count - 1; k >= 0; --k)
        value = value << 8 | bytes[at + k];
    return value;
}

struct Dimensions {
    std::int64_t width = 0, height = 0;
};

// The first frame header of a JPEG: the markers before it are skipped by
// their lengths.
std::optional<Dimensions> JpegDimensions(std::span<const std::uint8_t> bytes) {
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // data without a frame
        const std::uint32_t length = BigEndian(bytes, at + 2, 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > bytes.size()) return std::nullopt;
            return Dimensions{BigEndian(bytes, at + 7, 2), BigEndian(bytes, at + 5, 2)};
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// The size the picture's header states, where the header is whole; the
// decoders allocate by it before they read a pixel.
std::optional<Dimensions> StatedDimensions(PictureFormat format,
                                           std::span<const std::uint8_t> bytes) {
    switch (format) {
        case PictureFormat::Png:
            if (bytes.size() < 24) return std::nullopt;
            return Dimensions{BigEndian(bytes, 16, 4), BigEndian(bytes, 20, 4)};
        case PictureFormat::Bmp: {
            if (bytes.size() < 26) return std::nullopt;
            if (LittleEndian(bytes, 14, 4) == 12) {  // the old OS/2 header
                return Dimensions{LittleEndian(bytes, 18, 2), LittleEndian(bytes, 20, 2)};
            }
            // The height is negative for rows stored top-down.
            const auto height = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4));
            return Dimensions{static_cast<std::int32_t>(LittleEndian(bytes, 18, 4)),
                              height < 0 ? -static_cast<std::int64_t>(height) : height};
        }
        case PictureFormat::Jpeg:
            return JpegDimensions(bytes);
        case PictureFormat::Webp: {
            if (bytes.size() < 30) return std::nullopt;
            const auto chunk = [&](const char* name) {
                return std::equal(bytes.begin() + 12, bytes.begin() + 16, name);
            };
            if (chunk("VP8X")) {
                return Dimensions{LittleEndian(bytes, 24, 3) + 1, LittleEndian(bytes, 27, 3) + 1};
            }
            if (chunk("VP8L")) {
                const std::uint32_t bits = LittleEndian(bytes, 21, 4);
                return Dimensions{(bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1};
            }
            if (chunk("VP8 ")) {
                return Dimensions{LittleEndian(bytes, 26, 2) & 0x3FFF,
                                  LittleEndian(bytes, 28, 2) & 0x3FFF};
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool WithinLimits(std::int64_t width, std::int64_t height) {
    return width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

SurfacePtr DecodeSurface(PictureFormat format, SDL_RWops* rw) {
    switch (format) {
        case PictureFormat::Png:
            return SurfacePtr(IMG_LoadPNG_RW(rw));
        case PictureFormat::Bmp:
            return SurfacePtr(IMG_LoadBMP_RW(rw));
        case PictureFormat::Jpeg:
            return SurfacePtr(IMG_LoadJPG_RW(rw));
        case PictureFormat::Webp:
            // SDL_image loads its WebP library on first use.
            return SurfacePtr(IMG_LoadWEBP_RW(rw));
    }
    return nullptr;
}

// An alpha channel, a colour key, or palette entries that aren't opaque (the
// decoder keeps a PNG's transparent palette as it is).
bool HasTransparency(SDL_Surface& surface) {
    if (SDL_ISPIXELFORMAT_ALPHA(surface.format->format) || SDL_HasColorKey(&surface)) return true;
    const SDL_Palette* palette = surface.format->palette;
    if (palette == nullptr) return false;
    return std::any_of(palette->colors, palette->colors + palette->ncolors,
                       [](const SDL_Color& colour) { return colour.a != SDL_ALPHA_OPAQUE; });
}

// The part of a w x h picture that lands inside the target when drawn at x, y.
struct Overlap {
    int sourceX = 0, sourceY = 0, targetX = 0, targetY = 0, width = 0, height = 0;
};

Overlap Clip(int pictureWidth, int pictureHeight, const PixelTarget& target, int x, int y) {
    // 64-bit so that corners far outside either side cannot overflow.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right =
        std::min<long long>(static_cast<long long>(x) + pictureWidth, target.width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(y) + pictureHeight, target.height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<int>(left - x),     static_cast<int>(top - y),
            static_cast<int>(left),         static_cast<int>(top),
            static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

bool IsUsable(const PixelTarget& target, int bytesPerPixel) {
    if (target.bytesPerPixel != bytesPerPixel || target.width < 0 || target.height < 0)
        return false;
    if (target.width == 0 || target.height == 0) return true;
    return target.pixels != nullptr &&
           target.stride >= static_cast<long long>(target.width) * bytesPerPixel;
}

std::uint8_t* TargetAt(const PixelTarget& target, int x, int y) {
    return target.pixels + static_cast<std::ptrdiff_t>(y) * target.stride +
           static_cast<std::ptrdiff_t>(x) * target.bytesPerPixel;
}

}  // namespace

bool HasPictureSignature(std::span<const std::uint8_t> bytes) {
    return FormatOf(bytes).has_value();
}

Picture::Picture(int width, int height)
    : mWidth(width),
      mHeight(height),
      mColor(static_cast<std::size_t>(ColorStride(width)) * static_cast<std::size_t>(height)) {}

std::optional<Picture> Picture::Decode(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::optional<PictureFormat> format = FormatOf(bytes);
    if (!format) {
        error = "not a PNG, BMP, JPEG or WebP picture";
        return std::nullopt;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "picture too large";
        return std::nullopt;
    }
    if (const std::optional<Dimensions> stated = StatedDimensions(*format, bytes);
        stated && !WithinLimits(stated->width, stated->height)) {
        error = "the picture claims " + std::to_string(stated->width) + " x " +
                std::to_string(stated->height) + " pixels, more than a picture may have";
        return std::nullopt;
    }
    RWopsPtr rw(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())));
    if (!rw) {
        error = SDL_GetError();
        return std::nullopt;
    }
    SurfacePtr decoded = DecodeSurface(*format, rw.get());
    if (!decoded) {
        error = std::string("cannot decode the picture: ") + SDL_GetError();
        return std::nullopt;
    }
    // Transparency counts only in a PNG or a WebP: the fourth byte of a
    // 32-bit BMP is no alpha channel the game ever meant, so a BMP mask
    // stays a grey mask.
    const bool hasAlpha = (*format == PictureFormat::Png || *format == PictureFormat::Webp) &&
                          HasTransparency(*decoded);
    // One conversion covers every depth, palette and colour key; SDL turns a
    // colour key into alpha 0 on the way.
    SurfacePtr bgra(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_BGRA32, 0));
    if (!bgra) {
        error = std::string("cannot convert the picture: ") + SDL_GetError();
        return std::nullopt;
    }
    decoded.reset();
    if (!WithinLimits(bgra->w, bgra->h)) {
        error = "the picture is larger than a picture may be";
        return std::nullopt;
    }

    Picture picture(bgra->w, bgra->h);
    if (hasAlpha) {
        picture.mAlpha.resize(static_cast<std::size_t>(bgra->w) *
                              static_cast<std::size_t>(bgra->h));
    }
    const auto* source = static_cast<const std::uint8_t*>(bgra->pixels);
    for (int y = 0; y < picture.mHeight; ++y) {
        const std::uint8_t* in = source + static_cast<std::ptrdiff_t>(y) * bgra->pitch;
        std::uint8_t* colour =
            picture.mColor.data() + static_cast<std::size_t>(y) * ColorStride(picture.mWidth);
        std::uint8_t* alpha =
            hasAlpha ? picture.mAlpha.data() + static_cast<std::size_t>(y) * picture.mWidth
                     : nullptr;
        for (int x = 0; x < picture.mWidth; ++x, in += 4, colour += 3) {
            colour[0] = in[0];
            colour[1] = in[1];
            colour[2] = in[2];
            if (alpha != nullptr) alpha[x] = in[3];
        }
    }
    return picture;
}

std::optional<Picture> Picture::Load(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file && !file.eof()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return Decode(bytes, error);
}

bool Picture::DrawColor(const PixelTarget& target, int x, int y) const {
    if (!IsUsable(target, 3)) return false;
    const Overlap part = Clip(mWidth, mHeight, target, x, y);
    for (int row = 0; row < part.height; ++row) {
        std::memcpy(TargetAt(target, part.targetX, part.targetY + row),
                    ColorRow(part.sourceY + row) + part.sourceX * 3,
                    static_cast<std::size_t>(part.width) * 3);
    }
    return true;
}

bool Picture::DrawMask(const PixelTarget& target, int x, int y) const {
    if (!IsUsable(target, 1)) return false;
    const Overlap part = Clip(mWidth, mHeight, target, x, y);
    for (int row = 0; row < part.height; ++row) {
        std::uint8_t* out = TargetAt(target, part.targetX, part.targetY + row);
        const int sourceY = part.sourceY + row;
        if (HasAlpha()) {
            std::memcpy(out,
                        mAlpha.data() + static_cast<std::size_t>(sourceY) * mWidth + part.sourceX,
                        static_cast<std::size_t>(part.width));
            continue;
        }
        // Luma weights summing to 256, so that a grey pixel keeps its level.
        const std::uint8_t* in = ColorRow(sourceY) + part.sourceX * 3;
        for (int column = 0; column < part.width; ++column, in += 3) {
            out[column] = static_cast<std::uint8_t>((in[0] * 29 + in[1] * 150 + in[2] * 77) >> 8);
        }
    }
    return true;
}

std::optional<std::string> EncodeMaskBmp(const Picture& picture, std::string& error) {
    SurfacePtr mask(SDL_CreateRGBSurfaceWithFormat(0, picture.Width(), picture.Height(), 8,
                                                   SDL_PIXELFORMAT_INDEX8));
    if (!mask) {
        error = SDL_GetError();
        return std::nullopt;
    }
    SDL_Color greys[256];
    for (int level = 0; level < 256; ++level) {
        const auto value = static_cast<Uint8>(level);
        greys[level] = {value, value, value, SDL_ALPHA_OPAQUE};
    }
    SDL_SetPaletteColors(mask->format->palette, greys, 0, 256);
    picture.DrawMask({static_cast<std::uint8_t*>(mask->pixels), mask->w, mask->h, mask->pitch, 1},
                     0, 0);

    // Headers, a full palette and rows padded to 4 bytes, with room to spare.
    const std::size_t room = static_cast<std::size_t>((mask->w + 3) & ~3) * mask->h + 2048;
    if (room > static_cast<std::size_t>(INT_MAX)) {
        error = "mask too large";
        return std::nullopt;
    }
    std::string bytes(room, '\0');
    RWopsPtr out(SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size())));
    if (!out || SDL_SaveBMP_RW(mask.get(), out.get(), 0) != 0) {
        error = std::string("cannot write the mask: ") + SDL_GetError();
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(SDL_RWtell(out.get())));
    return bytes;
}

}  // namespace zelk
