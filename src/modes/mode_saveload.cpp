#include "modes/mode_saveload.h"

#include "platform/translate.h"

#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "lumo.h"
#include "modes/save_data.h"
#include "platform/question_box.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Start and end
//   [SECTION] Screen commands
//   [SECTION] Saving, loading and leaving
//   [SECTION] Helpers
// ============================================================================

// [SECTION] Start and end ----------------------------------------------------

clsModeSaveLoad::clsModeSaveLoad(PlayerRoot& root) : clsModeBase(root, kModeSaveLoad) {}

clsModeSaveLoad::~clsModeSaveLoad() = default;

bool clsModeSaveLoad::ModeStart(long eSub, const std::any& /*vParam*/) {
    if (clsGameView* view = Root().GameView()) view->MenuEnableByText("");
    if (eSub == kFromTitle)
        mFromGame = false;
    else if (eSub == kFromGame)
        mFromGame = true;
    else
        Root().Fault(
            TrFormat("the save and load screen cannot start as mode %s", {std::to_string(eSub)}),
            Tr("不正なモード開始引数です。"));

    mSettings = LoadSystemIni("saveload_mode", EncodingOf(Root().SystemInfo()));
    if (!mSettings || !Lumo() || !Rects()) {
        Root().Fault(Tr("cannot read the save and load screen's settings (saveload_mode)"),
                     Tr("セーブ・ロードモード初期化ファイルがロードできません。"));
        return false;
    }
    mLayout = SaveLoadLayout::Read(*mSettings);
    mSlots.assign(static_cast<std::size_t>(mLayout.SlotCount()), SaveLoadSlot{});
    mPageButtons.assign(static_cast<std::size_t>(mLayout.PageCount()), -1);
    MakeSaveLoadFilms();
    mStarted = true;
    const Configuration* cfg = Root().Cfg();
    ShowPage(cfg ? cfg->LongVal("LastSaveLoadPage") : 1);
    return true;
}

bool clsModeSaveLoad::ModeEnd() {
    // A screen that never came up keeps the page the reader saw last time.
    if (Configuration* cfg = Root().Cfg(); cfg && mStarted)
        cfg->LongVal("LastSaveLoadPage", mCurrentPage);
    if (clsEventRects* rects = Rects()) rects->Clear();
    return true;
}

// [SECTION] Screen commands --------------------------------------------------

void clsModeSaveLoad::OnScreenCmd(long eEvent, clsEventRect* er) {
    // A question box or a transition pumps events: a click arriving in the
    // middle of a save or a load must not start another one.
    if (mBusy) return;
    const std::string tag = er ? er->STag : std::string();

    // None of the screen's rectangles senses the right button, so every
    // cancel (right click, Escape) leaves, wherever the pointer is; so does
    // a screen that could not be built, which would otherwise hold the
    // reader.
    if (eEvent == kCmdCancel) {
        PlaySound(mLayout.ClickSE);
        Leave();
        return;
    }
    if (!mStarted) return;
    if (!er) {
        if (eEvent == kCmdSelect) ResetEnabledCells();
        return;
    }
    // A selection made before the button was disabled can still reach here
    // through the keyboard; a disabled button does nothing (above all, a
    // save button from the title).
    if (!er->Enabled) return;

    mBusy = true;
    bool alive = true;
    if (tag == "ret") {
        if (eEvent == kCmdClick) {
            OnReturn(*er);
            alive = false;
        } else if (eEvent == kCmdSelect) {
            PlaySound(mLayout.PointSE);
            Cell(er->FilmID, kCellPointed);
        }
    } else if (tag == "page") {
        if (eEvent == kCmdClick) {
            OnPage(*er);
        } else if (eEvent == kCmdSelect) {
            PlaySound(mLayout.PointSE);
            ResetEnabledCells();
            Cell(er->FilmID, kCellPointed);
        }
    } else if (tag == "save" || tag == "load" || tag == "slot") {
        if (eEvent == kCmdClick && tag == "save")
            OnSave(*er);
        else if (eEvent == kCmdClick && tag == "load")
            alive = !OnLoadLeaves(*er);
        else if (eEvent == kCmdSelect)
            OnPointSlot(*er);
    }
    if (alive) mBusy = false;
}

void clsModeSaveLoad::OnReturn(clsEventRect& er) {
    PlaySound(mLayout.ClickSE);
    PressAndShow(er);
    Leave();
}

void clsModeSaveLoad::OnPage(clsEventRect& er) {
    clsLumoDriver& lumo = *Lumo();
    ResetEnabledCells();
    Cell(er.FilmID, mLayout.PageButtonFlipNumOnClick);
    lumo.EXEQ();
    lumo.Refresh();
    lumo.DrawDeactivate(0, 1000);
    PlaySound(mLayout.ClickSE);
    ShowPage(er.lTag + 1);
}

void clsModeSaveLoad::OnPointSlot(clsEventRect& er) {
    ResetEnabledCells();
    Cell(er.FilmID, kCellPointed);
    if (er.STag == "slot") return;
    PlaySound(mLayout.PointSE);
    if (er.lTag >= 0 && er.lTag < static_cast<long>(mSlots.size()))
        if (clsEventRect* base = Rect(mSlots[static_cast<std::size_t>(er.lTag)].base))
            Cell(base->FilmID, kCellPointed);
}

// [SECTION] Saving, loading and leaving --------------------------------------

