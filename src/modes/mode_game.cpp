#include "modes/mode_game.h"

#include <SDL.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "common/process.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "lumo.h"
#include "modes/mode_films.h"
#include "modes/mode_game_log.h"
#include "modes/mode_text.h"
#include "modes/save_data.h"
#include "platform/translate.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"
#include "view/game_view.h"
#include "view/player_root.h"
#include "view/reader_aids.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Start and end
//   [SECTION] Screen commands
//   [SECTION] The text window's visibility
//   [SECTION] Movies
//   [SECTION] Log mode
// ============================================================================

namespace {

constexpr const char* kGameButton = "gamemode_button";

// A reader's setting beyond this keeps this many pages: the memory a page
// takes is small, but not nothing.
constexpr long kMostRollbackPages = 10000;

bool KeysCtrlAndTab() {
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    const bool tab = keys != nullptr && keys[SDL_SCANCODE_TAB] != 0;
    return tab && (SDL_GetModState() & KMOD_CTRL) != 0;
}

}  // namespace

clsModeGame::clsModeGame(PlayerRoot& root)
    : clsModeBase(root, kModeGame), CtrlTabHeld(KeysCtrlAndTab) {
    mLog = std::make_unique<clsGameLog>(root, *this);
}

clsModeGame::~clsModeGame() = default;

clsGameView* clsModeGame::View() const {
    return Root().GameView();
}

// [SECTION] Start and end ----------------------------------------------------

bool clsModeGame::ModeStart(long eSub, const std::any& vParam) {
    clsGameView* view = View();
    SubStatus(kGameReading);
    mTextFilmsVisible = true;
    if (Configuration* cfg = Root().Cfg()) {
        mRollback.Limit(static_cast<std::size_t>(
            std::clamp(cfg->LongVal("RollbackPages"), 0L, kMostRollbackPages)));
    }
    // A loaded game stands on its page at once; a new one has none yet.
    mOnPage = eSub == 7;
    switch (eSub) {
        case 6: {
            if (view) view->MenuEnableByText("file!title");
            std::string entry;
            if (Process().IsDebugMode) entry = Process().Debug.EntryPoint;
            // A debug file that names no entry leaves the game's own.
            if (entry.empty() && Root().SystemInfo())
                entry = Root().SystemInfo()->KeySection("Game").KeyValue("EntryPoint");
            if (entry.empty()) {
                Root().Fault(
                    Tr("the game names no entry point ([Game] EntryPoint of SystemInfo.ini)"),
                    Tr("システム情報かデバッグセクションにエントリポイントを指定してください。"));
            }
            mIsReplayMode = false;
            return StartScenario(entry);
        }
        case 7:
            if (view) view->MenuEnableByText(kGameMenus);
            return true;
        case 8:
            if (view) view->MenuEnableByText(kReplayMenus);
            mIsReplayMode = true;
            return StartScenario(AnyText(vParam));
        default:
            Root().Fault(TrFormat("the game cannot start as mode %s", {std::to_string(eSub)}),
                         Tr("不正なモード開始引数です。"));
            return false;
    }
}

bool clsModeGame::ModeEnd() {
    if (zelk::SharedData* shared = Root().SharedData()) shared->Save();
    return true;
}

bool clsModeGame::StartScenario(const std::string& label) {
    mTextFilmsVisible = true;
    if (clsWavoDriver* wavo = Root().Wavo()) {
        wavo->StopBGM(false);
        wavo->StopCV();
        wavo->StopSE();
        wavo->StopSELoop();
        wavo->StopMovie();
    }
    if (clsSaveData* sd = Root().SD()) {
        sd->Clear();
        const INISection* vars =
            Root().SystemInfo() ? Root().SystemInfo()->FindSection("var") : nullptr;
        sd->Var().Text(vars ? vars->Text() : std::string());
    }
    if (clsLumoDriver* lumo = Root().Lumo()) {
        lumo->DrawDeactivate(0, 0);
        lumo->BaseFilmSet(Process().Debug.NovelMode ? 3 : 2);
        lumo->TextVisible(false);
        lumo->CursorVisible(false);
        if (Process().Debug.DrawActivity) lumo->DrawActivate(0, 0);
    }
    clsInterpreter* intprt = Root().Intprt();
    if (intprt && intprt->StepStart() && intprt->GoLabel(label)) {
        Root().MakeAutoClickTimer(1, kCmdClick);
        return true;
    }
    Root().Fault(TrFormat("cannot start the scenario at %s",
                          {label.empty() ? std::string(Tr("(no label)")) : label}),
                 Tr("シナリオを開始できませんでした。"));
    if (clsGameView* view = View()) view->EventEnabled(true);
    return false;
}

