// ScreenWindow: the one SDL window that shows the game. The screen film's
// pixels arrive in a ScreenSurface; the picture is drawn scaled to the
// window with its aspect ratio kept (letterboxed), under a band for the menu
// bar in the window and over the whole display in full screen. Pointer
// positions are mapped back to screen pixels the same way.
//
// The picture is composed at the game's size and scaled once, at the end,
// where that is cheapest. With a graphics processor (a GL driver that is
// not a software rasterizer) the accelerated renderer does only that: one
// streaming texture at the game's size, its changed rectangles updated,
// copied scaled with linear filtering. Without one the window is drawn in
// software into its own surface, and while nothing of the interface lies
// over the picture only the window rectangles that changed pixels reach are
// scaled and sent to the display. A visual novel's screen changes in small
// places (a blinking cursor, a line of text); a full redraw for each of
// them, through software GL where there is no graphics processor, cost more
// than all the rest of the player. The size drawn for is always the
// surface's, which is what the display shows, whatever the window manager
// did or did not do to the window.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture_scaler.h"

namespace zelk {

class ImGuiHost;
class InterfaceFont;
class ScreenSurface;

// Whether enough of a window at this place (desktop coordinates) lies on
// one of the displays for the reader to see it and take hold of it.
bool ReachableOnADisplay(const SDL_Rect& window);

// The largest picture of `pictureWidth` by `pictureHeight`'s aspect that fits
// `width` by `height` below a band `band` high, centred: bars left and
// right or above and below where the aspects differ.
SDL_Rect LetterboxRect(int width, int height, int band, int pictureWidth, int pictureHeight);

// Whether a GL driver's renderer name is a rasterizer on the processor
// (Mesa's llvmpipe and the like), where scaling on "the GPU" would only
// move the work onto threads of our own.
bool SoftwareRasterizer(const std::string& glRenderer);

class ScreenWindow {
public:
    // The menu bar's height in window units at scale 1: one ImGui frame.
    static constexpr int kMenuBarHeight = 24;

    // `font`: the interface font, loading since the menus were made.
    ScreenWindow(const std::string& title, int screenWidth, int screenHeight,
                 std::shared_ptr<InterfaceFont> font = nullptr);
    ~ScreenWindow();
    ScreenWindow(const ScreenWindow&) = delete;
    ScreenWindow& operator=(const ScreenWindow&) = delete;

    // False when SDL could not make the window or its renderer.
    bool Ok() const { return mRenderer != nullptr; }
    // Whether the picture is scaled by a graphics processor.
    bool Accelerated() const { return mTexture != nullptr; }
    SDL_Window* Window() const { return mWindow; }
    SDL_Renderer* Renderer() const { return mRenderer; }
    ImGuiHost& Gui() const { return *mGui; }
    Uint32 WindowID() const { return mWindow ? SDL_GetWindowID(mWindow) : 0; }

    void Title(const std::string& title);
    void Show(bool visible);
    bool Shown() const;
    // Also when only the window's events said so (a window system that
    // keeps no flag, or one the test sends).
    bool Minimized() const;
    // The window's own events: minimised and restored, resized, exposed.
    void WindowEvent(const SDL_WindowEvent& event);
    // Desktop full screen: the display keeps its mode, the picture scales.
    bool FullScreen(bool on);
    // The window went into or out of full screen by a display-mode change
    // made for it elsewhere (the sound engine's): placed and drawn anew.
    void DisplaySwitched();
    bool IsFullScreen() const;
    // Top-left corner of the window on the desktop. A place that lies on no
    // display (not enough of the window on any one to take hold of it)
    // centres the window instead.
    SDL_Point Position() const;
    void Position(int x, int y);
    // Centres the window on its display, its top kept on the display.
    void Centre();
    // Whether the menu band takes room above the picture (the window) or
    // the bar floats over it only when shown (full screen).
    void MenuBand(bool reserved);
    bool MenuBand() const { return mMenuBand; }
    // The window's size at scale 1 for the game's screen and the band.
    void ResizeToScale1();

    // Takes the changed rectangle of the surface; the whole surface after
    // the window was made. True when something changed.
    bool Upload(ScreenSurface& surface);
    // Draws the whole window: the picture, then `overlay` (ImGui widgets),
    // and shows it; `beforePresent` may read the finished window back.
    void Render(const std::function<void()>& overlay,
                const std::function<void()>& beforePresent = {});
    // Draws and shows only the picture's pixels that changed since the last
    // drawing. False (drawing nothing) when the window must be drawn whole:
    // it was made, resized, exposed or switched since.
    bool RenderChanged();
    // Draws the whole picture into the window's surface, shown with the
    // next frame (a question box drawn over it). What is drawn over it
    // stays until a whole drawing: the next one is.
    void DrawPicture();

    // Where the screen is drawn, in window coordinates (what SDL's pointer
    // events carry).
    SDL_Rect PictureRect() const;
    SDL_Point ScreenToWindow(int x, int y) const;
    // May lie outside the screen when the pointer is on a border.
    SDL_Point WindowToScreen(int x, int y) const;

    // The standard cursor for "", else a PNG or BMP file.
    bool Cursor(const std::string& file);

    // The window rectangles (in output pixels) the last drawing sent to the
    // display: what a drawing of only the changes cost.
    const std::vector<SDL_Rect>& LastSent() const { return mLastSent; }

private:
    SDL_Rect PictureRectIn(int width, int height, int band) const;
    // Where the picture lies in the output (the window's surface or the
    // renderer's output), in its pixels.
    SDL_Rect OutputPictureRect(int outputWidth, int outputHeight) const;
    PictureSource Source() const;
    // Makes the accelerated renderer when the machine has a graphics
    // processor to give it; false (nothing made) otherwise.
    bool MakeAcceleratedRenderer();
    void DrawWholePicture();
    // Accelerated: takes the changed rectangles into the texture, then
    // clears the output and copies the picture scaled.
    void DrawTexture();

    const int mScreenWidth;
    const int mScreenHeight;
    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mTexture = nullptr;     // accelerated only: the picture
    std::vector<std::uint8_t> mPicture;  // the screen's pixels, as last taken
    PictureScaler mScaler;
    std::vector<SDL_Rect> mChanged;  // in screen pixels, not yet drawn
    std::vector<SDL_Rect> mLastSent;
    bool mWhole = true;  // the next drawing must be whole
    SDL_Cursor* mCursor = nullptr;
    std::unique_ptr<ImGuiHost> mGui;
    bool mMenuBand = true;
    bool mMinimized = false;
};

}  // namespace zelk