void clsModeSaveLoad::OnSave(clsEventRect& er) {
    if (er.lTag < 0 || er.lTag >= static_cast<long>(mSlots.size())) return;
    const long index = er.Index;
    PlaySound(mLayout.ClickSE);
    PressAndShow(er);
    const Configuration* cfg = Root().Cfg();
    if (!cfg || !cfg->BoolVal("QuerySave") || Ask(mLayout.QuerySaveMessage)) {
        clsSaveData* sd = Root().SD();
        // The reader must know when the place was not kept.
        const std::string& slot = mSlots[static_cast<std::size_t>(er.lTag)].name;
        if (!sd) {
            Root().Fault(TrFormat("cannot write the save %s", {slot}),
                         Tr("セーブに失敗しました。"));
        } else if (!sd->Save(slot)) {
            Root().Fault(
                TrFormat("cannot write the save %s", {sd->LastWriteFailure()}),
                Tr("セーブに失敗しました。") + std::string("\r\n") + sd->LastWriteFailure());
        }
        ShowPage(mCurrentPage);
    }
    if (clsEventRect* rect = Rect(index)) Cell(rect->FilmID, kCellPointed);
}

bool clsModeSaveLoad::OnLoadLeaves(clsEventRect& er) {
    if (er.lTag < 0 || er.lTag >= static_cast<long>(mSlots.size())) return false;
    const long index = er.Index;
    PlaySound(mLayout.ClickSE);
    PressAndShow(er);
    const Configuration* cfg = Root().Cfg();
    if (cfg && cfg->BoolVal("QueryLoad") && !Ask(mLayout.QueryLoadMessage)) {
        if (clsEventRect* rect = Rect(index)) Cell(rect->FilmID, kCellPointed);
        return false;
    }
    clsSaveData* sd = Root().SD();
    const std::string& slot = mSlots[static_cast<std::size_t>(er.lTag)].name;
    if (!sd || !sd->Load(slot)) {
        // The slot changed under the screen (removed or damaged since the
        // page was shown), or it is no save of this game's or has no place
        // in it: the game goes on as it was.
        Root().Fault(TrFormat("cannot load the save %s: %s",
                              {slot, sd ? sd->LoadError() : std::string(Tr("no save data"))}),
                     Tr("セーブデータをロードできませんでした。"));
        ShowPage(mCurrentPage);
        return false;
    }
    // Switching the mode ends this object: only locals from here on.
    PlayerRoot& root = Root();
    clsLumoDriver& lumo = *Lumo();
    lumo.DrawDeactivate(1, 200);
    root.ChangeMode(kModeGame, 7);
    root.SDRestoreData(true);
    lumo.DrawActivate(1, 200);
    return true;
}

void clsModeSaveLoad::Leave() {
    // Switching the mode ends this object: only locals from here on.
    PlayerRoot& root = Root();
    clsLumoDriver* lumo = Lumo();
    if (mFromGame) {
        if (lumo) lumo->DrawDeactivate(0, 1000);
        root.ChangeMode(kModeGame, 7);
        root.SDRestoreData(false);
        if (lumo) lumo->DrawActivate(1, 200);
    } else {
        root.ChangeMode(kModeTitle, 3);
    }
}

// [SECTION] Helpers ----------------------------------------------------------

bool clsModeSaveLoad::Ask(const std::string& question) {
    return Root().Msg(question, kButtonsYesNo) == kAnswerYes;
}

void clsModeSaveLoad::PlaySound(const std::string& key) {
    if (clsWavoDriver* wavo = Root().Wavo(); wavo && !key.empty()) wavo->PlaySE(key, false);
}

void clsModeSaveLoad::PressAndShow(clsEventRect& er) {
    Cell(er.FilmID, kCellPressed);
    if (clsLumoDriver* lumo = Lumo()) {
        lumo->EXEQ();
        WaitBlt();
    }
}

void clsModeSaveLoad::ResetEnabledCells() {
    auto reset = [&](long index) {
        if (clsEventRect* rect = Rect(index); rect && rect->Enabled)
            Cell(rect->FilmID, kCellNormal);
    };
    reset(mReturnButton);
    for (long index : mPageButtons)
        reset(index);
    for (const SaveLoadSlot& slot : mSlots) {
        reset(slot.base);
        reset(slot.save);
        reset(slot.load);
    }
}

clsLumoDriver* clsModeSaveLoad::Lumo() const {
    return Root().Lumo();
}

clsEventRects* clsModeSaveLoad::Rects() const {
    clsGameView* view = Root().GameView();
    return view ? &view->EvRects() : nullptr;
}

clsEventRect* clsModeSaveLoad::Rect(long index) const {
    clsEventRects* rects = Rects();
    return rects && index >= 0 ? rects->Item(index) : nullptr;
}

void clsModeSaveLoad::Cell(long filmID, long cell) {
    if (filmID < 0) return;
    const std::int32_t words[2] = {static_cast<std::int32_t>(cell), 0};
    SetFilmProp(static_cast<std::int32_t>(filmID), FP_CELL_Y, words);
}

void clsModeSaveLoad::Alpha(std::int32_t film, long alpha) {
    if (film < 0) return;
    const std::int32_t words[2] = {static_cast<std::int32_t>(alpha), 0};
    SetFilmProp(film, FP_ALPHA, words);
}

void clsModeSaveLoad::EnableButton(long index, bool enabled, long cell) {
    clsEventRect* rect = Rect(index);
    if (!rect) return;
    rect->Enabled = enabled;
    Cell(rect->FilmID, cell);
}

}  // namespace zelk
