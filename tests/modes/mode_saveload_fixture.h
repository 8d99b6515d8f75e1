// The save/load screen on the real film engine and save data, under a
// player root that records what the mode asks of it: mode switches, status
// restores, questions and their scripted answers.
#pragma once

#include <gtest/gtest.h>

#include <any>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/file_io.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode_factory.h"
#include "modes/mode_saveload.h"
#include "modes/save_data.h"
#include "platform/question_box.h"
#include "platform/screen_surface.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk::testing {

inline std::string DemoDir() {
    return std::string(ZELK_SOURCE_DIR) + "/games/demo";
}

class RecordingRoot : public PlayerRoot {
public:
    Configuration* Cfg() const override { return cfg.get(); }
    clsGameView* GameView() const override { return view.get(); }
    clsInterpreter* Intprt() const override { return nullptr; }
    clsLumoDriver* Lumo() const override { return lumo.get(); }
    clsWavoDriver* Wavo() const override { return nullptr; }
    clsSaveData* SD() const override { return sd.get(); }
    zelk::SharedData* SharedData() const override { return nullptr; }
    INIFile* SystemInfo() const override { return systemInfo.get(); }
    INIFile* GamemodeInfo() const override { return nullptr; }
    INIFile* OmakemodeInfo() const override { return nullptr; }

    long VellMode() const override { return vellMode; }
    // As the real root does: the old mode ends and is destroyed before the
    // new one starts, even inside the old one's own handler.
    void ChangeMode(long eMode, long eSub, std::any vParam = {}) override {
        modeChanges.emplace_back(eMode, eSub);
        if (mode) {
            mode->ModeEnd();
            mode.reset();
        }
        vellMode = eMode;
        if (eMode == 0) return;
        mode = MakeMode(eMode, *this);
        // Only the screen under test is started; the other modes are
        // recorded.
        if (eMode == kModeSaveLoad) mode->ModeStart(eSub, vParam);
    }
    void ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) override {
        if (mode) mode->ScreenCmd(eVellMode, eEvent, er);
    }
    void ModeScreenModeChanged() override {}
    void ModeLogStart() override {}

    bool IsSkipMode() const override { return false; }
    void IsSkipMode(bool) override {}
    void MakeAutoClickTimer(long lTime, long, long) override { autoClicks.push_back(lTime); }
    long CurrentAutoClickTimer() const override { return 0; }
    void SDMakeData() override {}
    void SDRestoreData(bool bSndRestore) override { restores.push_back(bSndRestore); }
    void QuickSave(bool) override {}
    void QuickLoad(bool) override {}
    bool PlayMovie(const std::string&, long) override { return false; }
    long ThumbWidth() const override { return 128; }
    long ThumbHeight() const override { return 96; }

    long Msg(const std::string& prompt, long buttons) override {
        asked.push_back(prompt);
        if (buttons != kButtonsYesNo) return kAnswerOK;
        if (answers.empty()) return kAnswerYes;
        const long answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Log(const std::string&) override {}
    void RestartTitle() override {}
    void CloseVell() override {}

    clsModeSaveLoad* SaveLoad() const { return dynamic_cast<clsModeSaveLoad*>(mode.get()); }

    std::unique_ptr<Configuration> cfg;
    std::unique_ptr<clsGameView> view;
    std::unique_ptr<clsLumoDriver> lumo;
    std::unique_ptr<clsSaveData> sd;
    std::unique_ptr<INIFile> systemInfo;
    std::unique_ptr<clsModeBase> mode;
    long vellMode = 0;

    std::vector<std::pair<long, long>> modeChanges;
    std::vector<long> autoClicks;
    std::vector<bool> restores;
    std::vector<std::string> asked;
    std::deque<long> answers;
};

class SaveLoadModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder / "savedata";
        Process().IniDir = folder / "ini";
        Process().Debug.INIEncript = false;
        std::filesystem::create_directories(Process().SaveDir);
        std::filesystem::create_directories(Process().IniDir);
        std::filesystem::copy_file(DemoDir() + "/saveload_mode.ini",
                                   Process().IniDir + "/saveload_mode.ini");

        root.systemInfo = LoadSystemIniFrom(DemoDir() + "/SystemInfo.ini");
        root.cfg = std::make_unique<Configuration>();
        ASSERT_TRUE(root.cfg->Init(*root.systemInfo));
        root.view = std::make_unique<clsGameView>(root);
        root.sd = std::make_unique<clsSaveData>();

        screen.OnPresented([this] {
            {
                std::lock_guard lock(mutex);
                ++presents;
            }
            cv.notify_all();
        });
        LumoDriverHooks hooks;
        hooks.EvRects = &root.view->EvRects();
        hooks.ImageDir = DemoDir() + "/image";
        hooks.CGFileMode = true;
        root.lumo = std::make_unique<clsLumoDriver>(std::move(hooks));
        ASSERT_TRUE(root.lumo->Init());
        root.lumo->ScreenDC(&screen);
    }

    void TearDown() override {
        root.mode.reset();
        root.lumo.reset();
        root.cfg.reset();
        Process().ResetFolders("");
        Process().Debug = DebugSwitches{};
    }

    static std::unique_ptr<INIFile> LoadSystemIniFrom(const std::string& path) {
        auto ini = std::make_unique<INIFile>();
        std::string text;
        EXPECT_TRUE(ReadTextFile(path, text));
        ini->Text(text);
        return ini;
    }

    // [SECTION] Driving the screen
    clsModeSaveLoad& Open(long eSub) {
        root.ChangeMode(kModeSaveLoad, eSub);
        EXPECT_NE(root.SaveLoad(), nullptr);
        return *root.SaveLoad();
    }
    void Command(long eEvent, clsEventRect* er) { root.ModeScreenCmd(root.vellMode, eEvent, er); }
    clsEventRect* RectOf(long index) const { return root.view->EvRects().Item(index); }
    clsEventRect& SaveButton(long slot) { return *RectOf(Screen().Slots()[slot].save); }
    clsEventRect& LoadButton(long slot) { return *RectOf(Screen().Slots()[slot].load); }
    clsEventRect& BaseOf(long slot) { return *RectOf(Screen().Slots()[slot].base); }
    clsEventRect& PageButton(long i) { return *RectOf(Screen().PageButtons()[i]); }
    clsModeSaveLoad& Screen() { return *root.SaveLoad(); }

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
    static std::int32_t ThumbAlpha(const clsModeSaveLoad::SaveLoadSlot& slot) {
        return FilmWord(slot.thumb, FP_ALPHA);
    }
    // Blue, green, red of a film's own picture.
    static std::array<int, 3> FilmPixel(std::int32_t film, int x, int y) {
        ExeQueue();
        LumoSurface* surface = nullptr;
        if (GetFilmProp(film, FP_IMAGE_DC, &surface) != 0 || !surface) return {-1, -1, -1};
        const std::uint8_t* p = surface->pixels + y * surface->stride + x * 3;
        return {p[0], p[1], p[2]};
    }
    // Waits until a frame composed after this call has been presented.
    void Settle() {
        if (root.lumo && root.lumo->DrawActivity()) {
            root.lumo->WaitOnScreen();
            return;
        }
        ExeQueue();
        WaitBlt();
        std::unique_lock lock(mutex);
        const unsigned long seen = presents;
        cv.wait_for(lock, std::chrono::milliseconds(300), [&] { return presents > seen; });
    }
    std::array<int, 3> ScreenPixel(int x, int y) {
        std::lock_guard lock(screen.Mutex());
        const std::uint8_t* p = screen.Pixels() + y * screen.Stride() + x * 3;
        return {p[0], p[1], p[2]};
    }

    // [SECTION] Slot files
    // A save in the slot written as the game writes one.
    void WriteSlot(const std::string& name, const std::string& date, const std::string& site,
                   int pictureBlue = -1) {
        clsSaveData data;
        data.VellStatus().KeyValue("DateString", date);
        data.VellStatus().KeyValue("TimeString", "１２：３４");
        data.GameViewStatus().KeyValue("SiteName", site);
        data.Var().KeyValue("slot", name);
        if (pictureBlue >= 0) data.SavePreview(Picture(128, 96, pictureBlue));
        ASSERT_TRUE(data.Save(name));
    }
    static SavePreviewImage Picture(int width, int height, int blue) {
        SavePreviewImage image{width, height, (width * 3 + 3) & ~3, {}};
        image.pixels.assign(static_cast<std::size_t>(image.stride * height), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = &image.pixels[static_cast<std::size_t>(y * image.stride + x * 3)];
                p[0] = static_cast<std::uint8_t>(blue);
                p[1] = 40;
                p[2] = 200;
            }
        return image;
    }
    std::string SlotPath(const std::string& name, const char* ext) const {
        return Process().SaveDir + "/" + name + ext;
    }

    TempFolder folder;
    RecordingRoot root;
    ScreenSurface screen{640, 480};
    std::mutex mutex;
    std::condition_variable cv;
    unsigned long presents = 0;
};

}  // namespace zelk::testing
