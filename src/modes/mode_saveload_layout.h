// The save/load screen's layout as its settings file "saveload_mode" gives
// it: backgrounds, sounds and questions, the return and page buttons, where
// each slot of a page lies and what its films are made of. Reading it is
// kept apart from building films so that the numbering of slots, the page
// rules and the scaling of the slot text can be checked without an engine.
#pragma once

#include <string>
#include <vector>

namespace zelk {

class INIFile;

struct SlotPoint {
    long x = 0, y = 0;
};

struct SaveLoadLayout {
    // More than this many slots or pages would exhaust the film table and
    // cannot be named by the two-digit keys anyway.
    static constexpr long kMaxSlots = 100;
    static constexpr long kMaxPages = 100;

    // [Base]
    std::string BGFromGame, BGFromTitle;
    bool TransparentBGFromGame = false, TransparentBGFromTitle = false;
    long BGAlphaBlend = 0;
    bool SlotbaseOverThumbnail = false;
    long PageButtonFlipNumOnClick = 2;
    long PageButtonFlipNumOnLock = 0;
    std::string PointSE, ClickSE;
    std::string QuerySaveMessage, QueryLoadMessage;

    // [Button]
    std::string Return;
    std::vector<std::string> PageNo;  // one spec per page

    // [Slots]
    long SlotXCount = 0, SlotYCount = 0;
    bool FreePlaceMode = false;
    std::vector<SlotPoint> Slots;  // one position per slot of a page

    // [SlotBase]
    std::string Thumb, Base, Save, Load, Text;
    std::string TextFont;
    long TextColor = 0;  // engine order, blue-green-red
    long TextSize = 0, TextWidth = 0, TextHeight = 0;

    long SlotCount() const { return static_cast<long>(Slots.size()); }
    long PageCount() const { return static_cast<long>(PageNo.size()); }

    static SaveLoadLayout Read(const INIFile& settings);
};

// The page to show for a requested one: outside 1..pageCount it is page 1.
long ClampPage(long page, long pageCount);
// Saving is offered only when entered from the game, and never on the last
// page (which holds the quick saves).
bool SaveAllowedOnPage(long page, long pageCount, bool fromGame);
// "sd" page "-" slot index: the page counted from 1, the slot from 0.
std::string SaveLoadSlotName(long page, long slotIndex);

// A script-space length on the screen (integer division, as the scenario
// coordinates are converted).
long ScaleToScreen(long value, long screenSize, long scriptScale);

}  // namespace zelk
