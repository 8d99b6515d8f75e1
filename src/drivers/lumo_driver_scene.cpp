// The scene's layers: the character stack of 20 slots (index 0 on top), the
// face beside the window and the background.
#include <cstdio>

#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"

namespace zelk {

namespace {

constexpr int32_t kHiddenX = -5000;
constexpr long kCentre = -999999;

}  // namespace

std::string clsLumoDriver::CIDOf(const std::string& sFile) {
    const std::vector<std::string> parts = SplitText(ToLowerAscii(sFile), "_");
    if (parts.size() >= 3 && parts[0] == "st") return parts[1];
    return "?";
}

// [SECTION] Finding a slot ----------------------------------------------------

long clsLumoDriver::FindChar(const std::string& sCID, bool bInvisible) const {
    if (sCID == "?" || Basic()) return -1;
    const std::string wanted = ToLowerAscii(sCID);
    for (int i = 0; i < kCharSlots; ++i) {
        const CharSlot& slot = mChars[static_cast<size_t>(i)];
        if ((slot.visible || bInvisible) && slot.cid == wanted && !slot.file.empty()) return i;
    }
    for (int i = 0; i < kCharSlots; ++i) {
        const CharSlot& slot = mChars[static_cast<size_t>(i)];
        if ((slot.visible || bInvisible) && !slot.file.empty() && EqualsNoCase(slot.file, sCID))
            return i;
    }
    return -1;
}

clsLumoDriver::CharSlot* clsLumoDriver::SlotOf(const std::string& sCID) {
    const long i = FindChar(sCID, false);
    return i < 0 ? nullptr : &mChars[static_cast<size_t>(i)];
}

const clsLumoDriver::CharSlot* clsLumoDriver::SlotOf(const std::string& sCID) const {
    const long i = FindChar(sCID, false);
    return i < 0 ? nullptr : &mChars[static_cast<size_t>(i)];
}

std::string clsLumoDriver::GetCharLocation(const std::string& sCID) const {
    const CharSlot* slot = SlotOf(sCID);
    if (!slot) return {};
    return std::to_string(slot->x) + "," + std::to_string(slot->y) + "," +
           std::to_string(slot->width) + "," + std::to_string(slot->height);
}

long clsLumoDriver::GetCharXPos(const std::string& sCID) const {
    const CharSlot* slot = SlotOf(sCID);
    return slot ? slot->x : 320;
}

int32_t clsLumoDriver::GetCharFilmID(const std::string& sCID) const {
    const CharSlot* slot = SlotOf(sCID);
    return slot ? slot->film : -1;
}

// [SECTION] Stack order -------------------------------------------------------

void clsLumoDriver::BringToFront(int i) {
    if (i <= 0) return;
    CharSlot record = std::move(mChars[static_cast<size_t>(i)]);
    for (int k = i; k > 0; --k)
        mChars[static_cast<size_t>(k)] = std::move(mChars[static_cast<size_t>(k - 1)]);
    mChars[0] = std::move(record);
    Set1(mChars[0].film, FP_INSERT_AFTER, mChars[1].film);
    ExeQueue();
}

void clsLumoDriver::SendBack(int i) {
    CharSlot record = std::move(mChars[static_cast<size_t>(i)]);
    int k = i;
    while (k + 1 < kCharSlots && mChars[static_cast<size_t>(k + 1)].visible) {
        mChars[static_cast<size_t>(k)] = std::move(mChars[static_cast<size_t>(k + 1)]);
        ++k;
    }
    mChars[static_cast<size_t>(k)] = std::move(record);
    if (k > 0) {
        Set1(mChars[static_cast<size_t>(k)].film, FP_INSERT_BEFORE,
             mChars[static_cast<size_t>(k - 1)].film);
    }
    ExeQueue();
}

void clsLumoDriver::HideSlot(int i) {
    CharSlot& slot = mChars[static_cast<size_t>(i)];
    CallActMethod(slot.action, AM_HALT, nullptr);
    CallActMethod(slot.action, AM_CLEAR, nullptr);
    slot.program.clear();
    slot.visible = false;
    slot.cellX = slot.cellY = 0;
    Set1(slot.film, FP_CELL_X, 0);
    Set1(slot.film, FP_CELL_Y, 0);
    Set1(slot.film, FP_X, kHiddenX);
    ExeQueue();
    SendBack(i);
}

// [SECTION] Characters and CG -------------------------------------------------

bool clsLumoDriver::CGChange(const std::string& sFile, long xPos, long yPos, long width,
                             long height, long time) {
    if (Basic()) return false;
    const bool live = mDrawActivity;
    if (live) DrawDeactivate(0, 1000);
    const std::string cid = CIDOf(sFile);
    if (cid != "?") {
        for (int i = 0; i < kCharSlots; ++i) {
            const CharSlot& slot = mChars[static_cast<size_t>(i)];
            if (slot.visible && slot.cid == cid && !EqualsNoCase(slot.file, sFile)) {
                Log("(CID Conflict)");
                CGHideSlot(i, 0);
                break;
            }
        }
    }
    int found = -1;
    for (int i = 0; i < kCharSlots; ++i)
        if (!mChars[static_cast<size_t>(i)].file.empty() &&
            EqualsNoCase(mChars[static_cast<size_t>(i)].file, sFile)) {
            found = i;
            break;
        }
    bool load = false;
    if (found == 0 && mChars[0].visible && mChars[0].x == xPos && mChars[0].y == yPos &&
        mChars[0].blend == mCharBlendColor) {
        Log("CGH Command:No Operation");
        if (live) DrawActivate(0, 1000);
        return true;
    }
    if (found > 0) {
        BringToFront(found);
    } else if (found < 0) {
        if (mChars[kCharSlots - 1].visible) {
            Log("CG Command Alarm:Buff is Filled");
            CGHideSlot(kCharSlots - 1, 0);
        }
        BringToFront(kCharSlots - 1);
        load = true;
    }
    CharSlot& slot = mChars[0];
    bool result = true;
    if (load || slot.blend != mCharBlendColor) {
        // The film may have shown another picture, trimmed with its own
        // offset; the new one starts from its top-left corner.
        Set2(slot.film, FP_SRC_POS, 0, 0);
        result = LoadPng(slot.film, sFile, true, true);
        if (!result) ClearPicture(slot.film);
        if (width == -1 && height == -1) {
            CallFilmMethod(slot.film, FM_TRIM, nullptr);
            slot.trimmed = true;
        } else {
            slot.trimmed = false;
        }
        if (mCharBlendColor != 0) Method(slot.film, FM_TINT, static_cast<int32_t>(mCharBlendColor));
        slot.blend = mCharBlendColor;
        ExeQueue();
        int32_t size[2] = {0, 0};
        GetFilmProp(slot.film, FP_SIZE, size);
        slot.width = size[0];
        slot.height = size[1];
        if (width != -1) slot.width = width;
        if (height != -1) slot.height = height;
        if (width != -1 || height != -1)
            Set2(slot.film, FP_SIZE, static_cast<int32_t>(slot.width),
                 static_cast<int32_t>(slot.height));
        slot.cellX = slot.cellY = 0;
        Set1(slot.film, FP_CELL_X, 0);
        Set1(slot.film, FP_CELL_Y, 0);
    }
    slot.cid = cid;
    slot.file = sFile;
    slot.visible = true;
    slot.x = xPos;
    slot.y = yPos;
    Set2(slot.film, FP_POS, static_cast<int32_t>(xPos - slot.width / 2),
         static_cast<int32_t>(yPos - slot.height / 2));
    Set1(slot.film, FP_ALPHA, 256);
    slot.alpha = 256;
    CallFilmMethod(slot.film, FM_INVALIDATE, nullptr);
    CallFilmMethod(mFIDBuff, FM_REDRAW, nullptr);
    ExeQueue();
    Log("CG Command ");
    LogChCondition();
    if (live) DrawActivate(1, time);
    return result;
}

bool clsLumoDriver::CGHide(const std::string& sCID, long time) {
    if (Basic()) return false;
    const long i = FindChar(sCID, false);
    if (i < 0) return false;
    CGHideSlot(static_cast<int>(i), time);
    return true;
}

// By slot rather than by name: a picture hidden to make room is that slot's,
// whatever other slot its name might also match.
void clsLumoDriver::CGHideSlot(int i, long time) {
    const bool live = mDrawActivity;
    if (time != 0 && live) DrawDeactivate(0, 1000);
    HideSlot(i);
    if (time != 0) {
        CallFilmMethod(mFIDBuff, FM_REDRAW, nullptr);
        ExeQueue();
        if (live) DrawActivate(1, time);
    }
    Log("CGH Command ");
    LogChCondition();
}

bool clsLumoDriver::CGHideAll(long time) {
    if (Basic()) return false;
    const bool live = mDrawActivity;
    if (time != 0 && live) DrawDeactivate(0, 1000);
    while (mChars[0].visible)
        HideSlot(0);
    if (time != 0) {
        CallFilmMethod(mFIDBuff, FM_REDRAW, nullptr);
        ExeQueue();
        if (live) DrawActivate(1, time);
    }
    Log("CGH(All) Command ");
    LogChCondition();
    return true;
}

bool clsLumoDriver::CGFlip(const std::string& sCID, long cellX, long cellY) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    if (cellX != -1) {
        Set1(slot->film, FP_CELL_X, static_cast<int32_t>(cellX));
        slot->cellX = cellX;
    }
    if (cellY != -1) {
        Set1(slot->film, FP_CELL_Y, static_cast<int32_t>(cellY));
        slot->cellY = cellY;
    }
    ExeQueue();
    return true;
}

