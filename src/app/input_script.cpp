#include "app/input_script.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/input_command.h"
#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "interpreter/text_markup.h"
#include "modes/mode.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "platform/translate.h"
#include "scenario/script.h"
#include "view/frm_config.h"
#include "view/game_view.h"
#include "view/view_menus.h"

namespace zelk {

namespace {

// The platform's key repeat: a pause, then a steady rate.
constexpr auto kRepeatDelay = std::chrono::milliseconds(500);
constexpr auto kRepeatEvery = std::chrono::milliseconds(33);
constexpr auto kIdleQuietFor = std::chrono::milliseconds(100);

clsGameView* View() {
    clsVell* vell = Vell();
    return vell ? vell->GameView() : nullptr;
}

void Out(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

std::string Dash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

InputScript::InputScript(const std::string& source) {
    if (const char* timeout = std::getenv("ZELK_INPUT_TIMEOUT")) {
        long value = 0;
        if (ReadInputNumber(timeout, value) && value > 0) mIdleTimeout = value;
    }
    mSentinel = SDL_RegisterEvents(1);
    mTick.Interval(kTickEvery);
    // A wait is re-aimed at its deadline only when its tick comes: changing
    // the timer wakes the pump, so doing it at every pump would never rest.
    mTick.OnTick([this] {
        if (mStep == Step::Wait) TickAtDeadline(Clock::now());
    });
    const int fd = source == "-" ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open the input " + source);
    mStopFd = ::eventfd(0, EFD_CLOEXEC);
    mReader = std::thread([this, fd] { ReadLines(fd); });
}

InputScript::~InputScript() {
    mStop = true;
    if (mStopFd >= 0) {
        // Should the write fail, the reader still sees mStop at its next
        // line of input or the input's end.
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(mStopFd, &one, sizeof one);
    }
    if (mReader.joinable()) mReader.join();
    if (mStopFd >= 0) ::close(mStopFd);
}

// [SECTION] Reading --------------------------------------------------------------

void InputScript::ReadLines(int fd) {
    std::string pending;
    char buffer[4096];
    while (!mStop) {
        // Without the stop descriptor the reader looks at mStop ten times a
        // second; with it, it sleeps until input or the end.
        pollfd wait[2] = {{fd, POLLIN, 0}, {mStopFd, POLLIN, 0}};
        const int ready = ::poll(wait, mStopFd >= 0 ? 2 : 1, mStopFd >= 0 ? -1 : 100);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready == 0 || mStop) continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        pending.append(buffer, static_cast<size_t>(got));
        std::vector<std::string> lines = TakeInputLines(pending);
        if (lines.empty()) continue;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            for (std::string& line : lines)
                mLines.push_back(std::move(line));
        }
        EventPump::Instance().Wake();
    }
    if (!pending.empty()) {
        std::lock_guard<std::mutex> lock(mMutex);
        mLines.push_back(pending);
        EventPump::Instance().Wake();
    }
    if (fd != STDIN_FILENO) ::close(fd);
}

bool InputScript::TakeLine(std::string& line) {
    std::lock_guard<std::mutex> lock(mMutex);
    while (!mLines.empty()) {
        std::optional<std::string> command = InputCommandText(mLines.front());
        mLines.pop_front();
        if (!command) continue;
        line = std::move(*command);
        return true;
    }
    return false;
}

// [SECTION] Running ----------------------------------------------------------------

void InputScript::Poll() {
    if (mBusy) return;
    if (mStep != Step::Next) {
        Continue();
        if (mStep != Step::Next) return;
    }
    std::string line;
    while (mStep == Step::Next && !mBusy && TakeLine(line))
        Start(line);
}

void InputScript::Done() {
    mStep = Step::Next;
    Ticking(false);
    Out("ok");
    std::fflush(stdout);
}

void InputScript::Fail(const std::string& reason, const std::string& extra) {
    Out("error " + reason);
    if (!extra.empty()) Out(extra);
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(3);
}

// One wake when the time is up: a tick every few milliseconds would count in
// what the player is measured to cost while it rests.
void InputScript::TickAtDeadline(Clock::time_point now) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(mUntil - now).count();
    Ticking(true, static_cast<long>(std::clamp<decltype(left)>(left, 1, kLongestTick)));
}

void InputScript::Ticking(bool on, long every) {
    if (on && mTick.Interval() != every) mTick.Interval(every);
    mTick.Enabled(on);
}

