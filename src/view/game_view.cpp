#include "view/game_view.h"

#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "platform/event_pump.h"
#include "platform/imgui_host.h"
#include "platform/question_box.h"
#include "platform/screen_surface.h"
#include "platform/speech.h"
#include "platform/translate.h"
#include "platform/window_picture.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "view/frm_config.h"
#include "view/game_view_impl.h"
#include "view/player_root.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Construction and release
//   [SECTION] Screen mode and window
//   [SECTION] Reader's state
//   [SECTION] Save data
//   [SECTION] Drawing and pictures
// ============================================================================

// [SECTION] Construction and release ----------------------------------------

clsGameView::clsGameView(PlayerRoot& root, std::function<Clock::time_point()> clock)
    : mRoot(root), mImpl(std::make_unique<Impl>()) {
    mImpl->now = std::move(clock);
    if (!mImpl->now) mImpl->now = [] { return Clock::now(); };
    // Input is off until the game first waits for its reader.
    mImpl->inputOffSince = mImpl->now();
    // The window's font is read and rasterised while the game loads.
    std::string captions;
    for (const ViewMenus::Menu& menu : mImpl->menus.Menus()) {
        captions += menu.Caption;
        for (const ViewMenuItem& item : menu.Items)
            captions += item.Caption;
    }
    captions += SpeechProblemTexts();
    mImpl->font = std::make_shared<InterfaceFont>(captions);
    mImpl->menus.Opening = [this] { UpdateReaderItems(); };
}

clsGameView::~clsGameView() {
    ScreenMode(kScreenNone);
    for (SDL_GameController* pad : mImpl->pads)
        SDL_GameControllerClose(pad);
    mRoot.Log("GameView-Terminate");
}

// [SECTION] Screen mode and window -------------------------------------------

SDL_Window* clsGameView::Window() const {
    return mImpl->window ? mImpl->window->Window() : nullptr;
}

void clsGameView::ScreenMode(long eNew) {
    if (eNew == mScreenMode) return;
    if (eNew != kScreenFull && eNew != kScreenWindow && eNew != kScreenNone) {
        throw std::runtime_error("不正なスクリーンモード指定");
    }
    const long previous = mScreenMode;
    const bool wasVisible = Visible();
    const std::string position = WndPos();
    Hook(false);

    if (eNew == kScreenNone) {
        // The picture a reader asked for at exit is the last one shown.
        if (const std::string shot = ScreenshotPathFromEnvironment(); !shot.empty()) {
            SaveWindowPicture(shot);
        }
        if (mImpl->window) SwitchDisplay(false);
        QuestionBox::Instance().Owner(nullptr, {});
        mImpl->window.reset();
        mScreenMode = kScreenNone;
        return;
    }

    const ProcessValues& process = Process();
    Picture();
    const bool fresh = !mImpl->window;
    if (fresh) {
        auto window = std::make_unique<ScreenWindow>(WindowTitle(), mSurface->Width(),
                                                     mSurface->Height(), mImpl->font);
        if (!window->Ok()) {
            mRoot.Log(TrFormat("ゲーム画面を作成できません: %s", {SDL_GetError()}));
            return;
        }
        mImpl->window = std::move(window);
        QuestionBox::Instance().Owner(&mImpl->window->Gui(), [this] { DrawPicture(); });
    }
    ScreenWindow& window = *mImpl->window;
    if (eNew == kScreenFull) {
        // A refused switch leaves the display as it was; the view stays in
        // its form (or takes the window when it had none).
        if (!SwitchDisplay(true)) {
            mRoot.Log(TrFormat("全画面表示に切り替えられません: %s", {SDL_GetError()}));
            if (previous != kScreenNone) {
                Hook(Process().Debug.SubClassMode);
                return;
            }
            eNew = kScreenWindow;
        }
    }
    if (eNew == kScreenWindow) {
        SwitchDisplay(false);
        window.MenuBand(true);
        if (fresh || previous == kScreenFull) window.ResizeToScale1();
    }
    mImpl->menuShown = false;

    if (previous != kScreenNone) SaveMenuStatus();
    mScreenMode = eNew;
    LoadMenuStatus();
    if (ViewMenuItem* item = MenuItem("screen!window")) item->Checked = eNew == kScreenWindow;
    if (ViewMenuItem* item = MenuItem("screen!full")) {
        item->Checked = eNew == kScreenFull;
        item->Enabled = process.FullScreenAvailable;
    }
    window.Title(WindowTitle());
    mSurface->InvalidateAll();
    if (clsLumoDriver* lumo = mRoot.Lumo()) {
        lumo->ScreenDC(mSurface.get());
        lumo->Refresh();
    }
    // A new window stays hidden until the launcher places and shows it.
    if (previous != kScreenNone) {
        Visible(wasVisible);
        if (eNew == kScreenWindow) WndPos(position);
    }
    Hook(Process().Debug.SubClassMode);
    MouseIcon(mMouseIcon);
    mImpl->Dirty();
    mRoot.ModeScreenModeChanged();
    FormActivityChanged();
}