void clsModeGame::ReloadPage() {
    clsInterpreter* intprt = Root().Intprt();
    if (intprt == nullptr || SubStatus() != kGameReading) return;
    const PageReload reload = intprt->ReloadPage();
    if (reload == PageReload::kKept) return;
    // The page is cleared and runs again: it is not one to go back to.
    mOnPage = false;
    Root().MakeAutoClickTimer(0, 0);
    if (clsWavoDriver* wavo = Root().Wavo()) wavo->StopCV();
    clsLumoDriver* lumo = Root().Lumo();
    if (reload == PageReload::kChoices) {
        if (lumo) {
            lumo->ChoiceFlip(-1, 0);
            lumo->ChoiceClear();
        }
        if (clsGameView* view = View()) view->EvRects().RemoveByTag(kGameButton);
    }
    // A page shown again stops the skip that may have run past it.
    Root().IsSkipMode(false);
    if (!mTextFilmsVisible) TextFilmsVisible(true);
    if (lumo) lumo->CursorVisible(false);
    // The page runs from the click, as a started scenario does.
    Root().MakeAutoClickTimer(1, kCmdClick);
}

// [SECTION] Screen commands --------------------------------------------------

void clsModeGame::OnScreenCmd(long eEvent, clsEventRect* er) {
    if (er == nullptr) {
        OnNoRect(eEvent);
        return;
    }
    const std::string tag = er->STag;
    if (tag == "wndbutton") {
        OnWindowButton(eEvent, *er);
    } else if (tag == "selectionitem") {
        OnChoice(eEvent, *er);
    } else if (tag == kGameButton) {
        OnGameButton(eEvent, *er);
    } else if (tag.starts_with("log_")) {
        mLog->OnScreenCmd(eEvent, *er);
    }
}

void clsModeGame::OnWindowButton(long eEvent, clsEventRect& er) {
    clsLumoDriver* lumo = Root().Lumo();
    if (lumo) lumo->ChoiceFlip(-1, 0);
    const std::string command = er.Extension;
    const bool slotButton = command == "save" || command == "load";
    if (eEvent == kCmdClick) {
        if (mIsReplayMode && slotButton) return;
        PlayEffect("ClickSE");
        Configuration* cfg = Root().Cfg();
        if (command == "log") {
            LogModeStart();
        } else if (command == "save") {
            Root().QuickSave(cfg && cfg->BoolVal("QueryQuickSave"));
        } else if (command == "load") {
            Root().QuickLoad(cfg && cfg->BoolVal("QueryQuickLoad"));
        } else if (command == "auto") {
            if (clsGameView* view = View()) view->MenuCmd("message", "auto");
        } else if (command == "skip") {
            Root().IsSkipMode(true);
            Root().MakeAutoClickTimer(1, kCmdClick);
        }
        if (clsLumoDriver* after = Root().Lumo()) after->ButtonFlip(-1);
    } else if (eEvent == kCmdSelect) {
        if (mIsReplayMode && slotButton) return;
        if (lumo) lumo->ButtonFlip(er.lTag);
    }
}

void clsModeGame::OnChoice(long eEvent, clsEventRect& er) {
    clsLumoDriver* lumo = Root().Lumo();
    if (eEvent == kCmdClick) {
        const std::string script = er.ClickScript;
        const long item = er.lTag;
        LeavePage();
        PlayEffect("ClickSE");
        if (lumo) lumo->ChoiceFlip(item, 2);
        if (clsInterpreter* intprt = Root().Intprt()) intprt->GoSelectedItem(script);
        Root().MakeAutoClickTimer(1, kCmdClick);
        if (lumo) {
            lumo->ChoiceFlip(-1, 0);
            lumo->ChoiceClear();
        }
    } else if (eEvent == kCmdSelect) {
        PlayEffect("PointSE");
        if (lumo) lumo->ChoiceFlip(er.lTag, 1);
    }
}

