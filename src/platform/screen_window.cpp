#include "platform/screen_window.h"

#include <SDL_image.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

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
    mPicture.assign(static_cast<size_t>(screenWidth) * screenHeight * 3, 0);
    if (!MakeAcceleratedRenderer()) {
        // Software drawing into the window's own surface (see the header);
        // an accelerated renderer only where SDL has no such surface to
        // give. SDL would back the surface with a GL texture, uploaded whole
        // at every update: the window system's own shared image takes just
        // the rectangles that changed (a reader's environment setting still
        // wins).
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE);
        if (!mRenderer) mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_ACCELERATED);
    }
    if (!mRenderer) return;
    mGui = std::make_unique<ImGuiHost>(mWindow, mRenderer, std::move(font));
}

namespace {

bool HasRenderNode() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        if (entry.path().filename().string().starts_with("renderD")) return true;
    }
    return false;
}

// The GL driver's name for itself; "" when the renderer is not GL's.
std::string GlRendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return "";
    const std::string name = info.name;
    if (!name.starts_with("opengl")) return "";
    // The renderer's context is current on this thread once it is made.
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kGlRenderer = 0x1F01;
    const unsigned char* text = getString ? getString(kGlRenderer) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

bool SoftwareRasterizer(const std::string& glRenderer) {
    std::string name = glRenderer;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software", "lavapipe"}) {
        if (name.find(software) != std::string::npos) return true;
    }
    return false;
}

bool ScreenWindow::MakeAcceleratedRenderer() {
    // A renderer the reader names is taken as named.
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool chosen = named && *named;
    if (chosen && SDL_strcasecmp(named, "software") == 0) return false;
    if (!chosen) {
        // No graphics processor to ask: not even a GL library is loaded
        // (it costs start-up time and memory for nothing).
        const char* video = SDL_GetCurrentVideoDriver();
        if (!video || SDL_strcmp(video, "dummy") == 0 || SDL_strcmp(video, "offscreen") == 0 ||
            !HasRenderNode()) {
            return false;
        }
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) return false;
    SDL_RendererInfo info{};
    const bool accelerated =
        SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_ACCELERATED) != 0;
    if (!accelerated || (!chosen && SoftwareRasterizer(GlRendererName(renderer)))) {
        SDL_DestroyRenderer(renderer);
        return false;
    }
    mTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING,
                                 mScreenWidth, mScreenHeight);
    if (!mTexture) {
        SDL_DestroyRenderer(renderer);
        return false;
    }
    mRenderer = renderer;
    return true;
}

ScreenWindow::~ScreenWindow() {
    mGui.reset();
    if (mCursor) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        SDL_FreeCursor(mCursor);
    }
    if (mTexture) SDL_DestroyTexture(mTexture);
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
    std::vector<ScreenRect> changed = surface.TakeChangedRects();
    if (changed.empty() && !mWhole) return false;
    if (mWhole) changed.assign(1, ScreenRect{0, 0, surface.Width(), surface.Height()});
    bool any = false;
    std::lock_guard<std::mutex> lock(surface.Mutex());
    for (const ScreenRect& rect : changed) {
        const int left = std::clamp(rect.left, 0, mScreenWidth);
        const int right = std::clamp(rect.right, left, mScreenWidth);
        const int top = std::clamp(rect.top, 0, mScreenHeight);
        const int bottom = std::clamp(rect.bottom, top, mScreenHeight);
        if (left == right || top == bottom) continue;
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* from = surface.Pixels() + static_cast<size_t>(y) * surface.Stride();
            std::copy(from + left * 3, from + right * 3,
                      mPicture.begin() + (static_cast<size_t>(y) * mScreenWidth + left) * 3);
        }
        mChanged.push_back(SDL_Rect{left, top, right - left, bottom - top});
        any = true;
    }
    return any;
}

PictureSource ScreenWindow::Source() const {
    return PictureSource{mPicture.data(), mScreenWidth, mScreenHeight, mScreenWidth * 3};
}

SDL_Rect ScreenWindow::OutputPictureRect(int outputWidth, int outputHeight) const {
    int winW = 0, winH = 0;
    SDL_GetWindowSize(mWindow, &winW, &winH);
    const float scale = winW > 0 ? static_cast<float>(outputWidth) / winW : 1.0f;
    // In output pixels: sharp on HiDPI displays.
    return PictureRectIn(outputWidth, outputHeight,
                         mMenuBand ? static_cast<int>(kMenuBarHeight * scale) : 0);
}

