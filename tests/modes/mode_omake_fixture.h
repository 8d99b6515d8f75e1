// The extras screens on the real film and sound engines, the demo's
// settings and a shared data file in a scratch folder, under the recording
// root of the save/load tests taught the few things the extras need.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "common/paths.h"
#include "drivers/wavo_driver.h"
#include "mode_saveload_fixture.h"
#include "modes/mode_omake.h"
#include "scenario/shared_data.h"

namespace zelk::testing {

class OmakeRoot : public RecordingRoot {
public:
    clsWavoDriver* Wavo() const override { return wavo.get(); }
    zelk::SharedData* SharedData() const override { return shared.get(); }
    INIFile* OmakemodeInfo() const override { return omake.get(); }
    bool PlayMovie(const std::string& file, long) override {
        movies.push_back(file);
        moviePlaces.push_back(NamePlace::Current());
        return false;
    }
    long Msg(const std::string& prompt, long buttons) override {
        return RecordingRoot::Msg(prompt, buttons);
    }
    void MakeAutoClickTimer(long lTime, long eEvent, long erIndex) override {
        RecordingRoot::MakeAutoClickTimer(lTime, eEvent, erIndex);
        autoClickRects.push_back(erIndex);
    }
    void ChangeMode(long eMode, long eSub, std::any vParam = {}) override {
        if (const auto* text = std::any_cast<std::string>(&vParam))
            params.push_back(*text);
        else
            params.emplace_back();
        RecordingRoot::ChangeMode(eMode, eSub, vParam);
        if (eMode == kModeOmake) mode->ModeStart(eSub, vParam);
    }
    clsModeOmake* Omake() const { return dynamic_cast<clsModeOmake*>(mode.get()); }

    std::unique_ptr<clsWavoDriver> wavo;
    std::unique_ptr<zelk::SharedData> shared;
    std::unique_ptr<INIFile> omake;
    std::vector<std::string> movies;
    std::vector<std::string> moviePlaces;  // where a refused name is said to come from
    std::vector<long> autoClickRects;
    std::vector<std::string> params;
};

class OmakeModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder / "savedata";
        Process().WorkspaceDir = DemoDir();
        Process().ScreenSizeX = 640;
        Process().ScreenSizeY = 480;
        Process().Debug.INIEncript = false;
        Process().Debug.SoundFileMode = true;
        std::filesystem::create_directories(Process().SaveDir);

        root.systemInfo = LoadText(DemoDir() + "/SystemInfo.ini");
        root.omake = LoadText(DemoDir() + "/omake_mode.ini");
        root.cfg = std::make_unique<Configuration>();
        ASSERT_TRUE(root.cfg->Init(*root.systemInfo));
        root.view = std::make_unique<clsGameView>(root);
        root.shared = std::make_unique<zelk::SharedData>();
        ASSERT_TRUE(root.shared->Init(*root.systemInfo, root.omake.get()));

        LumoDriverHooks hooks;
        hooks.EvRects = &root.view->EvRects();
        hooks.ImageDir = DemoDir() + "/image";
        hooks.CGFileMode = true;
        hooks.ScreenWidth = 640;
        hooks.ScreenHeight = 480;
        root.lumo = std::make_unique<clsLumoDriver>(std::move(hooks));
        ASSERT_TRUE(root.lumo->Init());
        root.lumo->ScreenDC(&screen);
        root.wavo = std::make_unique<clsWavoDriver>();
        root.wavo->Init();
    }

    void TearDown() override {
        root.mode.reset();
        root.wavo.reset();
        root.lumo.reset();
        root.shared.reset();
        root.cfg.reset();
        Process().ResetFolders("");
        Process().Debug = DebugSwitches{};
    }

    static std::unique_ptr<INIFile> LoadText(const std::string& path) {
        auto ini = std::make_unique<INIFile>();
        std::string text;
        EXPECT_TRUE(ReadTextFile(path, text)) << path;
        ini->Text(text);
        return ini;
    }

    // [SECTION] Driving the screen
    clsModeOmake& Open() {
        root.ChangeMode(kModeOmake, 0, std::string());
        EXPECT_NE(root.Omake(), nullptr);
        return *root.Omake();
    }
    clsModeOmake& Mode() { return *root.Omake(); }
    void Command(long eEvent, long rectIndex) {
        root.ModeScreenCmd(root.vellMode, eEvent, rectIndex < 0 ? nullptr : Rect(rectIndex));
    }
    void Click(long rectIndex) { Command(kCmdClick, rectIndex); }
    void Background(long eEvent) { root.ModeScreenCmd(root.vellMode, eEvent, nullptr); }
    void Observer() { Click(Mode().ObserverRect()); }
    clsEventRect* Rect(long index) const { return root.view->EvRects().Item(index); }
    clsEventRect& Panel(long k) { return *Rect(Mode().PanelRect(k)); }
    void SeeCG(const std::string& name) { root.shared->CGHistory().KeyValue(name, "1"); }

    // [SECTION] Reading the engine
    static std::int32_t FilmWord(long film, std::int32_t property) {
        ExeQueue();
        std::int32_t words[2] = {0, 0};
        GetFilmProp(static_cast<std::int32_t>(film), property, words);
        return words[0];
    }
    static std::int32_t CellOf(const clsEventRect& rect) {
        return FilmWord(rect.FilmID, FP_CELL_Y);
    }
    static std::int32_t AlphaOf(const clsEventRect& rect) {
        return FilmWord(rect.FilmID, FP_ALPHA);
    }

    static bool WaitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    TempFolder folder;
    OmakeRoot root;
    ScreenSurface screen{640, 480};
};

}  // namespace zelk::testing
