// clsGameView: the game window. It shows the screen film in the windowed or
// the full-screen form, builds and runs the menus, turns the pointer, the
// wheel, the keys and the gamepad into screen commands for the current mode,
// keeps the event rectangles and the selected one, and holds what belongs to
// the window: auto click, text speed, focus sense, title, position, cursor.
#pragma once

#include <SDL.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivers/event_rect.h"

namespace zelk {

class INISection;
class frmConfig;
class PlayerRoot;
class ScreenSurface;
class ScreenWindow;
class ViewMenus;

// Screen command codes.
enum ScreenCommand : long {
    kCmdClick = 1,
    kCmdCancel = 2,
    kCmdSelect = 4,
    kCmdWheelForward = 16,
    kCmdWheelBackward = 32,
    // The reader asks for the page before (PageUp, the left trigger, the
    // menu).
    kCmdPageBack = 64,
};

// Screen modes.
enum : long { kScreenFull = 0, kScreenWindow = 1, kScreenNone = 2 };

struct ViewMenuItem {
    std::string Tag;      // section "!" name
    std::string Caption;  // "-" for a separator
    bool Enabled = true;
    bool Checked = false;
    // Shown while the pointer rests on the item, disabled or not.
    std::string Tooltip;
};

class clsGameView {
public:
    using Clock = std::chrono::steady_clock;

    // `clock` tells the time for how long input has been off (the close
    // box); the system's monotonic clock by default.
    explicit clsGameView(PlayerRoot& root, std::function<Clock::time_point()> clock = {});
    ~clsGameView();
    clsGameView(const clsGameView&) = delete;
    clsGameView& operator=(const clsGameView&) = delete;

    // [SECTION] Screen mode and window
    long ScreenMode() const { return mScreenMode; }
    // Throws std::runtime_error("不正なスクリーンモード指定") for another value.
    void ScreenMode(long eNew);
    std::string WndPos() const;
    void WndPos(const std::string& value);
    bool Visible() const;
    void Visible(bool value);
    const std::string& SiteName() const { return mSiteName; }
    void SiteName(const std::string& value);
    // A scenario error for the author ("s01.txt:42: message"), shown in the
    // title after the site name until it is cleared; while one is shown,
    // later ones are not. The site name alone is what save slots keep.
    void ScenarioError(const std::string& note);
    void ClearScenarioError();
    const std::string& ScenarioErrorNote() const { return mScenarioError; }
    // What the title bar shows: the site, then the game's title (either
    // alone when the other is empty), then the author's error note.
    std::string WindowTitle() const;
    const std::string& MouseIcon() const { return mMouseIcon; }
    void MouseIcon(const std::string& value);
    bool FormActivity() const { return mFormActivity; }
    void FormActivityChanged();
    // While the window is hooked (after every screen-mode change unless the
    // debug switch SubClassMode is off) the wheel, maximising (to full
    // screen) and the focus reach the view, and in window mode the window is
    // given at most this size (window pixels; 0 by 0: no limit).
    void MaxWindowSize(int width, int height);
    // The picture box: the surface the film engine presents into. It exists
    // from the first call on, window or not, so that what the engine draws
    // before the window is shown is there when it is.
    ScreenSurface* pic() const { return mSurface.get(); }
    ScreenSurface& Picture();
    // The picture box's background (a colour in the system's blue-green-red
    // order): what it shows where the engine has presented nothing yet.
    void PictureBackColor(long color);
    // Waits, at most `most`, for the engine's first frame in the picture.
    void WaitForFirstPicture(std::chrono::milliseconds most);
    // Whether the window is shown and not minimised: a question is then
    // asked over the game.
    bool ShownOnScreen() const;
    // The SDL window of the current form, or null in mode 2.
    SDL_Window* Window() const;

    // [SECTION] Event rectangles and screen commands
    clsEventRects& EvRects() { return mEvRects; }
    clsEventRect* SelectedRect() const;
    void SelectionClear() { mSelected = -1; }
    void ForceMouseMove();
    void RaiseScreenCmd(long eEvent, clsEventRect* erParam);

