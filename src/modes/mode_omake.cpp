#include "modes/mode_omake.h"

#include "common/numbers.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "lumo.h"
#include "platform/translate.h"
#include "scenario/shared_data.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Start and end
//   [SECTION] Screen commands
//   [SECTION] Replay
//   [SECTION] Helpers
// ============================================================================

// [SECTION] Start and end ----------------------------------------------------

clsModeOmake::clsModeOmake(PlayerRoot& root) : clsModeBase(root, kModeOmake) {
    auto generator = std::make_shared<std::mt19937>(std::random_device{}());
    mRandom = [generator](long count) { return DrawEntry(*generator, count); };
}

clsModeOmake::~clsModeOmake() = default;

bool clsModeOmake::ModeStart(long /*eSub*/, const std::any& /*vParam*/) {
    PlayerRoot& root = Root();
    SubStatus(16);
    if (clsWavoDriver* wavo = Wavo()) wavo->BGMVolumeRate(100);
    if (clsGameView* view = root.GameView()) {
        view->EventEnabled(false);
        view->EvRects().Clear();
        view->EventEnabled(true);
        view->MenuEnableByText("");
    }

    mSettings = root.OmakemodeInfo();
    if (!mSettings) {
        mOwnSettings = LoadSystemIni("omake_mode", EncodingOf(Root().SystemInfo()));
        mSettings = mOwnSettings.get();
    }
    if (!mSettings || !Lumo() || !Rects()) {
        mSettings = nullptr;
        root.Fault(Tr("cannot read the extras' settings (omake_mode)"),
                   Tr("おまけモード初期化ファイルがロードできません。"));
        return false;
    }
    mPointSE = Value("base", "PointSE");
    mClickSE = Value("base", "ClickSE");
    mFadeTime = ReadLong(Value("base", "FadeTime"));
    mReplayText = ReadBool(Value("repmode", "RepModeText"));
    ReadMusicEntries();

    SharedData* shared = root.SharedData();
    if (shared && shared->IsBackFromReplay()) {
        shared->IsBackFromReplay(false);
        ShowSubMode(kSubReplay, shared->ReplayModePageNumber());
    } else {
        ShowSubMode(mSubMode, 0);
    }
    Activate(1, mFadeTime);
    mPlayMode = kPlaySingle;
    return true;
}

bool clsModeOmake::ModeEnd() {
    // The observer's timer names one of this screen's rectangles: left armed,
    // it would click whatever the next screen puts at that index.
    if (Started()) Root().MakeAutoClickTimer(0, kCmdClick);
    if (mMovieRunning) EndMovie();
    if (clsEventRects* rects = Rects()) rects->Clear();
    return true;
}

// [SECTION] Screen commands --------------------------------------------------

void clsModeOmake::OnScreenCmd(long eEvent, clsEventRect* er) {
    if (!Started()) {
        // A screen that could not be built must not hold the reader.
        if (eEvent == kCmdCancel) Root().ChangeMode(kModeTitle, 3);
        return;
    }
    const std::string tag = er ? er->STag : std::string();
    if (er && !er->Enabled) return;

    if (tag.empty()) {
        if (eEvent == kCmdClick) {
            if (mCGIndex >= 0) ExecuteCG(nullptr);
        } else if (eEvent == kCmdCancel) {
            if (mCGIndex >= 0) {
                LeaveCGList();
            } else {
                PlaySound(mClickSE);
                Root().ChangeMode(kModeTitle, 3);
            }
        } else if (eEvent == kCmdSelect) {
            ResetEnabledCells();
            if (mTextFilm >= 0) {
                const std::int32_t words[2] = {0, 0};
                SetFilmProp(mTextFilm, FP_ALPHA, words);
            }
        }
        return;
    }

    if (tag == "mediaobserver") {
        if (eEvent == kCmdClick) OnObserver();
        return;
    }
    if (tag == "panel") {
        if (eEvent == kCmdClick) {
            if (mSubMode == kSubCG)
                ExecuteCG(er);
            else if (mSubMode == kSubReplay)
                ExecuteScene(*er);
            else
                ExecuteSound(ReadLong(er->ClickScript));
        } else if (eEvent == kCmdSelect) {
            OnPanelPointed(*er);
        }
        return;
    }
    if (tag != "ret" && tag != "mode" && tag != "page" && tag != "command" && tag != "playmode")
        return;
    if (eEvent == kCmdSelect) {
        OnPointed(*er);
        return;
    }
    if (eEvent != kCmdClick) return;
    PlaySound(mClickSE);
    if (tag == "ret") {
        Root().ChangeMode(kModeTitle, 3);
    } else if (tag == "mode") {
        if (er->lTag < kSubCG || er->lTag > kSubMusic) return;
        ShowSubMode(er->lTag, 0);
        Activate(0, 1000);
    } else if (tag == "page") {
        if (er->lTag < 0 || er->lTag >= mPageCount) return;
        ShowOmakePage(mSubMode, er->lTag, false);
        Activate(0, 1000);
    } else if (tag == "command") {
        OnMusicCommand(er->lTag);
    } else {
        OnPlayMode(er->lTag);
    }
}

