#include "interpreter/interpreter.h"

#include <exception>

#include "common/message_box.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "interpreter/command_table.h"
#include "interpreter/interpreter_host.h"
#include "settings/ini_file.h"

namespace zelk {

namespace {

constexpr long kEffectTime = 500;
constexpr const char* kMenusInGame =
    "file!saveload,file!qsave,file!qload,file!title,message!skip,message!auto,message!log";
constexpr const char* kMenusInReplay = "file!title,message!skip,message!auto,message!log";

}  // namespace

clsInterpreter::clsInterpreter(InterpreterHost& host)
    : mHost(host), mScriptManager(host), mReader(host), mWriter(host) {}

clsInterpreter::~clsInterpreter() {
    mHost.Log("Interpreter-Terminate");
}

// [SECTION] Running

bool clsInterpreter::Init() {
    INIFile* systemInfo = mHost.SystemInfo();
    mTable.Load(systemInfo == nullptr ? std::string()
                                      : systemInfo->KeySection("Instruction").Text());
    return mScriptManager.Init(Process().Debug.ScenarioFileMode, "");
}

bool clsInterpreter::StepStart() {
    mRestText.clear();
    mWaitMode = kWaitClick;
    TextEnabled(false);
    mLastAutoClickTimer = 0;
    mVoiceTimer = 0;
    return true;
}

StepResult clsInterpreter::StepNext() {
    mHost.EventEnabled(false);
    mModeSerial = mHost.ModeSerial();
    if (Process().ShutdownRequested) return StepResult::kEnded;

    while (true) {
        mLine = mCurrentScript ? mCurrentScript->Element(mAddress) : std::string();
        if (mLine.empty()) {
            RuntimeError("実行がスクリプトの終端に至りました。");
            mHost.CloseVell();
            mWaitMode = kWaitRunning;
            mHost.EventEnabled(true);
            return StepResult::kEnded;
        }

        std::string error;
        if (!mTable.Prepare(mLine, mArgs, error)) {
            RuntimeError(error);
            ++mAddress;
            mStepEnd = StepEnd::kNone;
            if (AskQuit()) return StepResult::kEnded;
            continue;
        }

        if (!BeginInstruction()) return CutShort();
        DecideSkip();
        if (mCurrentScript) mHost.AddCmdHistory(mCurrentScript->Name(), mAddress);
        mLastAutoClickTimer = 0;
        mHost.CursorVisible(false);

        Dispatch();
        if (mStepEnd != StepEnd::kNone) return CutShort();
        if (mAdvance) ++mAddress;

        if (mWaitMode == kWaitRunning) continue;
        if (!mHost.DrawActivity()) {
            RuntimeError("描画停止状態でのクリック待ちは禁止されています。");
        }
        if (mWaitMode == kWaitSkipped) continue;
        WaitForPlayer();
        return StepResult::kWaiting;
    }
}

StepResult clsInterpreter::CutShort() const {
    return mStepEnd == StepEnd::kRestored ? StepResult::kRestored : StepResult::kEnded;
}

bool clsInterpreter::BeginInstruction() {
    mWaitMode = kWaitRunning;
    mAdvance = true;
    mStepEnd = StepEnd::kNone;
    mHost.MenuEnableByText("");
    mEffectTime = kEffectTime;
    mSkip = mHost.CtrlSkipHeld();
    Process().StatusRestored = false;
    mHost.ProcessPendingEvents();
    if (Process().ShutdownRequested) {
        mStepEnd = StepEnd::kEnded;
        return false;
    }
    if (Process().StatusRestored) {
        mStepEnd = StepEnd::kRestored;
        return false;
    }
    return true;
}

void clsInterpreter::DecideSkip() {
    if (!mSkip && mHost.IsSkipMode()) {
        if (!mHost.ConfigBool("SkipStopUnread")) {
            mSkip = true;
        } else if (mCurrentScript && mHost.CmdExists(mCurrentScript->Name(), mAddress)) {
            mSkip = true;
        } else {
            // The first unread instruction ends skipping.
            mHost.IsSkipMode(false);
        }
    }
    if (mSkip && mHost.ConfigBool("SkipGrpEffect")) mEffectTime = 0;
}

void clsInterpreter::OverrideCommand(const std::string& word, CommandFn command) {
    mOverrides[word] = command;
}

void clsInterpreter::Dispatch() {
    CommandFn command = nullptr;
    if (!mOverrides.empty()) {
        const auto found = mOverrides.find(mArgs[0]);
        if (found != mOverrides.end()) command = found->second;
    }
    if (command == nullptr) command = FindCommand(mArgs[0]);
    if (command != nullptr) {
        command(*this);
        return;
    }
    RuntimeError("未実装命令'" + mArgs[0] + "'を実行しようとしました。");
    AskQuit();
}

void clsInterpreter::WaitForPlayer() {
    if (mHost.ModeSerial() != mModeSerial) {
        mHost.EventEnabled(true);
        return;
    }
    if (mHost.ConfigBool("TextAutoClick")) mHost.MakeAutoClickTimer(mLastAutoClickTimer);
    if (mArgs[0] == "playmovie") {
        mHost.MenuEnableByText("");
    } else {
        mHost.MenuEnableByText(mHost.IsReplayMode() ? kMenusInReplay : kMenusInGame);
    }
    mHost.EventEnabled(true);
}

bool clsInterpreter::GoLabel(const std::string& expression) {
    try {
        if (expression.empty()) {
            RuntimeError("ラベル表現が空欄です。");
            return false;
        }
        const std::vector<std::string> parts = SplitText(ToLowerAscii(expression), ".");
        if (parts.size() > 2) {
            RuntimeError("ラベル表現'" + expression + "'が不正です。");
            return false;
        }
        // The script and the address change together, or not at all.
        std::shared_ptr<Script> script = mCurrentScript;
        if (parts.size() == 2) {
            script = mScriptManager.GetScript(parts[0], false);
            if (!script) {
                RuntimeError("シナリオ'" + parts[0] + "'がロードできません。");
                return false;
            }
        }
        const std::string& label = parts.back();
        double number = 0;
        long address = 0;
        if (ReadWholeNumber(label, number)) {
            address = RoundToLong(number);
        } else {
            address = script ? script->LabelAddress(label) : -1;
            if (address == -1) {
                RuntimeError("ラベル表現'" + expression + "'が不正です。");
                return false;
            }
        }
        mCurrentScript = std::move(script);
        mAddress = address;
        mAdvance = false;
        return true;
    } catch (const std::exception&) {
        mHost.Msg("'GoLabel' function internal error", kMsgOK);
        return false;
    }
}

void clsInterpreter::GoSelectedItem(const std::string& expression) {
    mWaitMode = kWaitClick;
    GoLabel(expression);
}

long clsInterpreter::Sbl(const std::string& expression) {
    const long number = mReader.SetSymbol(expression).NumVal();
    if (mReader.IsError()) {
        RuntimeError("value get error '" + expression + "' " + mReader.ErrMsg());
    }
    return number;
}

void clsInterpreter::TextEnabled(bool enabled) {
    mTextEnabled = enabled;
    mHost.TextVisible(enabled);
}

// [SECTION] Save slots

void clsInterpreter::SaveStatus() {
    INISection* status = mHost.IntprtStatus();
    if (status == nullptr) return;
    const std::string name = mCurrentScript ? mCurrentScript->Name() : std::string();
    status->KeyValue("Address", name + "." + std::to_string(mAddress));
    status->KeyValue("WaitMode", std::to_string(mWaitMode));
    status->KeyValue("RestText", "\"" + mRestText + "\"");
    status->KeyValue("TextEnabled", mTextEnabled ? "True" : "False");
    std::string stack;
    for (const std::string& entry : mCallStack) {
        if (!stack.empty()) stack += ',';
        stack += entry;
    }
    status->KeyValue("Stack", stack);
}

void clsInterpreter::LoadStatus() {
    INISection* status = mHost.IntprtStatus();
    if (status == nullptr) return;
    const std::string address = status->KeyValue("Address");
    if (address.starts_with('.')) {
        // Saved before any scenario ran: there is no place to go back to.
        mCurrentScript.reset();
        mAddress = ReadLong(address.substr(1));
    } else {
        GoLabel(address);
    }

    mWaitMode = ReadLong(status->KeyValue("WaitMode"));
    if (mWaitMode < kWaitClick || mWaitMode > kWaitSelection) mWaitMode = kWaitClick;

    const std::string rest = status->KeyValue("RestText");
    mRestText = rest.size() < 2 ? std::string() : rest.substr(1, rest.size() - 2);

    TextEnabled(ToLowerAscii(status->KeyValue("TextEnabled")) == "true");
    mHost.CursorVisible(mWaitMode == kWaitClick && mTextEnabled);

    const std::string stack = status->KeyValue("Stack");
    mCallStack.clear();
    if (!stack.empty()) mCallStack = SplitText(stack, ",");
}

// [SECTION] For commands

const std::string& clsInterpreter::Arg(std::size_t n) const {
    static const std::string kNone;
    return n < mArgs.size() ? mArgs[n] : kNone;
}

void clsInterpreter::EndStep(bool restored) {
    mStepEnd = restored ? StepEnd::kRestored : StepEnd::kEnded;
}

bool clsInterpreter::AskQuit() {
    if (!mHost.IsDebugMode()) return false;
    if (mHost.Msg("終了しますか", kMsgYesNo) != kResultYes) return false;
    mHost.CloseVell();
    EndStep();
    return true;
}

void clsInterpreter::RuntimeError(const std::string& message) {
    if (!mHost.IsDebugMode()) return;
    mHost.Msg(message, kMsgOK);
    mHost.Log("#############################");
    mHost.Log("実行時エラー : 第" + std::to_string(mAddress + 1) + "要素");
    mHost.Log(message);
    mHost.Log("#############################");
    mHost.SaveLog();
}

}  // namespace zelk
