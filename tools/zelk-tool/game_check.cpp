// Index
//   [SECTION] Messages
//   [SECTION] The scenarios
//   [SECTION] Instructions
//   [SECTION] Arguments, labels and expressions
//   [SECTION] Pages
//   [SECTION] Entry points
#include "game_check.h"

#include "encoding_check.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "command_arguments.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "common/utf8.h"
#include "interpreter/command_table.h"
#include "interpreter/text_markup.h"
#include "scenario/scenario_host.h"
#include "scenario/value_resolver.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace fs = std::filesystem;

struct GameCheck::Scenario {
    std::string name;
    std::string shownFile;  // below the shown folder; empty for an archived script
    Script script;
    bool usable = false;                   // converted and parsed: its labels are known
    std::vector<std::string> sourceLines;  // a loose file's lines as written
    std::vector<Finding> findings;
};

// What expressions see while the game is checked: the constants of
// SystemInfo and the variables it declares, in a copy that stores may
// change freely.
class GameCheck::Host : public ScenarioHost {
public:
    Host(INIFile& systemInfo, GameMedia& media)
        : mSystemInfo(systemInfo), mVariables(systemInfo), mMedia(media) {}

    INIFile* SystemInfo() override { return &mSystemInfo; }
    INISection* GameVariables() override { return &mVariables.KeySection("var"); }
    INISection* SharedVariables() override { return &mVariables.KeySection("shared"); }
    std::optional<std::string> ReadArchiveText(const std::string& key) override {
        return mMedia.ArchiveText(key);
    }
    long Msg(const std::string&, long) override { return 0; }
    bool IsDebugMode() override { return false; }

private:
    INIFile& mSystemInfo;
    INIFile mVariables;
    GameMedia& mMedia;
};

