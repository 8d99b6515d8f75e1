// clsInterpreter: runs a converted scenario. It holds the current script and
// address, fetches one instruction at a time, fills in its default
// arguments, dispatches it to its command and goes on until an instruction
// waits for the player or the script ends. Its state is part of every save
// slot ("IntprtStatus").
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "interpreter/command_table.h"
#include "interpreter/instruction_table.h"
#include "scenario/script.h"
#include "scenario/script_manager.h"
#include "scenario/value_resolver.h"

namespace zelk {

class INISection;
class InterpreterHost;

// How a step ended: waiting for the reader, ended without a wait (the
// scenario stopped, a close or a mode switch cut it short), or cut short
// because a saved game was restored meanwhile.
enum class StepResult { kWaiting, kEnded, kRestored };

// What an author's reload did: nothing (no script, or the new one does not
// convert: the old one runs on), or the page is to run again from its start,
// which for a wait on choices or scenario buttons is where they are made
// (the ones shown are to be cleared first).
enum class PageReload { kKept, kPage, kChoices };

// What the interpreter waits for.
enum WaitModeValue : long {
    kWaitRunning = 0,
    kWaitSkipped = 1,  // a wait passed over in skip mode; the loop goes on
    kWaitTyping = 3,
    kWaitClick = 4,
    kWaitChoice = 5,
    kWaitSelection = 6,
};

class clsInterpreter {
public:
    explicit clsInterpreter(InterpreterHost& host);
    ~clsInterpreter();
    clsInterpreter(const clsInterpreter&) = delete;
    clsInterpreter& operator=(const clsInterpreter&) = delete;

    // [SECTION] Running
    // Reads the instruction table and sets up the script manager.
    bool Init();
    // A fresh start: no rest text, waiting for a click, text disabled.
    bool StepStart();
    // Runs instructions until one waits or the script ends.
    StepResult StepNext();
    // Jumps to a label expression: [script "."] label-or-address.
    bool GoLabel(const std::string& expression);
    // A jump chosen by the player (choice, button): waits for a click.
    void GoSelectedItem(const std::string& expression);
    // An expression's number; failures are reported.
    long Sbl(const std::string& expression);

    // [SECTION] State
    long WaitMode() const { return mWaitMode; }
    void WaitMode(long mode) { mWaitMode = mode; }
    long Address() const { return mAddress; }
    zelk::ScriptManager& ScriptManager() { return mScriptManager; }
    const std::shared_ptr<Script>& CurrentScript() const { return mCurrentScript; }
    long LastAutoClickTimer() const { return mLastAutoClickTimer; }
    void LastAutoClickTimer(long milliseconds) { mLastAutoClickTimer = milliseconds; }
    bool TextEnabled() const { return mTextEnabled; }
    void TextEnabled(bool enabled);
    const std::string& RestText() const { return mRestText; }
    void RestText(std::string text) { mRestText = std::move(text); }
    long VoiceTimer() const { return mVoiceTimer; }
    void VoiceTimer(long milliseconds) { mVoiceTimer = milliseconds; }
    const std::vector<std::string>& CallStack() const { return mCallStack; }
    const InstructionTable& Instructions() const { return mTable; }

    // Runs `command` for `word` instead of the built-in table; for hosts
    // with commands of their own (authors' tools, tests).
    void OverrideCommand(const std::string& word, CommandFn command);

    // [SECTION] Authors' reload
    // Reads the current script afresh and goes back to the start of the
    // page now shown: the text block whose text is in the window, else the
    // choices or buttons waited for, else the instruction waiting. The place
    // is found again in the edited script (FindAgain). The text window is
    // cleared and the interpreter waits for the click that runs the page;
    // variables, the call stack and the other scripts' places are kept.
    PageReload ReloadPage();
    // Put tells that a text block starts on the page.
    void PageShown();
    // How many text blocks have started since the interpreter was made: a
    // new number is a new page.
    long PagesShown() const { return mPagesShown; }
    // The plain texts of the choice items, one a line, for the reader's
    // tools: those of the choice last opened, until items of the next are
    // added.
    void AddChoiceText(const std::string& text);
    const std::string& OpenChoices() {
        mChoicesOpened = true;
        return mChoiceTexts;
    }
    const std::string& ChoiceTexts() const { return mChoiceTexts; }

