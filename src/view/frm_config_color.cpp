#define IMGUI_DEFINE_MATH_OPERATORS
#include "view/frm_config_color.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "common/text.h"
#include "platform/translate.h"

namespace zelk {

namespace {

constexpr int kCustomColumns = 8;

ImVec4 ToImColor(std::uint32_t rgb) {
    return ImVec4(static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                  static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f);
}

std::uint32_t ToByte(float value) {
    if (!(value > 0.0f)) return 0;  // NaN as well
    if (value >= 1.0f) return 255;
    return static_cast<std::uint32_t>(value * 255.0f + 0.5f);
}

bool KeyPressed(ImGuiKey key) {
    return ImGui::IsKeyPressedMap(key, false);
}

}  // namespace

std::uint32_t SwapRedBlue(std::int64_t color) {
    return static_cast<std::uint32_t>(RgbToColorRef(color) & 0xFFFFFF);
}

void ColorChooser::Open(std::uint32_t rgb) {
    Color(rgb);
    mOpenRequest = true;
}

std::uint32_t ColorChooser::Color() const {
    return (ToByte(mColor[0]) << 16) | (ToByte(mColor[1]) << 8) | ToByte(mColor[2]);
}

void ColorChooser::Color(std::uint32_t rgb) {
    const ImVec4 color = ToImColor(rgb & 0xFFFFFF);
    mColor[0] = color.x;
    mColor[1] = color.y;
    mColor[2] = color.z;
}

void ColorChooser::PickCustomColor(int slot, const std::array<std::uint32_t, 16>& custom) {
    if (slot < 0 || slot >= static_cast<int>(custom.size())) return;
    mSlot = slot;
    Color(SwapRedBlue(custom[static_cast<std::size_t>(slot)]));
}

void ColorChooser::AddCustomColor(std::array<std::uint32_t, 16>& custom) {
    custom[static_cast<std::size_t>(mSlot)] = SwapRedBlue(Color());
    mSlot = (mSlot + 1) % static_cast<int>(custom.size());
}

ColorChooser::Result ColorChooser::Draw(std::array<std::uint32_t, 16>& custom) {
    // Named in the language shown: the language changes only as the
    // dialog closes, never under an open chooser.
    const char* const title = Tr(kTitle);
    if (mOpenRequest) {
        ImGui::OpenPopup(title);
        mOpenRequest = false;
        mOpen = true;
    }
    if (!mOpen) return Result::None;

    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->GetCenter(), ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    if (!ImGui::BeginPopupModal(
            title, nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings)) {
        // Closed behind our back (another popup took over): as a cancel.
        mOpen = false;
        return Result::Cancel;
    }
    const float unit = ImGui::GetFrameHeight();
    Result result = Result::None;

    ImGui::SetNextItemWidth(unit * 9.0f);
    ImGui::ColorPicker3("##picker", mColor,
                        ImGuiColorEditFlags_NoAlpha | ImGuiColorEditFlags_PickerHueBar |
                            ImGuiColorEditFlags_DisplayRGB | ImGuiColorEditFlags_DisplayHex |
                            ImGuiColorEditFlags_InputRGB);
    ImGui::SameLine(0.0f, unit);
    ImGui::BeginGroup();
    ImGui::TextUnformatted(Tr("作成した色"));
    const ImVec2 box(unit, unit);
    for (int i = 0; i < static_cast<int>(custom.size()); ++i) {
        if (i % kCustomColumns != 0) ImGui::SameLine(0.0f, unit * 0.25f);
        ImGui::PushID(i);
        const ImVec4 color = ToImColor(SwapRedBlue(custom[static_cast<std::size_t>(i)]));
        if (ImGui::ColorButton("##custom", color,
                               ImGuiColorEditFlags_NoAlpha | ImGuiColorEditFlags_NoTooltip |
                                   ImGuiColorEditFlags_NoDragDrop,
                               box)) {
            PickCustomColor(i, custom);
        }
        if (i == mSlot) {
            // The box the next "add" fills.
            ImGui::GetWindowDrawList()->AddRect(ImGui::GetItemRectMin() - ImVec2(2, 2),
                                                ImGui::GetItemRectMax() + ImVec2(2, 2),
                                                ImGui::GetColorU32(ImGuiCol_Text), 0.0f, 0, 2.0f);
        }
        ImGui::PopID();
    }
    ImGui::Spacing();
    if (ImGui::Button(Tr("作成した色に追加"))) AddCustomColor(custom);
    ImGui::EndGroup();

    ImGui::Separator();
    const float buttonWidth = unit * 4.0f;
    if (ImGui::Button("OK", ImVec2(buttonWidth, 0))) result = Result::Ok;
    ImGui::SameLine();
    if (ImGui::Button(Tr("キャンセル"), ImVec2(buttonWidth, 0))) result = Result::Cancel;

    // Enter and Escape as on the dialog, unless a field is being edited.
    if (result == Result::None && GImGui->ActiveId == 0) {
        if (KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter)) result = Result::Ok;
        if (KeyPressed(ImGuiKey_Escape)) result = Result::Cancel;
    }
    if (result != Result::None) {
        ImGui::CloseCurrentPopup();
        mOpen = false;
    }
    ImGui::EndPopup();
    return result;
}

}  // namespace zelk
