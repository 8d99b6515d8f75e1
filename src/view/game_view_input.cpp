// The game view's input: pointer, wheel, keys and gamepads turned into
// screen commands, the full-screen menu band, focus and the close box.
#include <cstring>

#include "common/process.h"
#include "platform/event_pump.h"
#include "platform/imgui_host.h"
#include "platform/screen_surface.h"
#include "platform/translate.h"
#include "platform/window_picture.h"
#include "settings/configuration.h"
#include "view/game_view.h"
#include "view/game_view_impl.h"
#include "view/player_root.h"

namespace zelk {

namespace {

// A game that has kept input off this long has not waited for its reader
// since: a long pause or movie, or a game that has hung. Its close box asks
// then rather than staying dead.
constexpr auto kBusyBeforeTheCloseBoxAsks = std::chrono::seconds(10);

bool IsCtrl(SDL_Keycode key) {
    return key == SDLK_LCTRL || key == SDLK_RCTRL;
}

}  // namespace

void clsGameView::HandleEvent(const SDL_Event& event) {
    Impl& impl = *mImpl;
    if (event.type == SDL_QUIT) {
        RequestClose(true);
        return;
    }
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
            impl.pads.push_back(pad);
        }
        return;
    }
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        for (auto it = impl.pads.begin(); it != impl.pads.end(); ++it) {
            if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*it)) == event.cdevice.which) {
                SDL_GameControllerClose(*it);
                impl.pads.erase(it);
                break;
            }
        }
        return;
    }
    ScreenWindow* window = impl.window.get();
    if (!window) return;
    impl.Dirty();

    if (event.type == SDL_WINDOWEVENT) {
        window->WindowEvent(event.window);
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                RequestClose(false);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_HIDDEN:
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) impl.ctrlDown = false;
                if (mHooked) FormActivityChanged();
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                // Maximising the window (or a double click on its title bar)
                // is how a reader asks for the whole screen; without the hook
                // the window is simply maximised.
                if (mHooked && mScreenMode == kScreenWindow && Process().FullScreenAvailable) {
                    SDL_RestoreWindow(window->Window());
                    mImpl->Defer([this] { ScreenMode(kScreenFull); });
                }
                break;
            default:
                break;
        }
        return;
    }

    // Menus and modal windows take what ImGui wants; a modal window takes
    // every pointer and key.
    const bool captured = window->Gui().ProcessEvent(event);
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        if (IsCtrl(event.key.keysym.sym)) impl.ctrlDown = event.type == SDL_KEYDOWN;
    }
    if (!impl.modals.empty()) return;

    switch (event.type) {
        case SDL_MOUSEMOTION: {
            if (mScreenMode == kScreenFull) {
                impl.pointerWindowY = event.motion.y;
                const bool shown = impl.menuShown;
                if (!shown && event.motion.y < kMenuShowBelow) impl.menuShown = true;
                // A platform's menu loop keeps the pointer to itself while a
                // menu is open: the way down to an item must not close it.
                if (shown && !window->Gui().PopupOpen() && event.motion.y > kMenuHideAbove) {
                    impl.menuShown = false;
                }
            }
            if (captured) return;
            PointerMoved(window->WindowToScreen(event.motion.x, event.motion.y));
            return;
        }
        case SDL_MOUSEBUTTONDOWN: {
            if (captured) return;
            const int button = event.button.button == SDL_BUTTON_LEFT    ? 1
                               : event.button.button == SDL_BUTTON_RIGHT ? 2
                                                                         : 0;
            if (button != 0) {
                PointerButton(button, window->WindowToScreen(event.button.x, event.button.y));
            }
            return;
        }
        case SDL_MOUSEWHEEL: {
            if (captured || !mHooked) return;
            long notches = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            if (notches > 0) Wheel(kCmdWheelForward);
            if (notches < 0) Wheel(kCmdWheelBackward);
            return;
        }
        case SDL_KEYDOWN:
            if (!captured) KeyDown(event.key);
            return;
        case SDL_KEYUP:
            if (event.key.keysym.sym == impl.lastKey) impl.lastKey = SDLK_UNKNOWN;
            return;
        case SDL_CONTROLLERBUTTONDOWN:
            PadButton(event.cbutton);
            return;
        case SDL_CONTROLLERAXISMOTION:
            PadAxis(event.caxis);
            return;
        default:
            return;
    }
}