void InputScript::Start(const std::string& line) {
    std::fprintf(stderr, "input: %s\n", line.c_str());
    const ParsedInputCommand parsed = ParseInputCommand(line);
    if (!parsed.command) Fail(parsed.error);
    const InputCommand& command = *parsed.command;
    const std::vector<std::string>& words = command.words;
    clsGameView* view = View();

    struct BusyScope {
        bool& busy;
        explicit BusyScope(bool& b) : busy(b) { busy = true; }
        ~BusyScope() { busy = false; }
    } busy(mBusy);

    using Verb = InputCommand::Verb;
    switch (command.verb) {
        case Verb::kClick:
        case Verb::kRClick:
        case Verb::kDClick:
        case Verb::kMove:
            PushPointer(command,
                        command.verb == Verb::kRClick ? SDL_BUTTON_RIGHT
                        : command.verb == Verb::kMove ? 0
                                                      : SDL_BUTTON_LEFT,
                        command.verb == Verb::kDClick ? 2 : 1);
            PushSentinel();
            mStep = Step::Events;
            break;
        case Verb::kWheel: {
            // Counted unsigned: the most negative number has no positive twin.
            const unsigned long notches = command.number < 0
                                              ? 0UL - static_cast<unsigned long>(command.number)
                                              : static_cast<unsigned long>(command.number);
            for (unsigned long k = 0; k < notches; ++k) {
                SDL_Event event{};
                event.type = SDL_MOUSEWHEEL;
                event.wheel.windowID = view && view->Window() ? SDL_GetWindowID(view->Window()) : 0;
                event.wheel.y = command.number > 0 ? 1 : -1;
                event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
                // More notches than the queue holds cannot all be turned.
                if (SDL_PushEvent(&event) < 0) Fail("event queue full");
            }
            PushSentinel();
            mStep = Step::Events;
            break;
        }
        case Verb::kKey:
            PushKey(command.key, true, false);
            PushKey(command.key, false, false);
            PushSentinel();
            mStep = Step::Events;
            break;
        case Verb::kHold:
            mHeldKey = command.key;
            PushKey(mHeldKey, true, false);
            mUntil = DeadlineAfter(Clock::now(), command.number);
            mNextRepeat = Clock::now() + kRepeatDelay;
            mStep = Step::Hold;
            Ticking(true);
            break;
        case Verb::kMenu: {
            // As the bar does when it opens: these items follow the settings
            // and the speech service.
            if (view) view->UpdateReaderItems();
            ViewMenuItem* item = view ? view->MenuItem(words[1]) : nullptr;
            if (!item) Fail("unknown menu item " + words[1]);
            if (!item->Enabled) Fail("menu item disabled");
            const size_t bang = words[1].find('!');
            // Written first: the item may open a window whose own commands the
            // script sends next, read from inside that window's loop.
            Done();
            mBusy = false;
            view->MenuCmd(words[1].substr(0, bang), words[1].substr(bang + 1));
            return;
        }
        case Verb::kAnswer:
            QuestionBox::Instance().QueueAnswer(command.answer);
            Done();
            break;
        case Verb::kIdle:
            mUntil = DeadlineAfter(Clock::now(), mIdleTimeout);
            mStep = Step::Idle;
            Ticking(true);
            Continue();
            break;
        case Verb::kWait:
            mUntil = DeadlineAfter(Clock::now(), command.number);
            mStep = Step::Wait;
            TickAtDeadline(Clock::now());
            break;
        case Verb::kShot:
        case Verb::kShotWin: {
            if (!view) Fail("no game view");
            const bool saved = command.verb == Verb::kShot ? view->SaveScreenPicture(words[1])
                                                           : view->SaveWindowPicture(words[1]);
            if (!saved) Fail("cannot write " + words[1]);
            Done();
            break;
        }
        case Verb::kState:
            Out(StateLine());
            Done();
            break;
        case Verb::kRects:
            if (view) {
                for (const auto& rect : view->EvRects()) {
                    char text[160];
                    std::snprintf(text, sizeof text, " %ld %ld %ld %ld %ld %d %ld %ld ", rect->lTag,
                                  rect->x1, rect->y1, rect->x2, rect->y2, rect->Enabled ? 1 : 0,
                                  rect->RectType, rect->KBOrder);
                    Out("rect " + std::to_string(rect->Index) + " " + Dash(rect->STag) + text +
                        Dash(rect->Extension));
                }
            }
            Done();
            break;
        case Verb::kMenus:
            if (view) {
                for (const std::string& text : MenuLines(*view))
                    Out(text);
            }
            Done();
            break;
        case Verb::kDialog: {
            frmConfig* dialog = view ? view->ConfigDialog() : nullptr;
            if (!dialog) Fail("dialog not open");
            std::vector<std::string> out;
            const std::string failure =
                dialog->Command(std::vector<std::string>(words.begin() + 1, words.end()), out);
            if (!failure.empty()) Fail(failure);
            for (const std::string& text : out)
                Out(text);
            Done();
            break;
        }
        case Verb::kQuit:
            Done();
            if (clsLaunch* launch = Launch()) launch->CloseVell();
            break;
    }
}

