#include "engine.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "buffer_ops.h"
#include "film_ops.h"
#include "glyph_renderer.h"
#include "host_surface.h"

namespace lumo {

namespace {

// "ＭＳ ゴシック" in code page 932, and in UTF-8.
const char kDefaultFace[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const char kDefaultFaceUtf8[] = "ＭＳ ゴシック";

// A language tag is far shorter; a longer text is no tag.
constexpr std::size_t kLongestLanguageTag = 63;

// Film and action IDs travel in 16 bits of a notification.
constexpr int kMaxTableSize = 65536;

void invertPixels(const PixelBuffer& image, const Rect& r) {
    const PixelBuffer view = viewOf(image, r.left, r.top, r.width(), r.height());
    if (view.empty()) return;
    for (int y = 0; y < view.clipHeight; ++y) {
        std::uint8_t* p = view.row(y);
        for (int i = 0; i < view.clipWidth * view.bytesPerPixel; ++i)
            p[i] = ~p[i];
    }
}

}  // namespace

Engine& Engine::instance() {
    static Engine engine;
    return engine;
}

Engine::Engine() {
    textDefaults.face = kDefaultFace;
}

Engine::~Engine() {
    terminate();
    notifier.stop();
}

FontLibrary& Engine::fonts() {
    if (!mFonts) mFonts = std::make_unique<FontLibrary>();
    return *mFonts;
}

// [SECTION] Lifecycle ===================================================

int Engine::initialize() {
    if (mRunning.load()) return -1;
    autoRedraw = 0;
    glyphFilm = -1;
    terminate();
    try {
        films.reset(settings.maxFilms);
        screens.assign(static_cast<std::size_t>(settings.maxScreens), ScreenSlot{});
        actions.reset(settings.maxActions);
        blt.reset();
        mQueue.clear();
        mQueueReady = true;
        mRunning = true;
        mThread = std::thread(&Engine::frameLoop, this);
    } catch (const std::exception&) {
        terminate();
        return -1;
    }
    return 0;
}

int Engine::terminate() {
    mRunning = false;
    { std::lock_guard lock(mSleepMutex); }
    mSleep.notify_all();
    blt.wake();
    if (mThread.joinable()) {
        if (mThread.get_id() == std::this_thread::get_id()) {
            mThread.detach();
        } else {
            mThread.join();
        }
    }
    notifier.stop();
    std::lock_guard lock(mExecution);
    mQueueReady = false;
    mQueue.clear();
    releaseAll();
    return 0;
}

void Engine::releaseAll() {
    // Installed procedures give their working pictures back first.
    for (int id = 0; id < films.size(); ++id) {
        Film* film = films.get(id);
        if (film && film->procedureInstalled && film->procedure.finish) {
            film->procedure.finish(film);
        }
    }
    films.release();
    screens.clear();
    actions.release();
    procedures.release();
}

int Engine::setSetting(std::int32_t id, const void* value) {
    // The one setting given as text; the others are read as a number.
    if (id == LS_TEXT_LANGUAGE) {
        if (mRunning.load()) return -1;
        const char* tag = static_cast<const char*>(value);
        const std::size_t length = tag ? strnlen(tag, kLongestLanguageTag + 1) : 0;
        if (length > kLongestLanguageTag) return -1;
        const std::string_view text(tag ? tag : "", length);
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '-';
        });
        if (!plain) return -1;
        settings.textLanguage(std::string(text));
        return 0;
    }
    const std::int32_t v = value ? *static_cast<const std::int32_t*>(value) : 0;
    auto startOnly = [&](int& setting) {
        if (mRunning.load() || v < 0 || v > kMaxTableSize) return -1;
        setting = v;
        return 0;
    };
    switch (id) {
        case LS_MAX_FILMS:
            return startOnly(settings.maxFilms);
        case LS_MAX_SCREENS:
            return startOnly(settings.maxScreens);
        case LS_SPARE:
            if (mRunning.load()) return -1;
            settings.spare = v;
            return 0;
        case LS_MAX_ACTIONS:
            return startOnly(settings.maxActions);
        case LS_FRAME_RATE:
            settings.frameRate = v;
            return 0;
        case LS_NOTIFY_WINDOW:
            notifier.setWindow(static_cast<const LumoNotifyWindow*>(value));
            return 0;
        case LS_NOTIFY_MESSAGE:
            notifier.setMessage(static_cast<std::uint32_t>(v));
            return 0;
        case LS_TEXT_ENCODING: {
            if (mRunning.load() || (v != LUMO_TEXT_CP932 && v != LUMO_TEXT_UTF8)) return -1;
            settings.textEncoding = v;
            // The default face is named in the text's own encoding.
            const bool utf8 = v == LUMO_TEXT_UTF8;
            if (textDefaults.face == (utf8 ? kDefaultFace : kDefaultFaceUtf8)) {
                textDefaults.face = utf8 ? kDefaultFaceUtf8 : kDefaultFace;
            }
            return 0;
        }
        default:
            return -1;
    }
}

