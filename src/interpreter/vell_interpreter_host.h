// VellInterpreterHost: the interpreter's host in the running program. It
// forwards to the launcher, the root and the parts the root owns; a part
// the root does not have (yet) is null, and its questions get the answer
// of an idle player (drawing active, nothing read, no variables).
#pragma once

#include "interpreter/interpreter_host.h"

namespace zelk {

class clsQuorDriver;
class clsSaveData;
class clsVell;
class Configuration;
class SharedData;

struct VellHostParts {
    clsVell* root = nullptr;
    Configuration* cfg = nullptr;
    SharedData* sharedData = nullptr;
    clsSaveData* saveData = nullptr;
    clsQuorDriver* quor = nullptr;
};

class VellInterpreterHost final : public InterpreterHost {
public:
    explicit VellInterpreterHost(const VellHostParts& parts) : mParts(parts) {}

    // [SECTION] ScenarioHost
    INIFile* SystemInfo() override;
    INISection* GameVariables() override;
    INISection* SharedVariables() override;
    std::optional<std::string> ReadArchiveText(const std::string& key) override;
    long Msg(const std::string& prompt, long buttons) override;
    bool IsDebugMode() override;

    // [SECTION] InterpreterHost
    bool CtrlSkipHeld() override;
    void ProcessPendingEvents() override;
    void EventEnabled(bool enabled) override;
    void MenuEnableByText(const std::string& items) override;
    bool IsSkipMode() override;
    void IsSkipMode(bool skip) override;
    bool IsReplayMode() override;
    void MakeAutoClickTimer(long milliseconds) override;
    bool ConfigBool(const std::string& key) override;
    void CloseVell() override;
    bool CmdExists(const std::string& script, long address) override;
    void AddCmdHistory(const std::string& script, long address) override;
    bool DrawActivity() override;
    void CursorVisible(bool visible) override;
    void TextVisible(bool visible) override;
    INISection* IntprtStatus() override;
    void Log(const std::string& line) override;
    void SaveLog() override;

private:
    VellHostParts mParts;
};

}  // namespace zelk