void clsModeGame::OnGameButton(long eEvent, clsEventRect& er) {
    if (eEvent != kCmdClick && eEvent != kCmdSelect) return;
    // The rectangle goes with its siblings: keep what is needed of it first.
    const std::string script = eEvent == kCmdClick ? er.ClickScript : er.PointScript;
    LeavePage();
    if (clsGameView* view = View()) view->EvRects().RemoveByTag(kGameButton);
    if (clsInterpreter* intprt = Root().Intprt()) intprt->GoSelectedItem(script);
    Root().MakeAutoClickTimer(1, kCmdClick);
}

void clsModeGame::OnNoRect(long eEvent) {
    clsInterpreter* intprt = Root().Intprt();
    clsLumoDriver* lumo = Root().Lumo();
    const long w = intprt ? intprt->WaitMode() : kWaitRunning;
    const long sub = SubStatus();
    switch (eEvent) {
        case kCmdClick:
            if (sub == kGameReading) {
                if (!mTextFilmsVisible) {
                    TextFilmsVisible(true);
                } else if (w == kWaitTyping) {
                    if (lumo) lumo->WaitCancel();
                } else if (w == kWaitClick) {
                    ReadOn();
                }
            } else if (sub == kGameMovie) {
                clsWavoDriver* wavo = Root().Wavo();
                const bool ended = wavo == nullptr || !wavo->IsPlayingMovie();
                if (ended || mMovieCancel == 2 || (mMovieCancel == 0 && CtrlTabHeld())) StopMovie();
            }
            break;
        case kCmdCancel:
            if (sub == kGameReading) {
                TextFilmsVisible(!mTextFilmsVisible);
            } else if (sub == kGameMovie && mMovieCancel == 1) {
                StopMovie();
            }
            break;
        case kCmdSelect:
            if (lumo) {
                lumo->ButtonFlip(-1);
                lumo->ChoiceFlip(-1, 0);
            }
            UnhighlightGameButtons();
            break;
        case kCmdPageBack:
            if (sub == kGameReading) GoBack(1);
            break;
        case kCmdWheelForward:
            if (sub == kGameReading) {
                LogModeStart();
            } else if (sub == kGameLog) {
                LogTextIndex(LogTextIndex() - 1);
            }
            break;
        case kCmdWheelBackward:
            if (sub == kGameLog) {
                const long before = LogTextIndex();
                LogTextIndex(before + 1);
                if (LogTextIndex() == before) LogModeEnd();
            } else if (sub == kGameReading) {
                if (w == kWaitTyping && lumo) lumo->WaitCancel();
                if (clsGameView* view = View()) view->RaiseScreenCmd(kCmdClick, nullptr);
            }
            break;
        default:
            break;
    }
}

// The reader asks for the next page. The step may switch modes or load a
// game before it returns; only a step that ended without waiting, with no
// close pending and this mode still current, ends the story.
void clsModeGame::ReadOn() {
    clsInterpreter* intprt = Root().Intprt();
    if (intprt == nullptr) return;
    if (clsGameView* view = View()) view->EvRects().RemoveByTag(kGameButton);
    Root().MakeAutoClickTimer(0, 0);
    LeavePage();
    const StepResult result = intprt->StepNext();
    if (result == StepResult::kWaiting && Root().VellMode() == Id()) {
        mOnPage = SubStatus() == kGameReading;
        UpdateBackMenu();
    }
    if (result != StepResult::kEnded || intprt->WaitMode() != kWaitRunning) return;
    if (Process().ShutdownRequested || Root().VellMode() != Id()) return;
    if (clsLumoDriver* lumo = Root().Lumo()) lumo->DrawDeactivate(2, 100);
    Root().RestartTitle();
}

void clsModeGame::PlayEffect(const char* key) {
    INIFile* info = Root().GamemodeInfo();
    clsWavoDriver* wavo = Root().Wavo();
    if (info == nullptr || wavo == nullptr) return;
    const std::string effect = info->KeySection("Base").KeyValue(key);
    if (!effect.empty()) wavo->PlaySE(effect, false);
}

