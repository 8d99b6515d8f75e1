// The bundled demo game never ships broken: every scenario converts, the
// author tool's check passes, every jump lands on a label, and every
// picture, sound, voice and movie that a scenario or a settings file names
// is in the game folder, with the rows and cells its screen expects.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "drivers/quor_driver.h"
#include "platform/picture.h"
#include "scenario/scenario_converter.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "settings/ini_section.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

const std::string kGame = std::string(ZELK_SOURCE_DIR) + "/games/demo";

// [SECTION] Reading the game -----------------------------------------------------

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitList(const std::string& text, char separator = ',') {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        items.push_back(Trim(text.substr(start, end - start)));
        if (end == std::string::npos) return items;
        start = end + 1;
    }
}

std::unique_ptr<INIFile> LoadIni(const std::string& name) {
    std::string text;
    if (!ReadTextFile(kGame + "/" + name + ".ini", text)) return nullptr;
    auto ini = std::make_unique<INIFile>();
    ini->Text(text);
    return ini;
}

// Every keyed line of a section, in order.
std::vector<std::pair<std::string, std::string>> KeyedLines(INISection& section) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (int i = 0; i < section.Count(); ++i) {
        const std::string key = section.LineKey(i);
        if (!key.empty()) lines.emplace_back(key, section.LineValue(i));
    }
    return lines;
}

// The file names (small letters) of a folder of the game, by stem.
std::map<std::string, std::string> FilesOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(kGame + "/" + folder, code)) {
        if (entry.is_regular_file()) {
            files[Lower(entry.path().stem().string())] = entry.path().filename().string();
        }
    }
    return files;
}

// A scenario argument as the interpreter reads a value: the text between
// quotes, or the argument itself.
std::string Unquoted(const std::string& argument) {
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
        return argument.substr(1, argument.size() - 2);
    }
    return argument;
}

