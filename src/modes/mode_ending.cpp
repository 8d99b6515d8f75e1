#include "modes/mode_ending.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode_films.h"
#include "platform/translate.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk {

namespace {

constexpr long kCentre = -999999;

std::uint32_t SystemMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

clsModeEnding::clsModeEnding(PlayerRoot& root, Clock clock)
    : clsModeBase(root, kModeEnding), mClock(clock ? std::move(clock) : SystemMilliseconds) {}

bool clsModeEnding::ModeStart(long eSub, const std::any& vParam) {
    if (clsGameView* view = Root().GameView()) view->MenuEnableByText("");
    if (eSub == kNothing) return true;
    if (eSub != kStaffRoll) {
        Root().Fault(TrFormat("the ending cannot start as mode %s", {std::to_string(eSub)}),
                     Tr("不正なモード開始引数です。"));
        return false;
    }
    std::string param;
    if (const auto* text = std::any_cast<std::string>(&vParam)) param = *text;
    std::vector<std::string> items = SplitText(param, ",");
    items.resize(std::max<size_t>(items.size(), 4));
    for (std::string& item : items)
        item = TrimChars(item, " \t");
    const auto duration = static_cast<std::int32_t>(std::lround(ReadNumber(items[0])));
    StartEnding(std::max<std::int32_t>(duration, 0), items[1], items[2], items[3]);
    return true;
}

void clsModeEnding::StartEnding(std::int32_t duration, const std::string& background,
                                const std::string& credits, const std::string& overlay) {
    PlayerRoot& root = Root();
    mDuration = duration;
    root.MakeAutoClickTimer(0, kCmdClick);
    SubStatus(kStaffRoll);
    if (clsGameView* view = root.GameView()) {
        view->EvRects().Clear();
        view->SelectionClear();
        view->EventEnabled(true);
        view->MenuEnableByText("");
    }
    clsLumoDriver* lumo = root.Lumo();
    if (!lumo) return;
    const ProcessValues& process = Process();
    const std::int32_t width = process.ScreenSizeX;
    const std::int32_t height = process.ScreenSizeY;

    lumo->DrawDeactivate(0, 0);
    lumo->BaseFilmSet(1);
    lumo->BGCenter(background, kCentre, kCentre, 1000, true);

    if (!overlay.empty()) {
        mOverlayFilm = lumo->MakeFilm(FT_IMAGE, 0, 0, 0, 0);
        films::Set(mOverlayFilm, FP_PARENT, lumo->FIDBuff());
        films::Set(mOverlayFilm, FP_ALPHA, 256);
        lumo->LoadPng(mOverlayFilm, overlay, false, true);
        films::Set(mOverlayFilm, FP_HEIGHT, height / 2);
        films::Set(mOverlayFilm, FP_POS, static_cast<std::int32_t>(std::lround(width * 0.4)),
                   height);
        const std::int32_t quarter = duration / 4;
        std::vector<std::int32_t> program;
        for (int cell = 0; cell < 4; ++cell) {
            if (cell > 0) program.insert(program.end(), {AC_CELL_Y, 1});
            program.insert(program.end(), {AC_MOVE_TO, FP_Y, height, 0});
            program.insert(program.end(), {AC_MOVE_TO, FP_Y, -(height / 2), quarter});
        }
        program.push_back(AC_END);
        mOverlayAction = lumo->AddActByAry(program);
        SetActProp(mOverlayAction, AP_TARGET, &mOverlayFilm);
    }

    mCreditsFilm = lumo->MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    films::Set(mCreditsFilm, FP_PARENT, lumo->FIDBuff());
    films::Set(mCreditsFilm, FP_ALPHA, 256);
    lumo->LoadPng(mCreditsFilm, credits, true, true);
    ExeQueue();
    std::int32_t size[2] = {0, 0};
    GetFilmProp(mCreditsFilm, FP_SIZE, size);
    films::Set(mCreditsFilm, FP_POS, width / 2 - size[0] / 2, height);
    mCreditsAction = lumo->AddActByParam({AC_MOVE_TO, FP_Y, -size[1], duration, AC_END});
    SetActProp(mCreditsAction, AP_TARGET, &mCreditsFilm);

    lumo->EXEQ();
    lumo->DrawActivate(0, 0);
    CallActMethod(mCreditsAction, AM_START, nullptr);
    if (mOverlayAction >= 0) CallActMethod(mOverlayAction, AM_START, nullptr);
    ExeQueue();

    root.MakeAutoClickTimer(kAutoClickLimit, kCmdClick);
    mStart = mClock();
}

void clsModeEnding::OnScreenCmd(long eEvent, clsEventRect* er) {
    if (er != nullptr || mFinished || SubStatus() != kStaffRoll) return;
    if (eEvent == kCmdCancel) {
        FinishEnding();
        return;
    }
    if (eEvent != kCmdClick) return;
    // Unsigned: the clock may wrap during a roll.
    const std::int64_t elapsed = static_cast<std::uint32_t>(mClock() - mStart);
    const std::int64_t remaining = mDuration - elapsed;
    if (remaining <= 0) {
        FinishEnding();
        return;
    }
    Root().MakeAutoClickTimer(static_cast<long>(std::min<std::int64_t>(remaining, kAutoClickLimit)),
                              kCmdClick);
}

void clsModeEnding::FinishEnding() {
    mFinished = true;
    PlayerRoot& root = Root();
    if (clsLumoDriver* lumo = root.Lumo()) {
        films::Set(mCreditsFilm, FP_ALPHA, 0);
        CallActMethod(mCreditsAction, AM_HALT, nullptr);
        if (mOverlayFilm >= 0) {
            films::Set(mOverlayFilm, FP_ALPHA, 0);
            CallActMethod(mOverlayAction, AM_HALT, nullptr);
        }
        lumo->DrawDeactivate(0, 1000);
        RemoveAction(mCreditsAction);
        RemoveFilm(mCreditsFilm);
        if (mOverlayFilm >= 0) {
            RemoveAction(mOverlayAction);
            RemoveFilm(mOverlayFilm);
        }
        ExeQueue();
    }
    // The game reads on after the ending at once.
    root.ChangeMode(kModeGame, 7);
    root.MakeAutoClickTimer(1, kCmdClick);
}

}  // namespace zelk