namespace {

// [SECTION] Messages

// The converter's messages, each with how to mend what it found.
std::string WithFix(const std::string& message, const std::string& fix) {
    return message + (message.ends_with("。") ? " " : ". ") + fix + ".";
}

std::string ConversionFix(const std::string& message, int charCount, int lineCount) {
    const std::string page = "A page holds " + std::to_string(lineCount) + " lines of " +
                             std::to_string(charCount) +
                             " characters: end the page earlier with \\b and go on in a new one";
    if (message.starts_with("ラベル内")) {
        return "The text before a ':' is a label and holds no blanks: remove the ':' (story text "
               "uses '：') or the blanks before it";
    }
    if (message.starts_with("字幕省略構文")) {
        return "An instruction cannot stand inside story text: end the story text above with \\b";
    }
    if (message.starts_with("字幕省略で不正な半角文字")) {
        return "Story text is full-width outside its \\ escapes: write the character in full width";
    }
    if (message.starts_with("字幕省略で上限行数")) return page;
    if (message.starts_with("ＩＦ")) return "Write if CONDITION[, LABEL IF TRUE[, LABEL IF FALSE]]";
    if (message.starts_with("ＥＬＳＥＩＦ")) {
        return "An elseif takes one condition and comes before the else of its if";
    }
    if (message.starts_with("ＥＬＳＥ"))
        return "An else takes no argument, and an if has one else at most";
    if (message.starts_with("ＥＮＤＩＦ")) return "An endif takes no argument";
    if (message == "if without endif") return "Close every if with an endif";
    if (message.ends_with("without if")) return "Add the if it belongs to, or remove it";
    if (message.starts_with("ラベル'")) return "A label stands once in a scenario: rename one";
    return "Mend the line";
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The half-width characters of a line of story text outside its "\"
// escapes, each once, in order; blanks and control characters (a stray line
// end of a file with mixed line ends) are not worth naming.
std::vector<std::string> HalfWidthCharacters(std::string_view line) {
    std::vector<std::string> found;
    bool escape = false;
    for (const char32_t c : DecodeUtf8(line)) {
        if (IsDoubleByteChar(c)) {
            escape = false;
        } else if (c == U'\\') {
            escape = true;
        } else if (!escape && c > U' ' && c != U'\x7F') {
            std::string shown;
            AppendUtf8(shown, c);
            if (std::find(found.begin(), found.end(), shown) == found.end()) found.push_back(shown);
        }
    }
    return found;
}

// The first "\\" escape of a line of story text, up to its first
// full-width character; empty when it has none.
std::string FirstEscape(std::string_view line) {
    const std::size_t start = line.find('\\');
    if (start == std::string_view::npos) return {};
    std::string escape = "\\";
    for (const char32_t c : DecodeUtf8(line.substr(start + 1))) {
        if (IsDoubleByteChar(c) || c == U'\\') break;
        AppendUtf8(escape, c);
    }
    return escape;
}

// A line as the converter reads it: its comment cut off, blanks trimmed.
std::string WrittenLine(std::string line) {
    if (const std::size_t comment = line.find("//"); comment != std::string::npos) {
        line.resize(comment);
    }
    return TrimChars(line, " \t");
}

bool HasDoubleByteCharacter(std::string_view text) {
    for (const char32_t c : DecodeUtf8(text)) {
        if (IsDoubleByteChar(c)) return true;
    }
    return false;
}

// What an escape-free reader sees of a markup-compiling host.
class SilentMarkupHost : public MarkupHost {
public:
    void TextSpeedSetting(long) override {}
    void WindowNameFlip(long) override {}
    std::string NameplateText(long) override { return {}; }
    std::optional<long> CharacterTextColor(const std::string&) override { return std::nullopt; }
};

// Marks that must not open a line: the wrapping is told about them.
constexpr std::u32string_view kNoLineStart = U"。、」』）！？";

}  // namespace

// [SECTION] The scenarios

GameCheck::GameCheck(std::unique_ptr<INIFile> systemInfo, GameMedia& media, std::string shownFolder)
    : mSystemInfo(std::move(systemInfo)), mMedia(media), mShownFolder(std::move(shownFolder)) {
    mHost = std::make_unique<Host>(*mSystemInfo, mMedia);
}

GameCheck::~GameCheck() = default;

bool GameCheck::Init(std::string& error) {
    if (!mConverter.Init(*mSystemInfo)) {
        error = "SystemInfo needs [TextBlock] CharCount and LineCount above 0";
        return false;
    }
    mTable.Load(mSystemInfo->KeySection("Instruction").Text());
    return true;
}

int GameCheck::Errors() const {
    return static_cast<int>(std::count_if(mFindings.begin(), mFindings.end(),
                                          [](const Finding& f) { return f.error; }));
}

int GameCheck::Warnings() const {
    return static_cast<int>(mFindings.size()) - Errors();
}

std::string GameCheck::Place(const Scenario& scenario, int address) const {
    if (scenario.shownFile.empty()) return scenario.script.Place(address);
    return scenario.shownFile + ":" + std::to_string(scenario.script.SourceLine(address));
}

void GameCheck::Report(Scenario& scenario, int address, bool error, std::string text) {
    scenario.findings.push_back({Place(scenario, address), error, std::move(text)});
}

GameCheck::Scenario* GameCheck::Find(const std::string& name) {
    const auto found = mScenarios.find(ToLowerAscii(name));
    if (found != mScenarios.end()) return found->second.get();
    return Load(name);
}

GameCheck::Scenario* GameCheck::Load(const std::string& name) {
    auto scenario = std::make_unique<Scenario>();
    scenario->name = name;
    scenario->script.Init(name, false);
    std::string regular;
    if (mMedia.LooseScenarios()) {
        const std::optional<std::string> path = mMedia.ScenarioFile(name);
        if (!path) return nullptr;
        const fs::path shown =
            fs::path(mShownFolder) / fs::path(*path).lexically_relative(Process().AppDir);
        scenario->shownFile = shown.lexically_normal().string();
        const std::optional<std::string> bytes = ReadFileBytes(*path);
        const TextEncoding encoding = mConverter.Encoding();
        const std::string source = bytes ? encoding.Decode(*bytes) : std::string();
        scenario->sourceLines = SplitText(source, "\r\n");
        std::optional<Finding> wrongEncoding;
        if (bytes) wrongEncoding = EncodingFinding(*bytes, encoding, scenario->shownFile);
        if (!bytes) {
            scenario->findings.push_back(
                {scenario->shownFile, true, "cannot read the file. Check its permissions."});
        } else if (wrongEncoding) {
            scenario->findings.push_back(std::move(*wrongEncoding));
        } else if (!mConverter.Assemble(source)) {
            const int line = mConverter.ErrLine();
            scenario->findings.push_back(
                {scenario->shownFile + ":" + std::to_string(line), true,
                 WithFix(mConverter.ErrMsg(),
                         ConversionFix(mConverter.ErrMsg(), mConverter.CharCount(),
                                       mConverter.LineCount()))});
        } else {
            regular = mConverter.RegularScript();
            scenario->script.Source(fs::path(*path).filename().string(), mConverter.SourceLines(),
                                    mConverter.SourceLineCount());
            scenario->usable = true;
            if (const int open = mConverter.UnclosedBlockLine(); open != 0) {
                scenario->findings.push_back(
                    {scenario->shownFile + ":" + std::to_string(open), false,
                     "the story text from this line has no closing \\b and is dropped. End it "
                     "with \\b."});
            }
        }
    } else {
        std::optional<std::string> stored = mMedia.ArchiveText(name);
        if (!stored) return nullptr;
        regular = std::move(*stored);
        scenario->usable = true;
    }
    if (scenario->usable) {
        std::string error;
        if (!scenario->script.Parse(regular, error, mConverter.Encoding().IsUtf8())) {
            const int address = scenario->script.ParseErrorAddress();
            scenario->findings.push_back(
                {Place(*scenario, address), true, error + " " + ConversionFix(error, 0, 0) + "."});
        }
    }
    Scenario* loaded = scenario.get();
    mScenarios.emplace(ToLowerAscii(name), std::move(scenario));
    mOrder.push_back(loaded);
    return loaded;
}

void GameCheck::Run() {
    mFindings.clear();
    std::vector<Finding> general;
    if (mMedia.LooseScenarios()) {
        const fs::path folder = fs::path(Process().WorkspaceDir) / "scenario";
        std::vector<std::string> names;
        std::error_code code;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
            // A name with a "." is no scenario a label can reach: the
            // settings check names the file.
            if (entry.is_regular_file() &&
                EqualsNoCase(entry.path().extension().string(), ".txt") &&
                entry.path().stem().string().find('.') == std::string::npos) {
                names.push_back(entry.path().stem().string());
            }
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            Find(name);
    }
    CheckEntryPoints();
    // Checking may reach scenarios that were not loaded yet: they join the
    // end of the list.
    for (std::size_t k = 0; k < mOrder.size(); ++k)
        CheckScenario(*mOrder[k]);
    for (const Scenario* scenario : mOrder)
        mFindings.insert(mFindings.end(), scenario->findings.begin(), scenario->findings.end());
}

void GameCheck::CheckScenario(Scenario& scenario) {
    if (!scenario.usable) return;
    for (int address = 0; address < scenario.script.Count(); ++address)
        CheckInstruction(scenario, address);
}

// [SECTION] Instructions

void GameCheck::CheckInstruction(Scenario& scenario, int address) {
    std::vector<std::string> args;
    std::string error;
    if (!mTable.Prepare(scenario.script.Element(address), args, error)) {
        const std::string& word = args[0];
        if (!mTable.Contains(word)) {
            CheckUnknownWord(scenario, address, word);
        } else if (error.find("までです") != std::string::npos) {
            Report(scenario, address, true,
                   error + " " + Quoted(word) +
                       " takes fewer arguments: remove the extra ones (a ',' inside a text "
                       "starts a new one).");
        } else {
            Report(scenario, address, true,
                   error + " " + Quoted(word) + " needs this argument: give it.");
        }
        return;
    }
    if (!FindCommand(args[0])) {
        Report(scenario, address, true,
               "未実装命令'" + args[0] + "'. [Instruction] of SystemInfo.ini lists " +
                   Quoted(args[0]) +
                   ", but the player has no such command: mend the word in both places, or "
                   "remove the line.");
        return;
    }
    for (std::size_t n = 1; n < args.size(); ++n)
        CheckArgument(scenario, address, args, n);
}

void GameCheck::CheckUnknownWord(Scenario& scenario, int address, const std::string& word) {
    const int line = scenario.script.SourceLine(address);
    std::string written = scenario.script.Element(address);
    if (line > 0 && line <= static_cast<int>(scenario.sourceLines.size())) {
        written = WrittenLine(scenario.sourceLines[static_cast<std::size_t>(line - 1)]);
    }
    if (mConverter.Encoding().IsUtf8()) {
        Report(scenario, address, true, UnknownWordInUtf8Game(word, written));
        return;
    }
    const std::string undefined = "未定義命令'" + word + "'.";
    if (!HasDoubleByteCharacter(written)) {
        Report(scenario, address, true,
               undefined + " " + Quoted(word) +
                   " is no command of this game: mend its spelling, or add it to [Instruction] "
                   "of SystemInfo.ini.");
        return;
    }
    std::string_view story = written;
    const bool closes = story.ends_with("\\b");
    if (closes) story.remove_suffix(2);
    const std::vector<std::string> halfWidth = HalfWidthCharacters(story);
    if (!halfWidth.empty()) {
        std::string list;
        for (const std::string& c : halfWidth)
            list += (list.empty() ? "" : " ") + c;
        Report(scenario, address, true,
               undefined +
                   " This story text is read as an instruction because it holds half-width "
                   "characters (" +
                   list + "): write them in full width (ＰＣ for PC, ！ for !).");
    } else if (const std::string escape = FirstEscape(story); !escape.empty()) {
        Report(scenario, address, true,
               undefined + " This story text is read as an instruction because it holds " + escape +
                   " but does not begin with \\: break the line before " + escape +
                   ", so that a line begins with it.");
    } else {
        Report(scenario, address, true,
               undefined +
                   " This story text is read as an instruction because \\b follows it on the "
                   "same line: put \\b on a line of its own, or begin the line with \\.");
    }
}

// [SECTION] Arguments, labels and expressions

void GameCheck::CheckArgument(Scenario& scenario, int address, const std::vector<std::string>& args,
                              std::size_t n) {
    const std::string& arg = args[n];
    if (arg == InstructionTable::kAbsent) return;
    const std::string& word = args[0];
    const auto quotedHint = [&](const std::string& name) {
        if (name.starts_with('"')) return std::string(" Write the name without quotes.");
        if (name.find('.') != std::string::npos) {
            return std::string(" Write the name without its extension.");
        }
        return std::string(" Mend the name (its case does not matter).");
    };
    switch (KindOfArgument(word, n)) {
        case ArgumentKind::kPicture:
            if (!arg.empty() && !mMedia.HasPicture(arg)) {
                Report(scenario, address, true,
                       "picture " + Quoted(arg) + " not found in " + mMedia.PictureFolders() + "." +
                           quotedHint(arg));
            } else if (n == 1 &&
                       (word == "bg" || word == "wto" || word == "bto" || word == "mto")) {
                CheckBackgroundSize(scenario, address, arg);
            }
            break;
        case ArgumentKind::kSound:
            if (!mMedia.HasSound(arg)) {
                Report(scenario, address, true,
                       "sound " + Quoted(arg) + " not found in " + mMedia.SoundFolders() + "." +
                           quotedHint(arg));
            }
            break;
        case ArgumentKind::kMovie: {
            ValueResolver reader(*mHost);
            const std::string file = reader.SetSymbol(arg).Value();
            if (reader.IsError()) {
                CheckExpression(scenario, address, arg);
            } else if (!mMedia.HasMovie(file)) {
                Report(scenario, address, true,
                       "movie " + Quoted(file) + " not found in the movie folder " +
                           Process().MovieDir + ". Mend the file name, extension included.");
            }
            break;
        }
        case ArgumentKind::kLabel:
            CheckLabel(scenario, address, arg);
            break;
        case ArgumentKind::kNumber:
        case ArgumentKind::kValue:
            CheckExpression(scenario, address, arg);
            if (word == "put") CheckPage(scenario, address, arg);
            break;
        case ArgumentKind::kVariable:
            CheckVariable(scenario, address, arg, word);
            break;
        case ArgumentKind::kOther:
            break;
    }
}

void GameCheck::CheckBackgroundSize(Scenario& scenario, int address, const std::string& name) {
    INISection& game = mSystemInfo->KeySection("Game");
    const long width = ReadLong(game.KeyValue("ScreenSizeX"));
    const long height = ReadLong(game.KeyValue("ScreenSizeY"));
    const std::optional<std::pair<int, int>> size = mMedia.PictureSize(name);
    if (!size ||
        (size->first >= (width > 0 ? width : 640) && size->second >= (height > 0 ? height : 480))) {
        return;
    }
    Report(scenario, address, false,
           "background " + Quoted(name) + " is " + std::to_string(size->first) + "x" +
               std::to_string(size->second) + ", smaller than the screen (" +
               std::to_string(width > 0 ? width : 640) + "x" +
               std::to_string(height > 0 ? height : 480) +
               "): the screen around it is left bare. Make it the screen's size.");
}

void GameCheck::CheckLabel(Scenario& scenario, int address, const std::string& expression) {
    const auto report = [&](const std::string& what, const std::string& fix) {
        Report(scenario, address, true, "label " + Quoted(expression) + " " + what + ". " + fix);
    };
    if (expression.empty()) {
        report("is empty", "Name the label to go to.");
        return;
    }
    const std::vector<std::string> parts = SplitText(ToLowerAscii(expression), ".");
    if (parts.size() > 2) {
        report("has more than one '.'", "Write SCENARIO.LABEL or LABEL.");
        return;
    }
    Scenario* target = &scenario;
    if (parts.size() == 2) {
        target = Find(parts[0]);
        if (target == nullptr) {
            report("names no scenario of the game",
                   "Mend the scenario's name: it is the file's name without .txt.");
            return;
        }
    }
    double number = 0;
    if (!target->usable || ReadWholeNumber(parts.back(), number)) return;
    if (target->script.LabelAddress(parts.back()) == -1) {
        report(parts.size() == 2 ? "is not in scenario " + Quoted(parts[0]) : "is not here",
               expression.starts_with('"') ? "Write the label without quotes."
                                           : "Mend the label, or write it on a line as LABEL:.");
    }
}

void GameCheck::CheckExpression(Scenario& scenario, int address, const std::string& expression) {
    ValueResolver reader(*mHost);
    reader.SetSymbol(expression).Value();
    if (!reader.IsError()) return;
    const std::string fix = reader.ErrMsg().starts_with("引用符")
                                ? "Close the text with a double quote."
                                : "Declare the name in [var], [shared] or [const] of "
                                  "SystemInfo.ini, or mend its spelling.";
    Report(scenario, address, true,
           Quoted(expression) + " cannot be read: " + reader.ErrMsg() + ". " + fix);
}

void GameCheck::CheckVariable(Scenario& scenario, int address, const std::string& name,
                              const std::string& word) {
    ValueResolver writer(*mHost);
    writer.SetSymbol(name).Value(std::string("0"));
    if (!writer.IsError()) return;
    Report(scenario, address, true,
           Quoted(word) + " cannot store into " + Quoted(name) + ": " + writer.ErrMsg() +
               " Declare it in [var] (or [shared]) of SystemInfo.ini, as " + name + "=0.");
}

// [SECTION] Pages

void GameCheck::CheckPage(Scenario& scenario, int address, const std::string& argument) {
    ValueResolver reader(*mHost);
    const std::string text = reader.SetSymbol(argument).Value();
    if (reader.IsError()) return;

    // The voices, page by page ("\w" starts the next), as the player plays them.
    SilentMarkupHost markupHost;
    std::string rest = text;
    for (int page = 0; !rest.empty() && page < 1000; ++page) {
        const CompiledText compiled = CompileMarkup(rest, kMarkupWindow, {}, markupHost);
        for (const std::string& voice : SplitText(compiled.voice, ",")) {
            if (!voice.empty() && !mMedia.HasSound(voice)) {
                Report(scenario, address, true,
                       "voice " + Quoted(voice) + " not found in " + mMedia.SoundFolders() +
                           ". Mend the name in \\v(...) (its case does not matter).");
            }
        }
        if (compiled.rest.size() >= rest.size()) break;
        rest = compiled.rest;
    }

    // A UTF-8 game's text window breaks lines by width, keeping closing
    // punctuation off a line's start itself: nothing here to foresee.
    if (mConverter.Encoding().IsUtf8()) return;

    // The lines as the text window shows them: "\n" escapes break them, and
    // the wrapping has put one where a line was full. Only what the reader
    // sees is kept of each: its full-width characters.
    std::vector<std::u32string> lines(1);
    bool escape = false;
    std::u32string escapeWord;
    const auto breakHere = [&] { return escape && escapeWord == U"n"; };
    for (const char32_t c : DecodeUtf8(text)) {
        if (IsDoubleByteChar(c)) {
            if (breakHere()) lines.emplace_back();
            escape = false;
            lines.back() += c;
        } else if (c == U'\\') {
            if (breakHere()) lines.emplace_back();
            escape = true;
            escapeWord.clear();
        } else if (escape) {
            escapeWord += c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
        }
    }
    const auto charCount = static_cast<std::size_t>(mConverter.CharCount());
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::u32string& before = lines[k - 1];
        const std::u32string& line = lines[k];
        if (before.size() < charCount || line.empty() ||
            kNoLineStart.find(line.front()) == std::u32string_view::npos) {
            continue;
        }
        constexpr std::size_t kShownEnd = 10;
        const std::string end = (before.size() > kShownEnd ? "…" : "") +
                                EncodeUtf8(std::u32string_view(before).substr(
                                    before.size() - std::min(before.size(), kShownEnd)));
        Report(scenario, address, false,
               "the wrapping after " + std::to_string(charCount) +
                   " characters starts a line with " + Quoted(EncodeUtf8(line.substr(0, 1))) +
                   ": " + Quoted(end) + " / " + Quoted(EncodeUtf8(line)) +
                   ". Break the line earlier with \\n, or reword it.");
    }
}

