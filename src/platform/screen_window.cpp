#include "platform/screen_window.h"

#include <SDL_image.h>

#include <algorithm>

#include "platform/bare_x11.h"
#include "platform/imgui_host.h"
#include "platform/screen_surface.h"

namespace zelk {

ScreenWindow::ScreenWindow(const std::string& title, int screenWidth, int screenHeight,
                           std::shared_ptr<InterfaceFont> font)
    : mScreenWidth(screenWidth), mScreenHeight(screenHeight) {
    mWindow = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               screenWidth, screenHeight + kMenuBarHeight,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!mWindow) return;
    SDL_SetWindowMinimumSize(mWindow, std::max(160, screenWidth / 4),
                             std::max(120, screenHeight / 4) + kMenuBarHeight);
    // Software drawing into the window's own surface (see the header); an
    // accelerated renderer only where SDL has no such surface to give. SDL
    // would back the surface with a GL texture, uploaded whole at every
    // update: the window system's own shared image takes just the rectangles
    // that changed (a reader's environment setting still wins).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE);
    if (!mRenderer) mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_ACCELERATED);
    if (!mRenderer) return;
    mPicture.assign(static_cast<size_t>(screenWidth) * screenHeight * 3, 0);
    mGui = std::make_unique<ImGuiHost>(mWindow, mRenderer, std::move(font));
}

ScreenWindow::~ScreenWindow() {
    mGui.reset();
    if (mCursor) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        SDL_FreeCursor(mCursor);
    }
    if (mRenderer) SDL_DestroyRenderer(mRenderer);
    if (mWindow) SDL_DestroyWindow(mWindow);
}

void ScreenWindow::Title(const std::string& title) {
    if (mWindow) SDL_SetWindowTitle(mWindow, title.c_str());
}

void ScreenWindow::Show(bool visible) {
    if (!mWindow) return;
    if (visible) {
        SDL_ShowWindow(mWindow);
    } else {
        SDL_HideWindow(mWindow);
    }
}

bool ScreenWindow::Shown() const {
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_SHOWN) != 0;
}

bool ScreenWindow::Minimized() const {
    return mWindow && (mMinimized || (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_MINIMIZED) != 0);
}

void ScreenWindow::WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            mMinimized = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            mMinimized = false;
            mWhole = true;
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            mWhole = true;
            break;
        default:
            break;
    }
}

bool ScreenWindow::FullScreen(bool on) {
    if (!mWindow) return false;
    const bool was = IsFullScreen();
    if (SDL_SetWindowFullscreen(mWindow, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    if (was != on) PlaceBareX11Window(mWindow);
    mMenuBand = !on;
    mWhole = true;
    return true;
}

void ScreenWindow::DisplaySwitched() {
    if (!mWindow) return;
    PlaceBareX11Window(mWindow);
    mMenuBand = !IsFullScreen();
    mWhole = true;
}

bool ScreenWindow::IsFullScreen() const {
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
}

SDL_Point ScreenWindow::Position() const {
    SDL_Point point{0, 0};
    if (mWindow) SDL_GetWindowPosition(mWindow, &point.x, &point.y);
    return point;
}

void ScreenWindow::Position(int x, int y) {
    if (!mWindow) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(mWindow, &width, &height);
    // A place kept from another set of displays (or written by hand) could
    // put the window where no one can see or reach it.
    if (!ReachableOnADisplay(SDL_Rect{x, y, width, height})) {
        Centre();
        return;
    }
    SDL_SetWindowPosition(mWindow, x, y);
}

bool ReachableOnADisplay(const SDL_Rect& window) {
    const int displays = SDL_GetNumVideoDisplays();
    // Nothing known of the displays: the place cannot be judged.
    if (displays <= 0) return true;
    // Enough of the window to take hold of it and move it.
    const int wide = std::min(window.w, 64);
    const int high = std::min(window.h, 32);
    for (int i = 0; i < displays; ++i) {
        SDL_Rect bounds{};
        SDL_Rect shared{};
        if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
        if (SDL_IntersectRect(&bounds, &window, &shared) && shared.w >= wide && shared.h >= high)
            return true;
    }
    return false;
}

void ScreenWindow::Centre() {
    if (!mWindow) return;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(mWindow));
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) {
        SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(mWindow, &width, &height);
    const int x = usable.x + (usable.w - width) / 2;
    const int y = std::max(usable.y, usable.y + (usable.h - height) / 2);
    SDL_SetWindowPosition(mWindow, x, y);
}

void ScreenWindow::MenuBand(bool reserved) {
    if (reserved != mMenuBand) mWhole = true;
    mMenuBand = reserved;
}

void ScreenWindow::ResizeToScale1() {
    if (mWindow && !IsFullScreen()) {
        SDL_SetWindowSize(mWindow, mScreenWidth, mScreenHeight + (mMenuBand ? kMenuBarHeight : 0));
    }
}

bool ScreenWindow::Upload(ScreenSurface& surface) {
    if (!Ok()) return false;
    std::optional<ScreenRect> changed = surface.TakeChanged();
    if (!changed && !mWhole) return false;
    if (!changed || mWhole) changed = ScreenRect{0, 0, surface.Width(), surface.Height()};
    const int left = std::clamp(changed->left, 0, mScreenWidth);
    const int right = std::clamp(changed->right, left, mScreenWidth);
    const int top = std::clamp(changed->top, 0, mScreenHeight);
    const int bottom = std::clamp(changed->bottom, top, mScreenHeight);
    if (left == right || top == bottom) return false;
    {
        std::lock_guard<std::mutex> lock(surface.Mutex());
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* from = surface.Pixels() + static_cast<size_t>(y) * surface.Stride();
            std::copy(from + left * 3, from + right * 3,
                      mPicture.begin() + (static_cast<size_t>(y) * mScreenWidth + left) * 3);
        }
    }
    SDL_Rect area{left, top, right - left, bottom - top};
    if (mChanged) SDL_UnionRect(&*mChanged, &area, &area);
    mChanged = area;
    return true;
}

