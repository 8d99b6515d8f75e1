// The explorer of `zelk-tool routes`: plays a game through the real
// interpreter from its entry point, takes every branch of every choice and
// clickable area, and plays on from the title with the shared data each
// ending leaves (and from the scene replays it opens). Places it has been
// are merged by their state, so that a large game ends; what it finds is a
// list of findings in the compiler's form.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "routes_host.h"

namespace zelk {
class clsInterpreter;
class Script;
}  // namespace zelk

namespace zelk::tool {

class GameMedia;

struct RoutesLimits {
    long states = 200000;   // states seen, over every pass
    long steps = 100000;    // instructions between two choices (or a start and a choice)
    double seconds = 300;   // the whole exploration
    long passes = 16;       // plays from the title, each with another shared data
    long megabytes = 1024;  // the places saved for branches still to play
};

enum class RouteKind { kError, kWarning, kEnding, kEnd, kNote };

struct RouteFinding {
    RouteKind kind = RouteKind::kNote;
    std::string place;
    std::string message;
    std::vector<std::string> path;  // the captions of the choices taken
};

struct RoutesSummary {
    long passes = 0;
    long routes = 0;  // roads played from a start or a branch to their end or a merge
    long states = 0;
    long branches = 0;
    long instructions = 0;
    long unexplored = 0;  // branches left when a limit stopped the exploration
    std::vector<std::vector<std::string>> unplayed;  // the choice paths of a few of them
    std::string limitHit;  // which limit stopped it; empty when everything was played
    double seconds = 0;
};

class RoutesExplorer {
public:
    // `scenarioFolder` is put before a loose scenario's file name in places
    // ("games/x/scenario/"); `systemPlace` names the system file.
    RoutesExplorer(INIFile& systemInfo, GameMedia& media, std::string scenarioFolder,
                   std::string systemPlace, RoutesLimits limits);
    ~RoutesExplorer();

    // A place saved for the branches still to be played from it.
    struct Snapshot;

    // Every new game starts at this label instead of the game's entry point
    // (as a debug file's EntryPoint does). Before Init.
    void StartAt(std::string label) { mStartAt = std::move(label); }
    // False, with a message, when the game cannot be played at all.
    bool Init(std::string& error);
    void Run();

    const std::vector<RouteFinding>& Findings() const { return mFindings; }
    const RoutesSummary& Summary() const { return mSummary; }
    int Errors() const;

private:
    struct PathNode;
    using Path = std::shared_ptr<const PathNode>;
    struct Branch;
    struct Pass;

    // [SECTION] Discovery
    void DiscoverScripts();
    void LoadReferencedScripts(const Script& script, std::vector<std::string>& pending);
    void FindRelevantVariables();
    std::vector<std::string> VariablesIn(const std::string& expression) const;

    // [SECTION] Passes and routes
    void RunPass(const Pass& pass);
    std::vector<Branch> Starts(const Pass& pass) const;
    void Play(Branch branch, std::deque<Branch>& queue);
    bool Apply(const Branch& branch);
    void Offer(const Path& path, std::deque<Branch>& queue, int segment);
    void EndRoute(const RoutesMark& mark, const Path& path);
    Snapshot Take();
    void Restore(const Snapshot& snapshot);
    std::size_t StateHash();
    bool OverLimit();
    // Keeps the path of a branch left unplayed as an example; false when
    // there are enough.
    bool Unplayed(const Path& path);

    // [SECTION] Findings
    void Report(RouteKind kind, const std::string& place, const std::string& message,
                const Path& path);
    void TakeErrors(const Path& path);
    std::string PlaceOf(const std::string& script, long address) const;
    std::string PlaceOf(const std::string& interpreterPlace) const;
    void ReportUnreached();
    void ReportTraps();
    std::string LabelPlace(const Script& script, const std::string& label, int address) const;
    static std::vector<std::string> Captions(const Path& path);

    INIFile& mSystemInfo;
    GameMedia& mMedia;
    std::string mScenarioFolder;
    std::string mSystemPlace;
    RoutesLimits mLimits;
    RoutesHost mHost;
    std::unique_ptr<clsInterpreter> mIntprt;

    std::string mEntry;
    std::string mStartAt;
    std::string mChoicePrefix;
    std::vector<std::string> mScripts;      // every scenario known, lower case
    std::vector<std::string> mRelevant;     // variables that steer the story, lower case
    std::vector<std::string> mExtrasFlags;  // shared variables that open the extras
    std::vector<std::pair<std::string, std::string>> mReplays;  // variable, label

    // A road from a start or a branch to where it ends, fails, meets a road
    // played before (target) or offers branches (children).
    struct Segment {
        bool settled = false;  // it ends, or fails with a fault told
        int target = -1;
        std::vector<int> children;
        std::string place;  // of the choice it offers
        Path path;
    };
    std::vector<Segment> mSegments;
    std::size_t mHeldBytes = 0;                  // of the places saved for branches
    std::unordered_map<std::size_t, int> mSeen;  // every state met at a wait: its road
    std::unordered_set<std::size_t> mSegment;    // those since the last branch
    std::set<std::string> mSharedStates;         // shared data a pass started with
    std::deque<Pass> mPasses;
    std::set<std::string> mReported;
    std::vector<RouteFinding> mFindings;
    RoutesSummary mSummary;
    std::chrono::steady_clock::time_point mStart;
};

}  // namespace zelk::tool
