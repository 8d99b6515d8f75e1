// The player root around a mode, without a window: the real graphics driver
// on the film engine, the real sound driver (silent when no device), the
// interpreter on a recording host, save data in a fresh folder, and the game
// view without a window (screen mode 2). Mode switches
// follow the root's four steps; a mode left behind is released only when
// the test says control is back in the event loop.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/process.h"
#include "common/temp_folder.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/fake_interpreter_host.h"
#include "interpreter/interpreter.h"
#include "lumo.h"
#include "modes/mode.h"
#include "modes/mode_factory.h"
#include "modes/save_data.h"
#include "platform/screen_surface.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk::testing {

inline std::string DemoGameDir() {
    return std::string(ZELK_SOURCE_DIR) + "/games/demo";
}

struct ArmedClick {
    long time = 0;
    long event = 0;
    long rect = -1;
};

class FakeRoot : public PlayerRoot {
public:
    FakeRoot() : mView(*this), mIntprt(mHost) {
        mCfg = std::make_unique<Configuration>(Reporter{});
        mCfg->ChangeSetting = [this](const std::string& keys) { changeEvents.push_back(keys); };
        std::string text;
        if (ReadTextFile(DemoGameDir() + "/game_mode.ini", text)) mGameMode.Text(text);
        mSystem.Text(
            "[Game]\r\nEntryPoint=main.start\r\nQSavePageNum=5\r\nQSaveSlotCount=6\r\n"
            "LogBlockPrefix=F010G010H014\r\n[var]\r\nhp=3\r\n");
        LumoDriverHooks hooks;
        hooks.EvRects = &mView.EvRects();
        hooks.GamemodeInfo = &mGameMode;
        hooks.ImageDir = DemoGameDir() + "/image";
        hooks.CGFileMode = true;
        hooks.ConfigBool = [](const std::string&) { return false; };
        mLumo = std::make_unique<clsLumoDriver>(std::move(hooks));
        mLumo->Init();
        mScreen.OnPresented([this] {
            {
                std::lock_guard lock(mPresentMutex);
                ++mPresents;
            }
            mPresented.notify_all();
            std::lock_guard watch(mWatchMutex);
            if (mWatcher) mWatcher();
        });
        mLumo->ScreenDC(&mScreen);
        mWavo = std::make_unique<clsWavoDriver>(WavoDriverParts{{}, &mSystem, nullptr, {}, {}});
        mWavo->Init();
        mHost.config["TextAutoClick"] = false;
        mIntprt.Init();
    }
    ~FakeRoot() override {
        ChangeMode(0, 0);
        ReleaseOldModes();
    }

    // [SECTION] PlayerRoot
    Configuration* Cfg() const override { return mCfg.get(); }
    clsGameView* GameView() const override { return &mView; }
    clsInterpreter* Intprt() const override { return &mIntprt; }
    clsLumoDriver* Lumo() const override { return mLumo.get(); }
    clsWavoDriver* Wavo() const override { return mWavo.get(); }
    clsSaveData* SD() const override { return &mSD; }
    zelk::SharedData* SharedData() const override { return &mShared; }
    INIFile* SystemInfo() const override { return &mSystem; }
    INIFile* GamemodeInfo() const override { return &mGameMode; }
    INIFile* OmakemodeInfo() const override { return nullptr; }

