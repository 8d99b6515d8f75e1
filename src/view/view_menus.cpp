#include "view/view_menus.h"

#include <imgui.h>

#include "common/text.h"

namespace zelk {

namespace {

struct MenuDef {
    const char* Section;
    const char* Caption;
    const char* Names;     // comma list; an empty name is a separator
    const char* Captions;  // comma list; "-" is a separator
};

constexpr MenuDef kMenus[] = {
    {"file", "ファイル", "saveload,qsave,qload,,title,exit",
     "セーブ・ロード,クイックセーブ,クイックロード,-,タイトルにもどる,終了"},
    {"screen", "画面", "window,full", "ウィンドウ表示,全画面表示"},
    {"property", "設定", "system,screen,sound,char", "システム,表示,サウンド,人物"},
    {"message", "メッセージ",
     "skip,auto,,fast,semifast,normal,semislow,slow,,log,back,,clipboard,voice",
     "スキップ,オートクリック,-,速い,やや速い,通常,やや遅い,遅い,-,ログ,前のページに戻る,-,"
     "テキストをクリップボードへ,読み上げ"},
    {"help", "ヘルプ", "version", "バージョン情報"},
};

}  // namespace

ViewMenus::ViewMenus() {
    for (const MenuDef& def : kMenus) {
        Menu menu{def.Caption, {}};
        const auto names = SplitText(def.Names, ",");
        const auto captions = SplitText(def.Captions, ",");
        for (size_t k = 0; k < names.size() && k < captions.size(); ++k) {
            ViewMenuItem item;
            item.Caption = captions[k];
            if (!names[k].empty()) item.Tag = std::string(def.Section) + "!" + names[k];
            menu.Items.push_back(std::move(item));
        }
        mMenus.push_back(std::move(menu));
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
        if (!ImGui::BeginMenu(menu.Caption.c_str())) continue;
        if (Opening) Opening();
        for (const ViewMenuItem& item : menu.Items) {
            if (item.Caption == "-") {
                ImGui::Separator();
                continue;
            }
            if (ImGui::MenuItem(item.Caption.c_str(), nullptr, item.Checked, item.Enabled)) {
                chosen = item.Tag;
            }
            if (!item.Tooltip.empty() &&
                ImGui::IsItemHovered(ImGuiHoveredFlags_AllowWhenDisabled)) {
                ImGui::SetTooltip("%s", item.Tooltip.c_str());
            }
        }
        ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
    return chosen;
}

}  // namespace zelk