void ScreenWindow::DrawTexture() {
    for (const SDL_Rect& rect : mChanged) {
        const std::uint8_t* from =
            mPicture.data() + (static_cast<size_t>(rect.y) * mScreenWidth + rect.x) * 3;
        SDL_UpdateTexture(mTexture, &rect, from, mScreenWidth * 3);
    }
    mChanged.clear();
    int width = 0, height = 0;
    SDL_GetRendererOutputSize(mRenderer, &width, &height);
    const SDL_Rect place = OutputPictureRect(width, height);
    // Whole multiples keep sharp pixels, as in software.
    const bool sharp = place.w % mScreenWidth == 0 && place.h % mScreenHeight == 0;
    SDL_SetTextureScaleMode(mTexture, sharp ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
    SDL_RenderClear(mRenderer);
    SDL_RenderCopy(mRenderer, mTexture, nullptr, &place);
    mLastSent.assign(1, SDL_Rect{0, 0, width, height});
}

void ScreenWindow::DrawPicture() {
    DrawWholePicture();
    mWhole = true;
}

void ScreenWindow::DrawWholePicture() {
    if (!Ok()) return;
    if (mTexture) {
        DrawTexture();
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(mWindow);
    if (!target) return;
    // What the renderer still holds to draw comes first.
    SDL_RenderFlush(mRenderer);
    const SDL_Rect place = OutputPictureRect(target->w, target->h);
    // The borders around the picture are black. Only a whole drawing
    // paints them: a drawing of the changes stays inside the picture.
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
    mChanged.clear();
    mLastSent.assign(1, SDL_Rect{0, 0, target->w, target->h});
}

namespace {

// Window rectangles that overlap are drawn and sent once, as one.
void JoinOverlapping(std::vector<SDL_Rect>& rects) {
    for (bool again = true; again;) {
        again = false;
        for (size_t i = 0; i < rects.size() && !again; ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) {
                if (SDL_HasIntersection(&rects[i], &rects[j])) {
                    SDL_UnionRect(&rects[i], &rects[j], &rects[i]);
                    rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                    again = true;
                    break;
                }
            }
        }
    }
}

}  // namespace

bool ScreenWindow::RenderChanged() {
    if (!Ok() || mWhole) return false;
    if (mChanged.empty()) return true;
    if (mTexture) {
        // The menu bar in its band is drawn with the interface, on the
        // whole frame.
        if (mMenuBand) return false;
        DrawTexture();
        SDL_RenderPresent(mRenderer);
        return true;
    }
    SDL_Surface* target = SDL_GetWindowSurface(mWindow);
    if (!target) return false;
    const SDL_Rect place = OutputPictureRect(target->w, target->h);
    std::vector<SDL_Rect> reach;
    for (const SDL_Rect& changed : mChanged) {
        const SDL_Rect r = PictureScaler::Reach(Source(), place, changed);
        if (r.w > 0 && r.h > 0) reach.push_back(r);
    }
    mChanged.clear();
    JoinOverlapping(reach);
    mLastSent = reach;
    if (reach.empty()) return true;
    SDL_RenderFlush(mRenderer);
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    for (const SDL_Rect& r : reach)
        mScaler.Draw(Source(), *target, place, r);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    SDL_UpdateWindowSurfaceRects(mWindow, reach.data(), static_cast<int>(reach.size()));
    return true;
}

SDL_Rect LetterboxRect(int width, int height, int band, int pictureWidth, int pictureHeight) {
    const int room = std::max(1, height - band);
    pictureWidth = std::max(1, pictureWidth);
    pictureHeight = std::max(1, pictureHeight);
    // The largest picture of the screen's aspect that fits the room, centred.
    int w = width;
    int h = static_cast<int>(static_cast<long long>(width) * pictureHeight / pictureWidth);
    if (h > room) {
        h = room;
        w = static_cast<int>(static_cast<long long>(room) * pictureWidth / pictureHeight);
    }
    return SDL_Rect{(width - w) / 2, band + (room - h) / 2, std::max(1, w), std::max(1, h)};
}

SDL_Rect ScreenWindow::PictureRectIn(int width, int height, int band) const {
    return LetterboxRect(width, height, band, mScreenWidth, mScreenHeight);
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
    DrawWholePicture();
    if (overlay && mGui) mGui->Frame(overlay);
    SDL_RenderFlush(mRenderer);
    if (beforePresent) beforePresent();
    if (mTexture) {
        SDL_RenderPresent(mRenderer);
    } else {
        SDL_UpdateWindowSurface(mWindow);
    }
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