bool clsGameView::SwitchDisplay(bool on) {
    ScreenWindow& window = *mImpl->window;
    clsWavoDriver* wavo = mRoot.Wavo();
    if (!on) {
        if (mImpl->displayChanged) {
            mImpl->displayChanged = false;
            if (wavo) {
                wavo->ResumeDisplaySize();
                window.DisplaySwitched();
            }
        }
        // Also after the engine has gone: SDL gives the display back with
        // the window's full screen.
        return !window.IsFullScreen() || window.FullScreen(false);
    }
    const Configuration* cfg = mRoot.Cfg();
    if (wavo && cfg && cfg->BoolVal("DXFullScreen")) {
        if (wavo->ChangeDisplaySize(window.WindowID(), Picture().Width(), Picture().Height(), 0)) {
            mImpl->displayChanged = true;
            window.DisplaySwitched();
            return true;
        }
        wavo->ResumeDisplaySize();
        // A display without the game's own size still shows it full
        // screen, scaled.
        mRoot.Log(Tr("画面の解像度を変更できません。拡大して全画面表示にします。"));
    }
    return window.FullScreen(true);
}

void clsGameView::Hook(bool install) {
    SDL_Window* window = Window();
    mHooked = install && window;
    if (!window) return;
    const bool limit =
        mHooked && mScreenMode == kScreenWindow && mMaxWindowSize.x > 0 && mMaxWindowSize.y > 0;
    const SDL_Point wanted = limit ? mMaxWindowSize : SDL_Point{0, 0};
    if (wanted.x == mImpl->maxSizeApplied.x && wanted.y == mImpl->maxSizeApplied.y) return;
    // SDL cannot take a limit back: "no limit" is one no display reaches.
    constexpr int kUnlimited = 1 << 16;
    SDL_SetWindowMaximumSize(window, limit ? wanted.x : kUnlimited, limit ? wanted.y : kUnlimited);
    mImpl->maxSizeApplied = wanted;
}

void clsGameView::MaxWindowSize(int width, int height) {
    mMaxWindowSize = {std::max(width, 0), std::max(height, 0)};
    Hook(mHooked);
}

ScreenSurface& clsGameView::Picture() {
    if (!mSurface) {
        const ProcessValues& process = Process();
        mSurface = std::make_unique<ScreenSurface>(static_cast<int>(process.ScreenSizeX),
                                                   static_cast<int>(process.ScreenSizeY));
        mSurface->OnPresented([] { EventPump::Instance().Wake(); });
    }
    return *mSurface;
}

void clsGameView::PictureBackColor(long color) {
    const auto value = static_cast<std::uint32_t>(color);
    Picture().FillBlank(static_cast<std::uint8_t>(value >> 16),
                        static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value));
    mImpl->Dirty();
}

void clsGameView::WaitForFirstPicture(std::chrono::milliseconds most) {
    if (mSurface && mRoot.Lumo()) mSurface->WaitForFirstPresent(most);
}

bool clsGameView::ShownOnScreen() const {
    return mScreenMode != kScreenNone && Visible() && !mImpl->window->Minimized();
}

std::string clsGameView::WndPos() const {
    const ScreenWindow* window = mImpl->window.get();
    if (mScreenMode == kScreenWindow && window && window->Shown() && !window->Minimized() &&
        (SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_MAXIMIZED) == 0) {
        const SDL_Point point = window->Position();
        return std::to_string(point.x) + "," + std::to_string(point.y);
    }
    return mWndPos;
}

void clsGameView::WndPos(const std::string& value) {
    mWndPos = value;
    ScreenWindow* window = mImpl->window.get();
    if (!window || mScreenMode != kScreenWindow) return;
    const auto items = SplitText(value, ",");
    if (TrimChars(value, " ").empty() || items.size() < 2) {
        window->Centre();
        return;
    }
    window->Position(static_cast<int>(ReadLong(items[0])), static_cast<int>(ReadLong(items[1])));
}

bool clsGameView::Visible() const {
    return mImpl->window && mImpl->window->Shown();
}

void clsGameView::Visible(bool value) {
    if (!mImpl->window) return;
    mImpl->window->Show(value);
    mImpl->Dirty();
}