// The number in decimal, left-padded with zeros to the width.
std::string Padded(int number, std::size_t width) {
    std::string text = std::to_string(number);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

bool Given(const std::string& argument) {
    return !argument.empty() && argument != "%" && Lower(argument) != "null";
}

struct Scenario {
    std::string name;
    std::vector<InstructionDef> instructions;
};

// Where a name was found, for the failure messages.
struct Use {
    std::string name;
    std::string where;
};

class DemoGame : public ::testing::Test {
protected:
    void SetUp() override {
        systemInfo = LoadIni("SystemInfo");
        ASSERT_TRUE(systemInfo) << "SystemInfo.ini is missing";
        ASSERT_TRUE(converter.Init(*systemInfo));
        for (const auto& [stem, file] : FilesOf("scenario")) {
            std::string text;
            ASSERT_TRUE(ReadTextFile(kGame + "/scenario/" + file, text)) << file;
            ASSERT_TRUE(converter.Assemble(text))
                << file << " line " << converter.ErrLine() << ": " << converter.ErrMsg();
            EXPECT_EQ(converter.UnclosedBlockLine(), 0) << file << ": story text without \\b";
            scenarios.push_back({stem, converter.Instructions()});
        }
        images = FilesOf("image");
        sounds = FilesOf("sound");
        movies = FilesOf("movie");
    }

    // Every use of a picture, sound or voice in the scenarios.
    void CollectScenarioUses(std::vector<Use>& pictures, std::vector<Use>& soundUses,
                             std::vector<Use>& movieUses) const {
        static const std::regex voice(R"(\\v\(([^)]*)\))");
        for (const Scenario& scenario : scenarios) {
            for (std::size_t address = 0; address < scenario.instructions.size(); ++address) {
                const std::vector<std::string>& args = scenario.instructions[address].Args;
                const std::string where = scenario.name + "." + std::to_string(address);
                const std::string& word = args[0];
                const auto arg = [&](std::size_t n) {
                    return n < args.size() ? args[n] : std::string();
                };
                if (word == "bg" || word == "cg" || word == "wto" || word == "bto" ||
                    word == "dam" || (word == "fc" && Given(arg(1)))) {
                    pictures.push_back({arg(1), where});
                } else if (word == "mto") {
                    pictures.push_back({arg(1), where});
                    pictures.push_back({arg(2), where});
                } else if (word == "playending") {
                    for (std::size_t n = 2; n <= 4; ++n) {
                        if (Given(arg(n))) pictures.push_back({arg(n), where});
                    }
                } else if ((word == "bgm" || word == "se" || word == "sel") && Given(arg(1))) {
                    soundUses.push_back({arg(1), where});
                } else if (word == "playmovie") {
                    movieUses.push_back({Unquoted(arg(1)), where});
                } else if (word == "put") {
                    const std::string text = arg(1);
                    for (std::sregex_iterator it(text.begin(), text.end(), voice), end; it != end;
                         ++it) {
                        soundUses.push_back({(*it)[1].str(), where});
                    }
                }
            }
        }
    }

    std::unique_ptr<INIFile> systemInfo;
    ScenarioConverter converter;
    std::vector<Scenario> scenarios;
    std::map<std::string, std::string> images, sounds, movies;
};

// The picture name of a film spec or button spec (its first item).
std::string SpecPicture(const std::string& spec) {
    return Lower(SplitList(spec).front());
}

int SpecNumber(const std::string& spec, std::size_t item) {
    const std::vector<std::string> items = SplitList(spec);
    return item < items.size() ? std::atoi(items[item].c_str()) : 0;
}

struct PictureSize {
    int width = 0;
    int height = 0;
};

std::optional<PictureSize> SizeOf(const std::string& path) {
    std::string error;
    const std::optional<Picture> picture = Picture::Load(path, error);
    if (!picture) return std::nullopt;
    return PictureSize{picture->Width(), picture->Height()};
}

// [SECTION] The author tool ----------------------------------------------------------

TEST(DemoGameTool, CheckPasses) {
    const std::string command = std::string(ZELK_BIN_DIR) + "/zelk-tool check '" + kGame + "' 2>&1";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
}

// [SECTION] Scenarios ----------------------------------------------------------------

TEST_F(DemoGame, EveryJumpLandsOnALabel) {
    std::map<std::string, std::set<std::string>> labels;  // script -> labels
    for (const Scenario& scenario : scenarios) {
        std::set<std::string>& own = labels[scenario.name];
        own.insert("");
        for (const InstructionDef& instruction : scenario.instructions) {
            if (!instruction.Label.empty()) own.insert(instruction.Label);
        }
    }
    const auto check = [&](const std::string& current, const std::string& expression,
                           const std::string& where) {
        const std::vector<std::string> parts = SplitList(Lower(expression), '.');
        ASSERT_LE(parts.size(), 2u) << where << ": " << expression;
        const std::string script = parts.size() == 2 ? parts[0] : current;
        const std::string label = parts.back();
        ASSERT_TRUE(labels.contains(script)) << where << ": no scenario " << script;
        const bool numeric =
            !label.empty() && label.find_first_not_of("0123456789") == std::string::npos;
        EXPECT_TRUE(numeric || labels[script].contains(label))
            << where << ": no label " << label << " in " << script;
    };
    for (const Scenario& scenario : scenarios) {
        for (std::size_t address = 0; address < scenario.instructions.size(); ++address) {
            const std::vector<std::string>& args = scenario.instructions[address].Args;
            const std::string where = scenario.name + "." + std::to_string(address);
            const auto arg = [&](std::size_t n) {
                return n < args.size() ? args[n] : std::string();
            };
            const std::string& word = args[0];
            if (word == "go" || word == "call") check(scenario.name, arg(1), where);
            if (word == "if") {
                if (Given(arg(2))) check(scenario.name, arg(2), where);
                if (Given(arg(3))) check(scenario.name, arg(3), where);
            }
            if (word == "item") check(scenario.name, arg(2), where);
            if (word == "er") {
                if (Given(arg(5))) check(scenario.name, arg(5), where);
                if (Given(arg(6))) check(scenario.name, arg(6), where);
            }
            if (word == "ercg") {
                if (Given(arg(5))) check(scenario.name, arg(2), where);
                if (Given(arg(6))) check(scenario.name, arg(3), where);
            }
        }
    }
    check("", systemInfo->KeySection("Game").KeyValue("EntryPoint"), "[Game] EntryPoint");
    std::unique_ptr<INIFile> omake = LoadIni("omake_mode");
    ASSERT_TRUE(omake);
    for (const auto& [key, value] : KeyedLines(omake->KeySection("repmode_panel"))) {
        check("", SplitList(value).at(2), "[repmode_panel] " + key);
    }
}

TEST_F(DemoGame, EveryCommandIsInTheInstructionTableWithRoomForItsArguments) {
    // Command word -> number of defaults, as the interpreter reads the table.
    std::map<std::string, std::size_t> table;
    std::map<std::string, std::vector<std::string>> defaults;
    const std::string text = systemInfo->KeySection("Instruction").Text();
    for (const std::string& raw : SplitList(ReplaceText(text, "\r\n", "\n"), '\n')) {
        const std::string line = Trim(raw);
        if (line.empty() || line.starts_with("//") || line.starts_with(";")) continue;
        std::vector<std::string> fields = SplitList(line, '\t');
        const std::string word = Lower(fields.front());
        fields.erase(fields.begin());
        table[word] = fields.size();
        defaults[word] = fields;
    }
    // Every command of the text, window, graphics, sound, flow and system
    // families.
    for (const char* word : {"put",
                             "site",
                             "pt",
                             "textwindow",
                             "textnovel",
                             "ts",
                             "th",
                             "wait",
                             "waitcv",
                             "waitauto",
                             "pause",
                             "pauseabs",
                             "item",
                             "select",
                             "er",
                             "ercg",
                             "selecter",
                             "wnd",
                             "alarm",
                             "bg",
                             "bgfill",
                             "bglc",
                             "bgmv",
                             "fc",
                             "cg",
                             "cgh",
                             "cglc",
                             "cglcas",
                             "cgmv",
                             "cgmvas",
                             "cga",
                             "cgaas",
                             "cgbc",
                             "cgf",
                             "cghfas",
                             "cgvfas",
                             "cgactclear",
                             "cgactadd",
                             "cgactstart",
                             "cgactend",
                             "cgactcomplete",
                             "dd",
                             "ddb",
                             "ddw",
                             "da",
                             "daa",
                             "dam",
                             "wto",
                             "bto",
                             "mto",
                             "bgm",
                             "bgmvolumerate",
                             "se",
                             "sel",
                             "stopcv",
                             "go",
                             "call",
                             "return",
                             "if",
                             "let",
                             "add",
                             "sub",
                             "up",
                             "down",
                             "use",
                             "nop",
                             "siting",
                             "restarttitle",
                             "restartreplaymode",
                             "playending",
                             "playmovie"}) {
        EXPECT_TRUE(table.contains(word)) << word << " is missing from [Instruction]";
    }
    // A condition alone falls through, and ercg tests its fifth and sixth.
    EXPECT_EQ(defaults["if"], (std::vector<std::string>{"*", "%", "%"}));
    EXPECT_GE(table["ercg"], 6u);
    for (const auto& [word, values] : defaults) {
        for (const std::string& value : values) {
            EXPECT_EQ(value.size(), 1u) << word << ": a default is one character";
        }
    }
    for (const Scenario& scenario : scenarios) {
        for (std::size_t address = 0; address < scenario.instructions.size(); ++address) {
            const std::vector<std::string>& args = scenario.instructions[address].Args;
            const std::string where = scenario.name + "." + std::to_string(address);
            ASSERT_TRUE(table.contains(args[0])) << where << ": " << args[0];
            EXPECT_LE(args.size() - 1, table[args[0]]) << where << ": too many arguments";
            for (std::size_t n = 1; n <= defaults[args[0]].size(); ++n) {
                if (defaults[args[0]][n - 1] == "*") {
                    EXPECT_TRUE(n < args.size() && Given(args[n]))
                        << where << ": argument " << n << " of " << args[0] << " is needed";
                }
            }
        }
    }
}

TEST_F(DemoGame, EveryStoredVariableExists) {
    // A store never creates a variable, so every destination must be
    // declared in [var] or [shared].
    INISection& var = systemInfo->KeySection("var");
    INISection& shared = systemInfo->KeySection("shared");
    for (const Scenario& scenario : scenarios) {
        for (std::size_t address = 0; address < scenario.instructions.size(); ++address) {
            const std::vector<std::string>& args = scenario.instructions[address].Args;
            const std::string& word = args[0];
            if (word == "let" || word == "add" || word == "sub" || word == "up" || word == "down") {
                EXPECT_TRUE(var.KeyExists(args[1]) || shared.KeyExists(args[1]))
                    << scenario.name << "." << address << ": " << args[1] << " is not declared";
            }
        }
    }
    std::unique_ptr<INIFile> title = LoadIni("title_mode");
    ASSERT_TRUE(title);
    for (const std::string& flag :
         SplitList(title->KeySection("menu").KeyValue("OmakeEnableFlags"))) {
        EXPECT_TRUE(shared.KeyExists(flag)) << "OmakeEnableFlags: " << flag;
    }
    std::unique_ptr<INIFile> omake = LoadIni("omake_mode");
    ASSERT_TRUE(omake);
    for (const auto& [key, value] : KeyedLines(omake->KeySection("repmode_panel"))) {
        const std::string flag = SplitList(value).front();
        EXPECT_TRUE(shared.KeyExists(flag)) << "[repmode_panel] " << key << ": " << flag;
        // The story itself opens the panel.
        bool set = false;
        for (const Scenario& scenario : scenarios) {
            for (const InstructionDef& instruction : scenario.instructions) {
                set = set || (instruction.Args[0] == "let" && instruction.Args[1] == flag &&
                              instruction.Args[2] == "1");
            }
        }
        EXPECT_TRUE(set) << "no scenario sets " << flag;
    }
}

TEST_F(DemoGame, EveryPictureSoundVoiceAndMovieOfTheScenariosExists) {
    std::vector<Use> pictures, soundUses, movieUses;
    CollectScenarioUses(pictures, soundUses, movieUses);
    EXPECT_FALSE(pictures.empty());
    for (const Use& use : pictures) {
        EXPECT_TRUE(images.contains(Lower(use.name))) << use.where << ": picture " << use.name;
    }
    for (const Use& use : soundUses) {
        EXPECT_TRUE(sounds.contains(Lower(use.name))) << use.where << ": sound " << use.name;
        if (sounds.contains(Lower(use.name))) {
            EXPECT_TRUE(sounds[Lower(use.name)].ends_with(".ogg"))
                << use.where << ": the sound driver plays Ogg Vorbis";
        }
    }
    ASSERT_FALSE(movieUses.empty());
    for (const Use& use : movieUses) {
        EXPECT_TRUE(fs::exists(kGame + "/movie/" + use.name)) << use.where << ": " << use.name;
    }
}

TEST_F(DemoGame, VoicesAndColoursNameKnownCharacters) {
    std::set<std::string> cids;
    INISection& chars = systemInfo->KeySection("CharConfig");
    const int count = std::atoi(chars.KeyValue("ListCount").c_str());
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        const std::vector<std::string> items =
            SplitList(chars.KeyValue("Item:" + std::to_string(i)));
        ASSERT_EQ(items.size(), 3u) << "Item:" << i;
        for (const std::string& cid : SplitList(items[1], '/'))
            cids.insert(Lower(cid));
        const std::vector<std::string> setting =
            SplitList(systemInfo->KeySection("Config").KeyValue("Char:" + std::to_string(i)));
        EXPECT_EQ(setting.size(), 2u) << "[Config] Char:" << i;
    }
    static const std::regex escape(R"(\\(v|c)\(([^)]*)\))");
    for (const Scenario& scenario : scenarios) {
        for (const InstructionDef& instruction : scenario.instructions) {
            if (instruction.Args[0] != "put") continue;
            const std::string& text = instruction.Args[1];
            for (std::sregex_iterator it(text.begin(), text.end(), escape), end; it != end; ++it) {
                std::string cid = Lower((*it)[2].str());
                if (cid.starts_with("cid_")) cid.erase(0, 4);
                if ((*it)[1] == "v") cid = cid.substr(0, 3);
                EXPECT_TRUE(cids.contains(cid)) << scenario.name << ": " << (*it)[0].str();
            }
        }
    }
    // Character pictures carry their character's id (the CID rule).
    for (const auto& [stem, file] : images) {
        if (!stem.starts_with("st_")) continue;
        const std::vector<std::string> parts = SplitList(stem, '_');
        ASSERT_GE(parts.size(), 3u) << file;
        EXPECT_TRUE(cids.contains(parts[1])) << file;
    }
}

