// Index
//   [SECTION] Setting out
//   [SECTION] Discovery: the scenarios and the variables that steer
//   [SECTION] Passes and routes
//   [SECTION] States
//   [SECTION] Findings
#include "routes_explorer.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "command_arguments.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "game_media.h"
#include "interpreter/interpreter.h"
#include "scenario/script.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace fs = std::filesystem;

struct RoutesExplorer::PathNode {
    Path parent;
    std::string caption;
};

struct RoutesExplorer::Snapshot {
    std::string status;
    std::string variables;
    RoutesScene scene;
    bool replay = false;
};

namespace {

// A saved place while branches wait for it, counted in the explorer's total
// of bytes held, so that a game with huge variables meets a limit instead of
// taking all memory.
struct HeldSnapshot {
    HeldSnapshot(RoutesExplorer::Snapshot data, std::size_t& total)
        : snapshot(std::move(data)), total(total) {
        bytes = sizeof(*this) + snapshot.status.size() + snapshot.variables.size() +
                snapshot.scene.background.size();
        for (const auto& [cid, file] : snapshot.scene.characters)
            bytes += cid.size() + file.size() + 64;
        for (const RoutesScene::Choice& choice : snapshot.scene.choices)
            bytes += choice.text.size() + choice.target.size() + choice.script.size() + 64;
        for (const RoutesScene::Area& area : snapshot.scene.areas) {
            bytes += sizeof(area) + area.spec.ClickScript.size() + area.spec.PointScript.size() +
                     area.script.size();
        }
        total += bytes;
    }
    ~HeldSnapshot() { total -= bytes; }
    HeldSnapshot(const HeldSnapshot&) = delete;
    HeldSnapshot& operator=(const HeldSnapshot&) = delete;

    RoutesExplorer::Snapshot snapshot;
    std::size_t& total;
    std::size_t bytes = 0;
};

}  // namespace

// A road still to be played: a start from the title or the extras, or one
// branch of a choice or an area taken from a saved place.
struct RoutesExplorer::Branch {
    enum class How { kStart, kChoose, kClick };
    How how = How::kStart;
    std::shared_ptr<const Snapshot> from;
    std::string target;  // the start's label, or the branch's label expression
    std::string script;  // where the branch was offered (item, er), for its errors
    long address = -1;
    bool replay = false;
    std::string shared;  // a start's shared variables
    Path path;
    int parent = -1;  // the road that offered it
};

struct RoutesExplorer::Pass {
    std::string shared;
    Path path;
};

namespace {

// Words whose first argument is text for the reader, not a value that
// steers the story.
bool TextArgument(const std::string& word, std::size_t n) {
    return n == 1 && (word == "put" || word == "item" || word == "site" || word == "alarm");
}

bool Assignment(const std::string& word) {
    return word == "let" || word == "add" || word == "sub" || word == "up" || word == "down";
}

// What a route marker says in a path.
constexpr const char* kNewGame = "(a new game from the title)";

// The interpreter's run-time errors are in the player's language; the
// author reads what went wrong first, and the player's words after it.
std::string Explained(const std::string& message) {
    const std::size_t open = message.find('\'');
    const std::size_t close = open == std::string::npos ? open : message.find('\'', open + 1);
    const std::string name =
        close == std::string::npos ? std::string() : message.substr(open + 1, close - open - 1);
    struct Gloss {
        const char* mark;
        std::string text;
    };
    const Gloss glosses[] = {
        {"ラベル表現が空欄", "a jump names no label"},
        {"ラベル表現'",
         "there is no label " + name + ": the jump fails and the story runs on with the next line"},
        {"がロードできません",
         "the scenario " + name + " cannot be loaded: there is none, or it does not convert"},
        {"未定義命令'", name + " is no command of the game's [Instruction] table: the line is "
                               "skipped"},
        {"未実装命令'", "the player has no command " + name + ": the line is skipped"},
        {"個までです", "an argument too many: the line is skipped"},
        {"引数は省略できません", "an argument is missing: the line is skipped"},
        {"実行がスクリプトの終端に至りました",
         "the route runs past the end of its scenario: the player closes"},
        {"スタックが空の状態でreturn", "return without a call: the story runs on after it"},
        {"選択肢が登録されていません", "select without an item before it: nothing is offered"},
        {"ノベルモードにおける選択肢", "a choice in the novel style (textnovel) is not shown"},
        {"を追加できません", "the choice cannot be shown (at most 5 items, in the window style)"},
        {"のロードに失敗しました", "the picture " + name + " cannot be loaded"},
        {"再生失敗", "the sound " + name + " cannot be played"},
        {"を再生できません", "the movie " + name + " cannot be played"},
        {"値表現が設定対象として不正です", "the value is stored into no declared variable"},
        {"値表現が不正です", "an expression the player cannot read"},
        {"引用符が不正です", "a quoted text without its closing quote"},
        {"に失敗しました", "the command fails (is the character on screen?)"},
    };
    if (message.starts_with("ウィンドウタイプ ")) {
        const std::string type =
            message.substr(message.find(' ') + 1, message.rfind(" の") - message.find(' ') - 1);
        return "game_mode.ini has no complete window type [wndtype:" + type + "] (" + message + ")";
    }
    for (const Gloss& gloss : glosses) {
        if (message.find(gloss.mark) != std::string::npos) return gloss.text + " (" + message + ")";
    }
    return message;
}

}  // namespace

