// The text window (printing, shadow, cursor, window look) and the choices.
#include "common/codepage.h"
#include "common/numbers.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"

namespace zelk {

namespace {

constexpr int kAvoid = 5000;
const char* const kDefaultFont = "ＭＳ ゴシック";

}  // namespace

// The engine's text (CP932, or a UTF-8 game's UTF-8) with every colour mark turned black. The
// engine itself splits the text, so that a "D" among another mark's operands, in a trail byte or in
// lower case is taken for a colour exactly when the text film takes it for one.
std::string ShadowText(const std::string& cp932) {
    std::string out;
    out.reserve(cp932.size());
    const auto length = static_cast<int32_t>(cp932.size());
    int32_t position = 0;
    while (position < length) {
        int32_t bytes = 1;
        const int32_t mark = GetTextElement(cp932.data(), length, position, &bytes);
        if (mark < 0) break;
        if (mark == 'D') {
            out += "D000000";
        } else {
            out.append(cp932, static_cast<size_t>(position), static_cast<size_t>(bytes));
        }
        position += bytes;
    }
    return out;
}

// [SECTION] Printing ----------------------------------------------------------

bool clsLumoDriver::TextStart(const std::string& sText, bool bWait) {
    if (Basic()) return false;
    mCurrentText += ReplaceText(sText, "\n", "\\n");
    const std::string text = EngineText(sText);
    const std::string shadow = ShadowText(text);
    SetFilmProp(mWnd.text, FP_TEXT_APPEND, text.c_str());
    SetFilmProp(mWnd.shadow, FP_TEXT_APPEND, shadow.c_str());
    const bool shadowOn = mHooks.ConfigBool ? mHooks.ConfigBool("TextShadow") : true;
    Set1(mWnd.shadow, FP_ALPHA, shadowOn ? 256 : 0);
    ExeQueue();
    if (bWait) {
        CallActMethod(mActText, AM_START, nullptr);
        CallActMethod(mActShadow, AM_START, nullptr);
        ExeQueue();
        WaitEnd(mActText);
        CallActMethod(mActShadow, AM_FINISH, nullptr);
        ExeQueue();
        WaitBlt();
    } else {
        const int32_t length = Get1(mWnd.text, FP_TEXT_LENGTH);
        Set1(mWnd.text, FP_TEXT_SHOWN, length);
        Set1(mWnd.shadow, FP_TEXT_SHOWN, Get1(mWnd.shadow, FP_TEXT_LENGTH));
        ExeQueue();
    }
    return true;
}

void clsLumoDriver::TextPageTurn() {
    if (Basic()) return;
    mCurrentText.clear();
    CallFilmMethod(mWnd.text, FM_TEXT_CLEAR, nullptr);
    CallFilmMethod(mWnd.shadow, FM_TEXT_CLEAR, nullptr);
    WindowNameFlip(0);
    ExeQueue();
}

void clsLumoDriver::TextSpeedSetting(long lSpeed) {
    mTextDelay = lSpeed;
    if (Basic()) return;
    Set1(mWnd.text, FP_TEXT_DELAY, static_cast<int32_t>(lSpeed));
    Set1(mWnd.shadow, FP_TEXT_DELAY, static_cast<int32_t>(lSpeed));
    ExeQueue();
}

void clsLumoDriver::TextFontSetting(const std::string& FontName, long Color) {
    if (Basic()) return;
    const std::string face = EngineText(FontName.empty() ? kDefaultFont : FontName);
    std::vector<int32_t> films = {mWnd.text, mWnd.shadow};
    for (const ChoiceSlot& choice : mChoices)
        if (choice.text >= 0) films.push_back(choice.text);
    for (const int32_t film : films) {
        SetFilmProp(film, FP_TEXT_FONT, face.c_str());
        Set1(film, FP_TEXT_COLOR, static_cast<int32_t>(Color));
    }
    ExeQueue();
}

// [SECTION] Window ------------------------------------------------------------

void clsLumoDriver::FilmAvoid(int32_t FilmID, bool bVisible) {
    if (FilmID < 0) return;
    const int32_t x = Get1(FilmID, FP_X);
    if (!bVisible && x < kAvoid) Set1(FilmID, FP_X, x + kAvoid);
    if (bVisible && x >= kAvoid) Set1(FilmID, FP_X, x - kAvoid);
}

void clsLumoDriver::TextVisible(bool bVisible) {
    if (Basic()) {
        mTextVisible = false;
        return;
    }
    if (bVisible == mTextVisible) return;
    mTextVisible = bVisible;
    ExeQueue();
    FilmAvoid(mWnd.text, bVisible);
    FilmAvoid(mWnd.shadow, bVisible);
    FilmAvoid(mWnd.back, bVisible);
    if (mBaseFilmSet == 2) {
        FilmAvoid(mWnd.frame, bVisible);
        FilmAvoid(mWnd.state, bVisible);
        FilmAvoid(mWnd.nameplate, bVisible);
        for (const int32_t button : mWnd.buttons)
            FilmAvoid(button, bVisible);
        FilmAvoid(mWnd.face, bVisible);
        if (mHooks.EvRects) mHooks.EvRects->EnabledByTag("wndbutton", bVisible);
    }
    ExeQueue();
    WaitShown();
}

void clsLumoDriver::CursorVisible(bool bNew) {
    if (bNew == mCursorVisible || mWnd.cursor < 0) return;
    mCursorVisible = bNew;
    const int32_t x = Get1(mWnd.cursor, FP_X);
    Set1(mWnd.cursor, FP_X, x + (bNew ? mHooks.ScreenWidth : -mHooks.ScreenWidth));
    if (mBaseFilmSet == 3) {
        ExeQueue();
        const long offset = ReadNumber(ModeSection("NovelMode"), "WaitCursorOffset");
        Set1(mWnd.cursor, FP_Y, static_cast<int32_t>(Get1(mWnd.text, FP_TEXT_Y) + offset));
    }
    ExeQueue();
    WaitShown();
}

void clsLumoDriver::WindowModeFlip(long lFlipPos) {
    if (mWnd.state < 0) return;
    Set1(mWnd.state, FP_CELL_Y, static_cast<int32_t>(lFlipPos));
    ExeQueue();
}

void clsLumoDriver::UpdateWindowMode() {
    const INISection* section = ModeSection("WindowMode");
    if (mHooks.IsSkipMode && mHooks.IsSkipMode()) {
        WindowModeFlip(ReadNumber(section, "StateSkipIndex"));
    } else if (mHooks.AutoClickEnabled && mHooks.AutoClickEnabled()) {
        WindowModeFlip(ReadNumber(section, "StateAutoIndex"));
    } else {
        WindowModeFlip(0);
    }
}

void clsLumoDriver::WindowNameFlip(long n) {
    mNameFlip = n;
    if (mWnd.nameplate < 0) return;
    Set1(mWnd.nameplate, FP_CELL_Y, static_cast<int32_t>(n));
    ExeQueue();
}

void clsLumoDriver::ButtonFlip(long lBtnIndex) {
    if (mBaseFilmSet != 2) return;
    for (size_t i = 0; i < mWnd.buttons.size(); ++i)
        Set1(mWnd.buttons[i], FP_CELL_Y, static_cast<long>(i) == lBtnIndex ? 1 : 0);
    ExeQueue();
}

bool clsLumoDriver::ChangeWindowType(long lTypeNumber) {
    const INISection* section = ModeSection("wndtype:" + std::to_string(lTypeNumber));
    if (!section) {
        Log("lumo: no window type " + std::to_string(lTypeNumber));
        return false;
    }
    const std::string frame = section->KeyValue("Frame");
    const std::string nameplate = section->KeyValue("NamePlate");
    const std::string state = section->KeyValue("State");
    if (frame.empty() || nameplate.empty() || state.empty()) {
        Log("lumo: window type " + std::to_string(lTypeNumber) + " is incomplete");
        return false;
    }
    if (lTypeNumber == mWindowType) return true;
    mWindowType = lTypeNumber;
    if (mBaseFilmSet != 2) return true;
    const bool live = mDrawActivity;
    if (live) DrawDeactivate(0, 1000);
    LoadPng(mWnd.frame, frame, true, false);
    LoadPng(mWnd.nameplate, nameplate, true, false);
    LoadPng(mWnd.state, state, true, false);
    if (live) DrawActivate(0, 1000);
    ExeQueue();
    WaitShown();
    return true;
}

void clsLumoDriver::WndAlpha(long lAlpha) {
    if (mBaseFilmSet != 2 || mWnd.back < 0) return;
    Set1(mWnd.back, FP_ALPHA, static_cast<int32_t>(lAlpha));
    ExeQueue();
}

void clsLumoDriver::NovelAlpha(long lAlpha) {
    if (mBaseFilmSet != 3 || mWnd.back < 0) return;
    Set1(mWnd.back, FP_ALPHA, static_cast<int32_t>(lAlpha));
    ExeQueue();
}

void clsLumoDriver::TextShadow(bool bOn) {
    if (mWnd.shadow < 0) return;
    Set1(mWnd.shadow, FP_ALPHA, bOn ? 256 : 0);
    ExeQueue();
}

// [SECTION] Choices -----------------------------------------------------------

bool clsLumoDriver::AddChoiceItem(const std::string& sText, const std::string& OnClick) {
    if (mBaseFilmSet != 2 || mChoiceCount >= kChoiceSlots) return false;
    ChoiceSlot& choice = mChoices[static_cast<size_t>(mChoiceCount)];
    choice.text_ = sText;
    CallFilmMethod(choice.text, FM_TEXT_CLEAR, nullptr);
    const std::string text = EngineText(sText);
    SetFilmProp(choice.text, FP_TEXT_APPEND, text.c_str());
    ExeQueue();
    Set1(choice.text, FP_TEXT_SHOWN, Get1(choice.text, FP_TEXT_LENGTH));
    ExeQueue();
    if (mHooks.EvRects) {
        if (clsEventRect* rect = mHooks.EvRects->Item(choice.rect)) rect->ClickScript = OnClick;
    }
    ++mChoiceCount;
    return true;
}

void clsLumoDriver::ChoiceArrange() {
    if (mBaseFilmSet != 2) return;
    const INISection* section = ModeSection("WindowMode");
    const long s = ReadNumber(section, "ChoiceSpace");
    const long c = ReadNumber(section, "ChoiceCenter");
    const long o = ReadNumber(section, "ChoiceTextTopOffset");
    const long n = mChoiceCount;
    for (long i = 0; i < n; ++i) {
        const long y = c - (s * (n - 1)) / 2 + i * s;
        Set1(mChoices[static_cast<size_t>(i)].frame, FP_Y, static_cast<int32_t>(y));
        Set1(mChoices[static_cast<size_t>(i)].text, FP_Y, static_cast<int32_t>(y + o));
    }
    ExeQueue();
}

void clsLumoDriver::ChoiceVisible(bool bNew) {
    mChoiceVisible = bNew;
    if (mBaseFilmSet != 2) return;
    for (long i = 0; i < mChoiceCount; ++i) {
        ChoiceSlot& choice = mChoices[static_cast<size_t>(i)];
        FilmAvoid(choice.frame, bNew);
        FilmAvoid(choice.text, bNew);
        ExeQueue();
        if (mHooks.EvRects) {
            if (clsEventRect* rect = mHooks.EvRects->Item(choice.rect)) {
                rect->Enabled = bNew;
                if (bNew) rect->FitFilm(choice.frame);
            }
        }
        Set1(choice.frame, FP_CELL_Y, 0);
    }
    ExeQueue();
    WaitShown();
}

void clsLumoDriver::ChoiceClear() {
    ChoiceVisible(false);
    mChoiceCount = 0;
}

void clsLumoDriver::ChoiceFlip(long index, long FlipLevel) {
    if (mBaseFilmSet != 2) return;
    for (long i = 0; i < mChoiceCount; ++i)
        Set1(mChoices[static_cast<size_t>(i)].frame, FP_CELL_Y,
             static_cast<int32_t>(i == index ? FlipLevel : 0));
    ExeQueue();
    WaitShown();
}

}  // namespace zelk