// [SECTION] Settings files -----------------------------------------------------------

// Checks that the picture of a spec exists and holds `rows` rows of the
// spec's height (and, with `cells`, that many cells of its width across).
void ExpectSpecPicture(const std::map<std::string, std::string>& images, const std::string& spec,
                       const std::string& where, int rows = 0, int cells = 0) {
    const std::string name = SpecPicture(spec);
    if (name.empty()) return;
    ASSERT_TRUE(images.contains(name)) << where << ": picture " << name;
    const std::optional<PictureSize> size = SizeOf(kGame + "/image/" + images.at(name));
    ASSERT_TRUE(size) << where << ": " << name << " does not decode";
    const int width = SpecNumber(spec, 3);
    const int height = SpecNumber(spec, 4);
    if (rows > 0 && height > 0) {
        EXPECT_EQ(size->height, rows * height) << where << ": " << name << " rows";
    }
    if (cells > 0 && width > 0) {
        EXPECT_EQ(size->width, cells * width) << where << ": " << name << " cells";
    }
}

TEST_F(DemoGame, TheReadingScreenHasItsPicturesAndSounds) {
    std::unique_ptr<INIFile> game = LoadIni("game_mode");
    ASSERT_TRUE(game);
    INISection& window = game->KeySection("WindowMode");
    const int plates = std::atoi(systemInfo->KeySection("Nameplate").KeyValue("Count").c_str());
    ExpectSpecPicture(images, window.KeyValue("Back"), "WindowMode Back", 1);
    ExpectSpecPicture(images, window.KeyValue("Frame"), "WindowMode Frame", 1);
    ExpectSpecPicture(images, window.KeyValue("Nameplate"), "WindowMode Nameplate", plates);
    ExpectSpecPicture(images, window.KeyValue("State"), "WindowMode State", 3);
    ExpectSpecPicture(images, window.KeyValue("ChoiceFrame"), "WindowMode ChoiceFrame", 3);
    ExpectSpecPicture(images, window.KeyValue("WaitCursor"), "WindowMode WaitCursor", 1);
    for (const std::string& button : SplitList(window.KeyValue("Buttons"))) {
        ExpectSpecPicture(images, window.KeyValue(button), "WindowMode " + button, 2);
    }
    EXPECT_LE(std::atoi(window.KeyValue("StateSkipIndex").c_str()), 2);
    EXPECT_LE(std::atoi(window.KeyValue("StateAutoIndex").c_str()), 2);
    for (const auto& [section, _] :
         std::map<std::string, int>{{"wndtype:0", 0}, {"wndtype:1", 1}}) {
        INISection& type = game->KeySection(section);
        for (const char* key : {"Frame", "NamePlate", "State"}) {
            EXPECT_TRUE(images.contains(Lower(type.KeyValue(key))))
                << section << " " << key << ": " << type.KeyValue(key);
        }
    }
    // Window types the scenarios switch to are defined.
    for (const Scenario& scenario : scenarios) {
        for (const InstructionDef& instruction : scenario.instructions) {
            if (instruction.Args[0] == "wnd") {
                EXPECT_TRUE(game->KeyExists("wndtype:" + instruction.Args[1]))
                    << scenario.name << ": wnd " << instruction.Args[1];
            }
        }
    }
    INISection& novel = game->KeySection("NovelMode");
    ExpectSpecPicture(images, novel.KeyValue("Back"), "NovelMode Back", 1);
    ExpectSpecPicture(images, novel.KeyValue("WaitCursor"), "NovelMode WaitCursor", 1);
    INISection& log = game->KeySection("LogMode");
    ExpectSpecPicture(images, log.KeyValue("Back"), "LogMode Back", 1);
    for (int line = 0; line < 4; ++line) {
        ExpectSpecPicture(images, log.KeyValue(std::to_string(line) + "Voice"), "LogMode Voice", 2);
    }
    const std::vector<std::string> logButtons = SplitList(log.KeyValue("Buttons"));
    EXPECT_EQ(logButtons,
              (std::vector<std::string>{"pageup", "rollup", "rolldown", "pagedown", "return"}));
    for (const std::string& button : logButtons) {
        ExpectSpecPicture(images, log.KeyValue(button), "LogMode " + button, 2);
    }
    INISection& base = game->KeySection("Base");
    EXPECT_TRUE(sounds.contains(Lower(base.KeyValue("PointSE"))));
    EXPECT_TRUE(sounds.contains(Lower(base.KeyValue("ClickSE"))));
}

