#include "interpreter/interpreter.h"

#include <exception>

#include "common/message_box.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "interpreter/command_table.h"
#include "interpreter/interpreter_host.h"
#include "interpreter/page_reload.h"
#include "platform/translate.h"
#include "scenario/scenario_error_line.h"
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
    ForgetPage();
    return true;
}

StepResult clsInterpreter::StepNext() {
    mHost.EventEnabled(false);
    mModeSerial = mHost.ModeSerial();
    if (Process().ShutdownRequested) return StepResult::kEnded;
    // The page moves on: an error shown for the last one is old news.
    mHost.ClearScenarioError();

    while (true) {
        mLine = mCurrentScript ? mCurrentScript->Element(mAddress) : std::string();
        if (mLine.empty()) {
            ReportEndOfScript();
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

        const Script* ranIn = mCurrentScript.get();
        const long ran = mAddress;
        Dispatch();
        if (mStepEnd != StepEnd::kNone) return CutShort();
        if (mAdvance) ++mAddress;

        if (mWaitMode == kWaitRunning) continue;
        if (!mHost.DrawActivity()) {
            RuntimeError(Tr("描画停止状態でのクリック待ちは禁止されています。"));
        }
        if (mWaitMode == kWaitSkipped) continue;
        if (mCurrentScript.get() == ranIn) {
            mWaitScript = mCurrentScript;
            mWaitAddress = ran;
        }
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
    mInInstruction = true;
    mCauseShown = false;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{mInInstruction};
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
    RuntimeError(TrFormat("未実装命令'%s'を実行しようとしました。", {mArgs[0]}));
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
            RuntimeError(Tr("ラベル表現が空欄です。"));
            return false;
        }
        const std::vector<std::string> parts = SplitText(ToLowerAscii(expression), ".");
        if (parts.size() > 2) {
            RuntimeError(TrFormat("ラベル表現'%s'が不正です。", {expression}));
            return false;
        }
        // The script and the address change together, or not at all.
        std::shared_ptr<Script> script = mCurrentScript;
        if (parts.size() == 2) {
            script = mScriptManager.GetScript(parts[0], false);
            if (!script) {
                RuntimeError(TrFormat("シナリオ'%s'がロードできません。", {parts[0]}));
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
                RuntimeError(TrFormat("ラベル表現'%s'が不正です。", {expression}));
                return false;
            }
        }
        mCurrentScript = std::move(script);
        mAddress = address;
        mAdvance = false;
        return true;
    } catch (const std::exception&) {
        mHost.Msg(Tr("'GoLabel' function internal error"), kMsgOK);
        return false;
    }
}

void clsInterpreter::GoSelectedItem(const std::string& expression) {
    mWaitMode = kWaitClick;
    // Chosen: what waits now is the target, which has not run yet.
    mWaitAddress = -1;
    GoLabel(expression);
}

long clsInterpreter::Sbl(const std::string& expression) {
    const long number = mReader.SetSymbol(expression).NumVal();
    if (mReader.IsError()) {
        RuntimeError(TrFormat("value get error '%s' %s", {expression, mReader.ErrMsg()}));
    }
    return number;
}

void clsInterpreter::TextEnabled(bool enabled) {
    mTextEnabled = enabled;
    mHost.TextVisible(enabled);
}

// [SECTION] Authors' reload

void clsInterpreter::PageShown() {
    ++mPagesShown;
    mPageScript = mCurrentScript;
    mPageAddress = mAddress;
}

void clsInterpreter::AddChoiceText(const std::string& text) {
    if (mChoicesOpened) mChoiceTexts.clear();
    mChoicesOpened = false;
    if (!mChoiceTexts.empty()) mChoiceTexts += '\n';
    mChoiceTexts += text;
}

void clsInterpreter::ForgetPage() {
    mPageScript.reset();
    mPageAddress = -1;
    mWaitScript.reset();
    mWaitAddress = -1;
}

long clsInterpreter::PageStart(bool& choices) const {
    choices = false;
    // A text block counts while its text is still in the window: a page
    // turn, a scene change or a choice has cleared it since.
    if (mPageAddress >= 0 && mPageScript.lock() == mCurrentScript &&
        !mHost.TextWindow().CurrentText().empty()) {
        return mPageAddress;
    }
    long waiting = mAddress;
    if (mWaitAddress >= 0 && mWaitScript.lock() == mCurrentScript) waiting = mWaitAddress;
    const long start = ChoicesStart(*mCurrentScript, waiting);
    choices = start != waiting;
    return start;
}