void clsModeGame::UnhighlightGameButtons() {
    clsGameView* view = View();
    if (view == nullptr) return;
    for (const auto& rect : view->EvRects()) {
        if (rect->STag == kGameButton && rect->FilmID > 0)
            films::Set(static_cast<int32_t>(rect->FilmID), FP_CELL_Y, 0);
    }
    films::RunQueue();
}

// [SECTION] The text window's visibility --------------------------------------

void clsModeGame::TextFilmsVisible(bool b) {
    clsLumoDriver* lumo = Root().Lumo();
    clsInterpreter* intprt = Root().Intprt();
    clsGameView* view = View();
    const bool wasActive = lumo && lumo->DrawActivity();
    bool changed = false;
    // Each change is made with drawing stopped, so the reader sees one
    // switch of the whole window rather than its parts one by one.
    auto beforeChange = [&] {
        if (lumo && lumo->DrawActivity()) lumo->DrawDeactivate(0, 1000);
        changed = true;
    };
    const long w = intprt ? intprt->WaitMode() : kWaitRunning;
    const bool textEnabled = intprt && intprt->TextEnabled();
    if (lumo && textEnabled) {
        beforeChange();
        lumo->TextVisible(b);
    }
    if (lumo && w == kWaitClick && textEnabled && lumo->CursorVisible() != b) {
        beforeChange();
        lumo->CursorVisible(b);
    }
    if (lumo && w == kWaitChoice) {
        beforeChange();
        lumo->ChoiceVisible(b);
    }
    if (view) {
        for (const auto& rect : view->EvRects()) {
            if (rect->STag != kGameButton) continue;
            beforeChange();
            rect->Enabled = b;
            if (lumo && !rect->TargetCID.empty()) lumo->CGTempVisible(rect->TargetCID, b);
        }
    }
    if (!changed) {
        mTextFilmsVisible = true;
        return;
    }
    if (view) view->SelectionClear();
    if (lumo) {
        lumo->ButtonFlip(-1);
        if (wasActive) ShowAtOnce(*lumo);
    }
    // The auto click waits while the window is hidden.
    if (!b) {
        if (mTextFilmsVisible) mPausedAutoClick = Root().CurrentAutoClickTimer();
        Root().MakeAutoClickTimer(0, 0);
    } else if (!mTextFilmsVisible && mPausedAutoClick != 0) {
        Root().MakeAutoClickTimer(mPausedAutoClick, kCmdClick);
        mPausedAutoClick = 0;
    }
    mTextFilmsVisible = b;
}

// [SECTION] Movies -------------------------------------------------------------

void clsModeGame::SetMoviePlayMode(long eMovieCancel) {
    SubStatus(kGameMovie);
    mMovieCancel = eMovieCancel;
}

void clsModeGame::StopMovie() {
    if (clsWavoDriver* wavo = Root().Wavo()) wavo->StopMovie();
    SubStatus(kGameReading);
    Root().MakeAutoClickTimer(1, kCmdClick);
}

// [SECTION] Going back ----------------------------------------------------------

bool clsModeGame::WaitsForReader() const {
    const clsInterpreter* intprt = Root().Intprt();
    if (intprt == nullptr) return false;
    const long w = intprt->WaitMode();
    return w == kWaitClick || w == kWaitChoice || w == kWaitSelection;
}

// The page is recorded as the reader leaves it, in the state a save made on
// it would hold, so that going back is loading that save. The waits of one
// text block make one page; a choice or a set of clickable areas is a page
// of its own.
void clsModeGame::RecordPage() {
    clsInterpreter* intprt = Root().Intprt();
    clsSaveData* sd = Root().SD();
    if (!mOnPage || mRollback.Limit() == 0 || intprt == nullptr || sd == nullptr ||
        !WaitsForReader()) {
        return;
    }
    const bool click = intprt->WaitMode() == kWaitClick;
    const long key = intprt->PagesShown() * 2 + (click ? 0 : 1);
    if (!mRollback.IsNewPage(key)) return;
    long entry = -1;
    const clsLumoDriver* lumo = Root().Lumo();
    if (click && intprt->TextEnabled() && lumo && !lumo->CurrentText().empty()) {
        // A page whose rest comes on the next click enters the history then.
        entry = sd->HistoryCount() - (intprt->RestText().empty() ? 1 : 0);
    }
    Root().SDMakeStatus();
    mRollback.Record(PageRollback::Page{sd->MakeImage(), entry, key});
}

