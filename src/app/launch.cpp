#include "app/launch.h"

#include <cstdio>
#include <ctime>

#include "app/game_folder.h"
#include "app/vell.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "interpreter/page_log.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "platform/translate.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/frm_ctrl.h"
#include "view/game_view.h"

namespace zelk {

namespace {

clsLaunch* gLaunch = nullptr;

std::string LogFileName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "%y%m%d%H%M%S.txt", &local);
    return name;
}

}  // namespace

clsLaunch* Launch() {
    return gLaunch;
}

clsLaunch::clsLaunch()
    : mLog(std::make_unique<PageLog>()),
      mDebugFile(std::make_unique<INIFile>()),
      mEmptyDebugSec(std::make_unique<INISection>()),
      mTitle("Zelk") {
    gLaunch = this;
}

clsLaunch::~clsLaunch() {
    mVell.reset();
    mView.reset();
    if (gLaunch == this) gLaunch = nullptr;
}

const INISection& clsLaunch::DebugSec() const {
    return IsDebugMode() ? mDebugFile->KeySection("debug") : *mEmptyDebugSec;
}

bool clsLaunch::IsDebugMode() const {
    return Process().IsDebugMode;
}

bool clsLaunch::Init() {
    mTitle = Tr("ゲーム起動中");
    mView = std::make_unique<frmCtrl>([this] { OnSystemTimer(); },
                                      [] {
                                          if (clsVell* vell = Vell()) vell->AutoClick();
                                      });

    const std::string appDir = Process().AppDir;
    const GameFolderSetup setup = SetUpGameFolder(appDir, *mDebugFile);
    Process().IsDebugMode = setup.debugFile;
    if (setup.looseForced) {
        std::fprintf(stderr, "zelk: %s\n",
                     TrFormat("%s has no archives: playing its loose files", {appDir}).c_str());
    }
    if (!setup.debugFile) return true;

    mLog->Path(appDir + "/log/" + LogFileName());
    mLog->SaveMode(0);
    mLog->AutoSave(true);
    return true;
}

void clsLaunch::OpenVell(TextEncoding encoding, const std::string& language) {
    mLog->Encoding(encoding);
    mVell = std::make_unique<clsVell>(encoding, language);
    if (!mVell->Init()) {
        mStartFailed = true;
        CloseVell();
        return;
    }
    if (INIFile* info = mVell->SystemInfo()) mTitle = info->KeySection("Game").KeyValue("Title");
    PlaceAndShowView();
    RestartTitle();
}

void clsLaunch::CloseVell() {
    if (mVell) StoreViewPlacementAndHide();
    SysTimerFunc(2);
    Process().ShutdownRequested = true;
}

void clsLaunch::SysTimerFunc(long value) {
    if (value < 0 || value > 2) return;
    mSysTimerFunc = value;
    if (mView) mView->tmrSystem().Enabled(value != 0);
}

void clsLaunch::OnSystemTimer() {
    if (!mView) return;  // the program has ended since this was deferred
    mView->tmrSystem().Enabled(false);
    // Inside a nested wait (a page being typed, a transition, a question) the
    // root's handlers are still on the call stack: the root is switched or
    // released only once they have returned to the main loop.
    if (EventPump::Instance().Depth() > 1) {
        if (!mSysTimerDeferred) {
            mSysTimerDeferred = true;
            EventPump::Instance().Defer([this] {
                if (gLaunch != this) return;
                mSysTimerDeferred = false;
                OnSystemTimer();
            });
        }
        return;
    }
    switch (mSysTimerFunc) {
        case 1:
            if (mVell) {
                if (IsDebugMode() && ReadBool(DebugSec().KeyValue("TitleSkip"))) {
                    mVell->ChangeMode(2, 6, true);
                } else {
                    mVell->ChangeMode(1, 1);
                }
            }
            break;
        case 2:
            Process().ShutdownRequested = true;
            mVell.reset();
            ExitApp();
            break;
        default:
            break;
    }
    if (gLaunch == this) SysTimerFunc(0);
}

void clsLaunch::ExitApp() {
    if (mExiting) return;
    mExiting = true;
    CloseVell();
    while (mVell)
        EventPump::Instance().WaitAndProcess(std::chrono::milliseconds(100));
    SysTimerFunc(0);
    mView.reset();
    mFinished = true;
}

long clsLaunch::Msg(const std::string& Prompt, long Buttons, const std::string& Title) {
    // Over a shown game window the box is centred on it (the question box
    // knows its owner window); otherwise it stands alone.
    // Losing the focus to the box is no reason to mute or leave full screen.
    // A minimised or hidden window would hide its own box: the reader gets
    // the standard one instead, without restoring the window.
    clsGameView* view = mVell ? mVell->GameView() : nullptr;
    const bool sense = view && view->IsDeactivateSense();
    if (view) view->IsDeactivateSense(false);
    const long answer = QuestionBox::Instance().Ask(Prompt, Buttons, Title.empty() ? mTitle : Title,
                                                    view && view->ShownOnScreen());
    if (view) view->IsDeactivateSense(sense);
    return answer;
}

void clsLaunch::PlaceAndShowView() {
    clsGameView* view = mVell ? mVell->GameView() : nullptr;
    Configuration* cfg = mVell ? mVell->Cfg() : nullptr;
    if (!view || !cfg) return;
    const bool fullAvailable = Process().FullScreenAvailable;
    long start = cfg->LongVal("StartScreenMode");
    // The reader's switch for this start wins: always a window, or always
    // the full screen.
    if (Process().StartScreenMode == 1) start = 1;
    if (Process().StartScreenMode == 0) start = 2;
    switch (start) {
        case 0:
            view->ScreenMode(cfg->BoolVal("FullMode") && fullAvailable ? 0 : 1);
            view->WndPos(cfg->StringVal("Pos"));
            break;
        case 1:
            view->ScreenMode(1);
            view->WndPos(cfg->BoolVal("StartCenter") ? std::string() : cfg->StringVal("Pos"));
            break;
        case 2:
            view->ScreenMode(fullAvailable ? 0 : 1);
            view->WndPos(cfg->StringVal("Pos"));
            break;
        default:
            break;
    }
    // A configuration that named no mode still gets a window to read in.
    if (view->ScreenMode() == 2) view->ScreenMode(1);
    // The picture already holds the game's first colour (see
    // clsVell::InitLumo): the window shows it from the start.
    view->Visible(true);
    view->Paint();
    view->IsDeactivateSense(true);
    view->FormActivityChanged();
}

void clsLaunch::StoreViewPlacementAndHide() {
    clsGameView* view = mVell ? mVell->GameView() : nullptr;
    Configuration* cfg = mVell ? mVell->Cfg() : nullptr;
    // A view never shown (a failed start) or hidden already has no place of
    // the reader's: storing it would wipe the one kept from last time.
    if (!view || !cfg || view->ScreenMode() == kScreenNone) return;
    cfg->BoolVal("FullMode", view->ScreenMode() == 0);
    cfg->StringVal("Pos", view->WndPos());
    view->ScreenMode(2);
}

}  // namespace zelk
