#include "canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "pixel_font.h"

namespace zelk::tool {

namespace {

std::uint8_t Lerp(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * std::clamp(t, 0.0, 1.0)));
}

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
struct RWClose {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};

}  // namespace

Rgba Rgba::Mix(Rgba other, double t) const {
    return {Lerp(r, other.r, t), Lerp(g, other.g, t), Lerp(b, other.b, t), Lerp(a, other.a, t)};
}

Canvas::Canvas(int width, int height, Rgba fill)
    : mWidth(std::max(width, 1)),
      mHeight(std::max(height, 1)),
      mPixels(static_cast<std::size_t>(mWidth) * mHeight, fill) {}

Rgba Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return {0, 0, 0, 0};
    return mPixels[static_cast<std::size_t>(y) * mWidth + x];
}

bool Canvas::HasTransparency() const {
    return std::any_of(mPixels.begin(), mPixels.end(), [](Rgba p) { return p.a != 255; });
}

void Canvas::Blend(int x, int y, Rgba colour) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight || colour.a == 0) return;
    Rgba& under = mPixels[static_cast<std::size_t>(y) * mWidth + x];
    if (colour.a == 255 || under.a == 0) {
        under = colour;
        return;
    }
    // "Over" with straight alpha.
    const double top = colour.a / 255.0;
    const double bottom = under.a / 255.0 * (1 - top);
    const double out = top + bottom;
    const auto channel = [&](std::uint8_t t, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround((t * top + b * bottom) / out));
    };
    under = {channel(colour.r, under.r), channel(colour.g, under.g), channel(colour.b, under.b),
             static_cast<std::uint8_t>(std::lround(out * 255))};
}

void Canvas::Fill(int x, int y, int w, int h, Rgba colour) {
    for (int j = std::max(y, 0); j < std::min(y + h, mHeight); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, mWidth); ++i)
            Blend(i, j, colour);
}

void Canvas::VerticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom) {
    for (int j = 0; j < h; ++j)
        Fill(x, y + j, w, 1, top.Mix(bottom, h > 1 ? double(j) / (h - 1) : 0.0));
}

void Canvas::RoundRect(int x, int y, int w, int h, int radius, Rgba fill, Rgba outline,
                       int border) {
    radius = std::clamp(radius, 0, std::min(w, h) / 2);
    // How far a pixel lies inside the shape: negative outside.
    const auto depth = [&](int i, int j) {
        const double px = i + 0.5, py = j + 0.5;
        const double cx = std::clamp(px, double(x + radius), double(x + w - radius));
        const double cy = std::clamp(py, double(y + radius), double(y + h - radius));
        const double dx = px - cx, dy = py - cy;
        if (dx == 0 && dy == 0) {
            return std::min({px - x, x + w - px, py - y, y + h - py});
        }
        return radius - std::sqrt(dx * dx + dy * dy);
    };
    for (int j = std::max(y, 0); j < std::min(y + h, mHeight); ++j) {
        for (int i = std::max(x, 0); i < std::min(x + w, mWidth); ++i) {
            const double d = depth(i, j);
            if (d <= 0) continue;
            Rgba colour = d <= border ? outline : fill;
            // Soft corners: the edge pixel is as opaque as it is covered.
            if (d < 1) colour.a = static_cast<std::uint8_t>(std::lround(colour.a * d));
            Blend(i, j, colour);
        }
    }
}

void Canvas::Ellipse(int cx, int cy, int rx, int ry, Rgba colour) {
    if (rx <= 0 || ry <= 0) return;
    for (int j = cy - ry; j <= cy + ry; ++j) {
        for (int i = cx - rx; i <= cx + rx; ++i) {
            const double dx = (i + 0.5 - cx) / rx, dy = (j + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) Blend(i, j, colour);
        }
    }
}

int Canvas::TextWidth(int scale, std::string_view text) {
    if (text.empty()) return 0;
    return static_cast<int>(text.size()) * (kGlyphWidth + kGlyphSpacing) * scale -
           kGlyphSpacing * scale;
}

int Canvas::TextHeight(int scale) {
    return kGlyphHeight * scale;
}

void Canvas::Text(int x, int y, int scale, Rgba colour, std::string_view text) {
    for (const char c : text) {
        if (const auto* rows = Glyph(c)) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int col = 0; col < kGlyphWidth; ++col) {
                    if ((*rows)[row] & (1 << (kGlyphWidth - 1 - col))) {
                        Fill(x + col * scale, y + row * scale, scale, scale, colour);
                    }
                }
            }
        }
        x += (kGlyphWidth + kGlyphSpacing) * scale;
    }
}

