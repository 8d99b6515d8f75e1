// Index
//   [SECTION] The table
//   [SECTION] Names and near names
#include "system_keys.h"

#include <algorithm>
#include <cctype>

namespace zelk::tool {

namespace {

using K = ValueKind;

// [SECTION] The table

// Keys read from every screen's file: the sounds of its buttons.
KeyRule PointSE() {
    return {"PointSE", K::kSound};
}
KeyRule ClickSE() {
    return {"ClickSE", K::kSound};
}

// The keys the player reads from config.ini: each must have its default in
// SystemInfo.ini, or the reading shows an error to the reader.
std::vector<KeyRule> ConfigKeys() {
    std::vector<KeyRule> keys;
    for (const char* key : {"TextSpeed",
                            "TextAutoClick",
                            "AutoModeWait",
                            "BGMVolume",
                            "SEVolume",
                            "CVVolume",
                            "BGMMute",
                            "SEMute",
                            "CVMute",
                            "WndAlpha",
                            "NovelAlpha",
                            "CustomCursor",
                            "Font",
                            "CustomColor",
                            "OriginalTextColor",
                            "MaleVoice",
                            "CVPan",
                            "SkipStopUnread",
                            "SkipGrpEffect",
                            "SkipAfterSelect",
                            "StartScreenMode",
                            "FullMode",
                            "StartCenter",
                            "Pos",
                            "DeactivateMute",
                            "DeactivateWnd",
                            "DXFullScreen",
                            "TextShadow",
                            "QueryQuickSave",
                            "QueryQuickLoad",
                            "QueryRestartTitle",
                            "QueryExit",
                            "QuerySave",
                            "QueryLoad",
                            "LastSaveLoadPage"}) {
        keys.push_back({key, K::kText, true});
    }
    // The player brings its own defaults of these.
    for (const char* key : {"RollbackPages", "TextToClipboard", "SelfVoicing", "Language"})
        keys.push_back({key, K::kText});
    keys.push_back({"Char:#", K::kText});
    return keys;
}

std::vector<FileRule> BuildRules() {
    std::vector<FileRule> files;

    files.push_back(
        {"SystemInfo",
         true,
         {
             {"Game",
              SectionKind::kKeys,
              true,
              {{"Encoding"},
               {"Language"},
               {"Title"},
               {"ScenarioVer"},
               {"Copyright"},
               {"ScreenSizeX", K::kNumber},
               {"ScreenSizeY", K::kNumber},
               {"ScriptScaleX", K::kNumber},
               {"ScriptScaleY", K::kNumber},
               {"InitialScreenColor", K::kNumber},
               {"EntryPoint", K::kLabel, true},
               {"QSavePageNum", K::kNumber},
               {"QSaveSlotCount", K::kNumber},
               {"CustomMouseCursor", K::kCursorFile},
               {"BGMFadeTime", K::kNumber},
               {"InvalidFont"},
               {"WindowBlockPrefix"},
               {"NovelBlockPrefix"},
               {"LogBlockPrefix"},
               {"ChoicePrefix"}}},
             {"TextBlock",
              SectionKind::kKeys,
              true,
              {{"CharCount", K::kNumber, true}, {"LineCount", K::kNumber, true}}},
             {"Nameplate", SectionKind::kKeys, false, {{"Count", K::kNumber}, {"Item:#"}}},
             {"CharConfig",
              SectionKind::kKeys,
              false,
              {{"ListCount", K::kNumber}, {"Item:#"}, {"MaleCID"}}},
             {"Config", SectionKind::kKeys, true, ConfigKeys()},
             {"const", SectionKind::kFreeKeys},
             {"var", SectionKind::kFreeKeys},
             {"shared", SectionKind::kFreeKeys},
             {"Instruction", SectionKind::kLines, true},
         }});

    files.push_back(
        {"game_mode",
         true,
         {
             {"Base",
              SectionKind::kKeys,
              false,
              {PointSE(), ClickSE(), {"SaveMenuEnabled", K::kSwitch}, {"SaveMenuAlarmMessage"}}},
             {"WindowMode",
              SectionKind::kKeys,
              false,
              {{"Back", K::kFilm},
               {"Frame", K::kFilm},
               {"Nameplate", K::kFilm},  // rows: one per [Nameplate] item
               {"State", K::kFilm},      // rows: normal, auto, skip
               {"Face", K::kFilm},
               {"Text", K::kFilm},
               {"TextShadow", K::kFilm},
               {"WaitCursor", K::kFilm},
               {"ChoiceFrame", K::kFilm, false, 3},
               {"ChoiceText", K::kFilm},
               {"ChoiceTextTopOffset", K::kNumber},
               {"ChoiceSpace", K::kNumber, true},
               {"ChoiceCenter", K::kNumber, true},
               {"StateAutoIndex", K::kNumber},
               {"StateSkipIndex", K::kNumber},
               {"WndAlpha", K::kNumber},
               {"Buttons", K::kKeyList}},
              {},
              2},
             {"NovelMode",
              SectionKind::kKeys,
              false,
              {{"Back", K::kFilm},
               {"Text", K::kFilm},
               {"TextShadow", K::kFilm},
               {"WaitCursor", K::kFilm},
               {"WaitCursorOffset", K::kNumber},
               {"Face", K::kFilm},
               {"NovelAlpha", K::kNumber}}},
             {"wndtype:#",
              SectionKind::kKeys,
              false,
              {{"Frame", K::kPicture, true},
               {"NamePlate", K::kPicture, true},
               {"State", K::kPicture, true}}},
             {"LogMode",
              SectionKind::kKeys,
              false,
              {{"Back", K::kFilm},
               {"#Text", K::kFilm},
               {"#Voice", K::kFilm, false, 2},
               {"Buttons", K::kKeyList}},
              {},
              2},
         }});

    files.push_back({"title_mode",
                     true,
                     {
                         {"base",
                          SectionKind::kKeys,
                          false,
                          {{"FadeTime", K::kNumber},
                           {"InitColor", K::kNumber},
                           {"ActiveMenu"},
                           PointSE(),
                           ClickSE()}},
                         {"Logo",
                          SectionKind::kKeys,
                          false,
                          {{"bg", K::kPicture}, {"se", K::kSound}, {"AutoclickTime", K::kNumber}}},
                         {"menu",
                          SectionKind::kKeys,
                          false,
                          {{"bg", K::kPicture},
                           {"bgm", K::kSound},
                           {"Buttons", K::kKeyList},
                           {"OmakeEnableFlags"}},
                          {},
                          3},
                     }});

    files.push_back({"saveload_mode",
                     true,
                     {
                         {"Base",
                          SectionKind::kKeys,
                          false,
                          {{"BGFromGame", K::kPicture},
                           {"TransparentBGFromGame", K::kSwitch},
                           {"BGFromTitle", K::kPicture},
                           {"TransparentBGFromTitle", K::kSwitch},
                           {"BGAlphaBlend", K::kNumber},
                           {"SlotbaseOverThumbnail", K::kSwitch},
                           {"PageButtonFlipNumOnClick", K::kNumber},
                           {"PageButtonFlipNumOnLock", K::kNumber},
                           PointSE(),
                           ClickSE(),
                           {"QuerySaveMessage"},
                           {"QueryLoadMessage"}}},
                         {"Button",
                          SectionKind::kKeys,
                          false,
                          {{"Return", K::kFilm, false, 4},
                           {"PageNoCount", K::kNumber},
                           {"PageNo#", K::kFilm, false, 4}}},
                         {"Slots",
                          SectionKind::kKeys,
                          false,
                          {{"SlotXCount", K::kNumber},
                           {"SlotYCount", K::kNumber},
                           {"SlotXBase", K::kNumber},
                           {"SlotYBase", K::kNumber},
                           {"SlotXDiff", K::kNumber},
                           {"SlotYDiff", K::kNumber},
                           {"FreePlaceMode", K::kSwitch},
                           {"SlotCount", K::kNumber},
                           {"Slot#"}}},
                         {"SlotBase",
                          SectionKind::kKeys,
                          false,
                          {{"Base", K::kFilm, false, 2},
                           {"Thumb", K::kFilm},
                           {"Save", K::kFilm, false, 4},
                           {"Load", K::kFilm, false, 4},
                           {"Text", K::kFilm},
                           {"TextFont"},
                           {"TextColor"},
                           {"TextSize", K::kNumber},
                           {"TextWidth", K::kNumber},
                           {"TextHeight", K::kNumber}}},
                     }});

    // The three extras screens have the same keys under their own prefixes.
    const auto extras = [](std::string_view name, std::string_view prefix) {
        const auto key = [&](std::string_view rest) {
            return std::string(prefix) + std::string(rest);
        };
        SectionRule section{name, SectionKind::kKeys, false, {}};
        section.keys = {{"bg", K::kPicture},
                        {key("ModeBtn#"), K::kFilm, false, 3},
                        {key("Return"), K::kFilm, false, 3},
                        {"PageCount", K::kNumber},
                        {key("PageBtn#"), K::kFilm, false, 3},
                        {"PanelCount", K::kNumber},
                        {key("Panel#"), K::kFilm}};
        if (prefix != "Snd") section.keys.push_back({"NullPanel", K::kPicture});
        if (prefix == "Rep") {
            section.keys.push_back({"RepModeText", K::kSwitch});
            section.keys.push_back({"RepModeTextFilm", K::kFilm});
            section.keys.push_back({"RepModeTextPrefix"});
        }
        if (prefix == "Snd") {
            for (const char* button :
                 {"SndBack", "SndPlay", "SndStop", "SndNext", "SndSingle", "SndAll", "SndRandom"})
                section.keys.push_back({button, K::kFilm, false, 3});
        }
        return section;
    };
    files.push_back({"omake_mode",
                     true,
                     {
                         {"base",
                          SectionKind::kKeys,
                          false,
                          {PointSE(),
                           ClickSE(),
                           {"FadeTime", K::kNumber},
                           {"Percent", K::kFilm},
                           {"PercentImagePrefix"}}},
                         extras("cgmode", "CG"),
                         extras("repmode", "Rep"),
                         extras("SndMode", "Snd"),
                         {"cgmode_cmd", SectionKind::kFreeKeys, false, {}, "cmd#_#_#"},
                         {"cgmode_panel", SectionKind::kFreeKeys, false, {}, "panel#_#"},
                         {"repmode_panel", SectionKind::kFreeKeys, false, {}, "panel#_#"},
                         {"sndmode_panel", SectionKind::kFreeKeys, false, {}, "panel#_#"},
                     }});

    files.push_back({"debug",
                     false,
                     {
                         {"debug",
                          SectionKind::kKeys,
                          false,
                          {{"ScenarioFileMode", K::kSwitch},
                           {"CGFileMode", K::kSwitch},
                           {"SoundFileMode", K::kSwitch},
                           {"EntryPoint", K::kLabel},
                           {"TitleSkip", K::kSwitch},
                           {"DrawActivity", K::kSwitch},
                           {"NovelMode", K::kSwitch},
                           {"AllCG", K::kSwitch},
                           {"INIEncript", K::kSwitch},
                           {"SubClassMode", K::kSwitch}}},
                         {"Folder",
                          SectionKind::kKeys,
                          false,
                          {{"Workspace"}, {"Archive"}, {"ini"}, {"movie"}, {"Resource"}}},
                     }});
    return files;
}

// [SECTION] Names and near names

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Letters swapped, added, dropped or changed, each counting one.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
                Lower(a[i - 2]) == Lower(b[j - 1])) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

// The pattern with each "#" given the digits `written` has at that turn
// ("1" where it has none).
std::string WithDigitsOf(std::string_view pattern, std::string_view written) {
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < written.size();) {
        if (!IsDigit(written[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < written.size() && IsDigit(written[end]))
            ++end;
        runs.emplace_back(written.substr(i, end - i));
        i = end;
    }
    std::string result;
    std::size_t next = 0;
    for (const char c : pattern) {
        if (c == '#') {
            result += next < runs.size() ? runs[next] : "1";
            ++next;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

const std::vector<FileRule>& SystemFileRules() {
    static const std::vector<FileRule> rules = BuildRules();
    return rules;
}

bool KnowsKey(std::string_view file, std::string_view section, std::string_view key) {
    for (const FileRule& rule : SystemFileRules()) {
        if (!MatchesPattern(rule.name, file)) continue;
        for (const SectionRule& known : rule.sections) {
            if (!MatchesPattern(known.name, section)) continue;
            if (key.empty() || known.kind != SectionKind::kKeys) return true;
            for (const KeyRule& keyRule : known.keys) {
                if (keyRule.kind == ValueKind::kKeyList || MatchesPattern(keyRule.key, key))
                    return true;
            }
            return false;
        }
    }
    return false;
}

bool MatchesPattern(std::string_view pattern, std::string_view text) {
    std::size_t t = 0;
    for (const char c : pattern) {
        if (c == '#') {
            const std::size_t start = t;
            while (t < text.size() && IsDigit(text[t]))
                ++t;
            if (t == start) return false;
        } else {
            if (t >= text.size() || Lower(text[t]) != Lower(c)) return false;
            ++t;
        }
    }
    return t == text.size();
}

std::optional<std::string> NearestName(std::string_view written,
                                       const std::vector<std::string_view>& candidates) {
    // No key is this long: a line of garbage is not worth comparing.
    constexpr std::size_t kLongestName = 64;
    if (written.size() > kLongestName) return std::nullopt;
    std::optional<std::string> best;
    std::size_t bestDistance = 0;
    for (const std::string_view candidate : candidates) {
        const std::string name = WithDigitsOf(candidate, written);
        const std::size_t distance = Distance(written, name);
        // Short names are near everything: one slip in four letters at most.
        const std::size_t limit =
            std::min<std::size_t>(2, std::max(written.size(), name.size()) / 4);
        if (distance == 0 || distance > limit) continue;
        if (!best || distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace zelk::tool