void clsGameView::SiteName(const std::string& value) {
    mSiteName = value;
    if (mImpl->window) mImpl->window->Title(WindowTitle());
}

void clsGameView::ScenarioError(const std::string& note) {
    // The first error of a page stays: the later ones are mostly its
    // consequences (a script that did not convert, then the jump into it).
    if (!mScenarioError.empty() || note.empty()) return;
    mScenarioError = note;
    if (mImpl->window) mImpl->window->Title(WindowTitle());
}

void clsGameView::ClearScenarioError() {
    if (mScenarioError.empty()) return;
    mScenarioError.clear();
    if (mImpl->window) mImpl->window->Title(WindowTitle());
}

std::string clsGameView::WindowTitle() const {
    std::string title = mSiteName;
    auto append = [&title](const std::string& part) {
        if (part.empty()) return;
        if (!title.empty()) title += " — ";
        title += part;
    };
    if (INIFile* system = mRoot.SystemInfo()) append(system->KeySection("Game").KeyValue("Title"));
    append(mScenarioError);
    return title;
}

void clsGameView::MouseIcon(const std::string& value) {
    mMouseIcon = value;
    if (!mImpl->window) return;
    if (value.empty()) {
        mImpl->window->Cursor("");
        return;
    }
    const std::string file = ReplaceText(value, "\\", "/");
    const NamePlace place("SystemInfo.ini [Game] CustomMouseCursor");
    const std::string path = ResolvePath(Process().AppDir, file).value_or(std::string());
    if (path.empty() || !mImpl->window->Cursor(path)) {
        mRoot.Log(TrFormat("カーソルを読み込めません: %s", {path.empty() ? value : path}));
        mImpl->window->Cursor("");
    }
}

void clsGameView::MuteAll() {
    if (clsWavoDriver* wavo = mRoot.Wavo()) {
        wavo->BGMVolume(0);
        wavo->SEVolume(0);
        wavo->CVVolume(0);
    }
}

void clsGameView::FormActivityChanged() {
    if (!mDeactivateSense) return;
    SDL_Window* window = Window();
    const bool active =
        window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0 && Visible();
    if (active == mFormActivity) return;
    mFormActivity = active;
    Configuration* cfg = mRoot.Cfg();
    if (!cfg) return;
    if (active) {
        cfg->RaiseChangeEvent("BGMVolume,SEVolume,CVVolume");
        return;
    }
    if (cfg->BoolVal("DeactivateMute")) MuteAll();
    if (mScreenMode == kScreenFull && cfg->BoolVal("DeactivateWnd")) ScreenMode(kScreenWindow);
}

// [SECTION] Reader's state -----------------------------------------------------

void clsGameView::AutoClickEnabled(bool value) {
    mAutoClickEnabled = value;
    if (ViewMenuItem* item = MenuItem("message!auto")) item->Checked = value;
}

void clsGameView::TextSpeed(long value) {
    mTextSpeed = (value >= 0 && value <= 4) ? value : 2;
    static const char* const kSpeeds[] = {"fast", "semifast", "normal", "semislow", "slow"};
    for (long k = 0; k < 5; ++k) {
        if (ViewMenuItem* item = MenuItem(std::string("message!") + kSpeeds[k])) {
            item->Checked = k == mTextSpeed;
        }
    }
}

void clsGameView::EventEnabled(bool value) {
    if (!value && mEventEnabled) mImpl->inputOffSince = mImpl->now();
    mEventEnabled = value;
}

// [SECTION] Save data ------------------------------------------------------------

void clsGameView::SaveStatus(INISection& section) const {
    section.KeyValue("SiteName", mSiteName);
    long count = 0;
    for (const auto& rect : mEvRects) {
        if (!rect->IsSaved()) continue;
        char key[24];
        std::snprintf(key, sizeof key, "ER%03ld", count++);
        section.KeyValue(key, rect->SavedForm());
    }
    section.KeyValue("ERCount", std::to_string(count));
}

