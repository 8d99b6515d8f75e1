// InterpreterHost: everything the interpreter asks of the player around it:
// the window (events, menus, the Ctrl key), the root (skip mode, auto click,
// read marks, configuration), the graphics driver's few flags, the launcher
// (close, log). The program fills it from the root; tests fill it with
// recorded answers, so the interpreter runs without a window.
#pragma once

#include <cstdio>
#include <string>

#include "interpreter/command_hosts.h"
#include "scenario/scenario_host.h"

namespace zelk {

class INISection;

class InterpreterHost : public ScenarioHost {
public:
    // [SECTION] Window and input
    // Ctrl is held down while the game window is the active window.
    virtual bool CtrlSkipHeld() = 0;
    // Runs due window events, timers and repaints; may re-enter the
    // interpreter (a click, a load, a close).
    virtual void ProcessPendingEvents() = 0;
    virtual void EventEnabled(bool enabled) = 0;
    // Enables exactly the menu items named in the comma list.
    virtual void MenuEnableByText(const std::string& items) = 0;

    // [SECTION] Root and mode
    virtual bool IsSkipMode() = 0;
    virtual void IsSkipMode(bool skip) = 0;
    virtual bool IsReplayMode() = 0;
    // Counts the player's mode switches, so that a step which switched the
    // mode (an ending, a load, the title) leaves the new mode's menus and
    // auto click alone.
    virtual long ModeSerial() { return 0; }
    // Arms the one-shot auto click (a left click) after `milliseconds`; 0
    // disarms it.
    virtual void MakeAutoClickTimer(long milliseconds) = 0;
    // A boolean configuration value ("SkipStopUnread", "TextAutoClick"...).
    virtual bool ConfigBool(const std::string& key) = 0;
    // Requests the player's close; returns at once.
    virtual void CloseVell() = 0;

    // [SECTION] Read marks of the shared data
    virtual bool CmdExists(const std::string& script, long address) = 0;
    virtual void AddCmdHistory(const std::string& script, long address) = 0;

    // [SECTION] Graphics driver
    virtual bool DrawActivity() = 0;
    virtual void CursorVisible(bool visible) = 0;
    virtual void TextVisible(bool visible) = 0;

    // [SECTION] Save data and log
    // The save data's "IntprtStatus" section; null when there is none.
    virtual INISection* IntprtStatus() = 0;
    virtual void Log(const std::string& line) = 0;
    virtual void SaveLog() = 0;
    // The scenario error shown to the author (ScenarioError) is over: the
    // page moved on, or the scenario was reloaded.
    virtual void ClearScenarioError() {}
    // A line the player says on its terminal (standard error); a host that
    // tells its findings otherwise (an author's tool) takes it instead.
    virtual void TerminalLine(const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }

    // [SECTION] The parts that scenario commands drive
    virtual GraphicsHost& Graphics() = 0;
    virtual TextWindowHost& TextWindow() = 0;
    virtual SoundHost& Sound() = 0;
    virtual ViewHost& View() = 0;
    virtual StoryHost& Story() = 0;
};

}  // namespace zelk
