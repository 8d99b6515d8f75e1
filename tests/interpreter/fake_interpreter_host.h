// The player around the interpreter, without a window: every question is
// answered from a script of answers, every effect is recorded.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/process.h"
#include "interpreter/fake_command_hosts.h"
#include "interpreter/interpreter_host.h"
#include "scenario/fake_scenario_host.h"
#include "scenario/scenario_converter.h"

namespace zelk::testing {

class FakeInterpreterHost : public FakeScenarioHost, public InterpreterHost {
public:
    FakeInterpreterHost() {
        systemInfo.KeySection("Instruction")
            .Text(
                "// word\targuments\r\n"
                "go\t*\r\ncall\t*\r\nreturn\r\nif\t*\t%\t%\r\nlet\t*\t*\r\n"
                "add\t*\t*\t*\r\nsub\t*\t*\t*\r\nup\t*\t%\r\ndown\t*\t%\r\n"
                "nop\r\nuse\t%\t%\t%\r\nsiting\t%\r\n"
                "wait\r\nplaymovie\t*\t0\r\nfade\t%\r\nplayending\t*\t*\t*\t*\r\n");
        saveData.KeySection("Var").Text("a=0\r\nb=0\r\nx=0\r\ny=0\r\nmsg=");
    }

    // Converts a scenario and stores it as an archive script.
    void AddScript(const std::string& name, const std::string& source) {
        ScenarioConverter converter;
        converter.Init(40, 4, {});
        if (!converter.Assemble(source)) {
            throw std::runtime_error(converter.ErrMsg() + " at " +
                                     std::to_string(converter.ErrLine()));
        }
        archive[name] = converter.RegularScript();
    }

    std::string Var(const std::string& name) { return saveData.KeySection("Var").KeyValue(name); }

    // [SECTION] ScenarioHost, shared with the scenario fake
    INIFile* SystemInfo() override { return FakeScenarioHost::SystemInfo(); }
    INISection* GameVariables() override { return FakeScenarioHost::GameVariables(); }
    INISection* SharedVariables() override { return FakeScenarioHost::SharedVariables(); }
    std::optional<std::string> ReadArchiveText(const std::string& key) override {
        return FakeScenarioHost::ReadArchiveText(key);
    }
    long Msg(const std::string& prompt, long buttons) override {
        return FakeScenarioHost::Msg(prompt, buttons);
    }
    bool IsDebugMode() override { return FakeScenarioHost::IsDebugMode(); }
    void ScenarioError(const std::string& place, const std::string& message) override {
        FakeScenarioHost::ScenarioError(place, message);
    }

    // [SECTION] InterpreterHost
    bool CtrlSkipHeld() override { return ctrl; }
    void ProcessPendingEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    void EventEnabled(bool enabled) override { eventEnabled = enabled; }
    void MenuEnableByText(const std::string& items) override { menus = items; }
    bool IsSkipMode() override { return skipMode; }
    void IsSkipMode(bool skip) override { skipMode = skip; }
    bool IsReplayMode() override { return replay; }
    long ModeSerial() override { return modeSerial; }
    void MakeAutoClickTimer(long milliseconds) override { autoClicks.push_back(milliseconds); }
    bool ConfigBool(const std::string& key) override { return config[key]; }
    void CloseVell() override {
        ++closes;
        Process().ShutdownRequested = true;
    }
    bool CmdExists(const std::string& script, long address) override {
        return read.contains({script, address});
    }
    void AddCmdHistory(const std::string& script, long address) override {
        read.insert({script, address});
        executed.emplace_back(script, address);
    }
    bool DrawActivity() override { return drawActivity; }
    void CursorVisible(bool visible) override { cursorVisible = visible; }
    void TextVisible(bool visible) override { textVisible = visible; }
    INISection* IntprtStatus() override { return &saveData.KeySection("IntprtStatus"); }
    void Log(const std::string& line) override { log.push_back(line); }
    void SaveLog() override { ++logSaves; }
    void ClearScenarioError() override { ++errorClears; }
    GraphicsHost& Graphics() override { return graphics; }
    TextWindowHost& TextWindow() override { return window; }
    SoundHost& Sound() override { return sound; }
    ViewHost& View() override { return view; }
    StoryHost& Story() override { return story; }

    FakeGraphics graphics;
    FakeTextWindow window;
    FakeSound sound;
    FakeView view;
    FakeStory story;

    bool ctrl = false;
    bool skipMode = false;
    bool replay = false;
    bool drawActivity = true;
    bool eventEnabled = true;
    bool cursorVisible = true;
    bool textVisible = true;
    std::string menus;
    std::map<std::string, bool> config;
    std::set<std::pair<std::string, long>> read;
    std::vector<std::pair<std::string, long>> executed;
    std::vector<long> autoClicks;
    long modeSerial = 0;
    std::vector<std::string> log;
    std::function<void()> onPump;
    int pumps = 0;
    int closes = 0;
    int logSaves = 0;
    int errorClears = 0;
};

}  // namespace zelk::testing
