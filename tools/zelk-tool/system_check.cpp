// Index
//   [SECTION] Sections and keys
//   [SECTION] Values: pictures, sounds, files
//   [SECTION] Pictures against their places
//   [SECTION] The extras' lists
//   [SECTION] The scenario folder
#include "system_check.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "settings/game_language.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "system_keys.h"
#include "system_lines.h"

namespace zelk::tool {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Size(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// One settings file being checked: where it is shown, its sections.
struct ReadFile {
    const FileRule* rule = nullptr;
    std::string shown;  // "game/SystemInfo.ini"
    std::vector<ReadSection> sections;

    const ReadSection* Find(std::string_view name) const {
        for (const ReadSection& section : sections) {
            if (section.line > 0 && EqualsNoCase(section.name, name)) return &section;
        }
        return nullptr;
    }
};

class SystemCheck {
public:
    SystemCheck(GameMedia& media, std::string shownFolder)
        : mMedia(media), mShownFolder(std::move(shownFolder)) {}

    std::vector<Finding> Run();

private:
    std::optional<ReadFile> Load(const FileRule& rule);
    void CheckSections(ReadFile& file);
    void CheckKeys(const ReadFile& file, const ReadSection& section);
    void CheckRequired(const ReadFile& file, const ReadSection& section);
    void CheckValue(const ReadFile& file, const ReadSection& section, const Entry& entry,
                    const KeyRule& rule, int rows);
    void CheckPicture(const std::string& place, const std::string& name, const Film* film, int rows,
                      const std::string& what);
    void CheckSound(const std::string& place, const std::string& name);
    void CheckWindow(const ReadFile& gameMode);
    void CheckBackgrounds(const ReadFile& file);
    void CheckExtras(const ReadFile& omake);
    void CheckConfig(const ReadFile& systemInfo);
    void CheckLanguage(const ReadFile& systemInfo);
    void CheckScenarioFolder();

    void Error(const std::string& place, std::string text) {
        mFindings.push_back({place, true, std::move(text)});
    }
    void Warning(const std::string& place, std::string text) {
        mFindings.push_back({place, false, std::move(text)});
    }
    static std::string At(const ReadFile& file, int line) {
        return line > 0 ? file.shown + ":" + std::to_string(line) : file.shown;
    }

    GameMedia& mMedia;
    std::string mShownFolder;
    std::vector<Finding> mFindings;
    int mScreenWidth = 640;
    int mScreenHeight = 480;
    long mNameplateCount = 0;
};

std::optional<ReadFile> SystemCheck::Load(const FileRule& rule) {
    const std::string fileName = std::string(rule.name) + ".ini";
    std::optional<std::string> text;
    std::string shown = fileName;
    const bool debug = rule.name == "debug";
    const std::string folder = debug ? Process().AppDir : Process().IniDir;
    const std::optional<std::string> path = ResolvePath(folder, fileName);
    if (path && FileExists(*path)) {
        shown = (fs::path(mShownFolder) / fs::path(*path).lexically_relative(Process().AppDir))
                    .lexically_normal()
                    .string();
        if (const std::optional<std::string> bytes = ReadFileBytes(*path))
            text = mMedia.Encoding().Decode(*bytes);
    } else if (!debug) {
        // Packed: the archives serve it, as they serve the player.
        if (const std::unique_ptr<INIFile> packed =
                LoadSystemIni(std::string(rule.name), mMedia.Encoding()))
            text = packed->Text();
    }
    if (!text) return std::nullopt;
    ReadFile file{&rule, shown, ReadSections(*text)};
    return file;
}

std::vector<Finding> SystemCheck::Run() {
    std::map<std::string_view, ReadFile> files;
    for (const FileRule& rule : SystemFileRules()) {
        std::optional<ReadFile> file = Load(rule);
        if (!file) {
            if (rule.required) {
                Error((fs::path(mShownFolder) / (std::string(rule.name) + ".ini")).string(),
                      std::string(rule.name == "title_mode"
                                      ? "the player cannot show the title without this file."
                                      : "the player does not start without this file.") +
                          " Give the game its " + std::string(rule.name) +
                          ".ini, in the game folder or packed.");
            }
            continue;
        }
        const bool empty =
            std::all_of(file->sections.begin(), file->sections.end(),
                        [](const ReadSection& section) { return section.line == 0; });
        if (empty && rule.required) {
            Error(file->shown,
                  "the file holds no [section], and the player takes it for missing. "
                  "Give it its sections.");
        }
        files.emplace(rule.name, std::move(*file));
    }
    if (const auto info = files.find("SystemInfo"); info != files.end()) {
        if (const ReadSection* game = info->second.Find("Game")) {
            if (const long x = ReadLong(game->Value("ScreenSizeX")); x > 0)
                mScreenWidth = static_cast<int>(x);
            if (const long y = ReadLong(game->Value("ScreenSizeY")); y > 0)
                mScreenHeight = static_cast<int>(y);
        }
        if (const ReadSection* plates = info->second.Find("Nameplate"))
            mNameplateCount = ReadLong(plates->Value("Count"));
    }
    for (const FileRule& rule : SystemFileRules()) {
        const auto found = files.find(rule.name);
        if (found != files.end()) CheckSections(found->second);
    }
    if (const auto info = files.find("SystemInfo"); info != files.end()) {
        CheckConfig(info->second);
        CheckLanguage(info->second);
    }
    if (const auto game = files.find("game_mode"); game != files.end()) CheckWindow(game->second);
    for (const std::string_view name : {"title_mode", "saveload_mode", "omake_mode"}) {
        if (const auto file = files.find(name); file != files.end()) CheckBackgrounds(file->second);
    }
    if (const auto omake = files.find("omake_mode"); omake != files.end())
        CheckExtras(omake->second);
    CheckScenarioFolder();
    // File by file, line by line, as an editor walks them.
    const auto order = [](const Finding& finding) {
        const std::size_t colon = finding.place.rfind(':');
        if (colon == std::string::npos) return std::pair(finding.place, 0L);
        return std::pair(finding.place.substr(0, colon),
                         static_cast<long>(ReadLong(finding.place.substr(colon + 1))));
    };
    std::stable_sort(mFindings.begin(), mFindings.end(),
                     [&](const Finding& a, const Finding& b) { return order(a) < order(b); });
    return std::move(mFindings);
}

// [SECTION] Sections and keys

void SystemCheck::CheckSections(ReadFile& file) {
    const FileRule& rule = *file.rule;
    std::vector<std::string_view> names;
    for (const SectionRule& section : rule.sections)
        names.push_back(section.name);
    for (ReadSection& section : file.sections) {
        if (section.line == 0) {
            if (!section.entries.empty()) {
                Warning(At(file, section.entries.front().line),
                        Quoted(section.entries.front().key) +
                            " stands before any [section] and is never read. Move it into "
                            "its section.");
            }
            continue;
        }
        for (const SectionRule& known : rule.sections) {
            if (MatchesPattern(known.name, section.name)) {
                section.rule = &known;
                break;
            }
        }
        if (section.rule == nullptr) {
            std::string text = "[" + section.name + "] is no section the player reads in " +
                               std::string(rule.name) + ".ini";
            if (const std::optional<std::string> near = NearestName(section.name, names)) {
                text += ": did you mean [" + *near + "]?";
            } else {
                text += ". Remove it, or mend its name.";
            }
            Warning(At(file, section.line), text);
            continue;
        }
        CheckKeys(file, section);
    }
    for (const SectionRule& known : rule.sections) {
        if (!known.required || file.Find(known.name) != nullptr) continue;
        std::string text = "[" + std::string(known.name) + "] is missing: the player needs it.";
        for (const ReadSection& section : file.sections) {
            if (section.line > 0 && section.rule == nullptr &&
                NearestName(section.name, {known.name})) {
                text += " Line " + std::to_string(section.line) + "'s [" + section.name +
                        "] looks like it: mend its name.";
                break;
            }
        }
        Error(file.shown, text);
    }
    for (const ReadSection& section : file.sections) {
        if (section.rule != nullptr) CheckRequired(file, section);
    }
}

void SystemCheck::CheckKeys(const ReadFile& file, const ReadSection& section) {
    const SectionRule& rule = *section.rule;
    if (rule.kind == SectionKind::kLines) return;
    // The keys a Buttons list names are the section's own too.
    std::vector<std::string> listed;
    for (const KeyRule& key : rule.keys) {
        if (key.kind != ValueKind::kKeyList) continue;
        for (const std::string& name : SplitText(section.Value(key.key), ",")) {
            const std::string trimmed = TrimChars(name, " \t");
            if (!trimmed.empty()) listed.push_back(trimmed);
        }
    }
    std::vector<std::string_view> candidates;
    for (const KeyRule& key : rule.keys)
        candidates.push_back(key.key);
    if (!rule.freeKeyPattern.empty()) candidates.push_back(rule.freeKeyPattern);

    std::map<std::string, int> seen;  // key in small letters -> first line
    for (const Entry& entry : section.entries) {
        const std::string place = At(file, entry.line);
        const auto [first, added] = seen.emplace(ToLowerAscii(entry.key), entry.line);
        if (!added) {
            Warning(place, Quoted(entry.key) + " is given again: the one on line " +
                               std::to_string(first->second) +
                               " counts and this one is never read. Remove one.");
            continue;
        }
        if (rule.kind == SectionKind::kFreeKeys) {
            if (!rule.freeKeyPattern.empty() && !MatchesPattern(rule.freeKeyPattern, entry.key)) {
                std::string text = Quoted(entry.key) + " in [" + section.name +
                                   "] is never read: the keys here are written " +
                                   std::string(rule.freeKeyPattern) + " (# a number)";
                if (const auto near = NearestName(entry.key, candidates)) {
                    text += ": did you mean " + Quoted(*near) + "?";
                } else {
                    text += ".";
                }
                Warning(place, text);
            }
            continue;
        }
        const KeyRule* known = nullptr;
        for (const KeyRule& key : rule.keys) {
            if (MatchesPattern(key.key, entry.key)) {
                known = &key;
                break;
            }
        }
        if (known != nullptr) {
            CheckValue(file, section, entry, *known, known->rows);
            continue;
        }
        const bool isListed = std::any_of(listed.begin(), listed.end(), [&](const std::string& n) {
            return EqualsNoCase(n, entry.key);
        });
        if (isListed) {
            CheckValue(file, section, entry, {entry.key, ValueKind::kFilm}, rule.listedRows);
            continue;
        }
        std::string text =
            Quoted(entry.key) + " is no key the player reads in [" + section.name + "]";
        if (const auto near = NearestName(entry.key, candidates)) {
            text += ": did you mean " + Quoted(*near) + "?";
        } else {
            text += ". Remove it, or mend its name.";
        }
        Warning(place, text);
    }
    // The names a Buttons list gives must each have their key.
    for (const KeyRule& key : rule.keys) {
        if (key.kind != ValueKind::kKeyList) continue;
        const Entry* list = section.Find(key.key);
        if (list == nullptr) continue;
        for (const std::string& name : SplitText(list->value, ",")) {
            const std::string trimmed = TrimChars(name, " \t");
            if (trimmed.empty() || section.Find(trimmed) != nullptr) continue;
            Error(At(file, list->line), Quoted(trimmed) + " of " + key.key + " has no key in [" +
                                            section.name + "]: add " + trimmed +
                                            "=PICTURE,X,Y,WIDTH,HEIGHT, or remove the name.");
        }
    }
}

void SystemCheck::CheckRequired(const ReadFile& file, const ReadSection& section) {
    const SectionRule& rule = *section.rule;
    if (rule.kind != SectionKind::kKeys) return;
    for (const KeyRule& key : rule.keys) {
        if (!key.required) continue;
        const Entry* entry = section.Find(key.key);
        // A setting's default may be empty; a place, a label or a number may not.
        if (entry != nullptr && (!entry->value.empty() || key.kind == ValueKind::kText)) continue;
        std::string text = "[" + section.name + "] has no " + key.key + (entry ? " value" : "") +
                           ": the player needs it.";
        if (entry == nullptr) {
            for (const Entry& other : section.entries) {
                if (NearestName(other.key, {key.key})) {
                    text += " Line " + std::to_string(other.line) + "'s " + Quoted(other.key) +
                            " looks like it: mend its spelling.";
                    break;
                }
            }
        } else {
            text += " Give it a value.";
        }
        Error(At(file, entry ? entry->line : section.line), text);
    }
}

// [SECTION] Values: pictures, sounds, files

void SystemCheck::CheckValue(const ReadFile& file, const ReadSection& section, const Entry& entry,
                             const KeyRule& rule, int rows) {
    const std::string place = At(file, entry.line);
    const std::string what = "[" + section.name + "] " + entry.key;
    switch (rule.kind) {
        case ValueKind::kFilm: {
            const Film film = ReadFilm(entry.value);
            if (!film.picture.empty()) CheckPicture(place, film.picture, &film, rows, what);
            break;
        }
        case ValueKind::kPicture:
            if (!entry.value.empty()) CheckPicture(place, entry.value, nullptr, 0, what);
            break;
        case ValueKind::kSound:
            if (!entry.value.empty()) CheckSound(place, entry.value);
            break;
        case ValueKind::kCursorFile:
            if (!entry.value.empty()) {
                const std::optional<std::string> path = ResolvePath(Process().AppDir, entry.value);
                if (!path || !FileExists(*path)) {
                    Error(place, "the cursor " + Quoted(entry.value) +
                                     " is not in the game folder. It is read loose, never from "
                                     "an archive: put the file there, extension included.");
                }
            }
            break;
        default:
            break;
    }
}

void SystemCheck::CheckPicture(const std::string& place, const std::string& name, const Film* film,
                               int rows, const std::string& what) {
    if (!mMedia.HasPicture(name)) {
        Error(place, "picture " + Quoted(name) + " of " + what + " not found in " +
                         mMedia.PictureFolders() + ". Mend the name (without extension).");
        return;
    }
    if (film == nullptr || rows <= 1 || film->height <= 0) return;
    const std::optional<std::pair<int, int>> size = mMedia.PictureSize(name);
    if (!size) return;
    if (size->second < rows * film->height) {
        Error(place, "picture " + Quoted(name) + " of " + what + " is " +
                         Size(size->first, size->second) + ": it needs " + std::to_string(rows) +
                         " rows of cells " + std::to_string(film->height) + " pixels high (" +
                         std::to_string(rows * film->height) +
                         " pixels). Draw the missing rows, or mend the height given on that line.");
    }
}

void SystemCheck::CheckSound(const std::string& place, const std::string& name) {
    if (!mMedia.HasSound(name)) {
        Error(place, "sound " + Quoted(name) + " not found in " + mMedia.SoundFolders() +
                         ". Mend the name (without extension).");
    }
}

// [SECTION] Pictures against their places

void SystemCheck::CheckWindow(const ReadFile& gameMode) {
    const ReadSection* window = gameMode.Find("WindowMode");
    if (window == nullptr) return;
    // The name plate shows row n for [Nameplate] item n; the state mark
    // its rows for normal, auto and skip.
    const long plateRows = std::max(mNameplateCount, 1L);
    const long stateRows = 1 + std::max<long>({ReadLong(window->Value("StateAutoIndex")),
                                               ReadLong(window->Value("StateSkipIndex")), 0});
    struct Rows {
        const char* key;
        const char* typeKey;
        long rows;
        const char* why;
    };
    for (const Rows& rows : {Rows{"Nameplate", "NamePlate", plateRows, "one per [Nameplate] item"},
                             Rows{"State", "State", stateRows, "normal, auto, skip"}}) {
        const Entry* entry = window->Find(rows.key);
        if (entry == nullptr) continue;
        const Film film = ReadFilm(entry->value);
        if (film.height <= 0 || rows.rows < 2) continue;
        struct Named {
            std::string picture;
            int line;
            std::string what;
        };
        std::vector<Named> pictures{
            {film.picture, entry->line, "[WindowMode] " + std::string(rows.key)}};
        for (const ReadSection& section : gameMode.sections) {
            if (section.line == 0 || !MatchesPattern("wndtype:#", section.name)) continue;
            if (const Entry* typed = section.Find(rows.typeKey)) {
                pictures.push_back(
                    {typed->value, typed->line, "[" + section.name + "] " + typed->key});
            }
        }
        for (const auto& [picture, line, what] : pictures) {
            if (picture.empty() || !mMedia.HasPicture(picture)) continue;
            const std::optional<std::pair<int, int>> size = mMedia.PictureSize(picture);
            if (!size || size->second >= rows.rows * film.height) continue;
            Error(At(gameMode, line),
                  "picture " + Quoted(picture) + " of " + what + " is " +
                      Size(size->first, size->second) + ": it needs " + std::to_string(rows.rows) +
                      " rows of cells " + std::to_string(film.height) + " pixels high (" +
                      rows.why + "), " + std::to_string(rows.rows * film.height) +
                      " pixels in all. Draw the missing rows.");
        }
    }
    // The window's parts must lie on the screen.
    for (const char* key : {"Back", "Frame", "Text", "ChoiceFrame"}) {
        const Entry* entry = window->Find(key);
        if (entry == nullptr) continue;
        const Film film = ReadFilm(entry->value);
        if (film.width <= 0 || film.height <= 0) continue;
        const bool choice = std::string_view(key) == "ChoiceFrame";  // its Y is computed
        if (film.x < 0 || film.x + film.width > mScreenWidth ||
            (!choice && (film.y < 0 || film.y + film.height > mScreenHeight))) {
            Warning(At(gameMode, entry->line), "[WindowMode] " + std::string(key) +
                                                   " reaches past the screen (" +
                                                   Size(mScreenWidth, mScreenHeight) +
                                                   "): part of it is never seen. Mend "
                                                   "its X, Y, WIDTH or HEIGHT.");
        }
        // The window's back and frame fill their place: a smaller picture
        // leaves part of the window bare.
        if (choice || film.picture.empty() || !mMedia.HasPicture(film.picture)) continue;
        const std::optional<std::pair<int, int>> size = mMedia.PictureSize(film.picture);
        if (!size || (size->first >= film.width && size->second >= film.height)) continue;
        Warning(At(gameMode, entry->line),
                "picture " + Quoted(film.picture) + " of [WindowMode] " + std::string(key) +
                    " is " + Size(size->first, size->second) + ", smaller than its place (" +
                    Size(static_cast<int>(film.width), static_cast<int>(film.height)) +
                    "): part of the window is left bare. Draw it at its place's size.");
    }
}

void SystemCheck::CheckBackgrounds(const ReadFile& file) {
    // Pictures shown as a screen's whole background: one smaller than the
    // screen leaves its edges bare.
    std::vector<std::pair<const ReadSection*, const char*>> backgrounds;
    for (const ReadSection& section : file.sections) {
        if (section.rule == nullptr) continue;
        if (EqualsNoCase(section.name, "menu") || EqualsNoCase(section.name, "cgmode") ||
            EqualsNoCase(section.name, "repmode") || EqualsNoCase(section.name, "SndMode")) {
            backgrounds.emplace_back(&section, "bg");
        }
        if (EqualsNoCase(section.name, "Base") && file.rule->name == "saveload_mode") {
            if (!ReadBool(section.Value("TransparentBGFromGame")))
                backgrounds.emplace_back(&section, "BGFromGame");
            if (!ReadBool(section.Value("TransparentBGFromTitle")))
                backgrounds.emplace_back(&section, "BGFromTitle");
        }
    }
    for (const auto& [section, key] : backgrounds) {
        const Entry* entry = section->Find(key);
        if (entry == nullptr || entry->value.empty() || !mMedia.HasPicture(entry->value)) continue;
        const std::optional<std::pair<int, int>> size = mMedia.PictureSize(entry->value);
        if (!size || (size->first >= mScreenWidth && size->second >= mScreenHeight)) continue;
        Warning(At(file, entry->line),
                "picture " + Quoted(entry->value) + " is " + Size(size->first, size->second) +
                    ", smaller than the screen (" + Size(mScreenWidth, mScreenHeight) +
                    "): the screen around it is left bare. Make it the screen's size.");
    }
}

// [SECTION] The extras' lists

void SystemCheck::CheckExtras(const ReadFile& omake) {
    for (const ReadSection& section : omake.sections) {
        if (section.rule == nullptr) continue;
        const std::string name = ToLowerAscii(section.name);
        for (const Entry& entry : section.entries) {
            const std::string place = At(omake, entry.line);
            std::vector<std::string> items = SplitText(entry.value, ",");
            for (std::string& item : items)
                item = TrimChars(item, " \t");
            const auto item = [&](std::size_t n) { return n < items.size() ? items[n] : ""; };
            const std::string what = "[" + section.name + "] " + entry.key;
            if (name == "cgmode_panel") {
                if (!item(0).empty()) CheckPicture(place, item(0), nullptr, 0, what);
            } else if (name == "repmode_panel") {
                if (!item(1).empty()) CheckPicture(place, item(1), nullptr, 0, what);
            } else if (name == "sndmode_panel") {
                if (!item(0).empty()) CheckPicture(place, item(0), nullptr, 0, what);
                if (!item(1).empty()) CheckSound(place, item(1));
            } else if (name == "cgmode_cmd") {
                const std::string command = ToLowerAscii(item(1));
                if (command == "bg" || command == "scroll") {
                    CheckPicture(place, item(2), nullptr, 0, what);
                } else if (command == "movie") {
                    if (!mMedia.HasMovie(item(2))) {
                        Error(place, "movie " + Quoted(item(2)) +
                                         " not found in the movie folder. Mend the file name, "
                                         "extension included.");
                    }
                } else {
                    Error(place, "the gallery knows no command " + Quoted(item(1)) +
                                     ": write SEEN,bg,PICTURE or SEEN,scroll,PICTURE,... or "
                                     "SEEN,movie,FILE.");
                }
            }
        }
    }
    const ReadSection* base = omake.Find("base");
    if (base == nullptr || base->Find("Percent") == nullptr) return;
    const std::string prefix = base->Value("PercentImagePrefix");
    if (prefix.empty()) return;
    // The figures the gallery can show: the share of its steps seen, in
    // whole percent.
    long total = 0;
    if (const ReadSection* commands = omake.Find("cgmode_cmd")) {
        for (const Entry& entry : commands->entries)
            total += ToLowerAscii(entry.key).starts_with("cmd") ? 1 : 0;
    }
    std::vector<std::string> missing;
    std::vector<long> shown{0, 100};
    for (long seen = 1; seen < total; ++seen)
        shown.push_back(seen * 100 / total);
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    for (const long percent : shown) {
        std::string digits = std::to_string(percent);
        digits.insert(0, 3 - digits.size(), '0');
        if (!mMedia.HasPicture(prefix + digits)) missing.push_back(prefix + digits);
    }
    if (!missing.empty()) {
        Error(At(omake, base->Find("PercentImagePrefix")->line),
              "picture " + Quoted(missing.front()) + " not found" +
                  (missing.size() > 1
                       ? " (nor " + std::to_string(missing.size() - 1) + " more of the figures)"
                       : std::string()) +
                  ": the gallery shows the share of its " + std::to_string(total) +
                  " steps seen with the picture " + prefix + "NNN of that percentage. Add it.");
    }
}

void SystemCheck::CheckConfig(const ReadFile& systemInfo) {
    const ReadSection* config = systemInfo.Find("Config");
    const ReadSection* characters = systemInfo.Find("CharConfig");
    if (config == nullptr || characters == nullptr) return;
    const long count = ReadLong(characters->Value("ListCount"));
    for (long n = 0; n < count && n < 1000; ++n) {
        const std::string key = "Char:" + std::to_string(n);
        if (config->Find(key) != nullptr) continue;
        Error(At(systemInfo, config->line),
              "[Config] has no " + key + " for [CharConfig] item " + std::to_string(n) +
                  ": the settings dialog cannot read it. Add " + key + "=True,&hFFFFFF.");
    }
}

// The language fonts are chosen for and pages are read aloud in.
void SystemCheck::CheckLanguage(const ReadFile& systemInfo) {
    const ReadSection* game = systemInfo.Find("Game");
    if (game == nullptr) return;
    const Entry* language = game->Find("Language");
    const std::string value = language != nullptr ? TrimChars(language->value, " \t") : "";
    if (!value.empty() && !IsLanguageTag(value)) {
        Warning(At(systemInfo, language->line),
                "Language=" + value +
                    " is not a language tag, and the player ignores it. Write the language "
                    "the game's text is written in as a tag such as ja, en, fr, ar, zh-Hans "
                    "or pt-BR (letters, digits and hyphens, first a 2- or 3-letter language).");
        return;
    }
    if (value.empty() && mMedia.Encoding().IsUtf8()) {
        Warning(At(systemInfo, language != nullptr ? language->line : game->line),
                "this UTF-8 game declares no Language. The player chooses the fonts for "
                "characters that several languages write differently (Han characters, for "
                "one) and reads pages aloud by it; without it, each page's script is "
                "guessed. Add Language=en (or the tag of the game's language) to [Game].");
    }
}

// [SECTION] The scenario folder

void SystemCheck::CheckScenarioFolder() {
    const fs::path folder = fs::path(Process().WorkspaceDir) / "scenario";
    std::error_code code;
    if (!fs::is_directory(folder, code)) return;
    std::vector<std::string> unread;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with('.') || !entry.is_regular_file(code)) continue;
        if (IsUnreadScenarioFile(folder.string(), name)) unread.push_back(name);
    }
    std::sort(unread.begin(), unread.end());
    const fs::path shown = fs::path(mShownFolder) / folder.lexically_relative(Process().AppDir);
    for (const std::string& name : unread) {
        Warning((shown / name).lexically_normal().string(),
                "the player never reads this file: a scenario is NAME.txt, with no '.' in "
                "NAME. zelk-tool pack leaves it out; move it out of scenario/.");
    }
}

}  // namespace

std::vector<Finding> CheckSystemFiles(GameMedia& media, const std::string& shownFolder) {
    return SystemCheck(media, shownFolder).Run();
}

bool IsUnreadScenarioFile(const std::string& packedFolder, const std::string& relativePath) {
    const fs::path relative(relativePath);
    const fs::path parent = relative.parent_path();
    fs::path packed = fs::path(packedFolder).lexically_normal();
    if (packed.filename().empty()) packed = packed.parent_path();
    const bool inScenario =
        EqualsNoCase((parent.empty() ? packed.filename() : parent.filename()).string(), "scenario");
    if (!inScenario) return false;
    const std::string stem = relative.stem().string();
    return !EqualsNoCase(relative.extension().string(), ".txt") ||
           stem.find('.') != std::string::npos || stem.empty();
}

}  // namespace zelk::tool
