// The player around the interpreter while `zelk-tool routes` plays a game:
// no window, no waits, no sound. Each part keeps what the real one would
// hold afterwards where it can change the story's road or its faults (which
// characters stand on screen, whether drawing is stopped, the choices and
// areas offered), and answers loads from the game's own files, so that a
// missing picture fails here as it fails for a reader. What the story did
// that ends or marks a route (an ending, the title, the close) is kept for
// the explorer to read after each step.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "interpreter/command_hosts.h"
#include "interpreter/interpreter_host.h"
#include "settings/ini_file.h"

namespace zelk::tool {

class GameMedia;

// What the player holds besides the interpreter and the variables: kept
// with every saved place of a route and part of its state.
struct RoutesScene {
    // An item or an area, with the line that offered it.
    struct Choice {
        std::string text;
        std::string target;  // label expression
        std::string script;
        long address = -1;
        bool operator==(const Choice&) const = default;
    };
    struct Area {
        EventRectSpec spec;
        bool enabled = true;
        std::string script;
        long address = -1;
    };
    bool drawActive = false;
    bool frozenTold = false;  // a wait on this stretch of stopped drawing was told
    long filmSet = 2;
    long windowType = 0;
    bool windowText = false;  // the window holds text
    std::string background;
    std::map<std::string, std::string> characters;  // character id (or file) -> file
    std::vector<Choice> choices;
    std::vector<Area> areas;
};

// Where the story did something that ends or marks a route.
struct RoutesMark {
    std::string what;  // a staff roll's parameter, or what the route returned to
    std::string script;
    long address = -1;
};

// What one step did besides running instructions.
struct RoutesStepEvents {
    std::vector<RoutesMark> endings;  // the staff rolls started
    std::optional<RoutesMark> exit;   // "title", "extras": the route is over
    bool closed = false;              // the player closes (the script ran out)
    bool cutShort = false;            // the instruction budget ran out
    void Clear() { *this = RoutesStepEvents(); }
};

// A run-time error as the interpreter reports it.
struct RoutesError {
    std::string place;
    std::string message;
};

class RoutesHost : public InterpreterHost,
                   private GraphicsHost,
                   private TextWindowHost,
                   private SoundHost,
                   private ViewHost,
                   private StoryHost {
public:
    RoutesHost(INIFile& systemInfo, const GameMedia& media);

    INIFile& Variables() { return mVariables; }
    // The reading screen's settings ("game_mode"), whose window types a
    // scenario may switch to; none when the game has no such file.
    void GameMode(std::unique_ptr<INIFile> gameMode) { mGameMode = std::move(gameMode); }
    RoutesScene scene;
    RoutesStepEvents events;
    bool replayMode = false;
    // Instructions that may still run before the step is cut short.
    long budget = 0;
    // Every instruction run: its script (lower case) and address.
    std::map<std::string, std::vector<bool>> executed;
    std::string lastScript;
    long lastAddress = -1;
    // Run-time errors since the explorer last took them.
    std::vector<RoutesError> errors;
    // The interpreter's own word for a click wait on a stopped screen: the
    // explorer tells that fault itself, at the waiting instruction.
    static const char* const kFrozenMessage;

    // [SECTION] ScenarioHost
    INIFile* SystemInfo() override { return &mSystemInfo; }
    INISection* GameVariables() override { return &mVariables.KeySection("var"); }
    INISection* SharedVariables() override { return &mVariables.KeySection("shared"); }
    std::optional<std::string> ReadArchiveText(const std::string& key) override;
    long Msg(const std::string& prompt, long buttons) override;
    // Run-time errors are reported only in debug mode: the tool wants all.
    bool IsDebugMode() override { return true; }
    void ScenarioError(const std::string& place, const std::string& message) override;

    // [SECTION] InterpreterHost
    bool CtrlSkipHeld() override { return false; }
    void ProcessPendingEvents() override;
    void EventEnabled(bool) override {}
    void MenuEnableByText(const std::string&) override {}
    bool IsSkipMode() override { return false; }
    void IsSkipMode(bool) override {}
    bool IsReplayMode() override { return replayMode; }
    long ModeSerial() override { return mModeSerial; }
    void MakeAutoClickTimer(long) override {}
    bool ConfigBool(const std::string& key) override;
    void CloseVell() override { events.closed = true; }
    bool CmdExists(const std::string& script, long address) override;
    void AddCmdHistory(const std::string& script, long address) override;
    bool DrawActivity() override { return scene.drawActive; }
    void CursorVisible(bool) override {}
    void TextVisible(bool) override {}
    INISection* IntprtStatus() override { return &mStatus.KeySection("IntprtStatus"); }
    void Log(const std::string&) override {}
    void SaveLog() override {}
    // The player's words on its terminal: routes tells the same as a finding.
    void TerminalLine(const std::string&) override {}
    GraphicsHost& Graphics() override { return *this; }
    TextWindowHost& TextWindow() override { return *this; }
    SoundHost& Sound() override { return *this; }
    ViewHost& View() override { return *this; }
    StoryHost& Story() override { return *this; }

private:
    // [SECTION] Graphics
    bool DrawDeactivate(long, long) override;
    bool DrawActivate(long, long) override;
    bool LoadBuffMask(const std::string& sMask) override;
    bool BGCenter(const std::string& sNewFile, long, long, long, bool) override;
    bool BGFill(long, long) override;
    bool BGMove(long, long, long, bool) override { return !scene.background.empty(); }
    std::string BGName() override { return scene.background; }
    bool FaceChange(const std::string& sFaceFile) override;
    long CharBlendColor() override { return mBlend; }
    void CharBlendColor(long color) override { mBlend = color; }
    bool CGChange(const std::string& sFile, long, long, long, long, long) override;
    bool CGHide(const std::string& sCID, long) override;
    bool CGHideAll(long) override;
    bool CGMove(const std::string& sCID, long, long, bool, long, bool) override;
    bool CGAlpha(const std::string& sCID, long, long, bool) override;
    bool CGFlip(const std::string& sCID, long, long) override;
    bool CGActClear(const std::string& sCID) override;
    bool CGActAdd(const std::string& sCID, const std::vector<long>&) override;
    bool CGActStart(const std::string& sCID) override;
    bool CGActEnd(const std::string& sCID) override;
    bool CGActComplete(const std::string& sCID) override;
    long GetCharXPos(const std::string&) override { return 320; }
    long GetCharFilmID(const std::string& sCID) override;
    bool OnScreen(const std::string& sCID) const;

    // [SECTION] Text window
    long BaseFilmSet() override { return scene.filmSet; }
    void BaseFilmSet(long eNew) override { scene.filmSet = eNew; }
    bool TextStart(const std::string& sText, bool) override;
    void TextPageTurn() override { scene.windowText = false; }
    std::string CurrentText() override { return scene.windowText ? "-" : ""; }
    void TextSpeedSetting(long) override {}
    void WindowNameFlip(long) override {}
    bool ChangeWindowType(long lTypeNumber) override;
    void WaitCancelEnabled(bool) override {}
    bool AddChoiceItem(const std::string& sText, const std::string& OnClick) override;
    long ChoiceCount() override { return static_cast<long>(scene.choices.size()); }
    void ChoiceArrange() override {}
    void ChoiceVisible(bool) override {}

    // [SECTION] Sound
    bool PlayBGM(const std::string& file, bool, bool) override;
    bool StopBGM(bool) override { return true; }
    bool PlaySE(const std::string& file, bool) override;
    bool StopSE() override { return true; }
    bool PlaySELoop(const std::string& file, long, bool) override;
    bool StopSELoop() override { return true; }
    bool PlayCV(const std::string& file, bool, long) override;
    bool StopCV() override { return true; }
    bool IsPlayingCV() override { return false; }
    void BGMVolumeRate(long) override {}
    long SOLength() override { return 0; }
    void SOLength(long) override {}

    // [SECTION] View
    void SiteName(const std::string&) override {}
    void SelectionClear() override {}
    long AddEventRect(const EventRectSpec& rect) override;
    void RemoveByTag(const std::string& STag) override;
    void EnabledByTag(const std::string& STag, bool bNew) override;

    // [SECTION] Story
    void ChangeMode(long eMode, long eSub, const std::string& vParam) override;
    bool PlayMovie(const std::string& file, long) override;
    void RestartTitle() override { events.exit = RoutesMark{"title", lastScript, lastAddress}; }
    bool TextFilmsVisible() override { return true; }
    void WaitTimed(long) override {}
    long LongVal(const std::string& key) override;
    long GetIndexByCID(const std::string&) override { return -1; }
    long CharColor(long) override { return 0; }
    bool CharVoiceEnabled(long) override { return true; }
    bool CharIsMale(const std::string&) override { return false; }
    bool AddHistory(const std::string&, long) override { return true; }
    void AddCGHistory(const std::string&) override {}

    INIFile& mSystemInfo;
    const GameMedia& mMedia;
    INIFile mVariables;  // [var] and [shared]: the save data's and the shared data's
    INIFile mStatus;
    std::unique_ptr<INIFile> mGameMode;
    long mModeSerial = 0;
    long mBlend = 0;
    // The last script an instruction ran in, for AddCmdHistory.
    std::vector<bool>* mLastMarks = nullptr;
};

}  // namespace zelk::tool
