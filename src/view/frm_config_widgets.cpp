#define IMGUI_DEFINE_MATH_OPERATORS
#include "view/frm_config_widgets.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>

namespace zelk {

// [SECTION] FrameBox

FrameBox::FrameBox(const char* caption, float width) : mCaption(caption), mWidth(width) {
    const ImVec2 start = ImGui::GetCursorScreenPos();
    mStartX = start.x;
    mStartY = start.y;
    mPadding = ImGui::GetStyle().WindowPadding.x;
    ImGui::BeginGroup();
    // The caption takes the first line; the controls start below it.
    ImGui::Dummy(ImVec2(width, ImGui::GetTextLineHeightWithSpacing()));
    ImGui::Indent(mPadding);
}

FrameBox::~FrameBox() {
    ImGui::Unindent(mPadding);
    ImGui::Dummy(ImVec2(0.0f, mPadding * 0.5f));
    ImGui::EndGroup();
    const float bottom = ImGui::GetItemRectMax().y;

    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImU32 line = ImGui::GetColorU32(ImGuiCol_Border);
    const float lineHeight = ImGui::GetTextLineHeight();
    // Whole pixels and filled one-pixel bars: thin textured lines come out
    // broken in the software renderer.
    const float top = std::floor(mStartY + lineHeight * 0.5f);
    const float left = std::floor(mStartX);
    const float right = std::floor(mStartX + mWidth) - 1.0f;
    const float base = std::floor(bottom);
    const float captionX = left + mPadding;
    const float captionEnd = captionX + ImGui::CalcTextSize(mCaption).x;
    const float gap = ImGui::GetStyle().ItemInnerSpacing.x;
    auto bar = [&](float x0, float y0, float x1, float y1) {
        draw->AddRectFilled(ImVec2(x0, y0), ImVec2(x1 + 1.0f, y1 + 1.0f), line);
    };
    bar(left, top, captionX - gap, top);
    bar(std::floor(captionEnd + gap), top, right, top);
    bar(right, top, right, base);
    bar(left, base, right, base);
    bar(left, top, left, base);
    draw->AddText(ImVec2(captionX, mStartY), ImGui::GetColorU32(ImGuiCol_Text), mCaption);
}

// [SECTION] DialogKeyboard

void DialogKeyboard::Begin() {
    mHeader.clear();
    mBody.clear();
}

void DialogKeyboard::Add(Kind kind, Place place) {
    const ImGuiContext& g = *GImGui;
    if (g.LastItemData.ID == 0 || (g.LastItemData.InFlags & ImGuiItemFlags_Disabled) != 0) return;
    const ImRect& rect = g.LastItemData.NavRect;
    Stop stop{g.LastItemData.ID,
              rect.Min.x,
              rect.Min.y,
              rect.Max.x,
              rect.Max.y,
              ImGui::GetFocusScope(),
              ImGui::GetCurrentWindow(),
              kind};
    (place == Place::Header ? mHeader : mBody).push_back(stop);
}

void DialogKeyboard::End() {
    mLastOrder = mHeader;
    mLastOrder.insert(mLastOrder.end(), mBody.begin(), mBody.end());
    ImGuiContext& g = *GImGui;
    if (mLastOrder.empty() || g.ActiveId != 0 || g.IO.KeyCtrl) return;
    if (!ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows)) return;
    if (!ImGui::IsKeyPressedMap(ImGuiKey_Tab)) return;

    const int count = static_cast<int>(mLastOrder.size());
    const auto current = std::find_if(mLastOrder.begin(), mLastOrder.end(),
                                      [&](const Stop& stop) { return stop.Id == g.NavId; });
    // Without a focus the walk starts from the first stop, where the
    // dialog opens.
    const int at = current == mLastOrder.end() ? 0 : static_cast<int>(current - mLastOrder.begin());
    const int next = (at + (g.IO.KeyShift ? count - 1 : 1)) % count;
    // ImGui asked its own tabbing to move as well; only ours counts.
    ImGui::NavMoveRequestCancel();
    const Stop& stop = mLastOrder[static_cast<std::size_t>(next)];
    auto* window = static_cast<ImGuiWindow*>(stop.Window);
    if (g.NavWindow != window) ImGui::FocusWindow(window);
    const ImRect rect(stop.MinX, stop.MinY, stop.MaxX, stop.MaxY);
    ImGui::SetNavID(stop.Id, ImGuiNavLayer_Main, stop.FocusScope,
                    ImGui::WindowRectAbsToRel(window, rect));
    // Show the focus ring, as a keyboard move does.
    g.NavDisableHighlight = false;
    g.NavDisableMouseHover = true;
}

bool DialogKeyboard::FocusOnButton() const {
    const ImGuiContext& g = *GImGui;
    if (g.NavId == 0 || g.NavDisableHighlight) return false;
    return std::any_of(mLastOrder.begin(), mLastOrder.end(), [&](const Stop& stop) {
        return stop.Id == g.NavId && stop.What == Kind::Button;
    });
}

void DialogKeyboard::PressFocusedButton() const {
    ImGui::ActivateItem(GImGui->NavId);
}

long DialogKeyboard::SliderStep() {
    ImGuiContext& g = *GImGui;
    if (!ImGui::IsItemFocused() || ImGui::IsItemActive() || g.NavDisableHighlight) return 0;
    long step = 0;
    if (ImGui::IsKeyPressedMap(ImGuiKey_LeftArrow)) step = -1;
    if (ImGui::IsKeyPressedMap(ImGuiKey_RightArrow)) step = 1;
    if (ImGui::IsKeyPressedMap(ImGuiKey_PageDown)) step = -16;
    if (ImGui::IsKeyPressedMap(ImGuiKey_PageUp)) step = 16;
    // The arrow already asked the navigation to move sideways; the slider
    // keeps the focus instead.
    if (step != 0) ImGui::NavMoveRequestCancel();
    return step;
}

}  // namespace zelk
