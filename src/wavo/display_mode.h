#pragma once
// The display-mode change for full-screen play, over SDL's display modes: the
// host's window goes full screen in exactly the mode asked for, where its
// display offers that mode, and comes back as it was on resume. SDL changes
// a display's mode only for a full-screen window, so the change is made
// through the window the host names (WP_DISPLAY_WINDOW).

#include <SDL.h>

#include <cstdint>
#include <optional>

namespace wavo {

struct ServiceErrors;

class DisplayMode {
public:
    // Failure numbers, reported as the engine's extended error 1.
    static constexpr int32_t kStepDisplay = 1;  // no video, or no window to switch
    static constexpr int32_t kStepMode = 3;     // the mode is not offered or not taken

    ~DisplayMode() { Resume(); }

    // bits 0 takes any depth; 24 and 32 both mean true colour. A refused
    // change changes nothing, an earlier change included.
    int32_t Change(uint32_t windowId, int32_t width, int32_t height, int32_t bits,
                   ServiceErrors& errors);
    // Puts the window back as it was before the first change; nothing
    // without one.
    void Resume();
    bool Changed() const { return mChanged.has_value(); }

    // The display's first mode of exactly that size and depth.
    static std::optional<SDL_DisplayMode> FindMode(int display, int width, int height, int bits);

private:
    struct Before {
        uint32_t windowId = 0;
        uint32_t fullScreenFlags = 0;
        SDL_DisplayMode mode{};
        bool hadMode = false;
    };
    static void Restore(SDL_Window* window, const Before& before);

    std::optional<Before> mChanged;
};

}  // namespace wavo
