// The game view's private parts, shared by its source files: the window, the
// menus, the modal windows over the game, the pointer and key memory, the
// gamepads and how long input has been off.
#pragma once

#include <SDL.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_pump.h"
#include "platform/screen_window.h"
#include "view/game_view.h"
#include "view/view_menus.h"

namespace zelk {

class frmConfig;
class InterfaceFont;

// The full-screen menu band: shown when the pointer reaches the top, hidden
// again once it has gone clearly below the bar (window pixels).
inline constexpr int kMenuShowBelow = 16;
inline constexpr int kMenuHideAbove = 40;

class clsGameView::Impl {
public:
    using Clock = std::chrono::steady_clock;

    std::shared_ptr<InterfaceFont> font;
    std::unique_ptr<ScreenWindow> window;
    // Full screen came by the sound engine's display-mode change, which
    // then gives the window back.
    bool displayChanged = false;
    ViewMenus menus;
    std::vector<std::string> savedMenus;
    // Full screen: the bar floats over the picture only while shown. A
    // dropdown or other popup open at the end of the last frame holds it;
    // once that closes, the pointer's last height (window pixels) decides.
    bool menuShown = false;
    bool popupWasOpen = false;
    int pointerWindowY = 0;
    // Modal windows over the game, innermost last; each draws itself and
    // says whether it is still open.
    std::vector<std::function<bool()>> modals;
    std::unique_ptr<frmConfig> config;
    // A menu item chosen in the bar, run after the frame that drew it.
    std::string chosenMenu;

    SDL_Point lastPointer{0, 0};     // screen pixels
    SDL_Point maxSizeApplied{0, 0};  // the window's size limit; 0 by 0 for none
    SDL_Keycode lastKey = SDLK_UNKNOWN;
    bool ctrlDown = false;
    bool painting = false;
    int framesToDraw = 2;  // ImGui settles over a frame after each input
    // Whether the last whole frame had something of the interface over the
    // picture (a bar, a menu, a dialog) that the next one must take away.
    bool overlayShown = true;

    // Since when input has been off without a break: a game that has not
    // waited for its reader for long may have hung, and its close box then
    // asks instead of being refused.
    std::function<Clock::time_point()> now;
    Clock::time_point inputOffSince{};

    std::vector<SDL_GameController*> pads;
    // A trigger acts once as it goes down, not again until it is let up.
    bool leftTriggerDown = false;

    void Dirty() { framesToDraw = 2; }

    // Runs the task from the top of the event loop unless the view is gone
    // by then.
    template <typename Task>
    void Defer(Task task) {
        EventPump::Instance().Defer([task = std::move(task), token = std::weak_ptr<int>(alive)] {
            if (token.lock()) task();
        });
    }
    std::shared_ptr<int> alive = std::make_shared<int>(0);
};

}  // namespace zelk