    long VellMode() const override { return mVellMode; }
    void ChangeMode(long eMode, long eSub, std::any vParam = {}) override {
        modeChanges.push_back({eMode, eSub});
        if (mMode) {
            mMode->ModeEnd();
            mOldModes.push_back(std::move(mMode));
        }
        if (eMode == 0) {
            mVellMode = 0;
            return;
        }
        mMode = MakeMode(eMode, *this);
        mVellMode = eMode;
        mMode->ModeStart(eSub, vParam);
    }
    void ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) override {
        if (mMode) mMode->ScreenCmd(eVellMode, eEvent, er);
    }
    void ModeScreenModeChanged() override {}
    void ModeLogStart() override {
        if (GameModeMembers* game = mMode ? mMode->GameMembers() : nullptr) game->LogModeStart();
    }

    bool IsSkipMode() const override { return mSkip; }
    void IsSkipMode(bool value) override { mSkip = value; }
    void MakeAutoClickTimer(long lTime, long eEvent, long erIndex = -1) override {
        armed = lTime == 0 ? ArmedClick{} : ArmedClick{lTime, eEvent, erIndex};
        arms.push_back(armed);
    }
    long CurrentAutoClickTimer() const override { return armed.time; }
    void SDMakeData() override {}
    void SDRestoreData(bool) override { ++restores; }
    void QuickSave(bool bMsg) override { quickSaves.push_back(bMsg); }
    void QuickLoad(bool bMsg) override { quickLoads.push_back(bMsg); }
    bool PlayMovie(const std::string&, long) override { return false; }
    long ThumbWidth() const override { return 0; }
    long ThumbHeight() const override { return 0; }

    long Msg(const std::string& prompt, long = 0) override {
        messages.push_back(prompt);
        return 0;
    }
    void Log(const std::string&) override {}
    void RestartTitle() override { ++titleRestarts; }
    void CloseVell() override { ++closes; }

    // [SECTION] For the tests
    clsModeBase* Mode() const { return mMode.get(); }
    void ReleaseOldModes() { mOldModes.clear(); }
    // Fires the armed auto click as the view would: a left click (or the
    // stored event) on the stored rectangle, raised for the current mode.
    void FireAutoClick() {
        const ArmedClick click = armed;
        armed = {};
        ASSERT_NE(click.time, 0) << "no auto click is armed";
        clsEventRect* rect = click.rect >= 0 ? mView.EvRects().Item(click.rect) : nullptr;
        ModeScreenCmd(mVellMode, click.event, rect);
    }
    void Click(long eEvent, clsEventRect* er = nullptr) { ModeScreenCmd(mVellMode, eEvent, er); }
    clsEventRect* RectByTag(const std::string& tag, long lTag = -1) const {
        for (const auto& rect : mView.EvRects())
            if (rect->STag == tag && (lTag < 0 || rect->lTag == lTag)) return rect.get();
        return nullptr;
    }
    clsEventRect* RectByExtension(const std::string& tag, const std::string& extension) const {
        for (const auto& rect : mView.EvRects())
            if (rect->STag == tag && rect->Extension == extension) return rect.get();
        return nullptr;
    }
    static int32_t FilmProp(long film, int32_t property) {
        int32_t words[2] = {0, 0};
        GetFilmProp(static_cast<int32_t>(film), property, words);
        return words[0];
    }

    // The screen as last presented, once the engine has shown every change.
    std::vector<std::uint8_t> Screen() {
        if (mLumo->DrawActivity()) {
            mLumo->WaitOnScreen();
        } else {
            // A frozen scene presents nothing; the bounded wait only shows it.
            std::unique_lock lock(mPresentMutex);
            const unsigned long seen = mPresents;
            ExeQueue();
            WaitBlt();
            mPresented.wait_for(lock, std::chrono::milliseconds(300),
                                [&] { return mPresents > seen; });
        }
        std::lock_guard lock(mScreen.Mutex());
        return {mScreen.Pixels(), mScreen.Pixels() + mScreen.Stride() * mScreen.Height()};
    }
    // Runs on the engine's thread after every frame it presents, until
    // replaced (null: none).
    void WatchPresents(std::function<void()> watcher) {
        std::lock_guard watch(mWatchMutex);
        mWatcher = std::move(watcher);
    }
    ScreenSurface& Surface() { return mScreen; }
    // Writes the screen as a PNG picture, for a look by eye.
    bool SaveScreen(const std::string& path) {
        std::vector<std::uint8_t> pixels = Screen();
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), mScreen.Width(), mScreen.Height(), 24,
                                               mScreen.Stride(), SDL_PIXELFORMAT_BGR24);
        if (surface == nullptr) return false;
        const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
        SDL_FreeSurface(surface);
        return saved;
    }

    FakeInterpreterHost& Host() { return mHost; }
    INIFile& System() { return mSystem; }

    std::vector<std::pair<long, long>> modeChanges;
    std::vector<std::string> messages;
    std::vector<std::string> changeEvents;
    std::vector<ArmedClick> arms;
    std::vector<bool> quickSaves;
    std::vector<bool> quickLoads;
    ArmedClick armed;
    int titleRestarts = 0;
    int closes = 0;
    int restores = 0;

private:
    std::unique_ptr<Configuration> mCfg;
    mutable INIFile mSystem;
    mutable INIFile mGameMode;
    mutable clsGameView mView;
    FakeInterpreterHost mHost;
    mutable clsInterpreter mIntprt;
    ScreenSurface mScreen{640, 480};
    std::mutex mPresentMutex;
    std::condition_variable mPresented;
    unsigned long mPresents = 0;
    std::mutex mWatchMutex;
    std::function<void()> mWatcher;
    std::unique_ptr<clsLumoDriver> mLumo;
    std::unique_ptr<clsWavoDriver> mWavo;
    mutable clsSaveData mSD;
    mutable zelk::SharedData mShared;
    std::unique_ptr<clsModeBase> mMode;
    std::vector<std::unique_ptr<clsModeBase>> mOldModes;
    long mVellMode = 0;
    bool mSkip = false;
};

// Process-wide folders for one test: the demo's system files, a fresh save
// folder.
class ModeTest : public ::testing::Test {
protected:
    ModeTest() {
        Process().ResetFolders(mFolder.Path());
        Process().IniDir = DemoGameDir();
        Process().SaveDir = mFolder / "savedata";
        std::filesystem::create_directories(Process().SaveDir);
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
    }
    ~ModeTest() override {
        mRoot.reset();
        Process().ResetFolders("");
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
    }

    FakeRoot& Root() {
        if (!mRoot) mRoot = std::make_unique<FakeRoot>();
        return *mRoot;
    }

    TempFolder mFolder;
    std::unique_ptr<FakeRoot> mRoot;
};

}  // namespace zelk::testing
