#include "modes/mode.h"

#include "drivers/event_rect.h"
#include "platform/translate.h"
#include "view/player_root.h"

namespace zelk {

namespace {

// The buttons' commands as a reader hears them.
constexpr const char* kCommandCaptions[][2] = {
    {"start", TrMark("はじめから")},
    {"quickload", TrMark("クイックロード")},
    {"load", TrMark("ロード")},
    {"save", TrMark("セーブ")},
    {"omake", TrMark("おまけ")},
    {"exit", TrMark("終了")},
    {"log", TrMark("ログ")},
    {"auto", TrMark("オートクリック")},
    {"skip", TrMark("スキップ")},
    {"return", TrMark("もどる")},
    {"pageup", TrMark("前のページ")},
    {"pagedown", TrMark("次のページ")},
    {"rollup", TrMark("上へ")},
    {"rolldown", TrMark("下へ")},
    {"title", TrMark("タイトルにもどる")},
};

std::string CommandCaption(const std::string& command) {
    for (const auto& [name, caption] : kCommandCaptions) {
        if (command == name) return Tr(caption);
    }
    return {};
}

}  // namespace

std::string clsModeBase::ScreenName() const {
    switch (mId) {
        case kModeTitle:
            return Tr("タイトル");
        case kModeSaveLoad:
            return Tr("セーブ・ロード");
        case kModeEnding:
            return Tr("エンディング");
        case kModeOmake:
            return Tr("おまけ");
        default:
            return {};
    }
}

std::string clsModeBase::Caption(const clsEventRect& er) const {
    if (er.STag == "slot") return TrFormat("スロット %s", {std::to_string(er.lTag + 1)});
    std::string caption = CommandCaption(er.Extension);
    return caption.empty() ? CommandCaption(er.STag) : caption;
}

void clsModeBase::ScreenCmd(long eVellMode, long eEvent, clsEventRect* er) {
    if (eVellMode != mRoot.VellMode()) return;
    OnScreenCmd(eEvent, er);
}

}  // namespace zelk
