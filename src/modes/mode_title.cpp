#include "modes/mode_title.h"

#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "lumo.h"
#include "modes/mode_buttons.h"
#include "modes/mode_films.h"
#include "modes/save_data.h"
#include "platform/translate.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk {

namespace {

constexpr const char* kMenuTag = "main_menu";

}  // namespace

clsModeTitle::clsModeTitle(PlayerRoot& root) : clsModeBase(root, kModeTitle) {}

clsModeTitle::~clsModeTitle() = default;

clsGameView* clsModeTitle::View() const {
    return Root().GameView();
}

std::string clsModeTitle::Value(const char* section, const char* key) const {
    return mInfo ? mInfo->KeySection(section).KeyValue(key) : std::string();
}

bool clsModeTitle::ModeStart(long eSub, const std::any& /*vParam*/) {
    std::string why;  // a file in the other encoding than the game's: where
    mInfo = LoadSystemIni("title_mode", EncodingOf(Root().SystemInfo()), &why);
    if (!mInfo) {
        Root().Fault(why.empty()
                         ? std::string(Tr("cannot read the title screen's settings (title_mode)"))
                         : why,
                     Tr("モード初期化ファイルがロードできません。"));
        return false;
    }
    mFadeTime = ReadLong(Value("base", "FadeTime"));
    mInitColor = ReadLong(Value("base", "InitColor"));
    Root().IsSkipMode(false);
    if (clsGameView* view = View()) {
        view->EventEnabled(false);
        view->EvRects().Clear();
        view->SelectionClear();
        view->EventEnabled(true);
        view->MenuEnableByText(Value("base", "ActiveMenu"));
    }

    clsWavoDriver* wavo = Root().Wavo();
    Configuration* cfg = Root().Cfg();
    if (wavo) wavo->BGMVolumeRate(100);
    clsGameView* view = View();
    if (wavo && cfg && view && !view->FormActivity() && cfg->BoolVal("DeactivateMute")) {
        wavo->BGMVolume(0);
        wavo->SEVolume(0);
        wavo->CVVolume(0);
    } else if (cfg) {
        cfg->RaiseChangeEvent("BGMVolume,SEVolume,CVVolume");
    }

    switch (eSub) {
        case 1:
            ShowLogo();
            return true;
        case 3:
            ShowMenu();
            ButtonStates();
            return true;
        default:
            Root().Fault(
                TrFormat("the title screen cannot start as mode %s", {std::to_string(eSub)}),
                Tr("不正なモード開始引数です。"));
            return false;
    }
}

bool clsModeTitle::ModeEnd() {
    if (clsGameView* view = View()) {
        view->EvRects().Clear();
        view->SelectionClear();
    }
    return true;
}

void clsModeTitle::ShowLogo() {
    Root().MakeAutoClickTimer(0, 0);
    if (clsGameView* view = View()) {
        view->EvRects().Clear();
        view->SelectionClear();
        view->EventEnabled(true);
        view->SiteName("");
    }
    if (clsWavoDriver* wavo = Root().Wavo()) {
        wavo->StopBGM(false);
        wavo->StopSE();
        wavo->StopSELoop();
        wavo->StopCV();
    }
    if (clsLumoDriver* lumo = Root().Lumo()) {
        lumo->BaseFilmSet(1);
        lumo->LoadLogicalPic(lumo->FIDBack(), 0, static_cast<long>(RgbToColorRef(mInitColor)));
        lumo->RedrawScreen();
        lumo->DrawActivate(0, 0);
        lumo->BGCenter(Value("Logo", "bg"), Process().ScreenSizeX / 2, Process().ScreenSizeY / 2,
                       mFadeTime, true);
    }
    const std::string effect = Value("Logo", "se");
    if (clsWavoDriver* wavo = Root().Wavo(); wavo && !effect.empty()) wavo->PlaySE(effect, false);
    SubStatus(kTitleLogo);
    // 0 disarms: the logo then waits for the reader.
    Root().MakeAutoClickTimer(ReadLong(Value("Logo", "AutoclickTime")), kCmdClick);
}

void clsModeTitle::ShowMenu() {
    Root().MakeAutoClickTimer(0, 0);
    clsGameView* view = View();
    if (view) {
        view->EvRects().Clear();
        view->SelectionClear();
        view->EventEnabled(true);
        view->SiteName("");
    }
    clsLumoDriver* lumo = Root().Lumo();
    if (lumo) {
        lumo->DrawDeactivate(0, 1000);
        lumo->BaseFilmSet(1);
        lumo->BGCenter(Value("menu", "bg"), Process().ScreenSizeX / 2, Process().ScreenSizeY / 2,
                       1000, true);
    }
    if (clsInterpreter* intprt = Root().Intprt()) intprt->ScriptManager().DisposeAllScript();
    if (lumo && view) {
        const std::vector<std::string> keys = SplitText(Value("menu", "Buttons"), ",");
        for (size_t n = 0; n < keys.size(); ++n) {
            const std::string key = TrimChars(keys[n], " \t");
            if (key.empty()) continue;
            const FilmSpecRecord spec = ParseFilmSpec(mInfo->KeySection("menu").KeyValue(key));
            clsEventRect* rect = MakeButtonAt(*lumo, view->EvRects(), 0, kMenuTag, spec.Name,
                                              spec.X, spec.Y, spec.H, true);
            if (rect == nullptr) continue;
            rect->KBOrder = static_cast<long>(n);
            rect->Extension = ToLowerAscii(key);
        }
    }
    const std::string music = Value("menu", "bgm");
    if (clsWavoDriver* wavo = Root().Wavo(); wavo && !music.empty())
        wavo->PlayBGM(music, false, true);
}