// [SECTION] Command queue ===============================================

int Engine::queue(Command command, bool mayRun) {
    if (!mRunning.load()) return -1;
    mQueue.push(std::move(command));
    // A resting frame loop takes it up at once.
    {
        std::lock_guard lock(mSleepMutex);
        mWoken = true;
    }
    mSleep.notify_all();
    if (mayRun && autoRedraw.load() == 0) executeQueue();
    return 0;
}

int Engine::executeQueue() {
    std::lock_guard lock(mExecution);
    if (!mQueueReady.load()) return -1;
    if (!mRunning.load()) return 0;
    std::vector<Command> batch = mQueue.detach();
    for (Command& command : batch) {
        if (!mRunning.load()) break;
        try {
            execute(command);
        } catch (const std::bad_alloc&) {
            // A picture too large for memory stays as it was; the engine goes on.
        }
    }
    return 0;
}

void Engine::execute(Command& c) {
    const std::int32_t word0 = c.value.word0;
    switch (c.code) {
        case CommandCode::Present:
            presentStep();
            break;
        case CommandCode::Redraw:
            redrawStep();
            break;
        case CommandCode::AdvanceActions:
            advanceActions(*this, word0);
            break;
        case CommandCode::EngineProperty:
            setEngineProperty(c.id, c.value);
            break;
        case CommandCode::FilmProperty:
            if (Film* film = films.get(c.target)) setFilmProperty(*this, *film, c.id, c.value);
            break;
        case CommandCode::FilmMethod:
            if (Film* film = films.get(c.target)) callFilmMethod(*this, *film, c.id, word0);
            break;
        case CommandCode::RemoveFilm:
            removeFilm(*this, c.target);
            break;
        case CommandCode::RemoveFilmSubtree:
            removeFilmSubtree(*this, c.target);
            break;
        case CommandCode::ActionProperty:
            setActionProperty(*this, c.target, c.id, word0);
            break;
        case CommandCode::ActionMethod:
            callActionMethod(*this, c.target, c.id, word0);
            break;
        case CommandCode::RemoveAction:
            removeAction(*this, c.target);
            break;
    }
}

void Engine::setEngineProperty(std::int32_t id, const CommandValue& value) {
    const std::int32_t v = value.word0;
    switch (id) {
        case LP_AUTO_REDRAW:
            autoRedraw = v;
            break;
        case LP_GLYPH_FILM:
            glyphFilm = v;
            break;
        case LP_TEXT_FONT:
            if (value.text) textDefaults.face = *value.text;
            break;
        case LP_TEXT_SIZE:
            textDefaults.size = v;
            break;
        case LP_TEXT_PITCH:
            textDefaults.pitch = v;
            break;
        case LP_TEXT_LINE_PITCH:
            textDefaults.linePitch = v;
            break;
        case LP_TEXT_COLOR:
            textDefaults.color = static_cast<std::uint32_t>(v);
            break;
        case LP_TEXT_DELAY:
            textDefaults.delay = v;
            break;
        default:
            break;
    }
}

// [SECTION] Frame loop ==================================================

