// The controls of the settings dialog as values: what each box, option,
// slider and list shows right now. The ImGui picture and the scripted
// commands both read this, and only frmConfig changes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

enum class CheckBox {
    chkSys,
    chkSysScreenCenter,
    chkSndMute,
    chkSndPan,
    chkChVoiceEnabled,
    chkChMaleVoice,
    chkChOriginalColor,
};
enum class OptionGroup { optSysScreen, optGrpAuto };
enum class SliderGroup { sldGrpAlpha, sldSndVolume };

// The check boxes of the chkSys array and the key each one edits.
inline constexpr int kSysCheckCount = 14;
inline constexpr std::array<const char*, kSysCheckCount> kSysCheckKeys = {
    "QueryExit",     "CustomCursor",    "DeactivateMute",    "DeactivateWnd",  "SkipStopUnread",
    "SkipGrpEffect", "SkipAfterSelect", "QueryRestartTitle", "QueryQuickLoad", "QueryQuickSave",
    "QueryLoad",     "QuerySave",       "TextShadow",        "DXFullScreen",
};

// The auto mode buttons' tags (milliseconds) and the button chosen when
// none has the wanted tag ("通常").
inline constexpr std::array<long, 5> kAutoModeTags = {400, 1100, 1800, 2500, 3200};
inline constexpr int kAutoModeFallback = 2;

inline constexpr int kScreenModeCount = 3;

// The language of the player's own texts as the reader's setting stores
// it, by the language list's index: as the desktop's, Japanese, English.
inline constexpr std::array<const char*, 3> kLanguageValues = {"auto", "ja", "en"};
inline constexpr const char* kLanguageKey = "Language";

// Every slider runs over the byte range the engines take for volumes and
// transparency.
inline constexpr long kSliderMin = 0;
inline constexpr long kSliderMax = 255;

// Keys of the sliders and the mute boxes, by index.
inline constexpr std::array<const char*, 2> kAlphaKeys = {"WndAlpha", "NovelAlpha"};
inline constexpr std::array<const char*, 3> kVolumeKeys = {"BGMVolume", "SEVolume", "CVVolume"};
inline constexpr std::array<const char*, 3> kMuteKeys = {"BGMMute", "SEMute", "CVMute"};
// The keys the live preview writes and Cancel restores.
inline constexpr const char* kPreviewKeys = "BGMVolume,SEVolume,BGMMute,SEMute,WndAlpha,NovelAlpha";

struct ConfigCharacter {
    std::string Name;
    // Red-green-blue, as the colour box shows it.
    std::uint32_t Color = 0xFFFFFF;
    bool Voice = true;
    bool Male = false;
};

struct ConfigControls {
    std::array<long, kSysCheckCount> chkSys{};
    int optSysScreen = 0;
    long chkSysScreenCenter = 0;
    long cmbSysLanguage = 0;

    int optGrpAuto = kAutoModeFallback;
    std::vector<std::string> cmbGrpFontList;
    long cmbGrpFont = -1;
    // The configured face when it is not in the list: the combo shows it
    // and OK keeps it, so a face that is not installed here is not lost.
    std::string FontText;
    std::array<long, 2> sldGrpAlpha{};

    std::array<long, 3> sldSndVolume{};
    std::array<long, 3> chkSndMute{};
    long chkSndPan = 0;

    std::vector<ConfigCharacter> Characters;
    long lstChList = -1;
    long chkChMaleVoice = 0;
    long chkChOriginalColor = 0;

    // [SECTION] What follows from the values
    // A check box's value, 1 or 0; 0 for an index out of range.
    long Check(CheckBox box, int index) const {
        auto at = [&](const auto& array) -> long {
            if (index < 0 || index >= static_cast<int>(array.size())) return 0;
            return array[static_cast<std::size_t>(index)];
        };
        switch (box) {
            case CheckBox::chkSys:
                return at(chkSys);
            case CheckBox::chkSysScreenCenter:
                return chkSysScreenCenter;
            case CheckBox::chkSndMute:
                return at(chkSndMute);
            case CheckBox::chkSndPan:
                return chkSndPan;
            case CheckBox::chkChVoiceEnabled:
                return chkChVoiceEnabled();
            case CheckBox::chkChMaleVoice:
                return chkChMaleVoice;
            case CheckBox::chkChOriginalColor:
                return chkChOriginalColor;
        }
        return 0;
    }
    bool ScreenCenterEnabled() const { return optSysScreen == 1; }
    const ConfigCharacter* SelectedCharacter() const {
        if (lstChList < 0 || lstChList >= static_cast<long>(Characters.size())) return nullptr;
        return &Characters[static_cast<std::size_t>(lstChList)];
    }
    // The colour box and its label follow the selection; the voice box is
    // open only for a male character.
    bool ColorBoxEnabled() const { return SelectedCharacter() != nullptr; }
    bool VoiceBoxEnabled() const {
        const ConfigCharacter* ch = SelectedCharacter();
        return ch != nullptr && ch->Male;
    }
    long chkChVoiceEnabled() const {
        const ConfigCharacter* ch = SelectedCharacter();
        return ch != nullptr && ch->Voice ? 1 : 0;
    }
    std::uint32_t picChColor() const {
        const ConfigCharacter* ch = SelectedCharacter();
        return ch != nullptr ? ch->Color : 0;
    }
    // The face the combo shows.
    std::string FontChoice() const {
        if (cmbGrpFont >= 0 && cmbGrpFont < static_cast<long>(cmbGrpFontList.size()))
            return cmbGrpFontList[static_cast<std::size_t>(cmbGrpFont)];
        return FontText;
    }
};

}  // namespace zelk
