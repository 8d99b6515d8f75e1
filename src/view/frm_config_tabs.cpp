// The ImGui picture of the settings dialog: the window, the tab strip, the
// four tabs and the buttons. Every size is a multiple of the font size, so
// the dialog keeps its proportions in any face and at any scale.
#define IMGUI_DEFINE_MATH_OPERATORS
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/display_order.h"
#include "platform/translate.h"
#include "settings/configuration.h"
#include "view/frm_config.h"
#include "view/frm_config_color.h"
#include "view/frm_config_font_preview.h"
#include "view/frm_config_widgets.h"

namespace zelk {

namespace {

constexpr const char* kWindowTitle = TrMark("詳細設定");
// The dialog's size in font heights: room for the tallest tab and the
// buttons within a 640 × 480 game window at the 18-pixel face.
constexpr float kWidthInFonts = 33.0f;
constexpr float kHeightInFonts = 25.0f;

float Unit() {
    return ImGui::GetFontSize();
}

ImVec4 ToImColor(std::uint32_t rgb) {
    return ImVec4(static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                  static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f);
}

bool KeyPressed(ImGuiKey key) {
    return ImGui::IsKeyPressedMap(key, false);
}

// The column where sliders start after their captions: `least` font
// heights, or more where a translated caption is longer.
template <std::size_t N>
float LabelColumn(const char* const (&captions)[N], float least) {
    float width = least;
    for (const char* caption : captions)
        width =
            std::max(width, ImGui::CalcTextSize(Tr(caption)).x + ImGui::GetStyle().ItemSpacing.x);
    return width;
}

// Two frames side by side share the row less the spacing between them.
float HalfWidth() {
    return (ImGui::GetContentRegionAvail().x - ImGui::GetStyle().ItemSpacing.x) * 0.5f;
}

}  // namespace

// [SECTION] Controls

void frmConfig::DrawCheck(CheckBox box, int index, const char* caption) {
    ImGui::PushID(static_cast<int>(box) * 100 + index);
    bool checked = mControls.Check(box, index) == 1;
    if (ImGui::Checkbox(caption, &checked)) ClickCheck(box, index, checked ? 1 : 0);
    mKeyboard->Add();
    ImGui::PopID();
}

void frmConfig::DrawOption(OptionGroup group, int index, const char* caption) {
    ImGui::PushID(1000 + static_cast<int>(group) * 100 + index);
    const int chosen =
        group == OptionGroup::optSysScreen ? mControls.optSysScreen : mControls.optGrpAuto;
    if (ImGui::RadioButton(caption, chosen == index)) ChooseOption(group, index);
    mKeyboard->Add();
    ImGui::PopID();
}

void frmConfig::DrawSlider(SliderGroup group, int index, const char* id, float width) {
    const auto at = static_cast<std::size_t>(index);
    int value = static_cast<int>(group == SliderGroup::sldGrpAlpha ? mControls.sldGrpAlpha[at]
                                                                   : mControls.sldSndVolume[at]);
    ImGui::SetNextItemWidth(width);
    bool changed =
        ImGui::SliderInt(id, &value, static_cast<int>(kSliderMin), static_cast<int>(kSliderMax),
                         "%d", ImGuiSliderFlags_AlwaysClamp | ImGuiSliderFlags_NoInput);
    if (const long step = DialogKeyboard::SliderStep(); step != 0) {
        value = static_cast<int>(std::clamp(value + step, kSliderMin, kSliderMax));
        changed = true;
    }
    mKeyboard->Add();
    if (changed) MoveSlider(group, index, value);
}

// [SECTION] The tabs

void frmConfig::DrawSystemTab() {
    const float u = Unit();
    DrawCheck(CheckBox::chkSys, 13, Tr("フルスクリーン化に DirectX を使用する"));
    DrawCheck(CheckBox::chkSys, 1, Tr("カスタムマウスカーソルを利用する"));
    ImGui::Spacing();
    {
        FrameBox frame(Tr("確認メッセージの表示"), ImGui::GetContentRegionAvail().x);
        const float x0 = ImGui::GetCursorPosX();
        const float column = u * 10.0f;
        DrawCheck(CheckBox::chkSys, 11, Tr("セーブ"));
        ImGui::SameLine(x0 + column);
        DrawCheck(CheckBox::chkSys, 9, Tr("クイックセーブ"));
        ImGui::SameLine(x0 + column * 2.0f);
        DrawCheck(CheckBox::chkSys, 7, Tr("タイトルに戻る"));
        DrawCheck(CheckBox::chkSys, 10, Tr("ロード"));
        ImGui::SameLine(x0 + column);
        DrawCheck(CheckBox::chkSys, 8, Tr("クイックロード"));
        ImGui::SameLine(x0 + column * 2.0f);
        DrawCheck(CheckBox::chkSys, 0, Tr("ゲーム終了"));
    }
    ImGui::Spacing();
    // The start-up frame holds the longer captions.
    const float startWidth = u * 16.5f;
    const float deactivateWidth =
        ImGui::GetContentRegionAvail().x - startWidth - ImGui::GetStyle().ItemSpacing.x;
    ImGui::BeginGroup();
    {
        FrameBox frame(Tr("非アクティブ時の動作"), deactivateWidth);
        DrawCheck(CheckBox::chkSys, 2, Tr("サウンドをミュートする"));
        DrawCheck(CheckBox::chkSys, 3, Tr("ウィンドウ表示に切り替える"));
    }
    ImGui::EndGroup();
    ImGui::SameLine();
    ImGui::BeginGroup();
    {
        FrameBox frame(Tr("起動時の画面モード"), startWidth);
        DrawOption(OptionGroup::optSysScreen, 0, Tr("前回終了時の状態を復元する"));
        DrawOption(OptionGroup::optSysScreen, 1, Tr("ウィンドウ表示で起動する"));
        ImGui::Indent(u * 1.2f);
        ImGui::BeginDisabled(!mControls.ScreenCenterEnabled());
        DrawCheck(CheckBox::chkSysScreenCenter, 0, Tr("毎回画面中央で起動する"));
        ImGui::EndDisabled();
        ImGui::Unindent(u * 1.2f);
        DrawOption(OptionGroup::optSysScreen, 2, Tr("フルスクリーン表示で起動する"));
    }
    ImGui::EndGroup();
    ImGui::Spacing();
    // cmbSysLanguage: the language of the player's own texts. Each language
    // is named in itself, so a reader finds theirs whatever is shown now.
    const char* const languages[] = {Tr("自動"), "日本語", "English"};
    static_assert(std::size(languages) == kLanguageValues.size());
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(Tr("言語"));
    ImGui::SameLine();
    ImGui::SetNextItemWidth(u * 10.0f);
    const long language = mControls.cmbSysLanguage;
    if (ImGui::BeginCombo("##cmbSysLanguage", languages[language])) {
        mKeyboard->Add();
        for (long i = 0; i < static_cast<long>(std::size(languages)); ++i) {
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::Selectable(languages[i], i == language)) SelectLanguage(i);
            if (i == language) ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    } else {
        mKeyboard->Add();
    }
}

void frmConfig::DrawScreenTab() {
    const float u = Unit();
    DrawCheck(CheckBox::chkSys, 12, Tr("文字に影を付ける"));
    ImGui::Spacing();
    {
        FrameBox frame(Tr("オートモード"), ImGui::GetContentRegionAvail().x);
        static constexpr const char* kCaptions[] = {
            TrMark("速い"), TrMark("やや速い"), TrMark("通常"), TrMark("やや遅い"), TrMark("遅い")};
        const float x0 = ImGui::GetCursorPosX();
        const float column = (ImGui::GetContentRegionAvail().x - u) / 5.0f;
        for (int i = 0; i < 5; ++i) {
            if (i > 0) ImGui::SameLine(x0 + column * static_cast<float>(i));
            DrawOption(OptionGroup::optGrpAuto, i, Tr(kCaptions[i]));
        }
    }
    ImGui::Spacing();
    const float half = HalfWidth();
    ImGui::BeginGroup();
    {
        FrameBox frame(Tr("メッセージスキップ"), half);
        DrawCheck(CheckBox::chkSys, 4, Tr("未読部分で停止する"));
        DrawCheck(CheckBox::chkSys, 5, Tr("画像効果を無視する"));
        DrawCheck(CheckBox::chkSys, 6, Tr("選択肢選択後も継続する"));
    }
    ImGui::EndGroup();
    ImGui::SameLine();
    ImGui::BeginGroup();
    {
        ImGui::TextUnformatted(Tr("表示フォント"));
        const std::string shown = mControls.FontChoice();
        ImGui::SetNextItemWidth(half);
        if (ImGui::BeginCombo("##cmbGrpFont", shown.c_str())) {
            mKeyboard->Add();
            for (std::size_t i = 0; i < mControls.cmbGrpFontList.size(); ++i) {
                const bool chosen = static_cast<long>(i) == mControls.cmbGrpFont;
                ImGui::PushID(static_cast<int>(i));
                if (ImGui::Selectable(mControls.cmbGrpFontList[i].c_str(), chosen))
                    SelectFont(static_cast<long>(i));
                if (chosen) ImGui::SetItemDefaultFocus();
                ImGui::PopID();
            }
            ImGui::EndCombo();
        } else {
            mKeyboard->Add();
        }
        // lblGrpFont: the sample in the chosen face, on the frame colour.
        const ImVec2 start = ImGui::GetCursorScreenPos();
        const float height = u * 2.4f;
        ImGui::GetWindowDrawList()->AddRectFilled(start, start + ImVec2(half, height),
                                                  ImGui::GetColorU32(ImGuiCol_FrameBg));
        ImGui::PushClipRect(start, start + ImVec2(half, height), true);
        ImGui::SetCursorScreenPos(start + ImVec2(u * 0.4f, u * 0.5f));
        mFontPreview->Draw(shown, u * 1.3f, mCfg.FontLanguage());
        ImGui::PopClipRect();
        ImGui::SetCursorScreenPos(start);
        ImGui::Dummy(ImVec2(half, height));
    }
    ImGui::EndGroup();
    ImGui::Spacing();
    const float x0 = ImGui::GetCursorPosX();
    static constexpr const char* kAlphaCaptions[] = {TrMark("ウィンドウ透明度"),
                                                     TrMark("ノベル背景透明度")};
    const float labelWidth = LabelColumn(kAlphaCaptions, u * 9.0f);
    for (int i = 0; i < 2; ++i) {
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(Tr(kAlphaCaptions[i]));
        ImGui::SameLine(x0 + labelWidth);
        ImGui::PushID(i);
        DrawSlider(SliderGroup::sldGrpAlpha, i, "##sldGrpAlpha", ImGui::GetContentRegionAvail().x);
        ImGui::PopID();
    }
}

void frmConfig::DrawSoundTab() {
    const float u = Unit();
    static constexpr const char* kCaptions[] = {"BGM", TrMark("効果音"), TrMark("キャラボイス")};
    const float x0 = ImGui::GetCursorPosX();
    const float labelWidth = LabelColumn(kCaptions, u * 7.0f);
    const float muteWidth = u * 6.0f;
    ImGui::Spacing();
    for (int i = 0; i < 3; ++i) {
        ImGui::PushID(i);
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(Tr(kCaptions[i]));
        ImGui::SameLine(x0 + labelWidth);
        DrawSlider(SliderGroup::sldSndVolume, i, "##sldSndVolume",
                   ImGui::GetContentRegionAvail().x - muteWidth);
        ImGui::SameLine();
        DrawCheck(CheckBox::chkSndMute, i, Tr("ミュート"));
        ImGui::PopID();
        ImGui::Spacing();
    }
    ImGui::Spacing();
    DrawCheck(CheckBox::chkSndPan, 0, Tr("キャラの表示位置によって左右の音量を変える"));
}

void frmConfig::DrawCharTab() {
    const float u = Unit();
    ConfigControls& c = mControls;
    const float listWidth = u * 11.0f;
    const float listHeight = u * 10.0f;

    ImGui::BeginGroup();
    ImGui::TextUnformatted(Tr("人物一覧"));
    // A child of its own so that a long list scrolls; flattened so that the
    // arrows move between its names and the rest of the dialog.
    ImGui::BeginChild("lstChList", ImVec2(listWidth, listHeight), true,
                      ImGuiWindowFlags_NavFlattened);
    for (std::size_t i = 0; i < c.Characters.size(); ++i) {
        const bool selected = static_cast<long>(i) == c.lstChList;
        ImGui::PushID(static_cast<int>(i));
        // The selection follows the keyboard focus, as in a list box.
        if (ImGui::Selectable(DisplayOrder(c.Characters[i].Name).c_str(), selected,
                              ImGuiSelectableFlags_SelectOnNav))
            SelectCharacter(static_cast<long>(i));
        // The list is one stop of the Tab order: its selected name.
        if (selected || (c.lstChList < 0 && i == 0)) mKeyboard->Add();
        ImGui::PopID();
    }
    ImGui::EndChild();
    ImGui::EndGroup();

    ImGui::SameLine(0.0f, u);
    ImGui::BeginGroup();
    {
        FrameBox frame(Tr("人物設定"), ImGui::GetContentRegionAvail().x);
        ImGui::BeginDisabled(!c.VoiceBoxEnabled());
        DrawCheck(CheckBox::chkChVoiceEnabled, 0, Tr("音声を再生する"));
        ImGui::EndDisabled();
        ImGui::Spacing();
        ImGui::BeginDisabled(!c.ColorBoxEnabled());
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(Tr("メッセージの色"));
        ImGui::SameLine();
        if (ImGui::ColorButton("picChColor", ToImColor(c.picChColor()),
                               ImGuiColorEditFlags_NoAlpha | ImGuiColorEditFlags_NoTooltip |
                                   ImGuiColorEditFlags_NoDragDrop,
                               ImVec2(u * 4.0f, ImGui::GetFrameHeight()))) {
            mChooser->Open(c.picChColor());
            mChooserCustomText = CustomColorText();
        }
        mKeyboard->Add(DialogKeyboard::Kind::Button);
        ImGui::EndDisabled();
        ImGui::Spacing();
        if (ImGui::Button(Tr("作成した色を初期化"))) ClickInitColor();
        mKeyboard->Add(DialogKeyboard::Kind::Button);
    }
    ImGui::EndGroup();

    ImGui::Spacing();
    DrawCheck(CheckBox::chkChMaleVoice, 0, Tr("男性の音声を再生する"));
    DrawCheck(CheckBox::chkChOriginalColor, 0, Tr("人物ごとに文字の色を設定する"));

    switch (mChooser->Draw(mCustomColors)) {
        case ColorChooser::Result::Ok:
            ChooseCharacterColor(mChooser->Color());
            break;
        case ColorChooser::Result::Cancel:
            // The palette goes back to what it was when the chooser opened.
            CustomColorText(mChooserCustomText);
            break;
        case ColorChooser::Result::None:
            break;
    }
}

// [SECTION] The window

void frmConfig::DrawFooter(int tab) {
    const ImGuiStyle& style = ImGui::GetStyle();
    // The shown tab's own "初期状態に戻す", then OK and Cancel at the right.
    ImGui::PushID(tab);
    if (ImGui::Button(Tr("初期状態に戻す"))) ResetTab(tab);
    mKeyboard->Add(DialogKeyboard::Kind::Button);
    ImGui::PopID();
    const float width = Unit() * 5.0f;
    ImGui::SameLine(ImGui::GetWindowWidth() - style.WindowPadding.x - width * 2.0f -
                    style.ItemSpacing.x);
    if (ImGui::Button("OK", ImVec2(width, 0))) ClickOK();
    mKeyboard->Add(DialogKeyboard::Kind::Button);
    ImGui::SameLine();
    if (ImGui::Button(Tr("キャンセル"), ImVec2(width, 0))) ClickCancel();
    mKeyboard->Add(DialogKeyboard::Kind::Button);
}

void frmConfig::HandleKeys(bool chooserWasOpen) {
    const ImGuiContext& g = *GImGui;
    // A key that ended the chooser in this frame is not the dialog's too.
    const bool quiet = mOpen && !chooserWasOpen && !mChooser->IsOpen() && g.ActiveId == 0 &&
                       !ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId) &&
                       ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows);
    if (quiet) {
        if (KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_KeyPadEnter)) {
            // Enter presses the focused button, else OK.
            if (mKeyboard->FocusOnButton()) {
                mKeyboard->PressFocusedButton();
            } else {
                ClickOK();
            }
        } else if (KeyPressed(ImGuiKey_Escape)) {
            ClickCancel();
        }
    }
    mKeyboard->End();
}