PageReload clsInterpreter::ReloadPage() {
    if (!mCurrentScript) return PageReload::kKept;
    bool choices = false;
    const long start = PageStart(choices);
    // The scripts the call stack returns into, as they were before: their
    // files may have been edited too.
    std::vector<std::shared_ptr<Script>> callers;
    for (const std::string& entry : mCallStack) {
        const std::size_t dot = entry.rfind('.');
        const std::string name = dot == std::string::npos ? std::string() : entry.substr(0, dot);
        if (name.empty()) {
            callers.push_back(nullptr);
        } else if (EqualsNoCase(name, mCurrentScript->Name())) {
            callers.push_back(mCurrentScript);
        } else {
            callers.push_back(mScriptManager.Cached(name));
        }
    }
    std::shared_ptr<Script> fresh = mScriptManager.Reload(mCurrentScript->Name());
    if (!fresh) return PageReload::kKept;

    mAddress = FindAgain(*mCurrentScript, start, *fresh);
    for (std::size_t i = 0; i < mCallStack.size(); ++i) {
        const std::shared_ptr<Script>& before = callers[i];
        if (!before) continue;
        std::string& entry = mCallStack[i];
        const long back = ReadLong(entry.substr(entry.rfind('.') + 1));
        const std::shared_ptr<Script> after =
            before == mCurrentScript ? fresh : mScriptManager.GetScript(before->Name(), false);
        // A return goes to the instruction after its call: the call is what
        // is found again.
        if (after && back >= 1) {
            entry = before->Name() + "." + std::to_string(FindAgain(*before, back - 1, *after) + 1);
        }
    }
    mCurrentScript = std::move(fresh);
    ForgetPage();
    mRestText.clear();
    mWaitMode = kWaitClick;
    mHost.CursorVisible(false);
    mHost.TextWindow().TextPageTurn();
    mHost.ClearScenarioError();
    return choices ? PageReload::kChoices : PageReload::kPage;
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

    TextEnabled(ReadBool(status->KeyValue("TextEnabled")));
    mHost.CursorVisible(mWaitMode == kWaitClick && mTextEnabled);

    const std::string stack = status->KeyValue("Stack");
    mCallStack.clear();
    if (!stack.empty()) mCallStack = SplitText(stack, ",");
    if (mCallStack.size() > kCallStackLimit) {
        mCallStack.erase(mCallStack.begin(),
                         mCallStack.end() - static_cast<std::ptrdiff_t>(kCallStackLimit));
    }

    // A game is saved at a wait: right after the waiting instruction, or on
    // it while the rest of its page is to come.
    ForgetPage();
    if (mCurrentScript) {
        const long waiting = mRestText.empty() ? mAddress - 1 : mAddress;
        if (waiting >= 0) {
            mWaitScript = mCurrentScript;
            mWaitAddress = waiting;
            if (mCurrentScript->Word(static_cast<int>(waiting)) == "put") {
                mPageScript = mCurrentScript;
                mPageAddress = waiting;
            }
        }
    }
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
    if (mHost.Msg(Tr("終了しますか"), kMsgYesNo) != kResultYes) return false;
    mHost.CloseVell();
    EndStep();
    return true;
}

std::string clsInterpreter::InstructionPlace() const {
    return mCurrentScript ? mCurrentScript->Place(mAddress) : std::string();
}

void clsInterpreter::CauseError(const std::string& message) {
    if (mInInstruction && mCauseShown) return;
    RuntimeError(message);
    if (mInInstruction) mCauseShown = true;
}

void clsInterpreter::ReportEndOfScript() {
    // The player closes: the reader is told why, whatever the mode, or the
    // window would just vanish (a game whose path runs off its end, a place
    // that lies outside its script).
    const std::string place =
        mCurrentScript
            ? TrFormat("at %s", {mCurrentScript->Name() + "." + std::to_string(mAddress)})
            : std::string(Tr("no scenario is running"));
    mHost.TerminalLine("zelk: " +
                       TrFormat("the scenario ran past its end (%s): the player closes", {place}));
    const std::string message = Tr("実行がスクリプトの終端に至りました。");
    if (mHost.IsDebugMode())
        RuntimeError(message);
    else
        mHost.Msg(message, kMsgOK);
}

void clsInterpreter::SoundError(const std::string& message) {
    mToldByDriver = true;
    RuntimeError(message);
    mToldByDriver = false;
}

void clsInterpreter::RuntimeError(const std::string& message) {
    if (mInInstruction && mCauseShown) return;
    if (!mHost.IsDebugMode()) {
        // No box and no log: the terminal is where a shipped game's author
        // or tester can learn that the story took a wrong turn. Without a
        // script the start or the load that failed says so itself.
        constexpr std::size_t kToldLimit = 10000;
        if (!mCurrentScript || mToldByDriver) return;
        const std::string place = ScenarioErrorPlace(*mCurrentScript, mAddress);
        if (mToldErrors.size() < kToldLimit && mToldErrors.insert(place + '\n' + message).second)
            mHost.TerminalLine(ScenarioErrorLine(place, message));
        return;
    }
    mHost.Msg(message, kMsgOK);
    mHost.Log("#############################");
    mHost.Log(TrFormat("実行時エラー : 第%s要素", {std::to_string(mAddress + 1)}));
    mHost.Log(message);
    mHost.Log("#############################");
    if (mCurrentScript) mHost.ScenarioError(mCurrentScript->Place(mAddress), message);
    mHost.SaveLog();
}

}  // namespace zelk