// Until the next step waits, the story is between pages: a jump taken from
// a choice waits for the click that runs its target, which is no page.
void clsModeGame::LeavePage() {
    RecordPage();
    mOnPage = false;
}

long clsModeGame::PagesBack() const {
    const long sub = SubStatus();
    if ((sub != kGameReading && sub != kGameLog) || !WaitsForReader()) return 0;
    return static_cast<long>(mRollback.Count());
}

void clsModeGame::ForgetPages() {
    mRollback.Clear();
    mOnPage = true;
    UpdateBackMenu();
}

bool clsModeGame::GoBack(std::size_t steps) {
    clsSaveData* sd = Root().SD();
    if (steps == 0 || static_cast<long>(steps) > PagesBack() || sd == nullptr) return false;
    std::optional<PageRollback::Page> page = mRollback.Back(steps);
    if (!page) return false;
    if (SubStatus() == kGameLog) LogModeEnd();
    if (!sd->RestoreImage(page->image)) {
        // Not this game's page: none of the others is either.
        ForgetPages();
        return false;
    }
    Root().MakeAutoClickTimer(0, 0);
    // Music that was already playing then plays on rather than start over;
    // only the page's voice and effects stop.
    bool sound = true;
    if (clsWavoDriver* wavo = Root().Wavo()) {
        INISection now;
        wavo->SaveStatus(now);
        sound = now.Text() != sd->WavoStatus().Text();
        if (!sound) {
            wavo->StopCV();
            wavo->StopSE();
        }
    }
    Root().SDRestoreData(sound);
    if (clsLumoDriver* lumo = Root().Lumo()) ShowAtOnce(*lumo);
    mOnPage = true;
    UpdateBackMenu();
    // The page is shown again: the reader's tools get it again.
    ReaderAids* aids = Root().Aids();
    const std::string text = aids ? HistoryPlainText(Root(), page->historyEntry) : std::string();
    if (!text.empty()) aids->Page(text, 0);
    return true;
}

bool clsModeGame::GoBackToEntry(long historyEntry) {
    const std::size_t steps = mRollback.StepsToEntry(historyEntry);
    return steps > 0 && GoBack(steps);
}

bool clsModeGame::HasPageOfEntry(long historyEntry) const {
    return mRollback.StepsToEntry(historyEntry) > 0;
}

std::string clsModeGame::ReadingMenus() const {
    std::string menus = mIsReplayMode ? kReplayMenus : kGameMenus;
    if (PagesBack() > 0) menus += ",message!back";
    return menus;
}

void clsModeGame::UpdateBackMenu() {
    clsGameView* view = View();
    ViewMenuItem* item = view ? view->MenuItem("message!back") : nullptr;
    if (item) item->Enabled = SubStatus() == kGameReading && PagesBack() > 0;
}

std::string clsModeGame::Caption(const clsEventRect& er) const {
    if (er.STag != "selectionitem") return clsModeBase::Caption(er);
    const clsInterpreter* intprt = Root().Intprt();
    if (intprt == nullptr || er.lTag < 0) return {};
    const std::vector<std::string> items = SplitText(intprt->ChoiceTexts(), "\n");
    return static_cast<std::size_t>(er.lTag) < items.size() ? items[er.lTag] : std::string();
}

// [SECTION] Log mode -----------------------------------------------------------

void clsModeGame::LogModeStart() {
    if (SubStatus() == kGameLog) return;
    mLog->Start();
}

void clsModeGame::LogModeEnd() {
    mLog->End();
}

void clsModeGame::PlayCVAry(long lLogItem) {
    mLog->PlayCVAry(lLogItem);
}

long clsModeGame::LogTextIndex() const {
    return mLog->TextIndex();
}

void clsModeGame::LogTextIndex(long a) {
    mLog->TextIndex(a);
}

}  // namespace zelk