bool clsLumoDriver::RunTempAction(int32_t film, std::initializer_list<int32_t> program) {
    const int32_t act = AddActByParam(program);
    if (act < 0) return false;
    ActSet(act, AP_SPEED, 1000);
    ActSet(act, AP_TARGET, film);
    CallActMethod(act, AM_START, nullptr);
    ExeQueue();
    WaitEnd(act);
    WaitBlt();
    RemoveAction(act);
    ExeQueue();
    return true;
}

void clsLumoDriver::RunSlotProgram(CharSlot& slot, std::initializer_list<int32_t> program) {
    CallActMethod(slot.action, AM_HALT, nullptr);
    CallActMethod(slot.action, AM_CLEAR, nullptr);
    slot.program.assign(program);
    for (const int32_t word : program)
        CallActMethod(slot.action, AM_APPEND, &word);
    CallActMethod(slot.action, AM_START, nullptr);
    ExeQueue();
}

bool clsLumoDriver::CGAlpha(const std::string& sCID, long lAlpha, long time, bool bSync) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    slot->alpha = lAlpha;
    const int32_t a = static_cast<int32_t>(lAlpha);
    if (time == 0 || !mDrawActivity) {
        Set1(slot->film, FP_ALPHA, a);
        ExeQueue();
    } else if (bSync) {
        RunTempAction(slot->film, {AC_MOVE_TO, FP_ALPHA, a, static_cast<int32_t>(time), AC_END});
    } else {
        RunSlotProgram(*slot, {AC_MOVE_TO, FP_ALPHA, a, static_cast<int32_t>(time), AC_END});
    }
    return true;
}

