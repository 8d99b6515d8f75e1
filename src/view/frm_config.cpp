#include "view/frm_config.h"

#include <imgui.h>

#include <algorithm>

#include "common/numbers.h"
#include "common/text.h"
#include "platform/translate.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "view/frm_config_color.h"
#include "view/frm_config_font_preview.h"
#include "view/frm_config_widgets.h"

namespace zelk {

namespace {

constexpr const char* kTabKeys[frmConfig::kTabCount] = {"system", "screen", "sound", "char"};
constexpr const char* kTabCaptions[frmConfig::kTabCount] = {TrMark("システム"), TrMark("表示"),
                                                            TrMark("サウンド"), TrMark("人物")};

// A broken system file must not keep the dialog counting for ever.
constexpr long kLargestCharacterCount = 10000;

long ClampSlider(long value) {
    return std::clamp(value, kSliderMin, kSliderMax);
}

// How a character's stored text reads: the voice switch and the colour
// (system order, 24 bits).
struct StoredCharacter {
    bool Voice;
    std::uint32_t Color;
};

// The language list's index of a stored setting; an unknown one reads as
// the desktop's.
long LanguageIndex(const std::string& stored) {
    const std::string value = ToLowerAscii(TrimChars(stored, " \t"));
    for (std::size_t i = 0; i < kLanguageValues.size(); ++i) {
        if (value == kLanguageValues[i]) return static_cast<long>(i);
    }
    return 0;
}

StoredCharacter ReadStoredCharacter(const std::string& text) {
    const std::size_t comma = text.find(',');
    const bool voice = ReadBool(text.substr(0, comma), true);
    const long color = ReadLong(comma == std::string::npos ? text : text.substr(comma + 1));
    return {voice, static_cast<std::uint32_t>(color) & 0xFFFFFF};
}

}  // namespace

const char* frmConfig::TabKey(int tab) {
    return tab >= 0 && tab < kTabCount ? kTabKeys[tab] : "";
}

const char* frmConfig::TabCaption(int tab) {
    return tab >= 0 && tab < kTabCount ? kTabCaptions[tab] : "";
}

int frmConfig::TabIndex(const std::string& key) {
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (key == kTabKeys[tab]) return tab;
    }
    return -1;
}

frmConfig::frmConfig(Configuration& cfg, frmConfigHost host)
    : mCfg(cfg),
      mHost(std::move(host)),
      mChooser(std::make_unique<ColorChooser>()),
      mKeyboard(std::make_unique<DialogKeyboard>()),
      mFontPreview(std::make_unique<FontPreview>(mHost.Renderer)) {}

frmConfig::~frmConfig() = default;

// [SECTION] Loading

void frmConfig::LoadData() {
    // The backup must hold every key the preview may change: restoring a
    // key the reader's file lacked would write it empty (volume 0).
    for (const std::string& key : SplitText(kPreviewKeys, ","))
        mCfg.StringVal(key, mCfg.StringVal(key));
    mCfg.Backup();

    mControls.cmbGrpFontList.clear();
    for (long i = 0; i < mCfg.FontCount(); ++i)
        mControls.cmbGrpFontList.push_back(mCfg.FontName(i));
    FillCharacterList();
    CustomColorText(mCfg.StringVal("CustomColor"));
    for (int tab = 0; tab < kTabCount; ++tab)
        LoadTab(tab);
    mCfg.ChangeEventEnabled(true);
    mOpen = true;
}

void frmConfig::FillCharacterList() {
    mControls.Characters.clear();
    mControls.lstChList = -1;
    if (!mHost.SystemInfo) return;
    const INISection* section = mHost.SystemInfo->FindSection("CharConfig");
    if (!section) return;
    const long count =
        std::clamp<long>(ReadLong(section->KeyValue("ListCount")), 0, kLargestCharacterCount);
    for (long i = 0; i < count; ++i) {
        const std::vector<std::string> items =
            SplitText(section->KeyValue("Item:" + std::to_string(i)), ",");
        ConfigCharacter character;
        if (items.size() == 3) {
            character.Name = TrimChars(items[0], " \t");
            character.Male = ReadBool(TrimChars(items[2], " \t"));
        } else {
            character.Name = "error";
        }
        mControls.Characters.push_back(std::move(character));
    }
}

