// A game view over a recorded root: what the view raises is kept, what it
// asks is answered from fields the test sets.
#pragma once

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/process.h"
#include "drivers/event_rect.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk::testing {

struct RaisedCommand {
    long mode;
    long event;
    long rect;  // its Index, -1 for none
};

class RecordingRoot : public PlayerRoot {
public:
    Configuration* Cfg() const override { return cfg.get(); }
    clsGameView* GameView() const override { return view; }
    clsInterpreter* Intprt() const override { return intprt; }
    clsLumoDriver* Lumo() const override { return lumo; }
    clsWavoDriver* Wavo() const override { return wavo; }
    clsSaveData* SD() const override { return nullptr; }
    zelk::SharedData* SharedData() const override { return nullptr; }
    INIFile* SystemInfo() const override { return systemInfo; }
    INIFile* GamemodeInfo() const override { return nullptr; }
    INIFile* OmakemodeInfo() const override { return nullptr; }
    long VellMode() const override { return mode; }
    void ChangeMode(long eMode, long, std::any) override { mode = eMode; }
    void ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) override {
        commands.push_back({eVellMode, eEvent, er ? er->Index : -1});
    }
    void ModeScreenModeChanged() override { ++screenModeChanges; }
    void ModeLogStart() override { ++logStarts; }
    long IntprtWaitMode() const override { return waitMode; }
    bool IsSkipMode() const override { return skip; }
    void IsSkipMode(bool value) override { skip = value; }
    void MakeAutoClickTimer(long lTime, long, long) override {
        autoClickTime = lTime;
        arms.push_back(lTime);
    }
    long CurrentAutoClickTimer() const override { return autoClickTime; }
    void SDMakeData() override {}
    void SDRestoreData(bool) override {}
    void QuickSave(bool) override { ++quickSaves; }
    void QuickLoad(bool) override { ++quickLoads; }
    bool PlayMovie(const std::string&, long) override { return false; }
    long ThumbWidth() const override { return 0; }
    long ThumbHeight() const override { return 0; }
    long Msg(const std::string& prompt, long) override {
        asked.push_back(prompt);
        return answer;
    }
    void Log(const std::string&) override {}
    void RestartTitle() override { ++restarts; }
    void CloseVell() override { ++closes; }
    void ReloadScenario() override { ++reloads; }
    ReaderAids* Aids() const override { return aids; }

    std::unique_ptr<Configuration> cfg;
    INIFile* systemInfo = nullptr;
    clsGameView* view = nullptr;
    clsInterpreter* intprt = nullptr;
    clsLumoDriver* lumo = nullptr;
    clsWavoDriver* wavo = nullptr;
    ReaderAids* aids = nullptr;
    long mode = 2;
    long waitMode = 1;
    bool skip = false;
    long autoClickTime = 0;
    std::vector<long> arms;  // every auto click armed, by its interval
    int screenModeChanges = 0, logStarts = 0, quickSaves = 0, quickLoads = 0;
    int restarts = 0, closes = 0, reloads = 0;
    long answer = 6;
    std::vector<std::string> asked;
    std::vector<RaisedCommand> commands;
};

// A shown window of 640 x 480 over the recording root, input enabled.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
        Process().ScreenSizeX = 640;
        Process().ScreenSizeY = 480;
        Process().FullScreenAvailable = true;
        view = std::make_unique<clsGameView>(root, [this] { return now; });
        root.view = view.get();
        view->ScreenMode(kScreenWindow);
        view->Visible(true);
        view->EventEnabled(true);
    }
    void TearDown() override {
        view.reset();
        Process().Debug.SubClassMode = true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    // A configuration whose defaults are the given "[Config]" lines, its
    // user file in a fresh folder.
    void MakeConfig(const std::string& lines) {
        const std::string folder = ::testing::TempDir() + "zelk-view-config";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        Process().SaveDir = folder;
        INIFile system;
        system.Text("[Config]\r\n" + lines);
        root.cfg = std::make_unique<Configuration>();
        ASSERT_TRUE(root.cfg->Init(system));
    }

    clsEventRect& AddRect(long x1, long y1, long x2, long y2, long type, long order = -1) {
        clsEventRect& rect = view->EvRects().Add(0, "test");
        rect.x1 = x1;
        rect.y1 = y1;
        rect.x2 = x2;
        rect.y2 = y2;
        rect.RectType = type;
        rect.KBOrder = order;
        return rect;
    }

    SDL_Event Button(int x, int y, Uint8 button = SDL_BUTTON_LEFT) const {
        const SDL_Point at = view->ScreenToWindow(x, y);
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = button;
        event.button.state = SDL_PRESSED;
        event.button.clicks = 1;
        event.button.x = at.x;
        event.button.y = at.y;
        return event;
    }
    SDL_Event Motion(int x, int y) const {
        const SDL_Point at = view->ScreenToWindow(x, y);
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = at.x;
        event.motion.y = at.y;
        return event;
    }
    static SDL_Event Key(SDL_Keycode key, bool down = true, bool repeat = false, Uint16 mod = 0) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        event.key.keysym.mod = mod;
        return event;
    }
    static SDL_Event WindowEvent(SDL_WindowEventID id) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = static_cast<Uint8>(id);
        return event;
    }
    static SDL_Event Wheel(int notches) {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = notches;
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        return event;
    }

    RecordingRoot root;
    // The view's clock: it moves only when a test moves it.
    clsGameView::Clock::time_point now{std::chrono::hours(1)};
    std::unique_ptr<clsGameView> view;
};

}  // namespace zelk::testing