void clsModeTitle::ButtonStates() {
    clsLumoDriver* lumo = Root().Lumo();
    clsGameView* view = View();
    if (lumo) lumo->DrawDeactivate(0, 0);
    const long page =
        Root().SystemInfo()
            ? ReadLong(Root().SystemInfo()->KeySection("Game").KeyValue("QSavePageNum"))
            : 0;
    mQuickSlot = clsSaveData::FormatSlotName(page, 0);
    const bool loadable = Root().SD() && Root().SD()->IsLoadable(mQuickSlot);

    long flags = 0;
    if (zelk::SharedData* shared = Root().SharedData()) {
        for (const std::string& name : SplitText(Value("menu", "OmakeEnableFlags"), ",")) {
            const std::string key = TrimChars(name, " \t");
            if (!key.empty()) flags += ReadLong(shared->Var().KeyValue(key));
        }
    }
    const bool extras = flags != 0 || Process().Debug.AllCG;

    if (view) {
        for (const auto& rect : view->EvRects()) {
            if (rect->STag != kMenuTag) continue;
            const auto film = static_cast<int32_t>(rect->FilmID);
            films::Set(film, FP_ALPHA, 255);
            films::Set(film, FP_CELL_Y, 0);
            if (rect->Extension == "quickload" && !loadable) {
                rect->Enabled = false;
                films::Set(film, FP_ALPHA, 150);
            }
            if (rect->Extension == "omake" && !extras) {
                rect->Enabled = false;
                films::Set(film, FP_ALPHA, 128);
            }
        }
        films::RunQueue();
    }
    SubStatus(kTitleMenu);
    if (lumo) lumo->DrawActivate(1, mFadeTime);
}

void clsModeTitle::PlayEffect(const char* key) {
    const std::string effect = Value("base", key);
    if (clsWavoDriver* wavo = Root().Wavo(); wavo && !effect.empty()) wavo->PlaySE(effect, false);
}

void clsModeTitle::CellsOff() {
    clsGameView* view = View();
    if (view == nullptr) return;
    for (const auto& rect : view->EvRects()) {
        if (rect->Enabled && rect->FilmID > 0)
            films::Set(static_cast<int32_t>(rect->FilmID), FP_CELL_Y, 0);
    }
    films::RunQueue();
}

void clsModeTitle::OnScreenCmd(long eEvent, clsEventRect* er) {
    if (er == nullptr) {
        if ((eEvent == kCmdClick || eEvent == kCmdCancel) && SubStatus() == kTitleLogo) {
            if (eEvent == kCmdClick) {
                if (clsWavoDriver* wavo = Root().Wavo()) wavo->StopSE();
            }
            ShowMenu();
            ButtonStates();
        } else if (eEvent == kCmdSelect) {
            CellsOff();
        }
        return;
    }
    if (er->STag != kMenuTag) return;
    CellsOff();
    const auto film = static_cast<int32_t>(er->FilmID);
    if (eEvent == kCmdSelect) {
        PlayEffect("PointSE");
        films::Set(film, FP_CELL_Y, 1);
        films::RunQueue();
    } else if (eEvent == kCmdClick) {
        PlayEffect("ClickSE");
        films::Set(film, FP_CELL_Y, 2);
        // The pressed button is on the screen before the command runs.
        films::WaitDrawn();
        RunCommand(er->Extension);
    }
}

// Each command switches the mode (all but a quick load that is refused): the
// root keeps this object alive until control is back in the event loop, but
// nothing of it is read after the switch except what was copied beforehand.
void clsModeTitle::RunCommand(const std::string& command) {
    PlayerRoot& root = Root();
    if (command == "start") {
        root.ChangeMode(kModeGame, 6, true);
    } else if (command == "quickload") {
        const std::string slot = mQuickSlot;
        const long half = mFadeTime / 2;
        // A slot that cannot be loaded leaves the reader at the title.
        clsSaveData* sd = root.SD();
        if (!sd || !sd->Load(slot)) {
            root.Fault(TrFormat("cannot load the quick save %s: %s",
                                {slot, sd ? sd->LoadError() : std::string(Tr("no save data"))}),
                       Tr("クイックロードに失敗しました。"));
            CellsOff();
            return;
        }
        root.ChangeMode(kModeGame, 7);
        if (clsLumoDriver* lumo = root.Lumo()) lumo->DrawDeactivate(1, half);
        root.SDRestoreData(true);
        if (clsLumoDriver* lumo = root.Lumo()) lumo->DrawActivate(1, half);
    } else if (command == "load") {
        root.ChangeMode(kModeSaveLoad, 12);
    } else if (command == "omake") {
        root.ChangeMode(kModeOmake, 0);
    } else if (command == "exit") {
        if (clsGameView* view = root.GameView()) view->MenuCmd("file", "exit");
    }
}

}  // namespace zelk