void frmConfig::LoadTab(int tab) {
    ConfigControls& c = mControls;
    switch (tab) {
        case kTabSystem:
            for (int i : {13, 11, 10, 9, 8, 7, 0, 1, 2, 3})
                c.chkSys[static_cast<std::size_t>(i)] = mCfg.BoolValChk(kSysCheckKeys[i]);
            StartScreenMode(mCfg.LongVal("StartScreenMode"));
            c.chkSysScreenCenter = mCfg.BoolValChk("StartCenter");
            c.cmbSysLanguage = LanguageIndex(mCfg.StringVal(kLanguageKey));
            break;
        case kTabScreen: {
            for (int i = 0; i < 2; ++i) {
                c.sldGrpAlpha[static_cast<std::size_t>(i)] =
                    ClampSlider(mCfg.LongVal(kAlphaKeys[i]));
                PreviewSlider(SliderGroup::sldGrpAlpha, i);
            }
            for (int i : {4, 5, 6})
                c.chkSys[static_cast<std::size_t>(i)] = mCfg.BoolValChk(kSysCheckKeys[i]);
            AutoModeWait(mCfg.LongVal("AutoModeWait"));
            const std::string font = mCfg.StringVal("Font");
            c.cmbGrpFont = mCfg.GetFontIndex(font);
            c.FontText = c.cmbGrpFont < 0 ? font : std::string();
            c.chkSys[12] = mCfg.BoolValChk("TextShadow");
            break;
        }
        case kTabSound:
            for (int i = 0; i < 3; ++i) {
                const auto at = static_cast<std::size_t>(i);
                c.sldSndVolume[at] = ClampSlider(mCfg.LongVal(kVolumeKeys[at]));
                PreviewSlider(SliderGroup::sldSndVolume, i);
                c.chkSndMute[at] = mCfg.BoolValChk(kMuteKeys[at]);
                PreviewMute(i);
            }
            c.chkSndPan = mCfg.BoolValChk("CVPan");
            break;
        case kTabChar:
            c.chkChMaleVoice = mCfg.BoolValChk("MaleVoice");
            c.chkChOriginalColor = mCfg.BoolValChk("OriginalTextColor");
            for (std::size_t i = 0; i < c.Characters.size(); ++i) {
                const long index = static_cast<long>(i);
                c.Characters[i].Color = SwapRedBlue(mCfg.CharColor(index));
                c.Characters[i].Voice = mCfg.CharVoiceEnabled(index);
            }
            SelectCharacter(c.Characters.empty() ? -1 : 0);
            break;
        default:
            break;
    }
}

void frmConfig::ResetTab(int tab) {
    mCfg.DefaultMode(true);
    LoadTab(tab);
    mCfg.DefaultMode(false);
}

void frmConfig::SetView(const std::string& key) {
    if (!key.empty()) {
        const int tab = TabIndex(key);
        if (tab < 0) return;
        mTabKey = key;
        mPendingTab = tab;
    }
}

// [SECTION] Saving

void frmConfig::WriteCheck(const char* key, long value) {
    // A value that reads the same keeps its text, so a file nobody changed
    // is written back as it was.
    if (mCfg.BoolValChk(key) == (value == 1 ? 1 : 0)) {
        mCfg.StringVal(key, mCfg.StringVal(key));
    } else {
        mCfg.BoolValChk(key, value);
    }
}

void frmConfig::WriteLong(const char* key, long value) {
    if (mCfg.LongVal(key) == value) {
        mCfg.StringVal(key, mCfg.StringVal(key));
    } else {
        mCfg.LongVal(key, value);
    }
}

