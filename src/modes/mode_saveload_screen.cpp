// The save/load screen's films: background, return and page buttons, and
// per slot its base, thumbnail, save and load buttons and text; and the
// pages that fill them from the slot files.
#include <cstdint>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode_buttons.h"
#include "modes/mode_films.h"
#include "modes/mode_saveload.h"

#include "common/file_io.h"
#include "modes/mode_saveload_preview.h"
#include "modes/save_data.h"
#include "settings/ini_file.h"
#include "view/player_root.h"

namespace zelk {

namespace {

// BGCenter's "middle of the screen".
constexpr long kCentre = -999999;

// Keyboard order: down the slots (save, then load), then the pages, then
// the return button. Slot bases only answer the pointer.
constexpr long kKBPages = 1000;
constexpr long kKBReturn = 2000;

}  // namespace

// [SECTION] Building ---------------------------------------------------------

void clsModeSaveLoad::MakeSaveLoadFilms() {
    clsLumoDriver& lumo = *Lumo();
    Rects()->Clear();
    lumo.DrawDeactivate(0, 1000);
    lumo.BaseFilmSet(1);
    MakeBackground();

    mReturnButton = MakeSlotButton(0, "ret", 0, 0, mLayout.Return, kKBReturn);
    for (long i = 0; i < mLayout.PageCount(); ++i)
        mPageButtons[static_cast<std::size_t>(i)] = MakeSlotButton(
            i, "page", 0, 0, mLayout.PageNo[static_cast<std::size_t>(i)], kKBPages + i);

    const std::string face = Lumo()->EngineText(mLayout.TextFont);
    const ProcessValues& process = Process();
    const long textSize =
        ScaleToScreen(mLayout.TextSize, process.ScreenSizeX, process.ScriptScaleX);
    const long textPitch =
        ScaleToScreen(mLayout.TextWidth, process.ScreenSizeX, process.ScriptScaleX);
    const long linePitch =
        ScaleToScreen(mLayout.TextHeight, process.ScreenSizeY, process.ScriptScaleY);

    for (long i = 0; i < mLayout.SlotCount(); ++i) {
        SaveLoadSlot& slot = mSlots[static_cast<std::size_t>(i)];
        const SlotPoint at = mLayout.Slots[static_cast<std::size_t>(i)];
        if (mLayout.SlotbaseOverThumbnail) {
            slot.thumb = MakeSlotFilm(FT_IMAGE, at.x, at.y, mLayout.Thumb);
            slot.base = MakeSlotButton(i, "slot", at.x, at.y, mLayout.Base);
        } else {
            slot.base = MakeSlotButton(i, "slot", at.x, at.y, mLayout.Base);
            slot.thumb = MakeSlotFilm(FT_IMAGE, at.x, at.y, mLayout.Thumb);
        }
        slot.save = MakeSlotButton(i, "save", at.x, at.y, mLayout.Save, 2 * i);
        slot.load = MakeSlotButton(i, "load", at.x, at.y, mLayout.Load, 2 * i + 1);
        slot.text = MakeSlotFilm(FT_TEXT, at.x, at.y, mLayout.Text);
        if (slot.text < 0) continue;
        SetFilmProp(slot.text, FP_TEXT_FONT, face.c_str());
        films::Set(slot.text, FP_TEXT_COLOR, static_cast<std::int32_t>(mLayout.TextColor));
        films::Set(slot.text, FP_TEXT_SIZE, static_cast<std::int32_t>(textSize));
        films::Set(slot.text, FP_TEXT_PITCH, static_cast<std::int32_t>(textPitch));
        films::Set(slot.text, FP_TEXT_LINE_PITCH, static_cast<std::int32_t>(linePitch));
        CallFilmMethod(slot.text, FM_TEXT_CLEAR, nullptr);
        films::Set(slot.text, FP_TEXT_SHOWN, films::Get(slot.text, FP_TEXT_LENGTH));
        lumo.EXEQ();
    }
}

void clsModeSaveLoad::MakeBackground() {
    clsLumoDriver& lumo = *Lumo();
    const std::string& picture = mFromGame ? mLayout.BGFromGame : mLayout.BGFromTitle;
    const bool transparent =
        mFromGame ? mLayout.TransparentBGFromGame : mLayout.TransparentBGFromTitle;
    if (!transparent) {
        lumo.BGCenter(picture, kCentre, kCentre, 1000, true);
        return;
    }
    // The screen as it was (the game's or the title's last picture) stays
    // under the screen's own background.
    const std::int32_t back = lumo.FIDBack();
    CallFilmMethod(lumo.FIDRoot(), FM_COPY_IMAGE_TO, &back);
    lumo.EXEQ();
    const std::int32_t film =
        lumo.MakeFilm(FT_ALPHA, 0, 0, Process().ScreenSizeX, Process().ScreenSizeY);
    if (film < 0) return;
    lumo.LoadPng(film, picture, true, false);
    Alpha(film, mLayout.BGAlphaBlend);
    films::Set(film, FP_PARENT, lumo.FIDBuff());
    lumo.EXEQ();
}

long clsModeSaveLoad::MakeSlotButton(long lTag, const std::string& sTag, long dx, long dy,
                                     const std::string& spec, long kbOrder) {
    const FilmSpecRecord s = ParseFilmSpec(spec, dx, dy);
    clsEventRect* rect = MakeButtonAt(*Lumo(), *Rects(), lTag, sTag, s.Name, s.X, s.Y, s.H, true);
    if (!rect) return -1;
    rect->KBOrder = kbOrder;
    return rect->Index;
}

std::int32_t clsModeSaveLoad::MakeSlotFilm(std::int32_t type, long dx, long dy,
                                           const std::string& spec) {
    clsLumoDriver& lumo = *Lumo();
    const FilmSpecRecord s = ParseFilmSpec(spec, dx, dy);
    const std::int32_t film =
        lumo.MakeFilm(type, static_cast<std::int32_t>(s.X), static_cast<std::int32_t>(s.Y),
                      static_cast<std::int32_t>(s.W), static_cast<std::int32_t>(s.H));
    if (film < 0) return film;
    if (!s.Name.empty()) lumo.LoadPng(film, s.Name, type != FT_IMAGE, false);
    films::Set(film, FP_PARENT, lumo.FIDBuff());
    lumo.EXEQ();
    return film;
}

// [SECTION] Pages and slots --------------------------------------------------

void clsModeSaveLoad::ShowPage(long page) {
    clsLumoDriver& lumo = *Lumo();
    // The screen is built hidden; deactivating it once more would show the
    // half-built page for a frame.
    if (lumo.DrawActivity()) lumo.DrawDeactivate(0, 1000);
    page = ClampPage(page, mLayout.PageCount());
    const bool saveAllowed = SaveAllowedOnPage(page, mLayout.PageCount(), mFromGame);
    for (long i = 0; i < mLayout.SlotCount(); ++i)
        ShowSlot(i, saveAllowed, SaveLoadSlotName(page, i));
    for (long i = 0; i < mLayout.PageCount(); ++i) {
        const long button = mPageButtons[static_cast<std::size_t>(i)];
        if (i == page - 1)
            EnableButton(button, false, mLayout.PageButtonFlipNumOnLock);
        else
            EnableButton(button, true, kCellNormal);
        lumo.EXEQ();
    }
    mCurrentPage = page;
    lumo.DrawActivate(0, 1000);
}

void clsModeSaveLoad::ShowSlot(long index, bool saveAllowed, const std::string& name) {
    clsLumoDriver& lumo = *Lumo();
    SaveLoadSlot& slot = mSlots[static_cast<std::size_t>(index)];
    slot.name = name;
    const clsSaveData* sd = Root().SD();
    INIFile document;
    // A document that cannot be read is shown as an empty slot and left
    // alone: only saving into the slot replaces it.
    const bool readable = sd && sd->ReadSlotDocument(name, document);
    if (clsEventRect* base = Rect(slot.base)) Cell(base->FilmID, kCellNormal);
    EnableButton(slot.save, saveAllowed, saveAllowed ? kCellNormal : kCellDisabled);
    if (readable) {
        SetSlotText(index, SlotSummaryText(document));
        EnableButton(slot.load, true, kCellNormal);
        // The page before may have shown another picture here.
        if (slot.thumb >= 0) CallFilmMethod(slot.thumb, FM_CLEAR, nullptr);
        const std::string picture = sd->SlotBMPPath(name);
        // A FIFO or a device in the picture's place would stop the screen.
        const bool shown =
            slot.thumb >= 0 && IsRegularFile(picture) && lumo.LoadByFullPath(slot.thumb, picture);
        Alpha(slot.thumb, shown ? 256 : 0);
    } else {
        SetSlotText(index, "");
        EnableButton(slot.load, false, kCellDisabled);
        Alpha(slot.thumb, 0);
    }
    lumo.EXEQ();
}

void clsModeSaveLoad::SetSlotText(long index, const std::string& text) {
    clsLumoDriver& lumo = *Lumo();
    SaveLoadSlot& slot = mSlots[static_cast<std::size_t>(index)];
    slot.shownText = text;
    if (slot.text < 0) return;
    CallFilmMethod(slot.text, FM_TEXT_CLEAR, nullptr);
    if (text.empty()) return;
    const std::string bytes = SlotTextForEngine(text, lumo.Encoding());
    SetFilmProp(slot.text, FP_TEXT_APPEND, bytes.c_str());
    lumo.EXEQ();
    films::Set(slot.text, FP_TEXT_SHOWN, films::Get(slot.text, FP_TEXT_LENGTH));
    lumo.EXEQ();
}

}  // namespace zelk
