#include "drivers/lumo_driver.h"
#include "lumo.h"

#include <stdexcept>

#include "common/process.h"
#include "drivers/lumo_surface_adapter.h"

namespace zelk {

// ============================================================================
// Index
//   [SECTION] Life cycle
//   [SECTION] Engine helpers
//   [SECTION] Films and actions
//   [SECTION] Waiting for an action
// ============================================================================

namespace {

// The engine's frame interval at 30 frames a second, rounded up: the
// longest an action's end can go unseen by a waiter that missed its signal.
constexpr int kFrameMs = 34;

}  // namespace

// [SECTION] Life cycle --------------------------------------------------------

clsLumoDriver::clsLumoDriver(LumoDriverHooks hooks, TextEncoding encoding,
                             const std::string& language)
    : mHooks(std::move(hooks)), mEncoding(encoding) {
    const int32_t rate = 30;
    SetLumoSetting(LS_FRAME_RATE, &rate);
    // Said every time: the setting outlives an engine that was stopped.
    const int32_t textEncoding = encoding.IsUtf8() ? LUMO_TEXT_UTF8 : LUMO_TEXT_CP932;
    SetLumoSetting(LS_TEXT_ENCODING, &textEncoding);
    SetLumoSetting(LS_TEXT_LANGUAGE, language.c_str());
    mEngineStarted = InitializeLumo() == 0;
    if (!mEngineStarted) Log("lumo: the film engine could not be started");
    AutoRedraw(false);
    // An action's end wakes WaitEnd, so it never polls faster than the
    // engine changes anything. Loops (the wait cursor's, ten a second) end
    // no wait and are left alone.
    auto notify = [](void* context, uint32_t, int32_t wparam, int32_t) {
        const int32_t code = wparam >> 16;
        if (code == EV_ACT_END || code == EV_TEXT_DONE || code == EV_TEXT_STOP)
            static_cast<clsLumoDriver*>(context)->OnEngineEvent();
    };
    LumoNotifyWindow window{notify, this};
    SetLumoSetting(LS_NOTIFY_WINDOW, &window);
}

clsLumoDriver::~clsLumoDriver() {
    // Waits for a notification in progress, so none reaches a dead driver.
    SetLumoSetting(LS_NOTIFY_WINDOW, nullptr);
    Log("  Procedure TerminateLumo Call...");
    TerminateLumo();
    Log("  Procedure TerminateLumo Returned");
    mScreen.reset();
    Log("Lumo-Terminate");
}

bool clsLumoDriver::Init() {
    if (!mEngineStarted) return false;
    const int w = mHooks.ScreenWidth;
    const int h = mHooks.ScreenHeight;
    mFIDRoot = MakeFilm(FT_SCREEN, 0, 0, w, h);
    mFIDBuff = MakeFilm(FT_IMAGE, 0, 0, w, h);
    mFIDBack = MakeFilm(FT_IMAGE, 0, 0, w, h);
    if (mFIDRoot < 0 || mFIDBuff < 0 || mFIDBack < 0) return false;
    Set2(mFIDBuff, FP_MASK_SIZE, w, h);
    Attach(mFIDBuff, mFIDRoot);
    Attach(mFIDBack, mFIDBuff);
    ExeQueue();

    mActFadeOut = AddActByParam({AC_MOVE_TO, FP_PARAM1, 0, 1000, AC_END});
    mActRule = AddActByParam({AC_MOVE_TO, FP_PARAM1, 0, 1000, AC_END});
    mActWhiteOut = AddActByParam({AC_MOVE_TO, FP_PARAM1, 256, 1000, AC_END});
    mActCrossFade = AddActByParam({AC_MOVE_TO, FP_PARAM1, 0, 1000, AC_END});
    mActCursor = AddActByParam({AC_METHOD, FM_CELL_X_STEP, 1, AC_WAIT, 1000, AC_LOOP});
    mActText = AddActByParam({AC_PRINT, AC_END});
    mActShadow = AddActByParam({AC_PRINT, AC_END});
    ActSet(mActFadeOut, AP_TARGET, mFIDRoot);
    ActSet(mActWhiteOut, AP_TARGET, mFIDRoot);
    ActSet(mActCrossFade, AP_TARGET, mFIDRoot);
    ActSet(mActRule, AP_TARGET, mFIDBuff);
    ExeQueue();
    return mActFadeOut >= 0 && mActShadow >= 0;
}

void clsLumoDriver::ScreenDC(ScreenSurface* surface) {
    std::unique_ptr<ScreenHostSurface> next;
    if (surface) next = std::make_unique<ScreenHostSurface>(*surface);
    LumoSurface* host = next ? next->Surface() : nullptr;
    SetFilmProp(mFIDRoot, FP_SCREEN_DC, &host);
    ExeQueue();
    // The old surface is released only once the engine no longer holds it.
    mScreen = std::move(next);
    Blt(mFIDRoot);
    ExeQueue();
}

void clsLumoDriver::Refresh() {
    Blt(mFIDRoot);
}

void clsLumoDriver::RedrawScreen() {
    CallFilmMethod(mFIDRoot, FM_REDRAW, nullptr);
}

void clsLumoDriver::EXEQ() {
    ExeQueue();
}

int32_t clsLumoDriver::FIDChar(int index) const {
    if (index < 0 || index >= kCharSlots) throw std::out_of_range("FIDChar index");
    return mChars[static_cast<size_t>(index)].film;
}

// [SECTION] Engine helpers ----------------------------------------------------

void clsLumoDriver::Log(const std::string& line) const {
    if (mHooks.Log) mHooks.Log(line);
}

void clsLumoDriver::Set1(int32_t film, int32_t property, int32_t value) {
    const int32_t words[2] = {value, 0};
    SetFilmProp(film, property, words);
}

void clsLumoDriver::Set2(int32_t film, int32_t property, int32_t a, int32_t b) {
    const int32_t words[2] = {a, b};
    SetFilmProp(film, property, words);
}

int32_t clsLumoDriver::Get1(int32_t film, int32_t property) const {
    int32_t words[2] = {0, 0};
    if (GetFilmProp(film, property, words) != 0) return 0;
    return words[0];
}

void clsLumoDriver::Method(int32_t film, int32_t method, int32_t argument) {
    CallFilmMethod(film, method, &argument);
}

void clsLumoDriver::Attach(int32_t film, int32_t parent) {
    const int32_t words[2] = {parent, 0};
    SetFilmProp(film, FP_PARENT, words);
}

void clsLumoDriver::Detach(int32_t film) {
    const int32_t words[2] = {-1, 1};
    SetFilmProp(film, FP_PARENT, words);
}

void clsLumoDriver::ActSet(int32_t act, int32_t property, int32_t value) {
    SetActProp(act, property, &value);
}

void clsLumoDriver::ActMethod(int32_t act, int32_t method, int32_t argument) {
    CallActMethod(act, method, &argument);
}

void clsLumoDriver::InstallRedraw(int32_t film, int32_t set) {
    const LumoRedrawFuncs* funcs = set != 0 ? GetRedrawFuncs(set) : nullptr;
    SetFilmProp(film, FP_REDRAW_PROC, &funcs);
}

void clsLumoDriver::AutoRedraw(bool on) {
    const int32_t value = on ? 1 : 0;
    SetLumoProp(LP_AUTO_REDRAW, &value);
}

void clsLumoDriver::WaitShown() {
    if (mDrawActivity) WaitBlt();
}

void clsLumoDriver::WaitOnScreen() {
    if (mDrawActivity) WaitPresented();
}

void clsLumoDriver::WaitPresented() {
    ExeQueue();
    WaitBlt();
    // The frame composed so far reaches the screen at the engine's next present
    // step, and that step always comes before the engine's next redraw. Forcing
    // a redraw and waiting for it therefore brackets the present, with no
    // timeout to guess. The forced rectangle is empty, so that the redraw
    // copies nothing over what a movie has put on the screen meanwhile.
    Set2(mFIDRoot, FP_DIRTY_RECT, 0, 0);
    ExeQueue();
    WaitBlt();
}

void clsLumoDriver::OnEngineEvent() {
    {
        std::lock_guard lock(mEventMutex);
        ++mEventCount;
    }
    mEventCv.notify_all();
    if (mHooks.WakePump) mHooks.WakePump();
}

// [SECTION] Films and actions -------------------------------------------------

int32_t clsLumoDriver::MakeFilm(int32_t kind, int32_t left, int32_t top, int32_t width,
                                int32_t height) {
    const int32_t film = AddFilm(kind);
    if (film < 0) {
        Log("lumo: no film could be made");
        return film;
    }
    Set2(film, FP_IMAGE_SIZE, width, height);
    Set2(film, FP_SIZE, width, height);
    Set2(film, FP_POS, left, top);
    Set2(film, FP_SRC_POS, 0, 0);
    ExeQueue();
    return film;
}

int32_t clsLumoDriver::AddActByParam(std::initializer_list<int32_t> words) {
    return AddActByAry(std::span(words.begin(), words.size()));
}

int32_t clsLumoDriver::AddActByAry(std::span<const int32_t> ASIAry) {
    const int32_t act = AddAction();
    if (act < 0) {
        Log("lumo: no action could be made");
        return act;
    }
    CallActMethod(act, AM_CLEAR, nullptr);
    ExeQueue();
    for (const int32_t word : ASIAry)
        CallActMethod(act, AM_APPEND, &word);
    ExeQueue();
    ActSet(act, AP_START, 0);
    ExeQueue();
    return act;
}

// [SECTION] Waiting for an action ---------------------------------------------

bool clsLumoDriver::WaitEnd(int32_t act) {
    mWaitCanceled = false;
    for (;;) {
        unsigned long seen = 0;
        {
            std::lock_guard lock(mEventMutex);
            seen = mEventCount;
        }
        int32_t state = 0;
        if (GetActProp(act, AP_STATE, &state) != 0 || state == AS_STOPPED) {
            ExeQueue();
            WaitBlt();
            mWaitCancelEnabled = false;
            mWaitCanceled = false;
            return true;
        }
        if (mWaitCancelEnabled && mHooks.PumpEvents) {
            // Sleeps in the pump; the engine's notification wakes it.
            mHooks.PumpEvents(kFrameMs);
        } else {
            std::unique_lock lock(mEventMutex);
            mEventCv.wait_for(lock, std::chrono::milliseconds(kFrameMs),
                              [&] { return mEventCount != seen; });
        }
        // A reader who closes the player does not wait for the page to be typed.
        const bool closing = Process().ShutdownRequested;
        if (mWaitCancelEnabled &&
            (mWaitCanceled || closing || (mHooks.IsSkipMode && mHooks.IsSkipMode()))) {
            CallActMethod(act, AM_FINISH, nullptr);
            ExeQueue();
            WaitBlt();
            mWaitCancelEnabled = false;
            mWaitCanceled = true;
            return false;
        }
    }
}

}  // namespace zelk