// [SECTION] Setting out

RoutesExplorer::RoutesExplorer(INIFile& systemInfo, GameMedia& media, std::string scenarioFolder,
                               std::string systemPlace, RoutesLimits limits)
    : mSystemInfo(systemInfo),
      mMedia(media),
      mScenarioFolder(std::move(scenarioFolder)),
      mSystemPlace(std::move(systemPlace)),
      mLimits(limits),
      mHost(systemInfo, media) {}

RoutesExplorer::~RoutesExplorer() = default;

bool RoutesExplorer::Init(std::string& error) {
    Process().ShutdownRequested = false;
    Process().StatusRestored = false;
    mIntprt = std::make_unique<clsInterpreter>(mHost);
    if (!mIntprt->Init()) {
        error = "SystemInfo needs [TextBlock] CharCount and LineCount above 0";
        return false;
    }
    const INISection& game = mSystemInfo.KeySection("Game");
    mEntry = TrimChars(game.KeyValue("EntryPoint"), " \t");
    mChoicePrefix = game.KeyValue("ChoicePrefix");
    if (mEntry.empty()) {
        mEntry = !mStartAt.empty() ? mStartAt : TrimChars(Process().Debug.EntryPoint, " \t");
        if (mEntry.empty()) {
            error = "the game names no entry point: [Game] EntryPoint of SystemInfo is empty";
            return false;
        }
        Report(RouteKind::kError, mSystemPlace,
               "[Game] EntryPoint is empty: a reader's game cannot start (played from " + mEntry +
                   " instead)",
               nullptr);
    }
    if (!mStartAt.empty()) mEntry = mStartAt;

    mHost.GameMode(LoadSystemIni("game_mode"));

    // The extras open once one of the title's flags is set; each scene
    // replay panel once its own shared variable is.
    if (std::unique_ptr<INIFile> title = LoadSystemIni("title_mode")) {
        for (const std::string& name :
             SplitText(title->KeySection("menu").KeyValue("OmakeEnableFlags"), ",")) {
            const std::string flag = ToLowerAscii(TrimChars(name, " \t"));
            if (!flag.empty()) mExtrasFlags.push_back(flag);
        }
    }
    if (std::unique_ptr<INIFile> extras = LoadSystemIni("omake_mode")) {
        const INISection& panels = extras->KeySection("repmode_panel");
        for (int i = 0; i < panels.Count(); ++i) {
            if (panels.LineKey(i).empty()) continue;
            std::vector<std::string> items = SplitText(panels.LineValue(i), ",");
            items.resize(std::max<std::size_t>(items.size(), 3));
            const std::string variable = ToLowerAscii(TrimChars(items[0], " \t"));
            const std::string label = TrimChars(items[2], " \t");
            if (!variable.empty() && !label.empty()) mReplays.emplace_back(variable, label);
        }
    }
    DiscoverScripts();
    FindRelevantVariables();
    return true;
}

int RoutesExplorer::Errors() const {
    return static_cast<int>(std::count_if(mFindings.begin(), mFindings.end(), [](const auto& f) {
        return f.kind == RouteKind::kError;
    }));
}