// [SECTION] Entry points

void GameCheck::CheckEntryPoints() {
    // Where the game starts, and the scenes the replay screen starts: as
    // labels without a scenario of their own, each must name its scenario.
    std::vector<std::pair<std::string, std::string>> entries;  // place, label
    entries.emplace_back("SystemInfo.ini [Game] EntryPoint",
                         mSystemInfo->KeySection("Game").KeyValue("EntryPoint"));
    if (Process().IsDebugMode && !Process().Debug.EntryPoint.empty()) {
        entries.emplace_back("debug.ini [debug] EntryPoint", Process().Debug.EntryPoint);
    }
    if (std::unique_ptr<INIFile> omake = LoadSystemIni("omake_mode", mConverter.Encoding())) {
        if (const INISection* panels = omake->FindSection("repmode_panel")) {
            for (int i = 0; i < panels->Count(); ++i) {
                const std::vector<std::string> items = SplitText(panels->LineValue(i), ",");
                if (items.size() < 3) continue;
                entries.emplace_back("omake_mode.ini [repmode_panel] " + panels->LineKey(i),
                                     TrimChars(items[2], " \t"));
            }
        }
    }
    for (const auto& [place, label] : entries) {
        const std::vector<std::string> parts = SplitText(ToLowerAscii(label), ".");
        std::string problem;
        if (label.empty()) {
            // A missing [Game] EntryPoint is named with its line, and any
            // misspelt key near it, by the settings check.
            if (place.starts_with("SystemInfo.ini")) continue;
            problem = "no label is given. Name where the story starts, as SCENARIO.LABEL.";
        } else if (parts.size() != 2) {
            problem = "label " + Quoted(label) + " names no scenario. Write SCENARIO.LABEL.";
        } else if (Scenario* target = Find(parts[0]); target == nullptr) {
            problem = "label " + Quoted(label) +
                      " names no scenario of the game. Mend the scenario's name: it is the "
                      "file's name without .txt.";
        } else if (target->usable && target->script.LabelAddress(parts[1]) == -1) {
            problem = "label " + Quoted(label) + " is not in scenario " + Quoted(parts[0]) +
                      ". Mend the label, or write it on a line as LABEL:.";
        }
        if (!problem.empty()) mFindings.push_back({place, true, problem});
    }
    if (Process().IsDebugMode && !Process().Debug.EntryPoint.empty() &&
        !Process().Debug.DrawActivity) {
        CheckFrozenStart(Process().Debug.EntryPoint);
    }
}