TEST_F(DemoGame, TheTitleSaveLoadAndEndingScreensHaveTheirPictures) {
    std::unique_ptr<INIFile> title = LoadIni("title_mode");
    ASSERT_TRUE(title);
    EXPECT_TRUE(images.contains(Lower(title->KeySection("Logo").KeyValue("bg"))));
    EXPECT_TRUE(sounds.contains(Lower(title->KeySection("Logo").KeyValue("se"))));
    INISection& menu = title->KeySection("menu");
    EXPECT_TRUE(images.contains(Lower(menu.KeyValue("bg"))));
    EXPECT_TRUE(sounds.contains(Lower(menu.KeyValue("bgm"))));
    const std::vector<std::string> buttons = SplitList(menu.KeyValue("Buttons"));
    EXPECT_EQ(buttons, (std::vector<std::string>{"start", "quickload", "load", "omake", "exit"}));
    for (const std::string& button : buttons) {
        ExpectSpecPicture(images, menu.KeyValue(button), "title " + button, 4);
    }
    for (const char* key : {"PointSE", "ClickSE"}) {
        EXPECT_TRUE(sounds.contains(Lower(title->KeySection("base").KeyValue(key)))) << key;
    }

    std::unique_ptr<INIFile> saveload = LoadIni("saveload_mode");
    ASSERT_TRUE(saveload);
    INISection& slBase = saveload->KeySection("Base");
    EXPECT_TRUE(images.contains(Lower(slBase.KeyValue("BGFromGame"))));
    EXPECT_TRUE(images.contains(Lower(slBase.KeyValue("BGFromTitle"))));
    INISection& slButtons = saveload->KeySection("Button");
    ExpectSpecPicture(images, slButtons.KeyValue("Return"), "saveload Return", 4);
    const int pages = std::atoi(slButtons.KeyValue("PageNoCount").c_str());
    ASSERT_GT(pages, 0);
    for (int page = 0; page < pages; ++page) {
        const std::string key = "PageNo" + Padded(page, 2);
        ExpectSpecPicture(images, slButtons.KeyValue(key), key, 4);
    }
    // The quick saves live on the last page, where saving is refused.
    EXPECT_EQ(std::atoi(systemInfo->KeySection("Game").KeyValue("QSavePageNum").c_str()), pages);
    INISection& slot = saveload->KeySection("SlotBase");
    for (const char* key : {"Base", "Save", "Load"}) {
        ExpectSpecPicture(images, slot.KeyValue(key), std::string("SlotBase ") + key, 4);
    }
    const std::vector<std::string> thumb = SplitList(slot.KeyValue("Thumb"));
    ASSERT_EQ(thumb.size(), 5u);
    EXPECT_GT(std::atoi(thumb[3].c_str()), 0);
    EXPECT_GT(std::atoi(thumb[4].c_str()), 0);

    EXPECT_TRUE(
        fs::exists(kGame + "/" + systemInfo->KeySection("Game").KeyValue("CustomMouseCursor")));

    // The overlay of the ending roll rises in four cells of half a screen.
    const int screenHeight =
        std::atoi(systemInfo->KeySection("Game").KeyValue("ScreenSizeY").c_str());
    for (const Scenario& scenario : scenarios) {
        for (const InstructionDef& instruction : scenario.instructions) {
            if (instruction.Args[0] != "playending" || instruction.Args.size() < 5) continue;
            const std::optional<PictureSize> overlay =
                SizeOf(kGame + "/image/" + images[Lower(instruction.Args[4])]);
            ASSERT_TRUE(overlay) << instruction.Args[4];
            EXPECT_EQ(overlay->height, 4 * (screenHeight / 2)) << instruction.Args[4];
        }
    }
}

