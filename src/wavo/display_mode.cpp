#include "display_mode.h"

#include "debug_log.h"
#include "platform_services.h"
#include "wavo.h"

namespace wavo {
namespace {

bool DepthMatches(Uint32 format, int bits) {
    if (bits <= 0) return true;
    const int depth = SDL_BITSPERPIXEL(format);
    // A 32-bit mode of the old API is SDL's 24 bits of colour in 4 bytes.
    if (bits == 24 || bits == 32) return depth == 24 || depth == 32;
    if (bits == 15 || bits == 16) return depth == 15 || depth == 16;
    return depth == bits;
}

}  // namespace

std::optional<SDL_DisplayMode> DisplayMode::FindMode(int display, int width, int height, int bits) {
    for (int k = 0, count = SDL_GetNumDisplayModes(display); k < count; ++k) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, k, &mode) != 0) continue;
        if (mode.w == width && mode.h == height && DepthMatches(mode.format, bits)) return mode;
    }
    return std::nullopt;
}

int32_t DisplayMode::Change(uint32_t windowId, int32_t width, int32_t height, int32_t bits,
                            ServiceErrors& errors) {
    WAVO_LOG("ChangeDisplaySize\n");
    // A change that is refused leaves everything as it was, an earlier
    // change included: every check comes before the window is touched.
    SDL_Window* window = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetWindowFromID(windowId) : nullptr;
    if (window == nullptr) {
        errors.extended1 = kStepDisplay;
        errors.extended2 = -1;
        return WAVO_E_DISPLAY_MODE;
    }
    const int display = SDL_GetWindowDisplayIndex(window);
    const std::optional<SDL_DisplayMode> mode =
        FindMode(display < 0 ? 0 : display, width, height, bits);
    if (!mode) {
        WAVO_LOG("ChangeDisplaySize: %dx%d at %d bits is not offered\n", width, height, bits);
        errors.extended1 = kStepMode;
        errors.extended2 = -1;
        return WAVO_E_DISPLAY_MODE;
    }
    Before now;
    now.windowId = windowId;
    now.fullScreenFlags = SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    now.hadMode = SDL_GetWindowDisplayMode(window, &now.mode) == 0;
    int result = SDL_SetWindowDisplayMode(window, &*mode);
    if (result == 0) result = SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    if (result != 0) {
        WAVO_LOG("ChangeDisplaySize: %s\n", SDL_GetError());
        Restore(window, now);
        errors.extended1 = kStepMode;
        errors.extended2 = result;
        return WAVO_E_DISPLAY_MODE;
    }
    // A second change of the same window still resumes to the window as it
    // was before the first; one of another window gives that one back.
    if (mChanged && mChanged->windowId != windowId) Resume();
    if (!mChanged) mChanged = now;
    return WAVO_OK;
}

void DisplayMode::Resume() {
    if (!mChanged) return;
    const Before before = *mChanged;
    mChanged.reset();
    // The host may have closed the window meanwhile: then SDL has put the
    // display back already.
    SDL_Window* window =
        SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetWindowFromID(before.windowId) : nullptr;
    if (window != nullptr) Restore(window, before);
}

void DisplayMode::Restore(SDL_Window* window, const Before& before) {
    SDL_SetWindowFullscreen(window, before.fullScreenFlags);
    if (before.hadMode) SDL_SetWindowDisplayMode(window, &before.mode);
}

}  // namespace wavo