void GameCheck::CheckFrozenStart(const std::string& label) {
    // A new game starts with drawing stopped; its first transition shows
    // the screen. A page that waits before one waits on a black screen.
    const std::vector<std::string> parts = SplitText(ToLowerAscii(label), ".");
    if (parts.size() != 2) return;
    Scenario* scenario = Find(parts[0]);
    if (scenario == nullptr || !scenario->usable) return;
    const int start = scenario->script.LabelAddress(parts[1]);
    if (start < 0) return;
    static const std::set<std::string_view> kShows = {"wto", "bto", "mto", "da", "daa", "dam"};
    static const std::set<std::string_view> kWaits = {"put", "select", "selecter", "wait",
                                                      "waitcv"};
    // Where the story may go elsewhere, this reading ends.
    static const std::set<std::string_view> kLeaves = {
        "go",         "call",      "if",         "return",    "restarttitle",
        "playending", "playmovie", "textwindow", "textnovel", "restartreplaymode"};
    constexpr int kLookAhead = 1000;
    for (int address = start; address < scenario->script.Count() && address < start + kLookAhead;
         ++address) {
        const std::string word = ToLowerAscii(std::string(scenario->script.Word(address)));
        if (kShows.contains(word) || kLeaves.contains(word)) return;
        if (kWaits.contains(word)) {
            Report(*scenario, address, false,
                   "debug.ini starts the game at " + label +
                       " with drawing stopped, and this waits for the reader before a "
                       "transition (wto, bto, mto, da...) shows the screen: it waits on a black "
                       "screen. Add DrawActivity=True to debug.ini, or begin the scene with a "
                       "transition.");
            return;
        }
    }
}

}  // namespace zelk::tool