TEST_F(DemoGame, EverythingTheExtrasShowIsWired) {
    std::unique_ptr<INIFile> omake = LoadIni("omake_mode");
    ASSERT_TRUE(omake);
    std::vector<Use> pictures, soundUses, movieUses;
    CollectScenarioUses(pictures, soundUses, movieUses);
    std::set<std::string> shown;  // what the story records as seen
    for (const Use& use : pictures)
        shown.insert(Lower(use.name));
    for (const Use& use : movieUses)
        shown.insert(Lower(use.name));

    for (const char* screen : {"cgmode", "repmode", "SndMode"}) {
        INISection& section = omake->KeySection(screen);
        const std::string prefix = std::string(screen) == "cgmode"    ? "CG"
                                   : std::string(screen) == "repmode" ? "Rep"
                                                                      : "Snd";
        EXPECT_TRUE(images.contains(Lower(section.KeyValue("bg")))) << screen;
        for (int i = 1; i <= 3; ++i) {
            const std::string key = prefix + "ModeBtn0" + std::to_string(i);
            ExpectSpecPicture(images, section.KeyValue(key), key, 4);
        }
        ExpectSpecPicture(images, section.KeyValue(prefix + "Return"), prefix + "Return", 4);
        const int pageCount = std::atoi(section.KeyValue("PageCount").c_str());
        const int panelCount = std::atoi(section.KeyValue("PanelCount").c_str());
        ASSERT_GT(pageCount, 0) << screen;
        ASSERT_GT(panelCount, 0) << screen;
        for (int n = 1; n <= pageCount; ++n) {
            const std::string key = prefix + "PageBtn" + Padded(n, 2);
            ExpectSpecPicture(images, section.KeyValue(key), key, 4);
        }
        for (int n = 1; n <= panelCount; ++n) {
            const std::string key = prefix + "Panel" + Padded(n, 2);
            EXPECT_FALSE(section.KeyValue(key).empty()) << key;
        }
    }

    // Gallery: every command opens with a picture the story shows, panels
    // have pictures of two rows, and every completion value has its picture.
    INISection& cg = omake->KeySection("cgmode");
    const int cgHeight = SpecNumber(cg.KeyValue("CGPanel01"), 4);
    int total = 0;
    for (const auto& [key, value] : KeyedLines(omake->KeySection("cgmode_cmd"))) {
        const std::vector<std::string> items = SplitList(value);
        ASSERT_GE(items.size(), 3u) << key;
        ++total;
        EXPECT_TRUE(shown.contains(Lower(items[0])))
            << key << ": the story never shows " << items[0];
        const std::string command = Lower(items[1]);
        if (command == "bg" || command == "scroll") {
            EXPECT_TRUE(images.contains(Lower(items[2]))) << key;
        } else if (command == "movie") {
            EXPECT_TRUE(fs::exists(kGame + "/movie/" + items[2])) << key;
        } else {
            ADD_FAILURE() << key << ": unknown command " << items[1];
        }
    }
    ASSERT_GT(total, 0);
    for (const auto& [key, value] : KeyedLines(omake->KeySection("cgmode_panel"))) {
        const std::string page = key.substr(5, 2);
        const std::string panel = key.substr(8, 2);
        EXPECT_FALSE(
            omake->KeySection("cgmode_cmd").KeyValue("cmd" + page + "_" + panel + "_01").empty())
            << key << " has no commands";
        ExpectSpecPicture(images, value + ",0,0,0," + std::to_string(cgHeight), key, 2);
    }
    ExpectSpecPicture(images, cg.KeyValue("NullPanel") + ",0,0,0," + std::to_string(cgHeight),
                      "cgmode NullPanel", 2);
    const std::string prefix = omake->KeySection("base").KeyValue("PercentImagePrefix");
    for (int seen = 0; seen <= total; ++seen) {
        const int percent = seen == total ? 100 : seen * 100 / total;
        const std::string name = prefix + Padded(percent, 3);
        EXPECT_TRUE(images.contains(Lower(name))) << name;
    }
    ExpectSpecPicture(images, omake->KeySection("base").KeyValue("Percent"), "Percent", 1);

    // Replay: panel pictures and the description of each panel.
    INISection& rep = omake->KeySection("repmode");
    const int repHeight = SpecNumber(rep.KeyValue("RepPanel01"), 4);
    const std::string textPrefix = rep.KeyValue("RepModeTextPrefix");
    for (const auto& [key, value] : KeyedLines(omake->KeySection("repmode_panel"))) {
        const std::vector<std::string> items = SplitList(value);
        ASSERT_EQ(items.size(), 3u) << key;
        ExpectSpecPicture(images, items[1] + ",0,0,0," + std::to_string(repHeight), key, 2);
        const int page = std::atoi(key.substr(5, 2).c_str());
        const int panel = std::atoi(key.substr(8, 2).c_str());
        const std::string text =
            Lower(textPrefix + std::to_string(page) + "_" + std::to_string(panel));
        EXPECT_TRUE(images.contains(text)) << key << ": " << text;
    }
    ExpectSpecPicture(images, rep.KeyValue("RepModeTextFilm"), "RepModeTextFilm", 1);

    // Music room: panels of four rows and the music they play.
    INISection& snd = omake->KeySection("SndMode");
    const int sndHeight = SpecNumber(snd.KeyValue("SndPanel01"), 4);
    for (const auto& [key, value] : KeyedLines(omake->KeySection("sndmode_panel"))) {
        const std::vector<std::string> items = SplitList(value);
        ASSERT_EQ(items.size(), 2u) << key;
        ExpectSpecPicture(images, items[0] + ",0,0,0," + std::to_string(sndHeight), key, 4);
        EXPECT_TRUE(sounds.contains(Lower(items[1]))) << key << ": " << items[1];
    }
    for (const char* key :
         {"SndBack", "SndPlay", "SndStop", "SndNext", "SndSingle", "SndAll", "SndRandom"}) {
        ExpectSpecPicture(images, snd.KeyValue(key), key, 4);
    }
}