    // [SECTION] Save slots
    void SaveStatus();
    void LoadStatus();
    // Why a saved status (a slot's "IntprtStatus") cannot be loaded, in
    // plain words for the terminal; empty when it can. Every key is there,
    // and its place and each call-stack entry name an existing script and
    // an address inside it. Reads the scripts it names into the cache and
    // changes nothing else.
    std::string StatusFault(const INISection& status);

    // [SECTION] For commands: the instruction being executed
    // Argument n after the defaults were applied (0 is the word); the empty
    // text past the last one.
    const std::string& Arg(std::size_t n) const;
    // The instruction as it stands in the script.
    const std::string& InstructionLine() const { return mLine; }
    bool IsSkipping() const { return mSkip; }
    void ClearSkip() { mSkip = false; }
    // 500 ms, or 0 when this instruction skips effects.
    long EffectTime() const { return mEffectTime; }
    // A duration given by the scenario, or 0 when effects are skipped.
    long EffectDuration(long milliseconds) const { return mEffectTime == 0 ? 0 : milliseconds; }
    // Stay on this instruction's address after it (a jump does this).
    void HoldAddress() { mAdvance = false; }
    // Ends the running step at once; `restored` when a load replaced the
    // state meanwhile.
    void EndStep(bool restored = false);
    // "終了しますか" after a run-time error: Yes closes the player and ends
    // the step. True when the step ended. The question belongs to the
    // error's report, so outside debug mode nothing is asked and the story
    // goes on.
    bool AskQuit();
    // Shown and logged in debug mode; outside it one line on standard
    // error, once for each place and message. Execution goes on.
    void RuntimeError(const std::string& message);
    // A sound or a movie that did not play: as RuntimeError, but the
    // terminal line is the sound driver's, which tells each one once.
    void SoundError(const std::string& message);
    // A run-time error that is the cause of whatever else fails in this
    // instruction: the errors that follow from it are not shown.
    void CauseError(const std::string& message);
    // The cause of this instruction's failure was told by its finder (a
    // name refused outside debug mode): the errors that follow from it are
    // not told again.
    void CauseTold() {
        if (mInInstruction) mCauseShown = true;
    }
    // True while an instruction runs; its place in the scenario ("file:line").
    bool InInstruction() const { return mInInstruction; }
    std::string InstructionPlace() const;

    InterpreterHost& Host() { return mHost; }
    ValueResolver& Reader() { return mReader; }
    ValueResolver& Writer() { return mWriter; }
    // The call stack, for call and return. A call past the limit is a
    // run-time error; a save holding more keeps the innermost entries.
    static constexpr std::size_t kCallStackLimit = 10000;
    std::vector<std::string>& Stack() { return mCallStack; }

private:
    enum class StepEnd { kNone, kEnded, kRestored };

    bool BeginInstruction();
    StepResult CutShort() const;
    void DecideSkip();
    void Dispatch();
    void WaitForPlayer();
    // The end of the script was reached: said on the terminal and in a box.
    void ReportEndOfScript();
    void ForgetPage();
    long PageStart(bool& choices) const;

    InterpreterHost& mHost;
    InstructionTable mTable;
    zelk::ScriptManager mScriptManager;
    ValueResolver mReader;
    ValueResolver mWriter;
    std::shared_ptr<Script> mCurrentScript;
    std::unordered_map<std::string, CommandFn> mOverrides;

    bool mInInstruction = false;
    bool mCauseShown = false;    // for the instruction running
    bool mToldByDriver = false;  // the error being reported is a SoundError
    // The errors told on the terminal, "place\nmessage": a loop that fails
    // each time round tells it once.
    std::unordered_set<std::string> mToldErrors;
    long mWaitMode = kWaitRunning;
    long mModeSerial = 0;  // the host's at the start of the step
    long mAddress = 0;
    std::string mRestText;
    bool mTextEnabled = false;
    long mLastAutoClickTimer = 0;
    long mVoiceTimer = 0;
    std::vector<std::string> mCallStack;

    // Where the page now shown started and where the last step waited, for
    // an author's reload; each counts only while its script is current.
    std::weak_ptr<Script> mPageScript;
    long mPageAddress = -1;
    std::weak_ptr<Script> mWaitScript;
    long mWaitAddress = -1;
    long mPagesShown = 0;
    std::string mChoiceTexts;
    bool mChoicesOpened = false;

    // The instruction being executed.
    std::string mLine;
    std::vector<std::string> mArgs;
    bool mSkip = false;
    bool mAdvance = true;
    long mEffectTime = 0;
    StepEnd mStepEnd = StepEnd::kNone;
};

}  // namespace zelk