void Canvas::CentredText(int x, int y, int w, int h, int scale, Rgba colour,
                         std::string_view text) {
    Text(x + (w - TextWidth(scale, text)) / 2, y + (h - TextHeight(scale)) / 2, scale, colour,
         text);
}

void Canvas::Draw(const Canvas& other, int x, int y) {
    for (int j = 0; j < other.mHeight; ++j)
        for (int i = 0; i < other.mWidth; ++i)
            Blend(x + i, y + j, other.At(i, j));
}

Canvas Canvas::Resized(int w, int h) const {
    Canvas out(w, h);
    for (int j = 0; j < out.mHeight; ++j) {
        const int y0 = j * mHeight / out.mHeight;
        const int y1 = std::max(y0 + 1, (j + 1) * mHeight / out.mHeight);
        for (int i = 0; i < out.mWidth; ++i) {
            const int x0 = i * mWidth / out.mWidth;
            const int x1 = std::max(x0 + 1, (i + 1) * mWidth / out.mWidth);
            double sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const Rgba p = At(x, y);
                    sum[0] += p.r, sum[1] += p.g, sum[2] += p.b, sum[3] += p.a;
                }
            }
            const double n = double(x1 - x0) * (y1 - y0);
            const auto mean = [&](double v) {
                return static_cast<std::uint8_t>(std::lround(v / n));
            };
            out.mPixels[static_cast<std::size_t>(j) * out.mWidth + i] = {
                mean(sum[0]), mean(sum[1]), mean(sum[2]), mean(sum[3])};
        }
    }
    return out;
}

Canvas Canvas::Stack(const std::vector<Canvas>& rows) {
    int height = 0;
    for (const Canvas& row : rows)
        height += row.mHeight;
    Canvas out(rows.empty() ? 1 : rows.front().mWidth, height);
    int y = 0;
    for (const Canvas& row : rows) {
        out.Draw(row, 0, y);
        y += row.mHeight;
    }
    return out;
}

Canvas Canvas::Row(const std::vector<Canvas>& cells) {
    int width = 0;
    for (const Canvas& cell : cells)
        width += cell.mWidth;
    Canvas out(width, cells.empty() ? 1 : cells.front().mHeight);
    int x = 0;
    for (const Canvas& cell : cells) {
        out.Draw(cell, x, 0);
        x += cell.mWidth;
    }
    return out;
}

std::optional<std::string> Canvas::EncodePng(std::string& error) const {
    const bool alpha = HasTransparency();
    const int bytesPerPixel = alpha ? 4 : 3;
    std::unique_ptr<SDL_Surface, SurfaceFree> surface(
        SDL_CreateRGBSurfaceWithFormat(0, mWidth, mHeight, bytesPerPixel * 8,
                                       alpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24));
    if (!surface) {
        error = SDL_GetError();
        return std::nullopt;
    }
    for (int y = 0; y < mHeight; ++y) {
        auto* row = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < mWidth; ++x) {
            const Rgba p = mPixels[static_cast<std::size_t>(y) * mWidth + x];
            std::uint8_t* out = row + x * bytesPerPixel;
            out[0] = p.r, out[1] = p.g, out[2] = p.b;
            if (alpha) out[3] = p.a;
        }
    }
    // Room for the pixels stored without compression, and the chunks.
    const std::size_t room =
        static_cast<std::size_t>(mHeight) * (static_cast<std::size_t>(mWidth) * 4 + 1) * 11 / 10 +
        65536;
    if (room > static_cast<std::size_t>(INT_MAX)) {
        error = "picture too large";
        return std::nullopt;
    }
    std::string bytes(room, '\0');
    std::unique_ptr<SDL_RWops, RWClose> out(SDL_RWFromMem(bytes.data(), static_cast<int>(room)));
    if (!out || IMG_SavePNG_RW(surface.get(), out.get(), 0) != 0) {
        error = std::string("cannot encode a PNG picture: ") + SDL_GetError();
        return std::nullopt;
    }
    const Sint64 size = SDL_RWtell(out.get());
    if (size <= 0) {
        error = "cannot encode a PNG picture";
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(size));
    return bytes;
}

}  // namespace zelk::tool