namespace {

// The number k of a rectangle's key "ER%03ld" (any case), or -1.
long SavedRectNumber(const std::string& key) {
    if (key.size() < 5 || key.size() > 12 || ToLowerAscii(key.substr(0, 2)) != "er") return -1;
    const std::string digits = key.substr(2);
    if (digits.size() > 3 && digits[0] == '0') return -1;
    long number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

void clsGameView::LoadStatus(const INISection& section) {
    SiteName(section.KeyValue("SiteName"));
    const long count = ReadLong(section.KeyValue("ERCount"));
    // The rectangles the section really holds, in their order: a damaged
    // count may be far larger than the section, and a missing one is left
    // out anyway.
    std::set<long> saved;
    for (int i = 0; i < section.Count(); ++i) {
        const long k = SavedRectNumber(section.LineKey(i));
        if (k >= 0 && k < count) saved.insert(k);
    }
    for (const long k : saved) {
        char key[24];
        std::snprintf(key, sizeof key, "ER%03ld", k);
        clsEventRect& rect = mEvRects.Add(0, "");
        if (!rect.ParseSavedForm(section.KeyValue(key))) mEvRects.Remove(rect.Index);
    }
}

// [SECTION] Drawing and pictures ---------------------------------------------------

void clsGameView::DrawPicture() {
    if (!mImpl->window || !mSurface) return;
    mImpl->window->Upload(*mSurface);
    mImpl->window->DrawPicture();
}

void clsGameView::Paint() {
    ScreenWindow* window = mImpl->window.get();
    if (!window || !mSurface || mImpl->painting) return;
    const bool changed = window->Upload(*mSurface);
    if (!changed && mImpl->framesToDraw <= 0 && mImpl->modals.empty()) return;
    // With nothing of the interface over the picture (the bar keeps to its
    // band in the window), only the changed pixels are drawn.
    const bool overPicture = !mImpl->modals.empty() || window->Gui().PopupOpen() ||
                             (mScreenMode == kScreenFull && mImpl->menuShown);
    // Full screen with no interface shown, now or in the last frame, has
    // nothing for ImGui to settle after an input: a whole frame there (a
    // display of 4K pixels scaled) would cost more than the page's own work.
    const bool settle = mImpl->framesToDraw > 0 &&
                        (mScreenMode != kScreenFull || overPicture || mImpl->overlayShown);
    if (!settle && !overPicture && window->RenderChanged()) {
        mImpl->framesToDraw = std::max(mImpl->framesToDraw - 1, 0);
        return;
    }
    if (mImpl->framesToDraw > 0) --mImpl->framesToDraw;
    mImpl->painting = true;
    mImpl->overlayShown = mScreenMode != kScreenFull || overPicture;
    window->Render([this] { DrawOverlay(); });
    mImpl->painting = false;
    if (!mImpl->chosenMenu.empty()) {
        const std::string tag = std::move(mImpl->chosenMenu);
        mImpl->chosenMenu.clear();
        ChooseMenu(tag);
    }
}

void clsGameView::RunModal(const std::function<bool()>& draw, const std::string& shown) {
    if (!mImpl->window) return;
    mImpl->window->Gui().NeedGlyphsOf(shown);
    mImpl->window->Gui().ForgetKeys();
    bool open = true;
    const size_t depth = mImpl->modals.size();
    mImpl->modals.push_back([&open, &draw] { return open = open && draw(); });
    mImpl->Dirty();
    while (open && !Process().ShutdownRequested && mImpl->window) {
        EventPump::Instance().WaitAndProcess(std::chrono::milliseconds(50));
        mImpl->Dirty();
    }
    mImpl->modals.resize(depth);
    mImpl->Dirty();
}

void clsGameView::WaitScreenShown() {
    clsLumoDriver* lumo = mRoot.Lumo();
    if (mSurface && lumo) lumo->WaitOnScreen();
}

bool clsGameView::SaveScreenPicture(const std::string& path) {
    if (!mSurface) return false;
    const int width = mSurface->Width(), height = mSurface->Height();
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> picture(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_BGR24),
        SDL_FreeSurface);
    if (!picture) return false;
    {
        std::lock_guard<std::mutex> lock(mSurface->Mutex());
        for (int y = 0; y < height; ++y) {
            std::memcpy(static_cast<std::uint8_t*>(picture->pixels) + y * picture->pitch,
                        mSurface->Pixels() + static_cast<size_t>(y) * mSurface->Stride(),
                        static_cast<size_t>(width) * 3);
        }
    }
    const std::string temporary = path + ".tmp";
    if (IMG_SavePNG(picture.get(), temporary.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool clsGameView::SaveWindowPicture(const std::string& path) {
    ScreenWindow* window = mImpl->window.get();
    if (!window) return false;
    bool saved = false;
    window->Upload(*mSurface);
    mImpl->painting = true;
    window->Render([this] { DrawOverlay(); },
                   [&] { saved = zelk::SaveWindowPicture(window->Renderer(), path); });
    mImpl->painting = false;
    return saved;
}

SDL_Point clsGameView::ScreenToWindow(int x, int y) const {
    return mImpl->window ? mImpl->window->ScreenToWindow(x, y) : SDL_Point{x, y};
}

SDL_Point clsGameView::WindowToScreen(int x, int y) const {
    return mImpl->window ? mImpl->window->WindowToScreen(x, y) : SDL_Point{x, y};
}

}  // namespace zelk