    // [SECTION] Reader's state
    bool AutoClickEnabled() const { return mAutoClickEnabled; }
    void AutoClickEnabled(bool value);
    long TextSpeed() const { return mTextSpeed; }
    void TextSpeed(long value);
    bool IsDeactivateSense() const { return mDeactivateSense; }
    void IsDeactivateSense(bool value) { mDeactivateSense = value; }
    bool EventEnabled() const { return mEventEnabled; }
    void EventEnabled(bool value);

    // [SECTION] Menus
    void MenuCmd(const std::string& sSec, const std::string& sCmd);
    ViewMenuItem* MenuItem(const std::string& sName);
    // The bar's headings and items in the order shown.
    const ViewMenus& Menus() const;
    void MenuEnableByText(const std::string& sList);
    // The clipboard and self-voicing items as the settings and the speech
    // service now stand.
    void UpdateReaderItems();
    void SaveMenuStatus();
    void LoadMenuStatus();

    // [SECTION] Save data ("GameViewStatus")
    void SaveStatus(INISection& section) const;
    void LoadStatus(const INISection& section);

    // [SECTION] Events and drawing
    // Every SDL event of the program's pump reaches the view here.
    void HandleEvent(const SDL_Event& event);
    // Uploads what the engine presented and draws the window.
    void Paint();
    // Runs a modal ImGui window over the game until `draw` returns false;
    // events keep being pumped, the game picture keeps being shown.
    void RunModal(const std::function<bool()>& draw, const std::string& shown = {});
    // Returns once what was asked of the engine is on the screen: the frame
    // redrawn and presented (a scripted `idle` ends only then).
    void WaitScreenShown();
    // Writes the game screen as last presented, or the window as drawn.
    bool SaveScreenPicture(const std::string& path);
    bool SaveWindowPicture(const std::string& path);
    // Maps a game-screen pixel to window coordinates (what a pointer event
    // there carries) and back.
    SDL_Point ScreenToWindow(int x, int y) const;
    SDL_Point WindowToScreen(int x, int y) const;

    // In full screen: whether the menu bar is shown over the picture.
    bool MenusShown() const;
    // Ctrl is held down in the game window (the interpreter's skip key).
    bool CtrlHeld() const;
    // Posts a left click at the last pointer position from any thread (a
    // movie's end).
    void PostClick();
    // The configuration dialog while it is open, else null.
    frmConfig* ConfigDialog() const;

private:
    class Impl;
    void DrawPicture();
    void DrawOverlay();
    void ChooseMenu(const std::string& tag);
    // The window's close box, or a signal (which closes without a question).
    void RequestClose(bool fromSignal);
    void MuteAll();
    void PointerButton(int button, SDL_Point screen);
    void PointerMoved(SDL_Point screen);
    void KeyDown(const SDL_KeyboardEvent& key);
    void PadButton(const SDL_ControllerButtonEvent& button);
    void PadAxis(const SDL_ControllerAxisEvent& axis);
    void ToggleReaderAid(const char* key);
    void Wheel(long eEvent);
    void SelectByOrder(bool up);
    void Activate();
    bool InWheelWait() const;
    void EndSkipOnInput();
    void ShowAbout();
    void OpenConfig(const std::string& page);
    void Hook(bool install);
    // Full screen on or off: with "DXFullScreen" through the sound engine's
    // display-mode change, else (and when the display refuses that mode)
    // desktop full screen. False when the window stays as it was.
    bool SwitchDisplay(bool on);
    friend class Impl;

    PlayerRoot& mRoot;
    std::unique_ptr<Impl> mImpl;
    std::unique_ptr<ScreenSurface> mSurface;
    clsEventRects mEvRects;
    long mSelected = -1;  // index in mEvRects
    long mScreenMode = kScreenNone;
    std::string mSiteName;
    std::string mScenarioError;
    std::string mMouseIcon;
    std::string mWndPos;
    bool mAutoClickEnabled = false;
    long mTextSpeed = 2;
    bool mDeactivateSense = false;
    bool mEventEnabled = false;
    bool mFormActivity = false;
    bool mHooked = false;
    SDL_Point mMaxWindowSize{0, 0};
};

}  // namespace zelk