// [SECTION] Discovery: the scenarios and the variables that steer

void RoutesExplorer::DiscoverScripts() {
    std::vector<std::string> pending;
    const auto scriptOf = [](const std::string& label) {
        const std::size_t dot = label.find('.');
        return dot == std::string::npos ? std::string() : label.substr(0, dot);
    };
    pending.push_back(scriptOf(mEntry));
    for (const auto& replay : mReplays)
        pending.push_back(scriptOf(replay.second));
    if (mMedia.LooseScenarios()) {
        std::error_code code;
        const fs::path folder = fs::path(Process().WorkspaceDir) / "scenario";
        for (const auto& entry : fs::directory_iterator(folder, code)) {
            // A name with a dot in it ("notes.utf8.txt") is no script a
            // jump can name: the player never reads it.
            const std::string stem = entry.path().stem().string();
            if (ToLowerAscii(entry.path().extension().string()) == ".txt" &&
                stem.find('.') == std::string::npos)
                pending.push_back(stem);
        }
        std::sort(pending.begin() + 1 + static_cast<std::ptrdiff_t>(mReplays.size()),
                  pending.end());
    }
    std::set<std::string> known;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const std::string name = ToLowerAscii(pending[i]);
        if (name.empty() || !known.insert(name).second) continue;
        std::shared_ptr<Script> script = mIntprt->ScriptManager().GetScript(name, false);
        if (!script) continue;
        mScripts.push_back(name);
        LoadReferencedScripts(*script, pending);
    }
    // A scenario that does not convert is check's to tell; routes tells it
    // where a route reaches it.
    mHost.errors.clear();
}

void RoutesExplorer::LoadReferencedScripts(const Script& script,
                                           std::vector<std::string>& pending) {
    for (int a = 0; a < script.Count(); ++a) {
        const std::vector<std::string> fields = SplitText(script.Element(a), "\t");
        if (fields.empty()) continue;
        const std::string word = ToLowerAscii(fields[0]);
        for (std::size_t n = 1; n < fields.size(); ++n) {
            if (KindOfArgument(word, n) != ArgumentKind::kLabel) continue;
            const std::size_t dot = fields[n].find('.');
            if (dot != std::string::npos) pending.push_back(fields[n].substr(0, dot));
        }
    }
}

