#include "app/vell.h"

#include <SDL.h>

#include "app/launch.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "interpreter/page_log.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/frm_ctrl.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] The one root
//   [SECTION] Construction and release
//   [SECTION] Init
//   [SECTION] Modes, skip and the auto click
//   [SECTION] Events of owned objects
// ============================================================================

// [SECTION] The one root -----------------------------------------------------

namespace {

clsVell* gVell = nullptr;

void LogLine(const std::string& text) {
    if (clsLaunch* launch = Launch()) launch->Log().PutMsg(text, "", true);
}

long Message(const std::string& prompt, long buttons = kMsgOK) {
    clsLaunch* launch = Launch();
    return launch ? launch->Msg(prompt, buttons) : kResultOK;
}

const char* const kRule = "***************************************";

}  // namespace

clsVell* Vell() {
    return gVell;
}

// [SECTION] Construction and release ----------------------------------------

clsVell::clsVell() : mSystemInfo(std::make_unique<INIFile>()) {
    gVell = this;
    ChangeMode(0, 0);
}

clsVell::~clsVell() {
    if (clsLaunch* launch = Launch(); launch && launch->View()) {
        launch->View()->tmrAutoClick().Enabled(false);
    }
    ChangeMode(0, 0);
    LogLine(kRule);
    LogLine("Vell Terminate Process ...");
    LogLine("SaveData...");
    LogLine("Quor...");
    LogLine("Lumo...");
    LogLine("Wavo...");
    LogLine("Interpreter...");
    LogLine("GameView...");
    LogLine("Config...");
    mSystemInfo.reset();
    mGamemodeInfo.reset();
    mOmakemodeInfo.reset();
    LogLine("Vell-Terminate");
    LogLine(kRule);
    if (gVell == this) gVell = nullptr;
}

// [SECTION] Init --------------------------------------------------------------

bool clsVell::Init() {
    if (!LoadSystemFiles()) return false;
    ReadScreenGeometry();
    if (!ReadThumbSize()) return false;
    return true;
}

bool clsVell::LoadSystemFiles() {
    mSystemInfo = LoadSystemIni("SystemInfo");
    if (!mSystemInfo) {
        Message("システム情報をロードできません。");
        return false;
    }
    mGamemodeInfo = LoadSystemIni("game_mode");
    if (!mGamemodeInfo) {
        Message("ゲームモード設定をロードできません。");
        return false;
    }
    mOmakemodeInfo = LoadSystemIni("omake_mode");
    if (!mOmakemodeInfo) {
        Message("おまけモード設定をロードできません。");
        return false;
    }
    return true;
}

void clsVell::ReadScreenGeometry() {
    ProcessValues& process = Process();
    INISection& game = mSystemInfo->KeySection("Game");
    process.ScreenSizeX = ReadLong(game.KeyValue("ScreenSizeX"));
    process.ScreenSizeY = ReadLong(game.KeyValue("ScreenSizeY"));
    if (process.ScreenSizeX <= 0) process.ScreenSizeX = 640;
    if (process.ScreenSizeY <= 0) process.ScreenSizeY = 480;
    process.ScriptScaleX = ReadLong(game.KeyValue("ScriptScaleX"));
    process.ScriptScaleY = ReadLong(game.KeyValue("ScriptScaleY"));
    if (process.ScriptScaleX <= 0) process.ScriptScaleX = process.ScreenSizeX;
    if (process.ScriptScaleY <= 0) process.ScriptScaleY = process.ScreenSizeY;

    // Full screen is offered when the display can show the game's size.
    process.FullScreenAvailable = false;
    SDL_DisplayMode desktop{};
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        process.FullScreenAvailable =
            desktop.w >= process.ScreenSizeX && desktop.h >= process.ScreenSizeY;
    }
    if (!process.FullScreenAvailable) LogLine("全画面表示用の初期化ができませんでした。");
}

bool clsVell::ReadThumbSize() {
    std::unique_ptr<INIFile> saveload = LoadSystemIni("saveload_mode");
    if (!saveload) {
        Message("セーブ・ロードモード初期化ファイルがロードできません。");
        return false;
    }
    const auto items = SplitText(saveload->KeySection("SlotBase").KeyValue("Thumb"), ",");
    if (items.size() >= 4) mThumbWidth = ReadLong(items[3]);
    if (items.size() >= 5) mThumbHeight = ReadLong(items[4]);
    return true;
}

// [SECTION] Modes, skip and the auto click -----------------------------------

void clsVell::ChangeMode(long eMode, long /*eSub*/, std::any /*vParam*/) {
    // The modes join with their own work; until then the root only keeps
    // the identifier.
    mVellMode = eMode;
}

void clsVell::IsSkipMode(bool value) {
    mIsSkipMode = value;
}

void clsVell::MakeAutoClickTimer(long lTime, long eEvent, const clsEventRect* er) {
    clsLaunch* launch = Launch();
    if (!launch || !launch->View()) return;
    PumpTimer& timer = launch->View()->tmrAutoClick();
    if (lTime != 0) {
        mAutoClickEvent = eEvent;
        mAutoClickRect = er;
        timer.Enabled(false);
        timer.Interval(lTime);
        timer.Enabled(true);
    } else {
        mAutoClickEvent = 0;
        mAutoClickRect = nullptr;
        timer.Interval(0);
        timer.Enabled(false);
    }
}

long clsVell::CurrentAutoClickTimer() const {
    clsLaunch* launch = Launch();
    if (!launch || !launch->View()) return 0;
    const PumpTimer& timer = launch->View()->tmrAutoClick();
    return timer.Enabled() ? timer.Interval() : 0;
}

void clsVell::AutoClick() {
    if (clsLaunch* launch = Launch(); launch && launch->View()) {
        launch->View()->tmrAutoClick().Enabled(false);
    }
    // The game view raises the stored screen command once it has joined.
}

// [SECTION] Events of owned objects ------------------------------------------

void clsVell::OnChangeSetting(const std::string& /*sKey*/) {}

void clsVell::OnRuntimeError(long /*eErrCode*/, const std::string& sMsg, long lAddr) {
    if (!Process().IsDebugMode || lAddr < 0) return;
    Message(std::to_string(lAddr) + "\r\n" + sMsg);
}

}  // namespace zelk