bool frmConfig::Draw() {
    if (!mOpen) return false;
    ImGuiIO& io = ImGui::GetIO();
    if (mNavContext == nullptr) {
        mNavContext = ImGui::GetCurrentContext();
        mNavFlagWasSet = (io.ConfigFlags & ImGuiConfigFlags_NavEnableKeyboard) != 0;
        io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    }

    const bool chooserWasOpen = mChooser->IsOpen();
    const float u = Unit();
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    // Never larger than the game window: a small window scrolls instead.
    const ImVec2 size(std::min(u * kWidthInFonts, viewport->WorkSize.x),
                      std::min(u * kHeightInFonts, viewport->WorkSize.y));
    ImGui::SetNextWindowPos(viewport->GetCenter(), ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    bool open = true;
    // Named in the language shown, which changes only as the dialog closes.
    const bool shown = ImGui::Begin(
        Tr(kWindowTitle), &open,
        ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoSavedSettings);
    if (shown) {
        // ImGui's own Tab reaches only text fields and turns a slider into
        // one; the dialog's keyboard order replaces it.
        ImGui::PushItemFlag(ImGuiItemFlags_NoTabStop, true);
        mKeyboard->Begin();
        int shownTab = TabIndex(mTabKey);
        if (ImGui::BeginTabBar("tbsView", ImGuiTabBarFlags_NoTooltip)) {
            for (int tab = 0; tab < kTabCount; ++tab) {
                const std::string label = std::string(Tr(TabCaption(tab))) + "###" + TabKey(tab);
                const ImGuiTabItemFlags flags =
                    mPendingTab == tab ? ImGuiTabItemFlags_SetSelected : ImGuiTabItemFlags_None;
                const bool selected = ImGui::BeginTabItem(label.c_str(), nullptr, flags);
                // A tab chosen by SetView wins over the strip's old choice
                // until the strip shows it.
                if (selected && (mPendingTab < 0 || mPendingTab == tab)) {
                    mTabKey = TabKey(tab);
                    mPendingTab = -1;
                }
                // The strip is one stop of the Tab order, its chosen tab;
                // the arrows move between the tabs. The dialog opens with
                // the focus there.
                if (mTabKey == TabKey(tab)) {
                    mKeyboard->Add(DialogKeyboard::Kind::Control, DialogKeyboard::Place::Header);
                    ImGui::SetItemDefaultFocus();
                }
                if (selected) ImGui::EndTabItem();
            }
            ImGui::EndTabBar();
            shownTab = TabIndex(mTabKey);
        }
        // picTab: the shown tab's controls, scrolling when the window is
        // too small for them, so the buttons below always stay in view.
        const float footer = ImGui::GetFrameHeight() + ImGui::GetStyle().ItemSpacing.y;
        ImGui::BeginChild("picTab", ImVec2(0.0f, -footer), false,
                          ImGuiWindowFlags_NavFlattened | ImGuiWindowFlags_HorizontalScrollbar);
        switch (shownTab) {
            case kTabSystem:
                DrawSystemTab();
                break;
            case kTabScreen:
                DrawScreenTab();
                break;
            case kTabSound:
                DrawSoundTab();
                break;
            default:
                DrawCharTab();
                break;
        }
        ImGui::EndChild();
        if (mOpen) DrawFooter(shownTab < 0 ? kTabSystem : shownTab);
        HandleKeys(chooserWasOpen);
        ImGui::PopItemFlag();
    }
    ImGui::End();
    if (!open && mOpen) CloseFromTitleBar();
    if (!mOpen) Close();
    return mOpen;
}

}  // namespace zelk
