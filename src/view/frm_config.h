// frmConfig: the settings dialog ("詳細設定"), a modal ImGui window over the
// game. The view opens it from the "property" menu: LoadData, SetView, then
// Draw once per frame until it returns false.
//
// Index
// - frm_config.cpp           loading, saving, tabs, preview and its undo
// - frm_config_tabs.cpp      the ImGui picture of the four tabs
// - frm_config_commands.cpp  the scripted "dialog" commands
// - frm_config_color.*       colour orders and the colour chooser
// - frm_config_widgets.*     frames, the keyboard order, the font preview
//
// Every change a reader makes goes through the same members whether it comes
// from the mouse, the keyboard or a "dialog set" command, so the live preview
// and its undo cannot differ between them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/reporter.h"
#include "view/frm_config_controls.h"

struct ImGuiContext;
struct SDL_Renderer;

namespace zelk {

class ColorChooser;
class Configuration;
class DialogKeyboard;
class FontPreview;
class INIFile;

// What the dialog needs from its owner besides the configuration.
struct frmConfigHost {
    // The system file: [CharConfig] gives the character list.
    const INIFile* SystemInfo = nullptr;
    // The renderer the dialog is drawn with; the font preview's picture is
    // made with it, so the dialog must be released before the renderer.
    // Without one the preview uses the dialog's own face.
    SDL_Renderer* Renderer = nullptr;
    // "カスタムカラー設定が不正です。"
    Reporter Messages;
};

class frmConfig {
public:
    // The tabs of tbsView in their order; each tab's key is also its tag.
    enum Tab : int { kTabSystem = 0, kTabScreen = 1, kTabSound = 2, kTabChar = 3, kTabCount = 4 };
    static const char* TabKey(int tab);
    static const char* TabCaption(int tab);
    // -1 for an unknown key.
    static int TabIndex(const std::string& key);

    explicit frmConfig(Configuration& cfg, frmConfigHost host = {});
    ~frmConfig();
    frmConfig(const frmConfig&) = delete;
    frmConfig& operator=(const frmConfig&) = delete;

    // [SECTION] What the view calls
    // Takes the configuration's backup, fills the lists and the four tabs
    // and opens the dialog.
    void LoadData();
    // With a key, selects that tab (an unknown key keeps the current one);
    // without, keeps the selected tab's key.
    void SetView(const std::string& key = std::string());
    // Writes every control back to the configuration, in a fixed order.
    void SaveData();
    void LoadTab(int tab);
    // Shows the defaults of one tab; they are written only by OK.
    void ResetTab(int tab);
    // Undoes the live preview from the backup.
    void RestorePreview();

    long StartScreenMode() const;
    void StartScreenMode(long value);
    long AutoModeWait() const;
    void AutoModeWait(long value);
    // "&hRRGGBB" sixteen times, joined with ",".
    std::string CustomColorText() const;
    void CustomColorText(const std::string& text);
    // The 16 custom colours in the system order, as the chooser keeps them.
    const std::array<std::uint32_t, 16>& CustomColorPointer() const { return mCustomColors; }

    // [SECTION] Drawing and scripted input
    // Builds the dialog inside the current ImGui frame; false once it was
    // closed (OK, Cancel or the title bar).
    bool Draw();

    // The scripted-input "dialog" commands after the word "dialog"
    // ("tab system", "set chkSys(12) 0", "get sldSndVolume(0)", "ok",
    // "cancel", "close"). Returns "" on success with query lines in `out`,
    // else the reason of the error.
    std::string Command(const std::vector<std::string>& words, std::vector<std::string>& out);

    // [SECTION] State, as the reader sees it
    bool IsOpen() const { return mOpen; }
    const std::string& SelectedTab() const { return mTabKey; }
    const ConfigControls& Controls() const { return mControls; }

    // [SECTION] What a reader does
    void ClickCheck(CheckBox box, int index, long value);
    void ChooseOption(OptionGroup group, int index);
    void MoveSlider(SliderGroup group, int index, long value);
    void SelectFont(long index);
    void SelectLanguage(long index);
    void SelectCharacter(long index);
    // The colour chooser's OK with this red-green-blue colour.
    void ChooseCharacterColor(std::uint32_t rgb);
    void ClickInitColor();
    void ClickOK();
    void ClickCancel();
    void CloseFromTitleBar();

private:
    void FillCharacterList();
    void WriteCheck(const char* key, long value);
    void WriteLong(const char* key, long value);
    void PreviewSlider(SliderGroup group, int index);
    void PreviewMute(int index);
    void Close();

    void DrawSystemTab();
    void DrawScreenTab();
    void DrawSoundTab();
    void DrawCharTab();
    void DrawCheck(CheckBox box, int index, const char* caption);
    void DrawOption(OptionGroup group, int index, const char* caption);
    void DrawSlider(SliderGroup group, int index, const char* id, float width);
    void DrawFooter(int tab);
    void HandleKeys(bool chooserWasOpen);

    std::string SetControl(const std::string& name, const std::string& value);
    std::string GetControl(const std::string& name, std::string& value) const;

    Configuration& mCfg;
    frmConfigHost mHost;
    bool mOpen = false;
    std::string mTabKey = "system";
    // A tab chosen by SetView that the tab strip has not shown yet.
    int mPendingTab = -1;
    ConfigControls mControls;
    std::array<std::uint32_t, 16> mCustomColors{};
    std::unique_ptr<ColorChooser> mChooser;
    // The custom colours as the chooser found them, for its Cancel.
    std::string mChooserCustomText;
    std::unique_ptr<DialogKeyboard> mKeyboard;
    std::unique_ptr<FontPreview> mFontPreview;
    // The keyboard navigation flag of the ImGui context before the dialog
    // turned it on; given back when the dialog closes.
    ImGuiContext* mNavContext = nullptr;
    bool mNavFlagWasSet = false;
};

}  // namespace zelk
