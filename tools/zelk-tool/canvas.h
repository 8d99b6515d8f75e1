// A picture drawn in code: red, green, blue and alpha a pixel, with the few
// shapes the placeholder pictures of a new game need, and its PNG form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::tool {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;

    // The same colour at another opacity.
    constexpr Rgba WithAlpha(std::uint8_t alpha) const { return {r, g, b, alpha}; }
    // Halfway (or `t` of the way, 0 to 1) towards another colour.
    Rgba Mix(Rgba other, double t = 0.5) const;
};

class Canvas {
public:
    Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    Rgba At(int x, int y) const;
    // Whether any pixel is less than opaque: such pictures keep their alpha.
    bool HasTransparency() const;

    // Shapes are painted over what is there (alpha blending); what falls
    // outside the canvas is cut off.
    void Fill(int x, int y, int w, int h, Rgba colour);
    void VerticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom);
    // A rectangle with rounded corners of `radius`, filled, then outlined
    // `border` pixels wide (0: no outline).
    void RoundRect(int x, int y, int w, int h, int radius, Rgba fill, Rgba outline, int border);
    void Ellipse(int cx, int cy, int rx, int ry, Rgba colour);
    // Text of capital letters, digits and a few marks in the tool's own
    // pixel font, each font pixel `scale` pixels square; lower case is drawn
    // in capitals, other characters as blanks.
    void Text(int x, int y, int scale, Rgba colour, std::string_view text);
    void CentredText(int x, int y, int w, int h, int scale, Rgba colour, std::string_view text);
    static int TextWidth(int scale, std::string_view text);
    static int TextHeight(int scale);

    // Another canvas drawn at x, y (blended).
    void Draw(const Canvas& other, int x, int y);
    // A copy reduced or enlarged to w x h (each new pixel the average of the
    // old ones it covers).
    Canvas Resized(int w, int h) const;
    // Canvases of the same width, one below the other: the rows of a
    // button's states.
    static Canvas Stack(const std::vector<Canvas>& rows);
    // The same, side by side: the cells of an animation.
    static Canvas Row(const std::vector<Canvas>& cells);

    // The PNG file: with an alpha channel only when a pixel needs one.
    // Nothing, with a message in `error`, when encoding fails.
    std::optional<std::string> EncodePng(std::string& error) const;

private:
    void Blend(int x, int y, Rgba colour);

    int mWidth;
    int mHeight;
    std::vector<Rgba> mPixels;
};

}  // namespace zelk::tool