void InputScript::Continue() {
    const auto now = Clock::now();
    switch (mStep) {
        case Step::Events:
            if (SentinelTaken()) Done();
            break;
        case Step::Wait:
            if (now >= mUntil) Done();
            break;
        case Step::Hold:
            if (now >= mUntil) {
                PushKey(mHeldKey, false, false);
                PushSentinel();
                mStep = Step::Events;
                Ticking(false);
                break;
            }
            while (now >= mNextRepeat) {
                PushKey(mHeldKey, true, true);
                mNextRepeat += kRepeatEvery;
            }
            break;
        case Step::Idle: {
            const clsLaunch* launch = Launch();
            const bool quiet = EventPump::Instance().Depth() == 1 &&
                               (!launch || launch->SysTimerFunc() == 0) &&
                               !EventPump::Instance().TimerDueWithin(kIdleQuietFor, &mTick);
            if (quiet) {
                if (clsGameView* view = View()) view->WaitScreenShown();
                Done();
            } else if (now >= mUntil) {
                Fail("idle timeout", StateLine());
            }
            break;
        }
        case Step::Next:
            break;
    }
}

// [SECTION] Events ------------------------------------------------------------------

void InputScript::PushPointer(const InputCommand& command, int button, int clicks) {
    clsGameView* view = View();
    SDL_Window* window = view ? view->Window() : nullptr;
    if (!window) Fail("no game window");
    if (!command.pointRead) Fail("bad coordinates");
    const long x = command.x, y = command.y;
    const ProcessValues& process = Process();
    if (x < 0 || y < 0 || x >= process.ScreenSizeX || y >= process.ScreenSizeY) {
        Fail("coordinates outside the screen");
    }
    const SDL_Point at = view->ScreenToWindow(static_cast<int>(x), static_cast<int>(y));
    const Uint32 id = SDL_GetWindowID(window);
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = id;
    move.motion.x = at.x;
    move.motion.y = at.y;
    SDL_PushEvent(&move);
    if (button == 0) return;
    for (int click = 1; click <= clicks; ++click) {
        for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event event{};
            event.type = type;
            event.button.windowID = id;
            event.button.button = static_cast<Uint8>(button);
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.clicks = static_cast<Uint8>(click);
            event.button.x = at.x;
            event.button.y = at.y;
            SDL_PushEvent(&event);
        }
    }
}

void InputScript::PushKey(const InputKey& key, bool down, bool repeat) {
    clsGameView* view = View();
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = view && view->Window() ? SDL_GetWindowID(view->Window()) : 0;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key.key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key.key);
    event.key.keysym.mod = key.heldMods | key.ownMod;
    SDL_PushEvent(&event);
}

void InputScript::PushSentinel() {
    SDL_Event event{};
    event.type = mSentinel;
    SDL_PushEvent(&event);
}

bool InputScript::SentinelTaken() const {
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, mSentinel, mSentinel) == 0;
}

// [SECTION] Queries ----------------------------------------------------------------

std::vector<std::string> InputScript::MenuLines(clsGameView& view) {
    // As the bar does when it opens: these items follow the settings and
    // the speech service.
    view.UpdateReaderItems();
    std::vector<std::string> lines;
    auto flag = [](bool on) { return on ? " 1" : " 0"; };
    for (const ViewMenus::Menu& menu : view.Menus().Menus()) {
        lines.push_back("menu " + menu.Section + " - - " + Tr(menu.Caption.c_str()));
        for (const ViewMenuItem& item : menu.Items) {
            if (item.Tag.empty() || item.Caption == "-") continue;
            lines.push_back("menu " + item.Tag + flag(item.Enabled) + flag(item.Checked) + " " +
                            Tr(item.Caption.c_str()));
        }
    }
    return lines;
}

std::string InputScript::StateLine() {
    clsVell* vell = Vell();
    clsGameView* view = View();
    clsInterpreter* intprt = vell ? vell->Intprt() : nullptr;
    const clsModeBase* mode = vell ? vell->ModeObject() : nullptr;
    std::string script = "-";
    long address = -1;
    if (intprt && intprt->CurrentScript()) {
        script = intprt->CurrentScript()->Name();
        address = intprt->Address();
    }
    clsWavoDriver* wavo = vell ? vell->Wavo() : nullptr;
    clsLumoDriver* lumo = vell ? vell->Lumo() : nullptr;
    auto flag = [](bool on) { return on ? "1" : "0"; };
    std::string line = "state mode=" + std::to_string(vell ? vell->VellMode() : 0);
    line += " sub=" + std::to_string(mode ? mode->SubStatus() : 0);
    line += " wait=" + std::to_string(intprt ? intprt->WaitMode() : 0);
    line += std::string(" skip=") + flag(vell && vell->IsSkipMode());
    line += std::string(" auto=") + flag(view && view->AutoClickEnabled());
    line += " screen=" + std::to_string(view ? view->ScreenMode() : 2);
    line += std::string(" events=") + flag(view && view->EventEnabled());
    line += " script=" + script + " addr=" + std::to_string(address);
    line += " bgm=" + Dash(wavo ? wavo->PlayingBGMKey() : std::string());
    line += std::string(" movie=") + flag(wavo && wavo->IsPlayingMovie());
    GameModeMembers* game =
        vell && vell->ModeObject() ? vell->ModeObject()->GameMembers() : nullptr;
    line += " back=" + std::to_string(game ? game->PagesBack() : 0);
    line +=
        " text=" + EscapeLineBreaks(lumo ? UnescapeEngineText(lumo->CurrentText()) : std::string());
    return line;
}

}  // namespace zelk
