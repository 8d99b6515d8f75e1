#include "scenario/script_manager.h"

#include <algorithm>
#include <filesystem>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/message_box.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "platform/translate.h"
#include "scenario/scenario_error_line.h"
#include "scenario/scenario_host.h"

namespace zelk {

std::string AssembleErrorText(const std::string& name, const ScenarioConverter& converter) {
    return TrFormat("シナリオアセンブルエラー  %s . %s",
                    {name, std::to_string(converter.ErrLine())}) +
           "\r\n" + converter.ErrSource() + "\r\n" + converter.ErrMsg();
}

std::string FindScenarioFile(const std::string& folder, const std::string& name) {
    return ResolvePath(folder, name + ".txt").value_or("");
}

ScriptManager::ScriptManager(ScenarioHost& host) : mHost(host) {}

bool ScriptManager::Init(bool fileMode, const std::string& reserveList) {
    mFileMode = fileMode;
    mReserveList = reserveList;
    INIFile* systemInfo = mHost.SystemInfo();
    if (systemInfo == nullptr || !mConverter.Init(*systemInfo)) return false;
    if (mFileMode) mScenarioFolder = JoinPath(Process().WorkspaceDir, "scenario");

    bool loaded = true;
    if (reserveList.empty()) return loaded;
    for (const std::string& name : SplitText(reserveList, ",")) {
        if (!GetScript(name, true)) loaded = false;
    }
    return loaded;
}

std::shared_ptr<Script> ScriptManager::Find(const std::string& name) const {
    const auto found = std::find_if(mScripts.begin(), mScripts.end(), [&](const auto& script) {
        return EqualsNoCase(script->Name(), name);
    });
    return found == mScripts.end() ? nullptr : *found;
}

bool ScriptManager::ReadScenario(const std::string& name, std::string& text, Script& script) {
    if (!mFileMode) {
        std::optional<std::string> stored = mHost.ReadArchiveText(name);
        if (!stored) return false;
        text = std::move(*stored);
        return true;
    }
    const std::string path = FindScenarioFile(mScenarioFolder, name);
    if (path.empty()) return false;
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return false;
    const std::string fileName = std::filesystem::path(path).filename().string();
    const TextEncoding encoding = mConverter.Encoding();
    if (const std::optional<EncodingMismatch> wrong = FindEncodingMismatch(*bytes, encoding)) {
        const std::string why = DescribeMismatch(*wrong, encoding);
        mHost.ScenarioError(fileName + ":" + std::to_string(wrong->line), why);
        // Read anyway, a file in the other encoding would show mojibake, or
        // fail on a misread line; a stray bad byte of a UTF-8 file is shown
        // as U+FFFD.
        if (!encoding.IsUtf8() || wrong->looksCp932) {
            mHost.Msg(TrFormat("シナリオ %s", {fileName + ":" + std::to_string(wrong->line)}) +
                          "\r\n" + why,
                      kMsgOK);
            return false;
        }
    }
    if (!mConverter.Assemble(encoding.Decode(*bytes))) {
        mHost.Msg(AssembleErrorText(name, mConverter), kMsgOK);
        const std::string place = fileName + ":" + std::to_string(mConverter.ErrLine());
        if (!mHost.IsDebugMode()) TellScenarioError(place, mConverter.ErrMsg());
        mHost.ScenarioError(place, mConverter.ErrMsg());
        return false;
    }
    text = mConverter.RegularScript();
    script.Source(fileName, mConverter.SourceLines(), mConverter.SourceLineCount());
    return true;
}

std::shared_ptr<Script> ScriptManager::Load(const std::string& name, bool asReserved) {
    auto script = std::make_shared<Script>();
    script->Init(name, asReserved);
    std::string text;
    if (!ReadScenario(name, text, *script)) return nullptr;
    std::string error;
    // A script that fails to parse still runs as far as it parsed.
    if (!script->Parse(text, error, mConverter.Encoding().IsUtf8())) {
        mHost.Msg(TrFormat("パースエラー：%s", {error}), kMsgOK);
        if (!mHost.IsDebugMode())
            TellScenarioError(ScenarioErrorPlace(*script, script->ParseErrorAddress()), error);
        mHost.ScenarioError(script->Place(script->ParseErrorAddress()), error);
    }
    return script;
}

void ScriptManager::Cache(std::shared_ptr<Script> script) {
    mScripts.push_back(std::move(script));
    DebugShowLoadedScript();
}

std::shared_ptr<Script> ScriptManager::GetScript(const std::string& name, bool asReserved) {
    if (std::shared_ptr<Script> cached = Find(name)) return cached;
    std::shared_ptr<Script> script = Load(name, asReserved);
    if (script) Cache(script);
    return script;
}

std::shared_ptr<Script> ScriptManager::Reload(const std::string& name) {
    const std::shared_ptr<Script> old = Find(name);
    std::shared_ptr<Script> fresh = Load(name, old && old->Reserved());
    if (!fresh) return nullptr;
    DisposeAllScript();
    Cache(fresh);
    if (!mReserveList.empty()) {
        for (const std::string& reserved : SplitText(mReserveList, ","))
            GetScript(reserved, true);
    }
    return fresh;
}

void ScriptManager::Dispose(const std::string& name) {
    std::erase_if(mScripts, [&](const auto& script) {
        return !script->Reserved() && EqualsNoCase(script->Name(), name);
    });
}

void ScriptManager::DisposeAllScript() {
    mScripts.clear();
}

std::string ScriptManager::DebugShowLoadedScript() const {
    std::string list;
    if (!mHost.IsDebugMode()) return list;
    for (const auto& script : mScripts) {
        if (!list.empty()) list += "\r\n";
        list += script->Name();
        if (script->Reserved()) list += " (reserved)";
    }
    return list;
}

}  // namespace zelk