void frmConfig::SaveData() {
    const ConfigControls& c = mControls;
    auto check = [&](int index) {
        WriteCheck(kSysCheckKeys[index], c.chkSys[static_cast<std::size_t>(index)]);
    };
    for (int i : {0, 1, 2, 3})
        check(i);
    WriteLong("StartScreenMode", StartScreenMode());
    WriteCheck("StartCenter", c.chkSysScreenCenter);
    // Written only when chosen, so that a reader's file from before the
    // choice existed stays as it was; its change event shows the new
    // language at once.
    if (LanguageIndex(mCfg.StringVal(kLanguageKey)) != c.cmbSysLanguage)
        mCfg.StringVal(kLanguageKey, kLanguageValues[static_cast<std::size_t>(c.cmbSysLanguage)]);
    for (int i : {7, 8, 9, 10, 11, 13})
        check(i);
    WriteLong("WndAlpha", c.sldGrpAlpha[0]);
    WriteLong("NovelAlpha", c.sldGrpAlpha[1]);
    for (int i : {4, 5, 6})
        check(i);
    WriteLong("AutoModeWait", AutoModeWait());
    mCfg.StringVal("Font", c.FontChoice());
    check(12);
    for (std::size_t i = 0; i < 3; ++i)
        WriteLong(kVolumeKeys[i], c.sldSndVolume[i]);
    for (std::size_t i = 0; i < 3; ++i)
        WriteCheck(kMuteKeys[i], c.chkSndMute[i]);
    WriteCheck("CVPan", c.chkSndPan);
    WriteCheck("MaleVoice", c.chkChMaleVoice);
    WriteCheck("OriginalTextColor", c.chkChOriginalColor);
    for (std::size_t i = 0; i < c.Characters.size(); ++i) {
        const long index = static_cast<long>(i);
        const ConfigCharacter& character = c.Characters[i];
        const std::uint32_t stored = SwapRedBlue(character.Color);
        const std::string current = mCfg.CharValue(index);
        const StoredCharacter read = ReadStoredCharacter(current);
        if (read.Voice == character.Voice && read.Color == stored) {
            mCfg.CharValue(index, current);
        } else {
            mCfg.CharValue(index, std::string(character.Voice ? "True" : "False") + "," +
                                      std::to_string(stored));
        }
    }
    mCfg.StringVal("CustomColor", CustomColorText());
}

// [SECTION] Conversions of the option groups and the custom colours

long frmConfig::StartScreenMode() const {
    return mControls.optSysScreen;
}

void frmConfig::StartScreenMode(long value) {
    mControls.optSysScreen = value >= 0 && value < kScreenModeCount ? static_cast<int>(value) : 0;
}

long frmConfig::AutoModeWait() const {
    const int chosen = mControls.optGrpAuto;
    if (chosen < 0 || chosen >= static_cast<int>(kAutoModeTags.size()))
        return kAutoModeTags[kAutoModeFallback];
    return kAutoModeTags[static_cast<std::size_t>(chosen)];
}

void frmConfig::AutoModeWait(long value) {
    mControls.optGrpAuto = kAutoModeFallback;
    for (std::size_t i = 0; i < kAutoModeTags.size(); ++i) {
        if (kAutoModeTags[i] == value) mControls.optGrpAuto = static_cast<int>(i);
    }
}

std::string frmConfig::CustomColorText() const {
    std::string text;
    for (std::size_t i = 0; i < mCustomColors.size(); ++i) {
        if (i > 0) text += ",";
        text += "&h" + HexPad(SwapRedBlue(mCustomColors[i]), 6);
    }
    return text;
}

