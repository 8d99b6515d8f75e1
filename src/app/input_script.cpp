#include "app/input_script.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/launch.h"
#include "app/vell.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "modes/mode.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "scenario/script.h"
#include "view/frm_config.h"
#include "view/game_view.h"

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

bool ReadInt(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == '\0';
}

SDL_Keycode KeyFromName(const std::string& name) {
    const std::string lower = ToLowerAscii(name);
    if (lower == "ctrl" || lower == "control") return SDLK_LCTRL;
    if (lower == "alt") return SDLK_LALT;
    if (lower == "shift") return SDLK_LSHIFT;
    return SDL_GetKeyFromName(name.c_str());
}

Uint16 ModifierOf(const std::string& name) {
    const std::string lower = ToLowerAscii(name);
    if (lower == "ctrl" || lower == "control") return KMOD_LCTRL;
    if (lower == "alt") return KMOD_LALT;
    if (lower == "shift") return KMOD_LSHIFT;
    return 0;
}

std::string Dash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

InputScript::InputScript(const std::string& source) {
    if (const char* timeout = std::getenv("ZELK_INPUT_TIMEOUT")) {
        long value = 0;
        if (ReadInt(timeout, value) && value > 0) mIdleTimeout = value;
    }
    mSentinel = SDL_RegisterEvents(1);
    mTick.Interval(20);
    mTick.OnTick([] {});
    const int fd = source == "-" ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open the input " + source);
    mReader = std::thread([this, fd] { ReadLines(fd); });
}

InputScript::~InputScript() {
    mStop = true;
    if (mReader.joinable()) mReader.join();
}

// [SECTION] Reading --------------------------------------------------------------

