// clsModeSaveLoad: the save/load screen, mode 3. Pages of save slots, each
// with its thumbnail, its text (date, time, place) and a save and a load
// button. Entered from the game (start argument 13) the reader may save and
// load and returns to the game; entered from the title (12) only loading is
// offered and returning leads back to the title. The layout comes from the
// system file "saveload_mode"; the slot files belong to the save data.
//
// Files: mode_saveload.cpp (start, end, screen commands, leaving, saving
// and loading), mode_saveload_screen.cpp (the films, pages and slots),
// mode_saveload_layout.* (the settings), mode_saveload_preview.* (thumbnail
// and slot text).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modes/mode.h"
#include "modes/mode_saveload_layout.h"

namespace zelk {

class INIFile;
class clsEventRect;
class clsEventRects;
class clsLumoDriver;

class clsModeSaveLoad : public clsModeBase {
public:
    // Start arguments.
    static constexpr long kFromTitle = 12;
    static constexpr long kFromGame = 13;

    // Button picture cells, one below the other.
    static constexpr long kCellNormal = 0;
    static constexpr long kCellPointed = 1;
    static constexpr long kCellPressed = 2;
    static constexpr long kCellDisabled = 3;

    // One slot of the page. Rectangles are held by their index in the
    // view's collection and looked up when needed.
    struct SaveLoadSlot {
        long base = -1, save = -1, load = -1;
        std::int32_t text = -1, thumb = -1;
        std::string name;
        std::string shownText;  // what SetSlotText last printed (UTF-8)
    };

    explicit clsModeSaveLoad(PlayerRoot& root);
    ~clsModeSaveLoad() override;

    bool ModeStart(long eSub, const std::any& vParam) override;
    bool ModeEnd() override;

    // [SECTION] What the screen shows
    bool FromGame() const { return mFromGame; }
    long CurrentPage() const { return mCurrentPage; }
    const SaveLoadLayout& Layout() const { return mLayout; }
    const std::vector<SaveLoadSlot>& Slots() const { return mSlots; }
    const std::vector<long>& PageButtons() const { return mPageButtons; }
    long ReturnButton() const { return mReturnButton; }

protected:
    void OnScreenCmd(long eEvent, clsEventRect* er) override;

private:
    // [SECTION] Screen (mode_saveload_screen.cpp)
    void MakeSaveLoadFilms();
    void MakeBackground();
    void ShowPage(long page);
    void ShowSlot(long index, bool saveAllowed, const std::string& name);
    void SetSlotText(long index, const std::string& text);
    long MakeSlotButton(long lTag, const std::string& sTag, long dx, long dy,
                        const std::string& spec, long kbOrder = -1);
    std::int32_t MakeSlotFilm(std::int32_t type, long dx, long dy, const std::string& spec);

    // [SECTION] Screen commands (mode_saveload.cpp)
    void OnReturn(clsEventRect& er);
    void OnPage(clsEventRect& er);
    void OnSave(clsEventRect& er);
    // True when the load went ahead (and the mode has ended).
    bool OnLoadLeaves(clsEventRect& er);
    void OnPointSlot(clsEventRect& er);
    // Ends the mode: to the game with its snapshot restored, or the title.
    void Leave();
    bool Ask(const std::string& question);
    void PlaySound(const std::string& key);
    void PressAndShow(clsEventRect& er);
    void ResetEnabledCells();

    // [SECTION] Film helpers
    clsLumoDriver* Lumo() const;
    clsEventRects* Rects() const;
    clsEventRect* Rect(long index) const;
    void Cell(long filmID, long cell);
    void Alpha(std::int32_t film, long alpha);
    void EnableButton(long index, bool enabled, long cell);

    bool mFromGame = false;
    bool mStarted = false;  // the settings were loaded and the screen built
    bool mBusy = false;     // a command is being carried out
    std::unique_ptr<INIFile> mSettings;
    SaveLoadLayout mLayout;
    long mCurrentPage = 1;
    std::vector<SaveLoadSlot> mSlots;
    std::vector<long> mPageButtons;
    long mReturnButton = -1;
};

}  // namespace zelk