// [SECTION] Packing ------------------------------------------------------------------

TEST_F(DemoGame, FileKeysAreUniqueAcrossTheGame) {
    // Archives find files by name without extension and folder.
    std::map<std::string, std::string> keys;
    for (const char* folder : {"image", "sound", "scenario", "movie"}) {
        for (const auto& [stem, file] : FilesOf(folder)) {
            const auto [taken, added] = keys.emplace(stem, std::string(folder) + "/" + file);
            EXPECT_TRUE(added) << taken->second << " and " << folder << "/" << file;
            EXPECT_FALSE(stem.ends_with("-m")) << file << ": the packer makes the -m masks";
        }
    }
    for (const auto& [stem, file] : FilesOf(".")) {
        if (file.ends_with(".ini")) {
            const auto [taken, added] = keys.emplace(stem, file);
            EXPECT_TRUE(added) << taken->second << " and " << file;
        }
    }
}

TEST_F(DemoGame, TheShippedGameHoldsEveryKey) {
    const std::string shipped = std::string(ZELK_BIN_DIR) + "/../games/demo";
    const std::vector<std::string> archives = FindArchives(shipped);
    if (archives.empty()) GTEST_SKIP() << "the demo game is not packed in this build";
    clsQuorDriver quor;
    ASSERT_TRUE(quor.Init(static_cast<std::int32_t>(archives.size())));
    for (std::size_t k = 0; k < archives.size(); ++k) {
        const auto base = static_cast<std::int32_t>(k) * kIdsPerArchive;
        std::string list;
        ASSERT_TRUE(quor.LoadArchive(archives[k], base) && quor.LoadTextFile(base, list) &&
                    quor.LoadArchiveList(list, base))
            << archives[k];
    }
    for (const char* folder : {"image", "sound", "scenario"}) {
        for (const auto& [stem, file] : FilesOf(folder)) {
            EXPECT_GE(quor.FileKeyToID(stem), 0) << folder << "/" << file;
        }
    }
    for (const char* name :
         {"SystemInfo", "game_mode", "omake_mode", "saveload_mode", "title_mode"}) {
        EXPECT_GE(quor.FileKeyToID(name), 0) << name;
    }
    // Movies are played from the movie folder, which is the game folder of
    // a shipped game; so is the mouse cursor.
    for (const auto& [stem, file] : movies) {
        EXPECT_TRUE(fs::exists(shipped + "/" + file)) << file;
    }
    EXPECT_TRUE(
        fs::exists(shipped + "/" + systemInfo->KeySection("Game").KeyValue("CustomMouseCursor")));
}

}  // namespace
}  // namespace zelk