bool clsLumoDriver::CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute, long time,
                           bool bSync) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    slot->x = bAbsolute ? xPos : slot->x + xPos;
    slot->y = bAbsolute ? yPos : slot->y + yPos;
    const int32_t tx = static_cast<int32_t>(slot->x - slot->width / 2);
    const int32_t ty = static_cast<int32_t>(slot->y - slot->height / 2);
    if (time == 0 || !mDrawActivity) {
        Set2(slot->film, FP_POS, tx, ty);
        ExeQueue();
    } else if (bSync) {
        RunTempAction(slot->film,
                      {AC_MOVE2_TO, FP_POS, tx, ty, static_cast<int32_t>(time), AC_END});
    } else {
        RunSlotProgram(*slot, {AC_MOVE2_TO, FP_POS, tx, ty, static_cast<int32_t>(time), AC_END});
    }
    return true;
}

bool clsLumoDriver::CGTempVisible(const std::string& sCID) const {
    const CharSlot* slot = SlotOf(sCID);
    return slot && slot->tempVisible;
}

void clsLumoDriver::CGTempVisible(const std::string& sCID, bool bNew) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return;
    slot->tempVisible = bNew;
    FilmAvoid(slot->film, bNew);
    ExeQueue();
}

bool clsLumoDriver::CGActClear(const std::string& sCID) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    CallActMethod(slot->action, AM_HALT, nullptr);
    CallActMethod(slot->action, AM_CLEAR, nullptr);
    slot->program.clear();
    ExeQueue();
    return true;
}

bool clsLumoDriver::CGActAdd(const std::string& sCID, const std::vector<std::string>& words) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    for (const std::string& text : words) {
        const int32_t word = static_cast<int32_t>(std::strtoll(text.c_str(), nullptr, 10));
        if (word == -1) break;
        CallActMethod(slot->action, AM_APPEND, &word);
        slot->program.push_back(word);
    }
    ExeQueue();
    return true;
}

bool clsLumoDriver::CGActStart(const std::string& sCID) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    CallActMethod(slot->action, AM_START, nullptr);
    ExeQueue();
    return true;
}

bool clsLumoDriver::CGActEnd(const std::string& sCID) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    CallActMethod(slot->action, AM_HALT, nullptr);
    ExeQueue();
    return true;
}

bool clsLumoDriver::CGActComplete(const std::string& sCID) {
    CharSlot* slot = SlotOf(sCID);
    if (!slot) return false;
    CallActMethod(slot->action, AM_FINISH, nullptr);
    ExeQueue();
    return true;
}