void clsModeOmake::OnPointed(clsEventRect& er) {
    PlaySound(mPointSE);
    ResetEnabledCells();
    const std::int32_t words[2] = {1, 0};
    SetFilmProp(static_cast<std::int32_t>(er.FilmID), FP_CELL_Y, words);
}

void clsModeOmake::OnPanelPointed(clsEventRect& er) {
    for (long index : mPanelButtons) {
        clsEventRect* rect = Rect(index);
        if (!rect || !rect->Enabled) continue;
        const std::int32_t words[2] = {rect == &er ? 1 : 0, 0};
        SetFilmProp(static_cast<std::int32_t>(rect->FilmID), FP_CELL_Y, words);
    }
    if (mSubMode != kSubReplay || !mReplayText || mTextFilm < 0) return;
    const std::string picture = Value("repmode", "RepModeTextPrefix") +
                                std::to_string(mCurrentPage + 1) + "_" +
                                std::to_string(er.lTag + 1);
    const bool loaded = Lumo()->LoadPng(mTextFilm, picture, true, true);
    const std::int32_t words[2] = {loaded ? 256 : 0, 0};
    SetFilmProp(mTextFilm, FP_ALPHA, words);
    Lumo()->EXEQ();
}

void clsModeOmake::OnObserver() {
    clsWavoDriver* wavo = Wavo();
    if (mPlayingEntry >= 0 && !(wavo && wavo->IsPlayingBGM())) {
        ExecuteSoundAuto();
    } else if (mMovieRunning && !(wavo && wavo->IsPlayingMovie())) {
        EndMovie();
        ExecuteCG(nullptr);
    }
    ArmObserver();
}

void clsModeOmake::ArmObserver() {
    Root().MakeAutoClickTimer(kObserverPeriod, kCmdClick, mObserverRect);
}

// [SECTION] Replay -----------------------------------------------------------

void clsModeOmake::ExecuteScene(const clsEventRect& er) {
    PlayerRoot& root = Root();
    if (SharedData* shared = root.SharedData()) {
        shared->IsBackFromReplay(true);
        shared->ReplayModePageNumber(mCurrentPage);
    }
    const std::string label = er.ClickScript;
    // Switching the mode ends this object: only locals from here on.
    root.ChangeMode(kModeGame, 8, label);
}

// [SECTION] Helpers ----------------------------------------------------------

void clsModeOmake::PlaySound(const std::string& key) {
    if (clsWavoDriver* wavo = Wavo(); wavo && !key.empty()) wavo->PlaySE(key, false);
}

void clsModeOmake::Activate(long method, long time) {
    if (clsLumoDriver* lumo = Lumo()) lumo->DrawActivate(method, time);
}

const INISection* clsModeOmake::Section(const std::string& name) const {
    return mSettings ? mSettings->FindSection(name) : nullptr;
}

std::string clsModeOmake::Value(const std::string& section, const std::string& key) const {
    const INISection* found = Section(section);
    return found ? found->KeyValue(key) : std::string();
}

clsLumoDriver* clsModeOmake::Lumo() const {
    return Root().Lumo();
}

clsWavoDriver* clsModeOmake::Wavo() const {
    return Root().Wavo();
}

clsEventRects* clsModeOmake::Rects() const {
    clsGameView* view = Root().GameView();
    return view ? &view->EvRects() : nullptr;
}

clsEventRect* clsModeOmake::Rect(long index) const {
    clsEventRects* rects = Rects();
    return rects && index >= 0 ? rects->Item(index) : nullptr;
}

long clsModeOmake::PanelRect(long panel) const {
    if (panel < 0 || panel >= static_cast<long>(mPanelButtons.size())) return -1;
    return mPanelButtons[static_cast<std::size_t>(panel)];
}

long clsModeOmake::PageRect(long page) const {
    if (page < 0 || page >= static_cast<long>(mPageButtons.size())) return -1;
    return mPageButtons[static_cast<std::size_t>(page)];
}

}  // namespace zelk