PictureSource ScreenWindow::Source() const {
    return PictureSource{mPicture.data(), mScreenWidth, mScreenHeight, mScreenWidth * 3};
}

SDL_Rect ScreenWindow::SurfacePictureRect(const SDL_Surface& surface) const {
    int winW = 0, winH = 0;
    SDL_GetWindowSize(mWindow, &winW, &winH);
    const float scale = winW > 0 ? static_cast<float>(surface.w) / winW : 1.0f;
    // In output pixels: sharp on HiDPI displays.
    return PictureRectIn(surface.w, surface.h,
                         mMenuBand ? static_cast<int>(kMenuBarHeight * scale) : 0);
}

void ScreenWindow::DrawPicture() {
    SDL_Surface* target = Ok() ? SDL_GetWindowSurface(mWindow) : nullptr;
    if (!target) return;
    // What the renderer still holds to draw comes first.
    SDL_RenderFlush(mRenderer);
    const SDL_Rect place = SurfacePictureRect(*target);
    // The borders around the picture are black.
    const SDL_Rect borders[] = {
        {0, 0, target->w, place.y},
        {0, place.y + place.h, target->w, target->h - place.y - place.h},
        {0, place.y, place.x, place.h},
        {place.x + place.w, place.y, target->w - place.x - place.w, place.h}};
    for (const SDL_Rect& border : borders) {
        if (border.w > 0 && border.h > 0)
            SDL_FillRect(target, &border, SDL_MapRGB(target->format, 0, 0, 0));
    }
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    mScaler.Draw(Source(), *target, place, place);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    mChanged.reset();
}

bool ScreenWindow::RenderChanged() {
    if (!Ok() || mWhole) return false;
    if (!mChanged) return true;
    SDL_Surface* target = SDL_GetWindowSurface(mWindow);
    if (!target) return false;
    const SDL_Rect place = SurfacePictureRect(*target);
    SDL_Rect reach = PictureScaler::Reach(Source(), place, *mChanged);
    mChanged.reset();
    if (reach.w <= 0 || reach.h <= 0) return true;
    SDL_RenderFlush(mRenderer);
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    mScaler.Draw(Source(), *target, place, reach);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    SDL_UpdateWindowSurfaceRects(mWindow, &reach, 1);
    return true;
}

SDL_Rect ScreenWindow::PictureRectIn(int width, int height, int band) const {
    const int room = std::max(1, height - band);
    // The largest picture of the screen's aspect that fits the room, centred.
    int w = width;
    int h = static_cast<int>(static_cast<long long>(width) * mScreenHeight / mScreenWidth);
    if (h > room) {
        h = room;
        w = static_cast<int>(static_cast<long long>(room) * mScreenWidth / mScreenHeight);
    }
    return SDL_Rect{(width - w) / 2, band + (room - h) / 2, std::max(1, w), std::max(1, h)};
}

SDL_Rect ScreenWindow::PictureRect() const {
    int width = mScreenWidth, height = mScreenHeight;
    if (mWindow) SDL_GetWindowSize(mWindow, &width, &height);
    return PictureRectIn(width, height, mMenuBand ? kMenuBarHeight : 0);
}

SDL_Point ScreenWindow::ScreenToWindow(int x, int y) const {
    const SDL_Rect picture = PictureRect();
    // The centre of the screen pixel, so that the way back lands on it.
    return SDL_Point{picture.x + static_cast<int>((x + 0.5) * picture.w / mScreenWidth),
                     picture.y + static_cast<int>((y + 0.5) * picture.h / mScreenHeight)};
}

SDL_Point ScreenWindow::WindowToScreen(int x, int y) const {
    const SDL_Rect picture = PictureRect();
    auto map = [](int v, int origin, int extent, int size) {
        const long long offset = static_cast<long long>(v - origin) * size;
        // Floor division, so that a point left of the picture stays negative.
        return static_cast<int>(offset >= 0 ? offset / extent : (offset - extent + 1) / extent);
    };
    return SDL_Point{map(x, picture.x, picture.w, mScreenWidth),
                     map(y, picture.y, picture.h, mScreenHeight)};
}

void ScreenWindow::Render(const std::function<void()>& overlay,
                          const std::function<void()>& beforePresent) {
    if (!Ok()) return;
    DrawPicture();
    if (overlay && mGui) mGui->Frame(overlay);
    SDL_RenderFlush(mRenderer);
    if (beforePresent) beforePresent();
    SDL_UpdateWindowSurface(mWindow);
    mWhole = false;
}

bool ScreenWindow::Cursor(const std::string& file) {
    SDL_Cursor* cursor = nullptr;
    if (!file.empty()) {
        SDL_Surface* picture = IMG_Load(file.c_str());
        if (!picture) return false;
        cursor = SDL_CreateColorCursor(picture, 0, 0);
        SDL_FreeSurface(picture);
        if (!cursor) return false;
    }
    SDL_SetCursor(cursor ? cursor : SDL_GetDefaultCursor());
    if (mCursor) SDL_FreeCursor(mCursor);
    mCursor = cursor;
    return true;
}

}  // namespace zelk
