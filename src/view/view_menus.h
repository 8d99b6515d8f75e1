// The game window's five menus: their items keyed by tag (section "!" name),
// the enabled and checked state of each, and the menu bar drawn with ImGui.
// Captions are kept as the program carries them and shown through the
// message catalogue, so a change of language shows at the next frame.
// The state outlives the window, so switching between the window and full
// screen keeps what the modes enabled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "view/game_view.h"

namespace zelk {

class ViewMenus {
public:
    struct Menu {
        std::string Section;
        std::string Caption;
        std::vector<ViewMenuItem> Items;
    };

    // Builds the menus with their captions and tags, every item enabled.
    ViewMenus();

    ViewMenuItem* Item(const std::string& tag);
    const std::vector<Menu>& Menus() const { return mMenus; }
    long ItemCount() const;

    // Every item's state as "enabled,checked" pairs of Boolean words.
    std::vector<std::string> SaveStatus() const;
    // Restored only when the count matches.
    void LoadStatus(const std::vector<std::string>& saved);

    // Draws the bar (in the current ImGui frame) and returns the tag of the
    // chosen item, or "".
    std::string DrawBar();

    // Runs whenever a menu is drawn open, before its items: the items whose
    // state follows something outside the menus catch up there.
    std::function<void()> Opening;

private:
    std::vector<Menu> mMenus;
};

}  // namespace zelk
