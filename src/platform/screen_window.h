// ScreenWindow: the one SDL window that shows the game. The screen film's
// pixels arrive in a ScreenSurface; only the rectangle that changed is
// uploaded to a streaming texture, which is drawn scaled to the window with
// its aspect ratio kept (letterboxed), under a band for the menu bar in the
// window and over the whole display in full screen. Pointer positions are
// mapped back to screen pixels the same way.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>
#include <string>

namespace zelk {

class ImGuiHost;
class ScreenSurface;

class ScreenWindow {
public:
    // The menu bar's height in window units at scale 1: one ImGui frame.
    static constexpr int kMenuBarHeight = 24;

    ScreenWindow(const std::string& title, int screenWidth, int screenHeight);
    ~ScreenWindow();
    ScreenWindow(const ScreenWindow&) = delete;
    ScreenWindow& operator=(const ScreenWindow&) = delete;

    // False when SDL could not make the window or its renderer.
    bool Ok() const { return mRenderer != nullptr && mTexture != nullptr; }
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
    // With `exactMode` the display is switched to the screen's own size
    // where it offers that mode (else desktop full screen all the same).
    bool FullScreen(bool on, bool exactMode = false);
    bool IsFullScreen() const;
    // Top-left corner of the window on the desktop.
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

    // Takes the changed rectangle of the surface into the texture; the
    // whole surface after the window was made.
    bool Upload(ScreenSurface& surface);
    // Draws the picture and then `overlay` (ImGui widgets) and presents;
    // `beforePresent` may read the finished picture back.
    void Render(const std::function<void()>& overlay,
                const std::function<void()>& beforePresent = {});

    // Where the screen is drawn, in window coordinates (what SDL's pointer
    // events carry).
    SDL_Rect PictureRect() const;
    SDL_Point ScreenToWindow(int x, int y) const;
    // May lie outside the screen when the pointer is on a border.
    SDL_Point WindowToScreen(int x, int y) const;

    // The standard cursor for "", else a PNG or BMP file.
    bool Cursor(const std::string& file);

private:
    SDL_Rect PictureRectIn(int width, int height, int band) const;

    const int mScreenWidth;
    const int mScreenHeight;
    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mTexture = nullptr;
    SDL_Cursor* mCursor = nullptr;
    std::unique_ptr<ImGuiHost> mGui;
    bool mMenuBand = true;
    bool mMinimized = false;
    bool mFilled = false;
};

}  // namespace zelk
