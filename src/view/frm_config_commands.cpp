// The scripted "dialog" commands: a control is named as in the dialog's
// table ("chkSys(12)", "sldSndVolume(0)", "lstChList") and set as a reader
// would set it, through the same members as the mouse, so the live preview
// follows. Besides the values, "get" knows a list's items ("lstChList(1)"),
// its length ("lstChList.ListCount"), whether a control is enabled
// ("chkChVoiceEnabled.Enabled"), the face sample's face ("lblGrpFont"), the
// selected tab ("tbsView") and the custom colours ("CustomColorText").
#include <charconv>
#include <optional>

#include "common/numbers.h"
#include "common/text.h"
#include "platform/translate.h"
#include "view/frm_config.h"
#include "view/frm_config_color.h"

namespace zelk {

namespace {

struct ControlName {
    std::string Base;
    // -1 without an index.
    long Index = -1;
    // "" or the part after ".".
    std::string Property;
};

std::optional<long> ParseInteger(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// "name", "name(3)", "name.Property", "name(3).Property".
std::optional<ControlName> ParseControlName(const std::string& text) {
    ControlName name;
    std::string rest = text;
    if (const std::size_t dot = rest.find('.'); dot != std::string::npos) {
        name.Property = rest.substr(dot + 1);
        rest = rest.substr(0, dot);
        if (name.Property.empty()) return std::nullopt;
    }
    if (const std::size_t open = rest.find('('); open != std::string::npos) {
        if (rest.back() != ')') return std::nullopt;
        const std::optional<long> index =
            ParseInteger(rest.substr(open + 1, rest.size() - open - 2));
        if (!index || *index < 0) return std::nullopt;
        name.Index = *index;
        rest = rest.substr(0, open);
    }
    if (rest.empty()) return std::nullopt;
    name.Base = rest;
    return name;
}

// A colour as the colour box takes it: "&hRRGGBB", "#RRGGBB" or decimal.
std::optional<std::uint32_t> ParseColor(const std::string& text) {
    if (text.size() > 2 && (text[0] == '&') && (text[1] == 'h' || text[1] == 'H')) {
        const std::string digits = text.substr(2);
        if (digits.empty() || digits.size() > 6 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return std::nullopt;
        return static_cast<std::uint32_t>(ReadLong(text)) & 0xFFFFFF;
    }
    if (text.size() == 7 && text[0] == '#') return ParseColor("&h" + text.substr(1));
    const std::optional<long> value = ParseInteger(text);
    if (!value || *value < 0 || *value > 0xFFFFFF) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::string ColorText(std::uint32_t rgb) {
    return "&h" + HexPad(rgb & 0xFFFFFF, 6);
}

struct CheckBoxName {
    const char* Name;
    CheckBox Box;
    int Count;  // 0: not an array
};
constexpr CheckBoxName kCheckBoxes[] = {
    {"chkSys", CheckBox::chkSys, kSysCheckCount},
    {"chkSysScreenCenter", CheckBox::chkSysScreenCenter, 0},
    {"chkSndMute", CheckBox::chkSndMute, 3},
    {"chkSndPan", CheckBox::chkSndPan, 0},
    {"chkChVoiceEnabled", CheckBox::chkChVoiceEnabled, 0},
    {"chkChMaleVoice", CheckBox::chkChMaleVoice, 0},
    {"chkChOriginalColor", CheckBox::chkChOriginalColor, 0},
};

const CheckBoxName* FindCheckBox(const std::string& base) {
    for (const CheckBoxName& entry : kCheckBoxes) {
        if (base == entry.Name) return &entry;
    }
    return nullptr;
}

// Whether the index fits the control: arrays need one in range, single
// controls none.
bool IndexFits(const ControlName& name, int count) {
    if (count == 0) return name.Index == -1;
    return name.Index >= 0 && name.Index < count;
}

// Made as a new string rather than assigned from a literal into the caller's:
// GCC 12 at -O3 takes that assignment for an overlapping copy.
std::string Digit(bool on) {
    return std::string(1, on ? '1' : '0');
}

}  // namespace

std::string frmConfig::Command(const std::vector<std::string>& words,
                               std::vector<std::string>& out) {
    if (words.empty()) return "missing dialog command";
    if (!mOpen) return "dialog not open";
    const std::string& verb = words[0];
    if (verb == "tab") {
        if (words.size() != 2) return "usage: dialog tab KEY";
        if (TabIndex(words[1]) < 0) return "unknown tab " + words[1];
        SetView(words[1]);
        return std::string();
    }
    if (verb == "set") {
        if (words.size() < 3) return "usage: dialog set CONTROL VALUE";
        std::string value = words[2];
        for (std::size_t i = 3; i < words.size(); ++i)
            value += " " + words[i];
        return SetControl(words[1], value);
    }
    if (verb == "get") {
        if (words.size() != 2) return "usage: dialog get CONTROL";
        std::string value;
        std::string error = GetControl(words[1], value);
        if (error.empty()) out.push_back("value " + words[1] + " " + value);
        return error;
    }
    if (verb != "ok" && verb != "cancel" && verb != "close")
        return "unknown dialog command " + verb;
    if (words.size() != 1) return "usage: dialog " + verb;
    if (verb == "ok") {
        ClickOK();
    } else if (verb == "cancel") {
        ClickCancel();
    } else {
        CloseFromTitleBar();
    }
    return std::string();
}

std::string frmConfig::SetControl(const std::string& text, const std::string& value) {
    const std::optional<ControlName> parsed = ParseControlName(text);
    if (!parsed || !parsed->Property.empty()) return "unknown control " + text;
    const ControlName& name = *parsed;
    const std::string badValue = "bad value " + value + " for " + text;
    const std::string disabled = "control disabled " + text;
    const std::optional<long> number = ParseInteger(value);
    ConfigControls& c = mControls;

    if (const CheckBoxName* check = FindCheckBox(name.Base)) {
        if (!IndexFits(name, check->Count)) return "unknown control " + text;
        if (!number || (*number != 0 && *number != 1)) return badValue;
        if (check->Box == CheckBox::chkSysScreenCenter && !c.ScreenCenterEnabled()) return disabled;
        if (check->Box == CheckBox::chkChVoiceEnabled && !c.VoiceBoxEnabled()) return disabled;
        ClickCheck(check->Box, static_cast<int>(name.Index), *number);
        return std::string();
    }
    if (name.Base == "optSysScreen" || name.Base == "optGrpAuto") {
        const bool screen = name.Base == "optSysScreen";
        if (!IndexFits(name, screen ? kScreenModeCount : static_cast<int>(kAutoModeTags.size())))
            return "unknown control " + text;
        // An option button is only ever chosen; another one unchooses it.
        if (!number || *number != 1) return badValue;
        ChooseOption(screen ? OptionGroup::optSysScreen : OptionGroup::optGrpAuto,
                     static_cast<int>(name.Index));
        return std::string();
    }
    if (name.Base == "sldGrpAlpha" || name.Base == "sldSndVolume") {
        const bool alpha = name.Base == "sldGrpAlpha";
        if (!IndexFits(name, alpha ? 2 : 3)) return "unknown control " + text;
        if (!number) return badValue;
        MoveSlider(alpha ? SliderGroup::sldGrpAlpha : SliderGroup::sldSndVolume,
                   static_cast<int>(name.Index), *number);
        return std::string();
    }
    if (name.Base == "cmbGrpFont" || name.Base == "lstChList") {
        if (!IndexFits(name, 0)) return "unknown control " + text;
        const bool font = name.Base == "cmbGrpFont";
        const long count = static_cast<long>(font ? c.cmbGrpFontList.size() : c.Characters.size());
        if (!number || *number < 0 || *number >= count) return badValue;
        if (font) {
            SelectFont(*number);
        } else {
            SelectCharacter(*number);
        }
        return std::string();
    }
    if (name.Base == "cmbSysLanguage") {
        if (!IndexFits(name, 0)) return "unknown control " + text;
        if (!number || *number < 0 || *number >= static_cast<long>(kLanguageValues.size()))
            return badValue;
        SelectLanguage(*number);
        return std::string();
    }
    if (name.Base == "picChColor") {
        if (!IndexFits(name, 0)) return "unknown control " + text;
        if (!c.ColorBoxEnabled()) return disabled;
        const std::optional<std::uint32_t> color = ParseColor(value);
        if (!color) return badValue;
        ChooseCharacterColor(*color);
        return std::string();
    }
    if (name.Base == "tbsView") {
        if (!IndexFits(name, 0)) return "unknown control " + text;
        if (TabIndex(value) < 0) return badValue;
        SetView(value);
        return std::string();
    }
    // Buttons are pressed by any value.
    if (name.Base == "cmdInit") {
        if (name.Index >= kTabCount) return "unknown control " + text;
        ResetTab(name.Index >= 0 ? static_cast<int>(name.Index) : TabIndex(mTabKey));
        return std::string();
    }
    if (!IndexFits(name, 0)) return "unknown control " + text;
    if (name.Base == "cmdInitColor") {
        ClickInitColor();
    } else if (name.Base == "cmdOK") {
        ClickOK();
    } else if (name.Base == "cmdCancel") {
        ClickCancel();
    } else {
        return "unknown control " + text;
    }
    return std::string();
}

std::string frmConfig::GetControl(const std::string& text, std::string& value) const {
    const std::optional<ControlName> parsed = ParseControlName(text);
    if (!parsed) return "unknown control " + text;
    const ControlName& name = *parsed;
    const ConfigControls& c = mControls;
    const std::string unknown = "unknown control " + text;

    if (name.Property == "ListCount") {
        if (name.Index != -1) return unknown;
        if (name.Base == "cmbGrpFont") {
            value = std::to_string(c.cmbGrpFontList.size());
        } else if (name.Base == "lstChList") {
            value = std::to_string(c.Characters.size());
        } else if (name.Base == "cmbSysLanguage") {
            value = std::to_string(kLanguageValues.size());
        } else {
            return unknown;
        }
        return std::string();
    }
    if (!name.Property.empty() && name.Property != "Enabled") return unknown;
    const bool enabledQuery = name.Property == "Enabled";
    bool enabled = true;

    if (const CheckBoxName* check = FindCheckBox(name.Base)) {
        if (!IndexFits(name, check->Count)) return unknown;
        if (check->Box == CheckBox::chkSysScreenCenter) enabled = c.ScreenCenterEnabled();
        if (check->Box == CheckBox::chkChVoiceEnabled) enabled = c.VoiceBoxEnabled();
        value = std::to_string(c.Check(check->Box, static_cast<int>(name.Index)));
    } else if (name.Base == "optSysScreen" || name.Base == "optGrpAuto") {
        const bool screen = name.Base == "optSysScreen";
        if (!IndexFits(name, screen ? kScreenModeCount : static_cast<int>(kAutoModeTags.size())))
            return unknown;
        const int chosen = screen ? c.optSysScreen : c.optGrpAuto;
        value = Digit(chosen == name.Index);
    } else if (name.Base == "sldGrpAlpha" || name.Base == "sldSndVolume") {
        const bool alpha = name.Base == "sldGrpAlpha";
        if (!IndexFits(name, alpha ? 2 : 3)) return unknown;
        const auto at = static_cast<std::size_t>(name.Index);
        value = std::to_string(alpha ? c.sldGrpAlpha[at] : c.sldSndVolume[at]);
    } else if (name.Base == "cmbGrpFont" || name.Base == "lstChList") {
        const bool font = name.Base == "cmbGrpFont";
        if (name.Index == -1) {
            value = std::to_string(font ? c.cmbGrpFont : c.lstChList);
        } else {
            const std::size_t count = font ? c.cmbGrpFontList.size() : c.Characters.size();
            if (static_cast<std::size_t>(name.Index) >= count || enabledQuery) return unknown;
            const auto at = static_cast<std::size_t>(name.Index);
            value = font ? c.cmbGrpFontList[at] : c.Characters[at].Name;
        }
    } else if (name.Base == "cmbSysLanguage" && name.Index == -1) {
        value = std::to_string(c.cmbSysLanguage);
    } else if (name.Base == "lblGrpFont" && name.Index == -1) {
        value = c.FontChoice();
    } else if ((name.Base == "picChColor" || name.Base == "lblChColor") && name.Index == -1) {
        enabled = c.ColorBoxEnabled();
        value = name.Base == "picChColor" ? ColorText(c.picChColor()) : Tr("メッセージの色");
    } else if (name.Base == "tbsView" && name.Index == -1) {
        value = mTabKey;
    } else if (name.Base == "CustomColorText" && name.Index == -1 && !enabledQuery) {
        value = CustomColorText();
    } else if ((name.Base == "cmdInit" && name.Index < kTabCount) ||
               ((name.Base == "cmdInitColor" || name.Base == "cmdOK" || name.Base == "cmdCancel") &&
                name.Index == -1)) {
        // Buttons have no value, only their state.
        if (!enabledQuery) return unknown;
    } else {
        return unknown;
    }
    if (enabledQuery) value = Digit(enabled);
    return std::string();
}

}  // namespace zelk
