// A stand-in for the game view's out-of-line members, for the modes' tests
// while the view itself is not part of this branch: the event rectangles
// (inline in the header) are real, the menus only record what was asked of
// them. The real view replaces this file.
#include <SDL.h>

#include "modes/mode_saveload_test_view.h"
#include "platform/screen_surface.h"
#include "view/game_view.h"

namespace zelk {

class clsGameView::Impl {};

clsGameView::clsGameView(PlayerRoot& root) : mRoot(root) {}
clsGameView::~clsGameView() = default;

void clsGameView::MenuEnableByText(const std::string& sList) {
    testing::StandInMenuCalls().push_back(sList);
}

namespace testing {

std::vector<std::string>& StandInMenuCalls() {
    static std::vector<std::string> calls;
    return calls;
}

}  // namespace testing
}  // namespace zelk