void Engine::frameLoop() {
    // Named, so that what it costs shows per thread.
    pthread_setname_np(pthread_self(), "lumo-frames");
    const Clock::time_point origin = Clock::now();
    auto now = [origin] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin).count();
    };
    std::int64_t frameStart = now();
    std::int64_t advancedTo = frameStart;  // the actions have lived up to here
    Rest rested = Rest::None;
    while (mRunning.load()) {
        ++mPasses;
        const std::int64_t at = now();
        const auto step =
            static_cast<std::int32_t>(std::min<std::int64_t>(at - advancedTo, INT32_MAX));
        advancedTo = at;
        if (rested == Rest::Timed) {
            // The rest's time belongs to the actions that waited through it,
            // not to one that a command queued meanwhile starts: they move
            // before the commands run.
            std::lock_guard lock(mExecution);
            try {
                advanceActions(*this, step);
            } catch (const std::bad_alloc&) {
            }
        } else {
            queue(makeCommand(CommandCode::AdvanceActions, 0, 0, words(step)));
        }
        if (!mRunning.load()) break;
        queue(makeCommand(CommandCode::Redraw), false);
        executeQueue();
        if (rested == Rest::None) {
            // A frame in a run is shown when it is due, which keeps the
            // frame rate; the first one after a rest is due already. One
            // wait; TerminateLumo wakes it at once.
            std::unique_lock lock(mSleepMutex);
            const auto due =
                origin + std::chrono::milliseconds(frameStart + settings.frameInterval());
            mSleep.wait_until(lock, due, [this] { return !mRunning.load(); });
        }
        if (!mRunning.load()) break;
        queue(makeCommand(CommandCode::Present), false);
        executeQueue();
        frameStart = now();
        rested = rest(origin + std::chrono::milliseconds(advancedTo),
                      origin + std::chrono::milliseconds(frameStart + settings.frameInterval()));
        // After a rest without a waiting action no time passed for any.
        if (rested == Rest::UntilWoken) advancedTo = now();
    }
}

// Between frames while nothing changes the loop sleeps: until the next
// command when no action runs (a page waiting for its click), or until the
// shortest wait ends when all actions wait (a blinking cursor's step), but
// never before the next frame was due. One wake-up then advances, redraws
// and shows the step, instead of thirty empty frames a second.
Engine::Rest Engine::rest(Clock::time_point advancedTo, Clock::time_point nextFrame) {
    std::int64_t wait = 0;
    {
        std::lock_guard lock(mExecution);
        if (blt.value() == 0 && !mQueue.pending()) wait = msUntilNextStep(*this);
    }
    if (wait == 0) return Rest::None;
    std::unique_lock lock(mSleepMutex);
    if (mQueue.pending()) return Rest::None;
    mWoken = false;
    if (wait < 0) {
        mRestingUntilWoken = true;
        mSleep.wait(lock, [this] { return !mRunning.load() || mWoken; });
        mRestingUntilWoken = false;
        return Rest::UntilWoken;
    }
    // A millisecond past the wait's end: the instructions after a wait run
    // only on time left over, and the step is then done in one pass.
    const auto due = std::max(advancedTo + std::chrono::milliseconds(wait + 1), nextFrame);
    mSleep.wait_until(lock, due, [this] { return !mRunning.load() || mWoken; });
    return Rest::Timed;
}

void Engine::redrawStep() {
    if (autoRedraw.load() != 0) {
        for (ScreenSlot& slot : screens)
            slot.presented = false;
        for (ScreenSlot& slot : screens) {
            Film* film = films.get(slot.film);
            if (film && film->dirty && runRedraw(*this, *film)) slot.presented = true;
        }
    }
    blt.redrawn();
}

void Engine::presentStep() {
    for (ScreenSlot& slot : screens) {
        if (!slot.presented) continue;
        slot.presented = false;
        Film* film = films.get(slot.film);
        if (!film) continue;
        const Rect r = film->present;
        film->present = {};
        if (r.empty()) continue;
        const PixelBuffer& image = film->picture.image.buffer();
        const Rect inverted = intersect(slot.invert, r);
        if (!slot.invert.empty() && !inverted.empty()) invertPixels(image, inverted);
        if (LumoSurface* target = slot.target; target && target->pixels) {
            if (target->lock) target->lock(target->context);
            copyBlock(bufferOf(*target), r.left, r.top, image, r.left, r.top, r.width(),
                      r.height());
            if (target->unlock) target->unlock(target->context);
            const Rect shown = intersect(r, {0, 0, target->width, target->height});
            if (target->presented && !shown.empty()) {
                target->presented(target->context, shown.left, shown.top, shown.right,
                                  shown.bottom);
            }
        }
        if (!slot.invert.empty() && !inverted.empty()) invertPixels(image, inverted);
    }
    blt.presented();
}

}  // namespace lumo
