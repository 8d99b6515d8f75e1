#include "view/frm_config.h"

#include <imgui.h>

#include "settings/configuration.h"

namespace zelk {

// Until the dialog has its tabs it says so and closes on OK.
frmConfig::frmConfig(Configuration& cfg) : mCfg(cfg) {}

frmConfig::~frmConfig() = default;

void frmConfig::LoadData() {
    mOpen = true;
}

void frmConfig::SetView(const std::string&) {}

void frmConfig::SaveData() {
    mCfg.Save();
}

bool frmConfig::Draw() {
    if (!mOpen) return false;
    ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always,
                            ImVec2(0.5f, 0.5f));
    ImGui::Begin("詳細設定", &mOpen,
                 ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse);
    if (ImGui::Button("OK", ImVec2(120, 0))) mOpen = false;
    ImGui::End();
    return mOpen;
}

std::string frmConfig::Command(const std::vector<std::string>& words, std::vector<std::string>&) {
    if (!words.empty() && (words[0] == "ok" || words[0] == "cancel" || words[0] == "close")) {
        mOpen = false;
        return "";
    }
    return "not available";
}

}  // namespace zelk