bool clsLumoDriver::FaceChange(const std::string& sFaceFile) {
    if (Basic() || mWnd.face < 0) return false;
    mFaceName = sFaceFile;
    bool result = true;
    if (!sFaceFile.empty()) {
        const bool live = mDrawActivity;
        if (live) DrawDeactivate(0, 1000);
        result = LoadPng(mWnd.face, sFaceFile, true, true);
        if (!result) ClearPicture(mWnd.face);
        Set1(mWnd.face, FP_ALPHA, 256);
        if (live) DrawActivate(0, 1000);
    } else {
        Set1(mWnd.face, FP_ALPHA, 0);
    }
    ExeQueue();
    WaitShown();
    return result;
}

// [SECTION] Background --------------------------------------------------------

bool clsLumoDriver::BGFill(long lColor, long time) {
    const bool live = mDrawActivity;
    if (live) DrawDeactivate(0, 1000);
    Set2(mFIDBack, FP_SRC_POS, 0, 0);
    Set2(mFIDBack, FP_IMAGE_SIZE, mHooks.ScreenWidth, mHooks.ScreenHeight);
    Set2(mFIDBack, FP_SIZE, mHooks.ScreenWidth, mHooks.ScreenHeight);
    Set2(mFIDBack, FP_POS, 0, 0);
    Method(mFIDBack, FM_FILL, static_cast<int32_t>(lColor));
    CallFilmMethod(mFIDBack, FM_INVALIDATE, nullptr);
    ExeQueue();
    if (live) DrawActivate(1, time);
    mBGName.clear();
    mBGFillColor = lColor;
    Log("BG Fill to color'" + HexPad(lColor, 8) + "'");
    return true;
}

bool clsLumoDriver::BGCenter(const std::string& sNewFile, long xPos, long yPos, long time,
                             bool bAbsolute) {
    if (xPos == kCentre) xPos = mHooks.ScreenWidth / 2;
    if (yPos == kCentre) yPos = mHooks.ScreenHeight / 2;
    ExeQueue();
    if (sNewFile == mBGName && !sNewFile.empty()) {
        if ((bAbsolute && mBGX == xPos && mBGY == yPos) || (!bAbsolute && xPos == 0 && yPos == 0)) {
            Log("BGCenter Command Same File And Pos");
            return true;
        }
    }
    const long cx = bAbsolute ? xPos : mBGX + xPos;
    const long cy = bAbsolute ? yPos : mBGY + yPos;
    const bool live = mDrawActivity;
    if (live) DrawDeactivate(0, 1000);
    bool loaded = true;
    if (sNewFile != mBGName) {
        loaded = LoadPng(mFIDBack, sNewFile, false, true);
        Log("BGCenter Command Change to '" + sNewFile + "'");
    }
    if (loaded) {
        mBGX = cx;
        mBGY = cy;
        const int32_t w = Get1(mFIDBack, FP_WIDTH);
        const int32_t h = Get1(mFIDBack, FP_HEIGHT);
        Set2(mFIDBack, FP_POS, static_cast<int32_t>(cx - w / 2), static_cast<int32_t>(cy - h / 2));
        ExeQueue();
        Log("BGCenter Command Move to (" + std::to_string(cx) + "," + std::to_string(cy) + ")");
        mBGName = sNewFile;
    } else {
        Log("BGCenter Command Load Error '" + sNewFile + "'");
    }
    if (live) DrawActivate(1, time);
    return loaded;
}

bool clsLumoDriver::BGMove(long xPos, long yPos, long time, bool bAbsolute) {
    if (!mDrawActivity) time = 0;
    mBGX = bAbsolute ? xPos : mBGX + xPos;
    mBGY = bAbsolute ? yPos : mBGY + yPos;
    const int32_t tx = static_cast<int32_t>(mBGX - Get1(mFIDBack, FP_WIDTH) / 2);
    const int32_t ty = static_cast<int32_t>(mBGY - Get1(mFIDBack, FP_HEIGHT) / 2);
    if (time == 0) {
        Set2(mFIDBack, FP_POS, tx, ty);
        ExeQueue();
    } else {
        RunTempAction(mFIDBack, {AC_MOVE2_TO, FP_POS, tx, ty, static_cast<int32_t>(time), AC_END});
    }
    return true;
}

void clsLumoDriver::LogChCondition() {
    if (!mHooks.DebugLog) return;
    if (Basic()) {
        Log("No charfilm. Film set is 'Basic'");
        return;
    }
    std::string table = "Chars Changed to ...";
    for (int i = 0; i < kCharSlots; ++i) {
        const CharSlot& s = mChars[static_cast<size_t>(i)];
        table += "\r\n" +
                 FormatMessageArgs("CH(%1) File='%2' CID='%3' POS=(%4,%5) SIZE=(%6,%7) Vis='%8'",
                                   {std::to_string(i), s.file, s.cid, std::to_string(s.x),
                                    std::to_string(s.y), std::to_string(s.width),
                                    std::to_string(s.height), s.visible ? "True" : "False"});
    }
    Log(table);
}

}  // namespace zelk