bool clsGameView::CtrlHeld() const {
    if (!mImpl->ctrlDown) return false;
    // Without a window manager (the dummy driver) no window ever has focus.
    SDL_Window* window = Window();
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool managed = driver && std::strcmp(driver, "dummy") != 0;
    return window && (!managed || (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0);
}

void clsGameView::EndSkipOnInput() {
    const long wait = mRoot.IntprtWaitMode();
    if (mRoot.IsSkipMode() && (wait == 0 || wait == 1)) mRoot.IsSkipMode(false);
}

bool clsGameView::InWheelWait() const {
    const long wait = mRoot.IntprtWaitMode();
    return wait >= 3 && wait <= 5;
}

void clsGameView::PointerButton(int button, SDL_Point screen) {
    mImpl->lastPointer = screen;
    EndSkipOnInput();
    if (!mEventEnabled) return;
    const long bit = button == 1 ? clsEventRect::kLeftClick : clsEventRect::kRightClick;
    RaiseScreenCmd(button == 1 ? kCmdClick : kCmdCancel, mEvRects.HitTest(screen.x, screen.y, bit));
}

void clsGameView::PointerMoved(SDL_Point screen) {
    mImpl->lastPointer = screen;
    if (!mEventEnabled) return;
    clsEventRect* candidate = mEvRects.HitTest(screen.x, screen.y, clsEventRect::kPoint);
    if (candidate == SelectedRect()) return;
    mSelected = candidate ? candidate->Index : -1;
    RaiseScreenCmd(kCmdSelect, candidate);
}

void clsGameView::ForceMouseMove() {
    // Rectangles may have come or gone under a pointer that stood still; only
    // a change of the one under it is news to the mode.
    PointerMoved(mImpl->lastPointer);
}

void clsGameView::Wheel(long eEvent) {
    if (mEventEnabled && InWheelWait()) RaiseScreenCmd(eEvent, nullptr);
}

void clsGameView::Activate() {
    clsEventRect* selected = SelectedRect();
    if (!selected) {
        RaiseScreenCmd(kCmdClick, nullptr);
    } else if (selected->KBOrder != -1) {
        RaiseScreenCmd(kCmdClick, selected);
    }
}

void clsGameView::SelectByOrder(bool up) {
    const clsEventRect* selected = SelectedRect();
    clsEventRect* best = nullptr;
    for (const auto& rect : mEvRects) {
        if (!rect->Enabled || rect->KBOrder == -1) continue;
        const long order = rect->KBOrder;
        if (up) {
            if (selected && order >= selected->KBOrder) continue;
            if (!best || order > best->KBOrder) best = rect.get();
        } else {
            if (selected && order <= selected->KBOrder) continue;
            if (!best || order < best->KBOrder) best = rect.get();
        }
    }
    if (!best || best == selected) return;
    mSelected = best->Index;
    RaiseScreenCmd(kCmdSelect, best);
    mRoot.SelectionMovedByKeys(mSelected);
}

void clsGameView::KeyDown(const SDL_KeyboardEvent& key) {
    EndSkipOnInput();
    const SDL_Keycode code = key.keysym.sym;
    if (code == SDLK_F12) {
        const std::string path = ScreenshotPathFromEnvironment();
        if (!path.empty()) SaveWindowPicture(path);
        return;
    }
    if (code == SDLK_F5) {
        // One reload a press: a held key would reload again and again.
        if (key.repeat == 0) mRoot.ReloadScenario();
        return;
    }
    if (!mEventEnabled) return;
    if (IsCtrl(code)) {
        // Every key-down message, repeats included: holding Ctrl reads on.
        RaiseScreenCmd(kCmdClick, nullptr);
        return;
    }
    if (code == mImpl->lastKey) return;
    mImpl->lastKey = code;
    const bool enter = code == SDLK_RETURN || code == SDLK_KP_ENTER;
    if (enter && (key.keysym.mod & KMOD_ALT) != 0) {
        if (mScreenMode == kScreenFull) {
            ScreenMode(kScreenWindow);
        } else if (Process().FullScreenAvailable) {
            ScreenMode(kScreenFull);
        }
        return;
    }
    if (enter || code == SDLK_SPACE) {
        Activate();
    } else if (code == SDLK_ESCAPE) {
        RaiseScreenCmd(kCmdCancel, nullptr);
    } else if (code == SDLK_UP || code == SDLK_DOWN) {
        SelectByOrder(code == SDLK_UP);
    } else if (code == SDLK_PAGEUP) {
        RaiseScreenCmd(kCmdPageBack, nullptr);
    } else if (code == SDLK_PAGEDOWN) {
        RaiseScreenCmd(kCmdClick, nullptr);
    }
}

void clsGameView::PadAxis(const SDL_ControllerAxisEvent& axis) {
    if (axis.axis != SDL_CONTROLLER_AXIS_TRIGGERLEFT) return;
    // Half way down presses it; a quarter lets it go, so a shaky finger
    // does not press twice.
    constexpr Sint16 kPressed = 16384;
    constexpr Sint16 kReleased = 8192;
    if (axis.value < kReleased) mImpl->leftTriggerDown = false;
    if (axis.value < kPressed || mImpl->leftTriggerDown) return;
    mImpl->leftTriggerDown = true;
    EndSkipOnInput();
    if (mEventEnabled) RaiseScreenCmd(kCmdPageBack, nullptr);
}

void clsGameView::PadButton(const SDL_ControllerButtonEvent& button) {
    EndSkipOnInput();
    if (button.button == SDL_CONTROLLER_BUTTON_START) {
        mImpl->menuShown = !mImpl->menuShown;
        return;
    }
    if (!mEventEnabled) return;
    switch (button.button) {
        case SDL_CONTROLLER_BUTTON_A:
            Activate();
            break;
        case SDL_CONTROLLER_BUTTON_B:
            RaiseScreenCmd(kCmdCancel, nullptr);
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            SelectByOrder(button.button == SDL_CONTROLLER_BUTTON_DPAD_UP);
            break;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            Wheel(kCmdWheelBackward);
            break;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
            Wheel(kCmdWheelForward);
            break;
        default:
            break;
    }
}

clsEventRect* clsGameView::SelectedRect() const {
    return mSelected >= 0 ? mEvRects.Item(mSelected) : nullptr;
}

void clsGameView::RaiseScreenCmd(long eEvent, clsEventRect* erParam) {
    mRoot.ModeScreenCmd(mRoot.VellMode(), eEvent, erParam);
}

void clsGameView::PostClick() {
    // SDL_PushEvent is safe from any thread; the click lands where the
    // pointer was last seen.
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 1;
    event.button.windowID = mImpl->window ? mImpl->window->WindowID() : 0;
    const SDL_Point at = ScreenToWindow(mImpl->lastPointer.x, mImpl->lastPointer.y);
    event.button.x = at.x;
    event.button.y = at.y;
    SDL_PushEvent(&event);
}

void clsGameView::RequestClose(bool fromSignal) {
    if (fromSignal) {
        // The system asks the program to end (a signal, a logout): no
        // question, no waiting.
        mRoot.CloseVell();
        return;
    }
    Impl& impl = *mImpl;
    // A window over the game (the settings, the about box) is the reader's
    // to close first. While a step runs, the close box is refused, as any
    // other input is, and nothing is kept for later: a close the reader no
    // longer expects must not come seconds after.
    if (!impl.modals.empty()) return;
    if (!mEventEnabled && impl.now() - impl.inputOffSince < kBusyBeforeTheCloseBoxAsks) return;
    // A busy game gets the same question: the reader's wish to be asked
    // holds whatever the game is doing.
    Configuration* cfg = mRoot.Cfg();
    if (cfg && cfg->BoolVal("QueryExit") && mRoot.Msg(Tr("ゲームを終了しますか。"), 4) != 6) return;
    mRoot.CloseVell();
}

}  // namespace zelk
