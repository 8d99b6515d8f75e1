#include "modes/mode.h"

#include "drivers/event_rect.h"
#include "view/player_root.h"

namespace zelk {

namespace {

// The buttons' commands as a reader hears them.
constexpr const char* kCommandCaptions[][2] = {
    {"start", "はじめから"},
    {"quickload", "クイックロード"},
    {"load", "ロード"},
    {"save", "セーブ"},
    {"omake", "おまけ"},
    {"exit", "終了"},
    {"log", "ログ"},
    {"auto", "オートクリック"},
    {"skip", "スキップ"},
    {"return", "もどる"},
    {"pageup", "前のページ"},
    {"pagedown", "次のページ"},
    {"rollup", "上へ"},
    {"rolldown", "下へ"},
    {"title", "タイトルにもどる"},
};

std::string CommandCaption(const std::string& command) {
    for (const auto& [name, caption] : kCommandCaptions) {
        if (command == name) return caption;
    }
    return {};
}

}  // namespace

std::string clsModeBase::ScreenName() const {
    switch (mId) {
        case kModeTitle:
            return "タイトル";
        case kModeSaveLoad:
            return "セーブ・ロード";
        case kModeEnding:
            return "エンディング";
        case kModeOmake:
            return "おまけ";
        default:
            return {};
    }
}

std::string clsModeBase::Caption(const clsEventRect& er) const {
    if (er.STag == "slot") return "スロット " + std::to_string(er.lTag + 1);
    std::string caption = CommandCaption(er.Extension);
    return caption.empty() ? CommandCaption(er.STag) : caption;
}

void clsModeBase::ScreenCmd(long eVellMode, long eEvent, clsEventRect* er) {
    if (eVellMode != mRoot.VellMode()) return;
    OnScreenCmd(eEvent, er);
}

}  // namespace zelk
