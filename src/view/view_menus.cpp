#include "view/view_menus.h"

#include <imgui.h>

#include "common/text.h"
#include "platform/translate.h"

namespace zelk {

namespace {

// The bar in the order shown: a heading is a bare section, an item the
// section "!" its name, a separator an empty tag.
struct EntryDef {
    const char* Tag;
    const char* Caption;
};

constexpr EntryDef kEntries[] = {
    {"file", TrMark("ファイル")},
    {"file!saveload", TrMark("セーブ・ロード")},
    {"file!qsave", TrMark("クイックセーブ")},
    {"file!qload", TrMark("クイックロード")},
    {"", "-"},
    {"file!title", TrMark("タイトルにもどる")},
    {"file!exit", TrMark("終了")},
    {"screen", TrMark("画面")},
    {"screen!window", TrMark("ウィンドウ表示")},
    {"screen!full", TrMark("全画面表示")},
    {"property", TrMark("設定")},
    {"property!system", TrMark("システム")},
    {"property!screen", TrMark("表示")},
    {"property!sound", TrMark("サウンド")},
    {"property!char", TrMark("人物")},
    {"message", TrMark("メッセージ")},
    {"message!skip", TrMark("スキップ")},
    {"message!auto", TrMark("オートクリック")},
    {"", "-"},
    {"message!fast", TrMark("速い")},
    {"message!semifast", TrMark("やや速い")},
    {"message!normal", TrMark("通常")},
    {"message!semislow", TrMark("やや遅い")},
    {"message!slow", TrMark("遅い")},
    {"", "-"},
    {"message!log", TrMark("ログ")},
    {"message!back", TrMark("前のページに戻る")},
    {"", "-"},
    {"message!clipboard", TrMark("テキストをクリップボードへ")},
    {"message!voice", TrMark("読み上げ")},
    {"help", TrMark("ヘルプ")},
    {"help!version", TrMark("バージョン情報")},
};

}  // namespace

ViewMenus::ViewMenus() {
    for (const EntryDef& def : kEntries) {
        const std::string tag = def.Tag;
        if (!tag.empty() && tag.find('!') == std::string::npos) {
            mMenus.push_back(Menu{tag, def.Caption, {}});
            continue;
        }
        ViewMenuItem item;
        item.Tag = tag;
        item.Caption = def.Caption;
        mMenus.back().Items.push_back(std::move(item));
    }
}

ViewMenuItem* ViewMenus::Item(const std::string& tag) {
    if (tag.empty()) return nullptr;
    for (Menu& menu : mMenus) {
        for (ViewMenuItem& item : menu.Items) {
            if (item.Tag == tag) return &item;
        }
    }
    return nullptr;
}

long ViewMenus::ItemCount() const {
    long count = 0;
    for (const Menu& menu : mMenus)
        count += static_cast<long>(menu.Items.size());
    return count;
}

std::vector<std::string> ViewMenus::SaveStatus() const {
    std::vector<std::string> saved;
    for (const Menu& menu : mMenus) {
        for (const ViewMenuItem& item : menu.Items) {
            saved.push_back(std::string(item.Enabled ? "True" : "False") + "," +
                            (item.Checked ? "True" : "False"));
        }
    }
    return saved;
}

void ViewMenus::LoadStatus(const std::vector<std::string>& saved) {
    if (static_cast<long>(saved.size()) != ItemCount()) return;
    size_t k = 0;
    for (Menu& menu : mMenus) {
        for (ViewMenuItem& item : menu.Items) {
            const auto pair = SplitText(saved[k++], ",");
            if (pair.size() != 2) continue;
            item.Enabled = ReadBool(pair[0]);
            item.Checked = ReadBool(pair[1]);
        }
    }
}

std::string ViewMenus::DrawBar() {
    std::string chosen;
    if (!ImGui::BeginMainMenuBar()) return chosen;
    for (const Menu& menu : mMenus) {
        if (!ImGui::BeginMenu(Tr(menu.Caption.c_str()))) continue;
        if (Opening) Opening();
        for (const ViewMenuItem& item : menu.Items) {
            if (item.Caption == "-") {
                ImGui::Separator();
                continue;
            }
            if (ImGui::MenuItem(Tr(item.Caption.c_str()), nullptr, item.Checked, item.Enabled)) {
                chosen = item.Tag;
            }
            if (!item.Tooltip.empty() &&
                ImGui::IsItemHovered(ImGuiHoveredFlags_AllowWhenDisabled)) {
                ImGui::SetTooltip("%s", Tr(item.Tooltip.c_str()));
            }
        }
        ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
    return chosen;
}

}  // namespace zelk
