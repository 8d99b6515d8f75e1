// The game window as the modes' tests need it, until the view's own
// implementation is linked here: rectangles, selection, events, menus and
// screen commands that go straight to the root, no window at all.
#include <map>

#include "common/text.h"
#include "modes/game_view_stand_in.h"
#include "platform/screen_surface.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace zelk {

class clsGameView::Impl {
public:
    std::map<std::string, ViewMenuItem> menus;
};

namespace testing {

std::vector<std::pair<std::string, std::string>>& StandInMenuCommands() {
    static std::vector<std::pair<std::string, std::string>> commands;
    return commands;
}

}  // namespace testing

clsGameView::clsGameView(PlayerRoot& root) : mRoot(root), mImpl(std::make_unique<Impl>()) {
    for (const char* name : {"file!saveload", "file!qsave", "file!qload", "file!title", "file!exit",
                             "message!skip", "message!auto", "message!log"})
        MenuItem(name)->Enabled = true;
}

clsGameView::~clsGameView() = default;

void clsGameView::SiteName(const std::string& value) {
    mSiteName = value;
}

clsEventRect* clsGameView::SelectedRect() const {
    return mEvRects.Item(mSelected);
}

void clsGameView::RaiseScreenCmd(long eEvent, clsEventRect* erParam) {
    mRoot.ModeScreenCmd(mRoot.VellMode(), eEvent, erParam);
}

void clsGameView::AutoClickEnabled(bool value) {
    mAutoClickEnabled = value;
}

void clsGameView::EventEnabled(bool value) {
    mEventEnabled = value;
}

void clsGameView::MenuCmd(const std::string& sSec, const std::string& sCmd) {
    testing::StandInMenuCommands().emplace_back(sSec, sCmd);
}

ViewMenuItem* clsGameView::MenuItem(const std::string& sName) {
    const auto [at, added] = mImpl->menus.try_emplace(sName);
    if (added) {
        at->second.Tag = sName;
        at->second.Enabled = false;
    }
    return &at->second;
}

void clsGameView::MenuEnableByText(const std::string& sList) {
    for (auto& [name, item] : mImpl->menus)
        item.Enabled = false;
    for (const std::string& name : SplitText(sList, ",")) {
        if (!name.empty()) MenuItem(name)->Enabled = true;
    }
}

}  // namespace zelk