void InputScript::ReadLines(int fd) {
    std::string pending;
    char buffer[4096];
    while (!mStop) {
        pollfd wait{fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, 100);
        if (ready < 0) break;
        if (ready == 0) continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        pending.append(buffer, static_cast<size_t>(got));
        size_t end;
        bool added = false;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::lock_guard<std::mutex> lock(mMutex);
            mLines.push_back(std::move(line));
            added = true;
        }
        if (added) EventPump::Instance().Wake();
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
        line = std::move(mLines.front());
        mLines.pop_front();
        const std::string trimmed = TrimChars(line, " \t");
        if (trimmed.empty() || trimmed[0] == '#') continue;
        line = trimmed;
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

void InputScript::Ticking(bool on) {
    mTick.Enabled(on);
}

void InputScript::Start(const std::string& line) {
    std::fprintf(stderr, "input: %s\n", line.c_str());
    std::vector<std::string> words;
    for (const std::string& word : SplitText(line, " ")) {
        if (!word.empty()) words.push_back(word);
    }
    const std::string& verb = words[0];
    const size_t count = words.size();
    clsGameView* view = View();

    struct BusyScope {
        bool& busy;
        explicit BusyScope(bool& b) : busy(b) { busy = true; }
        ~BusyScope() { busy = false; }
    } busy(mBusy);

    if (verb == "click" || verb == "rclick" || verb == "dclick" || verb == "move") {
        if (count != 3) Fail("usage: " + verb + " X Y");
        PushPointer(words,
                    verb == "rclick" ? SDL_BUTTON_RIGHT
                    : verb == "move" ? 0
                                     : SDL_BUTTON_LEFT,
                    verb == "dclick" ? 2 : 1);
        PushSentinel();
        mStep = Step::Events;
    } else if (verb == "wheel") {
        long notches = 0;
        if (count != 2 || !ReadInt(words[1], notches)) Fail("usage: wheel N");
        for (long k = 0; k < std::labs(notches); ++k) {
            SDL_Event event{};
            event.type = SDL_MOUSEWHEEL;
            event.wheel.windowID = view && view->Window() ? SDL_GetWindowID(view->Window()) : 0;
            event.wheel.y = notches > 0 ? 1 : -1;
            event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
            SDL_PushEvent(&event);
        }
        PushSentinel();
        mStep = Step::Events;
    } else if (verb == "key") {
        if (count != 2) Fail("usage: key NAME");
        PushKey(words[1], true, false);
        PushKey(words[1], false, false);
        PushSentinel();
        mStep = Step::Events;
    } else if (verb == "hold") {
        long ms = 0;
        if (count != 3 || !ReadInt(words[2], ms) || ms < 0) Fail("usage: hold NAME MS");
        mHeldKey = words[1];
        PushKey(mHeldKey, true, false);
        mUntil = Clock::now() + std::chrono::milliseconds(ms);
        mNextRepeat = Clock::now() + kRepeatDelay;
        mStep = Step::Hold;
        Ticking(true);
    } else if (verb == "menu") {
        if (count != 2) Fail("usage: menu SECTION!ITEM");
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
    } else if (verb == "answer") {
        const std::string word = count == 2 ? ToLowerAscii(words[1]) : "";
        if (word != "yes" && word != "no" && word != "ok" && word != "cancel") {
            Fail("usage: answer yes|no|ok|cancel");
        }
        QuestionBox::Instance().QueueAnswer(word == "cancel" ? "no" : word);
        Done();
    } else if (verb == "idle") {
        mUntil = Clock::now() + std::chrono::milliseconds(mIdleTimeout);
        mStep = Step::Idle;
        Ticking(true);
        Continue();
    } else if (verb == "wait") {
        long ms = 0;
        if (count != 2 || !ReadInt(words[1], ms) || ms < 0) Fail("usage: wait MS");
        mUntil = Clock::now() + std::chrono::milliseconds(ms);
        mStep = Step::Wait;
        Ticking(true);
    } else if (verb == "shot" || verb == "shotwin") {
        if (count != 2) Fail("usage: " + verb + " FILE");
        if (!view) Fail("no game view");
        const bool saved =
            verb == "shot" ? view->SaveScreenPicture(words[1]) : view->SaveWindowPicture(words[1]);
        if (!saved) Fail("cannot write " + words[1]);
        Done();
    } else if (verb == "state") {
        Out(StateLine());
        Done();
    } else if (verb == "rects") {
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
    } else if (verb == "dialog") {
        frmConfig* dialog = view ? view->ConfigDialog() : nullptr;
        if (!dialog) Fail("dialog not open");
        std::vector<std::string> out;
        const std::string failure =
            dialog->Command(std::vector<std::string>(words.begin() + 1, words.end()), out);
        if (!failure.empty()) Fail(failure);
        for (const std::string& text : out)
            Out(text);
        Done();
    } else if (verb == "quit") {
        Done();
        if (clsLaunch* launch = Launch()) launch->CloseVell();
    } else {
        Fail("unknown command " + verb);
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

void InputScript::PushPointer(const std::vector<std::string>& words, int button, int clicks) {
    clsGameView* view = View();
    SDL_Window* window = view ? view->Window() : nullptr;
    if (!window) Fail("no game window");
    long x = 0, y = 0;
    if (!ReadInt(words[1], x) || !ReadInt(words[2], y)) Fail("bad coordinates");
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

void InputScript::PushKey(const std::string& name, bool down, bool repeat) {
    const std::vector<std::string> parts = SplitText(name, "+");
    Uint16 mods = 0;
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
        const Uint16 mod = ModifierOf(parts[k]);
        if (mod == 0) Fail("unknown modifier " + parts[k]);
        mods |= mod;
    }
    const SDL_Keycode key = KeyFromName(parts.back());
    if (key == SDLK_UNKNOWN) Fail("unknown key " + parts.back());
    clsGameView* view = View();
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = view && view->Window() ? SDL_GetWindowID(view->Window()) : 0;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = mods | ModifierOf(parts.back());
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
    line += " text=" + EscapeLineBreaks(lumo ? lumo->CurrentText() : std::string());
    return line;
}

}  // namespace zelk