void frmConfig::CustomColorText(const std::string& text) {
    const std::vector<std::string> items = SplitText(text, ",");
    if (items.size() != mCustomColors.size()) {
        mHost.Messages.Message(Tr("カスタムカラー設定が不正です。"));
        mCustomColors.fill(0);
        return;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        mCustomColors[i] = SwapRedBlue(ReadLong(items[i]));
}

// [SECTION] What a reader does

void frmConfig::ClickCheck(CheckBox box, int index, long value) {
    ConfigControls& c = mControls;
    const long checked = value == 1 ? 1 : 0;
    switch (box) {
        case CheckBox::chkSys:
            if (index >= 0 && index < kSysCheckCount)
                c.chkSys[static_cast<std::size_t>(index)] = checked;
            break;
        case CheckBox::chkSysScreenCenter:
            c.chkSysScreenCenter = checked;
            break;
        case CheckBox::chkSndMute:
            if (index >= 0 && index < 3) {
                c.chkSndMute[static_cast<std::size_t>(index)] = checked;
                PreviewMute(index);
            }
            break;
        case CheckBox::chkSndPan:
            c.chkSndPan = checked;
            break;
        case CheckBox::chkChVoiceEnabled:
            if (c.lstChList >= 0 && c.lstChList < static_cast<long>(c.Characters.size()))
                c.Characters[static_cast<std::size_t>(c.lstChList)].Voice = checked == 1;
            break;
        case CheckBox::chkChMaleVoice:
            c.chkChMaleVoice = checked;
            break;
        case CheckBox::chkChOriginalColor:
            c.chkChOriginalColor = checked;
            break;
    }
}

void frmConfig::ChooseOption(OptionGroup group, int index) {
    if (group == OptionGroup::optSysScreen) {
        if (index >= 0 && index < kScreenModeCount) mControls.optSysScreen = index;
    } else if (index >= 0 && index < static_cast<int>(kAutoModeTags.size())) {
        mControls.optGrpAuto = index;
    }
}

void frmConfig::MoveSlider(SliderGroup group, int index, long value) {
    if (group == SliderGroup::sldGrpAlpha) {
        if (index < 0 || index >= 2) return;
        mControls.sldGrpAlpha[static_cast<std::size_t>(index)] = ClampSlider(value);
    } else {
        if (index < 0 || index >= 3) return;
        mControls.sldSndVolume[static_cast<std::size_t>(index)] = ClampSlider(value);
    }
    PreviewSlider(group, index);
}

void frmConfig::PreviewSlider(SliderGroup group, int index) {
    // Only the open dialog previews; the voice slider never does.
    if (group == SliderGroup::sldGrpAlpha) {
        if (index >= 0 && index < 2)
            WriteLong(kAlphaKeys[static_cast<std::size_t>(index)],
                      mControls.sldGrpAlpha[static_cast<std::size_t>(index)]);
    } else if (index >= 0 && index < 2) {
        WriteLong(kVolumeKeys[static_cast<std::size_t>(index)],
                  mControls.sldSndVolume[static_cast<std::size_t>(index)]);
    }
}

void frmConfig::PreviewMute(int index) {
    if (index < 0 || index >= 2) return;
    WriteCheck(kMuteKeys[static_cast<std::size_t>(index)],
               mControls.chkSndMute[static_cast<std::size_t>(index)]);
}

void frmConfig::SelectFont(long index) {
    if (index < 0 || index >= static_cast<long>(mControls.cmbGrpFontList.size())) return;
    mControls.cmbGrpFont = index;
    mControls.FontText.clear();
}

void frmConfig::SelectLanguage(long index) {
    if (index < 0 || index >= static_cast<long>(kLanguageValues.size())) return;
    mControls.cmbSysLanguage = index;
}

void frmConfig::SelectCharacter(long index) {
    if (index < -1 || index >= static_cast<long>(mControls.Characters.size())) return;
    mControls.lstChList = index;
}

void frmConfig::ChooseCharacterColor(std::uint32_t rgb) {
    ConfigControls& c = mControls;
    if (c.lstChList < 0 || c.lstChList >= static_cast<long>(c.Characters.size())) return;
    c.Characters[static_cast<std::size_t>(c.lstChList)].Color = rgb & 0xFFFFFF;
}

void frmConfig::ClickInitColor() {
    mCfg.DefaultMode(true);
    const std::string defaults = mCfg.StringVal("CustomColor");
    mCfg.DefaultMode(false);
    CustomColorText(defaults);
}

void frmConfig::RestorePreview() {
    mCfg.Restore(kPreviewKeys);
}

void frmConfig::ClickOK() {
    if (!mOpen) return;
    SaveData();
    // A file that cannot be written is said by the settings themselves; the
    // dialog's values stay in force for this session all the same.
    mCfg.Save(true);
    Close();
}

void frmConfig::ClickCancel() {
    if (!mOpen) return;
    RestorePreview();
    Close();
}

void frmConfig::CloseFromTitleBar() {
    ClickCancel();
}

void frmConfig::Close() {
    mOpen = false;
    mPendingTab = -1;
    // The keyboard navigation goes back to how the dialog found it, in the
    // context the dialog was drawn in (a command may close it between
    // frames, when another context is current).
    if (mNavContext != nullptr && !mNavFlagWasSet) {
        ImGuiContext* current = ImGui::GetCurrentContext();
        ImGui::SetCurrentContext(mNavContext);
        ImGui::GetIO().ConfigFlags &= ~ImGuiConfigFlags_NavEnableKeyboard;
        ImGui::SetCurrentContext(current);
    }
    mNavContext = nullptr;
}

}  // namespace zelk