std::vector<std::string> RoutesExplorer::VariablesIn(const std::string& expression) const {
    std::vector<std::string> names;
    std::string word;
    bool quoted = false;
    const auto flush = [&] {
        if (!word.empty()) names.push_back(ToLowerAscii(word));
        word.clear();
    };
    for (const char c : expression) {
        if (c == '"') {
            flush();
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (std::string_view(" \t=<>!,()+-*/&|;%").find(c) != std::string_view::npos) {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return names;
}

// Variables that only count themselves (a play counter, a tally shown to
// nobody) would make every road look new; only those that a condition, a
// jump, a command or a system file reads, directly or through other
// variables, are part of a state.
void RoutesExplorer::FindRelevantVariables() {
    std::set<std::string> declared;
    for (const char* section : {"var", "shared"}) {
        const INISection& vars = mSystemInfo.KeySection(section);
        for (int i = 0; i < vars.Count(); ++i) {
            const std::string key = ToLowerAscii(TrimChars(vars.LineKey(i), " \t"));
            if (!key.empty()) declared.insert(key);
        }
    }
    std::set<std::string> relevant(mExtrasFlags.begin(), mExtrasFlags.end());
    for (const auto& replay : mReplays)
        relevant.insert(replay.first);
    std::multimap<std::string, std::string> feeds;  // destination -> source
    for (const std::string& name : mScripts) {
        const std::shared_ptr<Script> script = mIntprt->ScriptManager().Cached(name);
        if (!script) continue;
        for (int a = 0; a < script->Count(); ++a) {
            const std::vector<std::string> fields = SplitText(script->Element(a), "\t");
            if (fields.empty()) continue;
            const std::string word = ToLowerAscii(fields[0]);
            const bool assignment = Assignment(word) && fields.size() > 1;
            const std::string destination =
                assignment ? ToLowerAscii(TrimChars(fields[1], " \t")) : std::string();
            for (std::size_t n = 1; n < fields.size(); ++n) {
                if (TextArgument(word, n) || (assignment && n == 1)) continue;
                for (const std::string& used : VariablesIn(fields[n])) {
                    if (!declared.contains(used)) continue;
                    if (assignment)
                        feeds.emplace(destination, used);
                    else
                        relevant.insert(used);
                }
            }
        }
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [destination, source] : feeds) {
            if (relevant.contains(destination) && relevant.insert(source).second) grew = true;
        }
    }
    mRelevant.assign(relevant.begin(), relevant.end());
}

// [SECTION] Passes and routes

void RoutesExplorer::Run() {
    mStart = std::chrono::steady_clock::now();
    mHost.SharedVariables()->Text(mSystemInfo.KeySection("shared").Text());
    std::string key;
    for (const std::string& name : mRelevant)
        key += mHost.SharedVariables()->KeyValue(name) + '\x1f';
    mSharedStates.insert(key);
    mPasses.push_back({mHost.SharedVariables()->Text(), nullptr});
    while (!mPasses.empty() && mSummary.limitHit.empty()) {
        if (mSummary.passes >= mLimits.passes) {
            mSummary.limitHit = "passes";
            break;
        }
        const Pass pass = mPasses.front();
        mPasses.pop_front();
        RunPass(pass);
    }
    if (!mSummary.limitHit.empty()) {
        mSummary.unexplored += static_cast<long>(mPasses.size());
        for (const Pass& pass : mPasses)
            Unplayed(pass.path);
    }
    mSummary.states = static_cast<long>(mSeen.size());
    ReportTraps();
    ReportUnreached();
    mSummary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count();
}

void RoutesExplorer::RunPass(const Pass& pass) {
    ++mSummary.passes;
    std::deque<Branch> queue;
    for (Branch& start : Starts(pass))
        queue.push_back(std::move(start));
    // Breadth first: the first road to reach a place is one with the fewest
    // choices.
    while (!queue.empty()) {
        if (OverLimit()) {
            mSummary.unexplored += static_cast<long>(queue.size());
            for (const Branch& left : queue)
                if (!Unplayed(left.path)) break;
            return;
        }
        Branch branch = std::move(queue.front());
        queue.pop_front();
        Play(std::move(branch), queue);
    }
}

std::vector<RoutesExplorer::Branch> RoutesExplorer::Starts(const Pass& pass) const {
    std::vector<Branch> starts;
    Branch entry;
    entry.target = mEntry;
    entry.shared = pass.shared;
    entry.path = pass.path;
    starts.push_back(entry);

    INISection shared;
    shared.Text(pass.shared);
    long flags = 0;
    for (const std::string& flag : mExtrasFlags)
        flags += ReadLong(shared.KeyValue(flag));
    if (flags == 0) return starts;
    for (const auto& [variable, label] : mReplays) {
        if (ReadNumber(shared.KeyValue(variable)) == 0) continue;
        Branch replay = entry;
        replay.target = label;
        replay.replay = true;
        replay.path = std::make_shared<PathNode>(
            PathNode{pass.path, "(the extras: scene replay " + label + ")"});
        starts.push_back(replay);
    }
    return starts;
}

bool RoutesExplorer::Apply(const Branch& branch) {
    if (branch.how == Branch::How::kStart) {
        // A new game: the game's variables fresh, the shared ones as the
        // last game left them, drawing stopped until the scene's first
        // transition.
        mHost.GameVariables()->Text(mSystemInfo.KeySection("var").Text());
        mHost.SharedVariables()->Text(branch.shared);
        mHost.scene = RoutesScene();
        mHost.replayMode = branch.replay;
        mIntprt->StepStart();
        if (!mIntprt->GoLabel(branch.target)) {
            const std::size_t dot = branch.target.find('.');
            const bool noScript =
                dot != std::string::npos && !mIntprt->ScriptManager().GetScript(
                                                ToLowerAscii(branch.target.substr(0, dot)), false);
            const std::string why = noScript ? "its scenario cannot be loaded: there is none, or "
                                               "it does not convert"
                                             : "there is no such label";
            mHost.errors.clear();
            // A replay's label is named by the extras' file, the game's
            // entry by the system information.
            std::string place = mSystemPlace;
            if (branch.replay) {
                const std::size_t name = place.rfind("SystemInfo");
                if (name != std::string::npos) place.replace(name, 10, "omake_mode");
            }
            Report(
                RouteKind::kError, place,
                (branch.replay ? "a scene replay cannot start at " : "the game cannot start at ") +
                    branch.target + ": " + why,
                branch.path);
            return false;
        }
        return true;
    }
    Restore(*branch.from);
    // The mode clears what was offered before it goes on.
    mHost.scene.choices.clear();
    std::erase_if(mHost.scene.areas,
                  [](const RoutesScene::Area& a) { return a.spec.STag == "gamemode_button"; });
    if (branch.how == Branch::How::kChoose) {
        mIntprt->GoSelectedItem(branch.target);
        // A target that does not lead anywhere is the fault of the line that
        // offered it.
        for (RoutesError& error : mHost.errors)
            error.place = PlaceOf(branch.script, branch.address);
        for (RoutesError& error : mHost.errors)
            Report(RouteKind::kError, error.place, Explained(error.message), branch.path);
        mHost.errors.clear();
    }
    return true;
}

void RoutesExplorer::Play(Branch branch, std::deque<Branch>& queue) {
    ++mSummary.routes;
    mSegment.clear();
    const int id = static_cast<int>(mSegments.size());
    mSegments.emplace_back();
    if (branch.parent >= 0) mSegments[branch.parent].children.push_back(id);
    // Unless it meets another road or offers branches, this road is over.
    mSegments[id].settled = true;
    if (!Apply(branch)) return;
    const Path& path = branch.path;
    mHost.budget = mLimits.steps;
    bool afterEnding = false;
    while (true) {
        if (OverLimit()) {
            ++mSummary.unexplored;
            Unplayed(path);
            return;
        }
        mHost.events.Clear();
        // The staff roll hands back to the story with drawing stopped.
        if (afterEnding) mHost.scene.drawActive = false;
        const long before = mHost.budget;
        const StepResult result = mIntprt->StepNext();
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        mSummary.instructions += before - std::max(mHost.budget, 0L);
        TakeErrors(path);
        const RoutesStepEvents& events = mHost.events;
        for (const RoutesMark& ending : events.endings) {
            Report(RouteKind::kEnding, PlaceOf(ending.script, ending.address),
                   "staff roll (" + ending.what + ")", path);
        }
        afterEnding = !events.endings.empty();
        const std::string here = PlaceOf(mHost.lastScript, mHost.lastAddress);
        if (events.cutShort) {
            Report(RouteKind::kError, here,
                   "the route runs " + std::to_string(mLimits.steps) +
                       " instructions without a choice or an end: it loops for ever (or raise "
                       "--limit steps=N)",
                   path);
            return;
        }
        if (events.exit) {
            EndRoute(*events.exit, path);
            return;
        }
        // A close was told as the run-time error that caused it.
        if (events.closed || result != StepResult::kWaiting) return;

        // Once for each stretch of stopped drawing: its first wait is the
        // one to mend.
        if (!mHost.scene.drawActive && !mHost.scene.frozenTold) {
            mHost.scene.frozenTold = true;
            Report(RouteKind::kError, here,
                   "the reader waits for a click while drawing is stopped: the screen stays "
                   "black or shows the last scene (start a scene with a transition such as da, "
                   "bto or wto before its first page)",
                   path);
        }
        const long wait = mIntprt->WaitMode();
        const bool areas = std::any_of(
            mHost.scene.areas.begin(), mHost.scene.areas.end(), [](const RoutesScene::Area& a) {
                return a.enabled && a.spec.STag == "gamemode_button" &&
                       (!a.spec.ClickScript.empty() || !a.spec.PointScript.empty());
            });
        if (wait == kWaitSelection && !areas) {
            Report(RouteKind::kError, here,
                   "the reader is to click an area, but none is offered: only the menu leads "
                   "out (add areas with er or ercg before selecter)",
                   path);
            return;
        }
        const std::size_t state = StateHash();
        const auto [seen, fresh] = mSeen.emplace(state, id);
        if (!fresh && mSegment.contains(state)) {
            Report(RouteKind::kError, here,
                   "the route comes back here with nothing changed and no choice on the way: "
                   "the reader clicks on for ever",
                   path);
            return;
        }
        if (!fresh) {
            // Played from here before: this road goes where that one went.
            mSegments[id].settled = false;
            mSegments[id].target = seen->second;
            return;
        }
        if (wait == kWaitChoice || wait == kWaitSelection || areas) {
            mSegments[id].settled = false;
            mSegments[id].place = here;
            mSegments[id].path = path;
            Offer(path, queue, id);
            return;
        }
        mSegment.insert(state);
        // The reader's click turns the page; the mode clears the scene's
        // areas as it goes on.
        std::erase_if(mHost.scene.areas,
                      [](const RoutesScene::Area& a) { return a.spec.STag == "gamemode_button"; });
    }
}

void RoutesExplorer::Offer(const Path& path, std::deque<Branch>& queue, int segment) {
    const auto held = std::make_shared<HeldSnapshot>(Take(), mHeldBytes);
    const std::shared_ptr<const Snapshot> from(held, &held->snapshot);
    const auto add = [&](Branch::How how, const std::string& target, const std::string& caption,
                         const std::string& script, long address) {
        Branch branch;
        branch.how = how;
        branch.from = from;
        branch.target = target;
        branch.script = script;
        branch.address = address;
        branch.path = std::make_shared<PathNode>(PathNode{path, caption});
        branch.parent = segment;
        queue.push_back(std::move(branch));
        ++mSummary.branches;
    };
    const RoutesScene& scene = mHost.scene;
    if (mIntprt->WaitMode() == kWaitChoice) {
        for (const RoutesScene::Choice& choice : scene.choices) {
            std::string caption = choice.text;
            if (!mChoicePrefix.empty() && caption.starts_with(mChoicePrefix))
                caption.erase(0, mChoicePrefix.size());
            add(Branch::How::kChoose, choice.target, caption, choice.script, choice.address);
        }
        return;
    }
    for (const RoutesScene::Area& area : scene.areas) {
        if (!area.enabled || area.spec.STag != "gamemode_button") continue;
        const std::string where =
            area.spec.TargetCID.empty()
                ? "the area " + std::to_string(area.spec.x1) + "," + std::to_string(area.spec.y1) +
                      "-" + std::to_string(area.spec.x2) + "," + std::to_string(area.spec.y2)
                : "the character " + area.spec.TargetCID;
        if (!area.spec.ClickScript.empty()) {
            add(Branch::How::kChoose, area.spec.ClickScript,
                "[click " + where + ": " + area.spec.ClickScript + "]", area.script, area.address);
        }
        if (!area.spec.PointScript.empty()) {
            add(Branch::How::kChoose, area.spec.PointScript,
                "[point at " + where + ": " + area.spec.PointScript + "]", area.script,
                area.address);
        }
    }
    // While a page waits, a click beside the areas turns it.
    if (mIntprt->WaitMode() == kWaitClick) add(Branch::How::kClick, {}, "[click]", {}, -1);
}

void RoutesExplorer::EndRoute(const RoutesMark& mark, const Path& path) {
    Report(RouteKind::kEnd, PlaceOf(mark.script, mark.address),
           mark.what == "title" ? "the route returns to the title"
           : mHost.replayMode   ? "the scene replay returns to the extras"
                                : "the route leaves for the extras",
           path);
    // A new game from the title finds the shared data this one left.
    std::string key;
    for (const std::string& name : mRelevant)
        key += mHost.SharedVariables()->KeyValue(name) + '\x1f';
    if (mSharedStates.insert(key).second) {
        mPasses.push_back({mHost.SharedVariables()->Text(),
                           std::make_shared<PathNode>(PathNode{path, kNewGame})});
    }
}

bool RoutesExplorer::Unplayed(const Path& path) {
    // A few are enough to say where the limit fell.
    constexpr std::size_t kExamples = 3;
    if (mSummary.unplayed.size() >= kExamples) return false;
    mSummary.unplayed.push_back(Captions(path));
    return true;
}

bool RoutesExplorer::OverLimit() {
    if (!mSummary.limitHit.empty()) return true;
    if (static_cast<long>(mSeen.size()) >= mLimits.states) {
        mSummary.limitHit = "states";
    } else if (mHeldBytes / (1024 * 1024) >= static_cast<std::size_t>(mLimits.megabytes)) {
        mSummary.limitHit = "memory";
    } else if (std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count() >
               mLimits.seconds) {
        mSummary.limitHit = "time";
    }
    return !mSummary.limitHit.empty();
}

// [SECTION] States

RoutesExplorer::Snapshot RoutesExplorer::Take() {
    mIntprt->SaveStatus();
    Snapshot snapshot;
    snapshot.status = mHost.IntprtStatus()->Text();
    snapshot.variables = mHost.Variables().Text();
    snapshot.scene = mHost.scene;
    snapshot.replay = mHost.replayMode;
    return snapshot;
}

void RoutesExplorer::Restore(const Snapshot& snapshot) {
    mHost.IntprtStatus()->Text(snapshot.status);
    mHost.Variables().Text(snapshot.variables);
    mHost.scene = snapshot.scene;
    mHost.replayMode = snapshot.replay;
    mIntprt->LoadStatus();
    mHost.errors.clear();
}

// The place in the story, the variables that steer it and what the screen
// holds that a command may ask for.
std::size_t RoutesExplorer::StateHash() {
    mIntprt->SaveStatus();
    std::string state = mHost.IntprtStatus()->Text();
    state += '\x1e';
    for (const std::string& name : mRelevant) {
        state += mHost.GameVariables()->KeyValue(name);
        state += '\x1f';
        state += mHost.SharedVariables()->KeyValue(name);
        state += '\x1f';
    }
    const RoutesScene& scene = mHost.scene;
    state += '\x1e';
    state += std::to_string(scene.drawActive) + std::to_string(scene.filmSet) +
             std::to_string(scene.windowType) + std::to_string(mHost.replayMode) + '\x1f' +
             scene.background;
    for (const auto& [cid, file] : scene.characters)
        state += '\x1f' + cid + '=' + file;
    state += '\x1e';
    for (const RoutesScene::Choice& choice : scene.choices)
        state += choice.text + '\x1f' + choice.target + '\x1f';
    state += '\x1e';
    for (const RoutesScene::Area& area : scene.areas) {
        state += area.spec.STag + '\x1f' + area.spec.ClickScript + '\x1f' + area.spec.PointScript +
                 '\x1f' + area.spec.TargetCID + '\x1f' + std::to_string(area.enabled) +
                 std::to_string(area.spec.x1) + ',' + std::to_string(area.spec.y1) + ',' +
                 std::to_string(area.spec.x2) + ',' + std::to_string(area.spec.y2) + '\x1f';
    }
    return std::hash<std::string>{}(state);
}

// [SECTION] Findings

std::vector<std::string> RoutesExplorer::Captions(const Path& path) {
    std::vector<std::string> captions;
    for (const PathNode* node = path.get(); node != nullptr; node = node->parent.get())
        captions.push_back(node->caption);
    std::reverse(captions.begin(), captions.end());
    return captions;
}

void RoutesExplorer::Report(RouteKind kind, const std::string& place, const std::string& message,
                            const Path& path) {
    // The first road to a finding is the shortest: later ones add nothing.
    const std::string key = std::to_string(static_cast<int>(kind)) + '\n' + place + '\n' + message;
    if (!mReported.insert(key).second) return;
    mFindings.push_back({kind, place, message, Captions(path)});
}

void RoutesExplorer::TakeErrors(const Path& path) {
    for (const RoutesError& error : mHost.errors)
        Report(RouteKind::kError, PlaceOf(error.place), Explained(error.message), path);
    mHost.errors.clear();
}

std::string RoutesExplorer::PlaceOf(const std::string& script, long address) const {
    const std::shared_ptr<Script> found =
        script.empty() ? nullptr : mIntprt->ScriptManager().Cached(script);
    if (!found) return script.empty() ? mSystemPlace : script + "." + std::to_string(address);
    const int at = static_cast<int>(address);
    if (found->SourceFile().empty()) return found->Place(at);
    return mScenarioFolder + found->SourceFile() + ":" + std::to_string(found->SourceLine(at));
}

std::string RoutesExplorer::PlaceOf(const std::string& interpreterPlace) const {
    // A loose scenario is named by its file alone; the author looks for it
    // below the game folder.
    if (mMedia.LooseScenarios() && interpreterPlace.find(".txt:") != std::string::npos)
        return mScenarioFolder + interpreterPlace;
    return interpreterPlace.empty() ? mSystemPlace : interpreterPlace;
}

// Roads that offer choices but from which no choice ever leads to an end:
// a menu whose every item comes back to it. Only a complete exploration
// can tell; a limit leaves it unsaid.
void RoutesExplorer::ReportTraps() {
    if (!mSummary.limitHit.empty()) return;
    const std::size_t count = mSegments.size();
    std::vector<std::vector<int>> from(count);  // the roads that lead into each
    std::vector<char> ends(count, 0);
    std::deque<int> pending;
    for (std::size_t i = 0; i < count; ++i) {
        const Segment& segment = mSegments[i];
        if (segment.settled) {
            ends[i] = 1;
            pending.push_back(static_cast<int>(i));
        }
        if (segment.target >= 0) from[segment.target].push_back(static_cast<int>(i));
        for (const int child : segment.children)
            from[child].push_back(static_cast<int>(i));
    }
    while (!pending.empty()) {
        const int at = pending.front();
        pending.pop_front();
        for (const int before : from[at]) {
            if (ends[before]) continue;
            ends[before] = 1;
            pending.push_back(before);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Segment& segment = mSegments[i];
        if (ends[i] || segment.children.empty()) continue;
        Report(RouteKind::kError, segment.place,
               "no route from this choice ever ends: every branch comes back to a choice "
               "already offered, and the reader can only quit",
               segment.path);
    }
}

// A label stands on its own line above its first instruction, or before it
// on the same line: the author is sent to the label itself.
std::string RoutesExplorer::LabelPlace(const Script& script, const std::string& label,
                                       int address) const {
    const std::string fallback = PlaceOf(ToLowerAscii(script.Name()), address);
    const std::optional<std::string> file = mMedia.ScenarioFile(script.Name());
    const int line = script.SourceLine(address);
    if (script.SourceFile().empty() || !file || line <= 0) return fallback;
    const std::optional<std::string> bytes = ReadFileBytes(*file);
    if (!bytes) return fallback;
    const std::vector<std::string> lines = SplitText(Cp932ToUtf8Lossy(*bytes), "\n");
    for (int n = std::min<int>(line, static_cast<int>(lines.size())); n >= 1; --n) {
        const std::string text = ToLowerAscii(TrimChars(lines[n - 1], " \t\r"));
        if (text.starts_with(label + ":")) {
            return mScenarioFolder + script.SourceFile() + ":" + std::to_string(n);
        }
        if (n < line && !text.empty() && !text.starts_with("//")) break;
    }
    return fallback;
}

void RoutesExplorer::ReportUnreached() {
    const std::string cut = mSummary.limitHit.empty()
                                ? std::string()
                                : " before the " + mSummary.limitHit + " limit stopped the routes";
    for (const std::string& name : mScripts) {
        const std::shared_ptr<Script> script = mIntprt->ScriptManager().Cached(name);
        if (!script) continue;
        const std::vector<bool>& marks = mHost.executed[name];
        const auto ran = [&](int a) {
            return a >= 0 && static_cast<std::size_t>(a) < marks.size() && marks[a];
        };
        for (int start = script->NextLabelAddress(-1); start < script->Count();) {
            const int next = script->NextLabelAddress(start);
            const std::string label = script->LabelBefore(start);
            const bool reached = ran(start);
            int pages = 0;
            for (int a = start; a < next; ++a) {
                if (script->Word(a) != "put" || ran(a)) continue;
                if (reached) {
                    Report(RouteKind::kWarning, PlaceOf(name, a), "no route shows this page" + cut,
                           nullptr);
                } else {
                    ++pages;
                }
            }
            const std::string under = pages == 0
                                          ? std::string()
                                          : " (" + std::to_string(pages) +
                                                (pages == 1 ? " page" : " pages") + " under it)";
            if (!reached && !label.empty()) {
                Report(RouteKind::kWarning, LabelPlace(*script, label, start),
                       "no route reaches the label " + label + under + cut, nullptr);
            } else if (!reached && pages > 0) {
                Report(RouteKind::kWarning, PlaceOf(name, start),
                       "no route plays the start of " + name + under + cut, nullptr);
            }
            start = next;
        }
    }
}

}  // namespace zelk::tool
