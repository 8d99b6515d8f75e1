// The exported C functions: argument checks and value forms, then the engine.
#include <cstring>
#include <mutex>

#include "buffer_ops.h"
#include "engine.h"
#include "film_ops.h"
#include "host_surface.h"
#include "text_marks.h"

using lumo::CommandCode;
using lumo::CommandValue;
using lumo::Engine;

namespace {

Engine& engine() {
    return Engine::instance();
}
bool stopped() {
    return !engine().running();
}

bool isTwoWord(std::int32_t property) {
    switch (property) {
        case FP_POS:
        case FP_SIZE:
        case FP_SRC_POS:
        case FP_IMAGE_SIZE:
        case FP_MASK_POS:
        case FP_MASK_SIZE:
        case FP_IMAGE_MASK_SIZE:
        case FP_SRC_MASK_POS:
        case FP_TEXT_POS:
        case FP_DIRTY_RECT:
        case FP_INVERT_RECT:
            return true;
        default:
            return false;
    }
}

bool isString(std::int32_t property) {
    return property == FP_TEXT_APPEND || property == FP_TEXT_FONT;
}

bool isHandle(std::int32_t property) {
    return property == FP_SCREEN_DC || property == FP_REDRAW_PROC;
}

// The value forms of SetFilmProp and SetLumoProp. A null address gives the
// detaching / own-buffer form (word 1 = -1) of one-word properties.
CommandValue filmValue(std::int32_t property, const void* value) {
    CommandValue v;
    if (isString(property)) {
        if (value) {
            v.text = static_cast<const char*>(value);
        } else {
            v.word1 = -1;
        }
    } else if (isHandle(property)) {
        if (value) {
            std::memcpy(&v.pointer, value, sizeof v.pointer);
        } else {
            v.word1 = -1;
        }
    } else if (isTwoWord(property)) {
        if (value) std::memcpy(&v.word0, value, 2 * sizeof(std::int32_t));
    } else if (value) {
        std::memcpy(&v.word0, value, sizeof(std::int32_t));
        // The flag word follows only where the property reads it.
        if (property == FP_PARENT || property == FP_SHARE_IMAGE || property == FP_SHARE_MASK) {
            std::memcpy(&v.word1, static_cast<const std::int32_t*>(value) + 1,
                        sizeof(std::int32_t));
        }
    } else {
        v.word1 = -1;
    }
    return v;
}

CommandValue wordValue(const std::int32_t* value) {
    CommandValue v;
    if (value) {
        v.word0 = *value;
    } else {
        v.word1 = -1;
    }
    return v;
}

int queue(CommandCode code, std::int32_t target, std::int32_t id, CommandValue value,
          bool mayRun = true) {
    return engine().queue(lumo::makeCommand(code, target, id, std::move(value)), mayRun);
}

}  // namespace

extern "C" {

LUMO_API int32_t InitializeLumo(void) {
    return engine().initialize();
}

LUMO_API int32_t TerminateLumo(void) {
    return engine().terminate();
}

LUMO_API int32_t SetLumoSetting(int32_t id, const void* value) {
    return engine().setSetting(id, value);
}

LUMO_API int32_t SetLumoProp(int32_t id, const void* value) {
    if (stopped()) return -1;
    CommandValue v;
    if (id == LP_TEXT_FONT) {
        if (value) v.text = static_cast<const char*>(value);
    } else {
        v = wordValue(static_cast<const std::int32_t*>(value));
    }
    return queue(CommandCode::EngineProperty, 0, id, std::move(v));
}

LUMO_API int32_t GetLumoProp(int32_t id, int32_t* result) {
    if (stopped() || id != LP_AUTO_REDRAW || !result) return -1;
    *result = engine().autoRedraw.load();
    return 0;
}

LUMO_API int32_t RaiseLumoEvent(int32_t a, int32_t b, int32_t l) {
    engine().notifier.post(a + b, l);
    return 0;
}

LUMO_API int32_t Blt(int32_t film) {
    if (stopped()) return -1;
    std::int32_t size[2];
    {
        std::lock_guard lock(engine().executionLock());
        lumo::Film* f = engine().films.get(film);
        if (!f) return -1;
        size[0] = f->width();
        size[1] = f->height();
    }
    const auto corner =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(size[0] & 0xFFFF) |
                                  static_cast<std::uint32_t>(size[1] & 0xFFFF) << 16);
    return queue(CommandCode::FilmProperty, film, FP_DIRTY_RECT, lumo::words(0, corner), false);
}

LUMO_API int32_t WaitBlt(void) {
    engine().blt.waitIdle([] { return engine().running(); });
    return 0;
}

LUMO_API int32_t Redraw(void) {
    if (stopped()) return -1;
    return queue(CommandCode::Redraw, 0, 0, {}, false);
}

LUMO_API int32_t AddFilm(int32_t type) {
    if (stopped()) return -1;
    std::lock_guard lock(engine().executionLock());
    return lumo::addFilm(engine(), static_cast<std::uint32_t>(type));
}

LUMO_API int32_t RemoveFilm(int32_t film) {
    if (stopped()) return -1;
    return queue(CommandCode::RemoveFilm, film, 0, {});
}

LUMO_API int32_t RemoveFilmChildren(int32_t film) {
    if (stopped()) return -1;
    return queue(CommandCode::RemoveFilmSubtree, film, 0, {});
}

LUMO_API int32_t SetFilmProp(int32_t film, int32_t property, const void* value) {
    if (stopped()) return -1;
    return queue(CommandCode::FilmProperty, film, property, filmValue(property, value));
}

LUMO_API int32_t GetFilmProp(int32_t film, int32_t property, void* result) {
    if (stopped()) return -1;
    std::lock_guard lock(engine().executionLock());
    lumo::Film* f = engine().films.get(film);
    return f ? lumo::getFilmProperty(engine(), *f, property, result) : -1;
}

LUMO_API int32_t CallFilmMethod(int32_t film, int32_t method, const int32_t* arg) {
    if (stopped()) return -1;
    return queue(CommandCode::FilmMethod, film, method, wordValue(arg));
}

LUMO_API const LumoRedrawFuncs* GetRedrawFuncs(int32_t set) {
    return engine().procedures.lookup(set);
}

LUMO_API int32_t ProgressAction(int32_t ms) {
    if (stopped() || ms < 0) return -1;
    return queue(CommandCode::AdvanceActions, 0, 0, lumo::words(ms));
}

LUMO_API int32_t AddAction(void) {
    if (stopped()) return -1;
    std::lock_guard lock(engine().executionLock());
    return engine().actions.add();
}

LUMO_API int32_t RemoveAction(int32_t action) {
    if (stopped()) return -1;
    return queue(CommandCode::RemoveAction, action, 0, {});
}

LUMO_API int32_t SetActProp(int32_t action, int32_t property, const int32_t* value) {
    if (stopped()) return -1;
    return queue(CommandCode::ActionProperty, action, property, wordValue(value));
}

LUMO_API int32_t GetActProp(int32_t action, int32_t property, int32_t* result) {
    if (stopped()) return -1;
    std::lock_guard lock(engine().executionLock());
    return lumo::getActionProperty(engine(), action, property, result);
}

LUMO_API int32_t CallActMethod(int32_t action, int32_t method, const int32_t* arg) {
    if (stopped()) return -1;
    return queue(CommandCode::ActionMethod, action, method, wordValue(arg));
}

LUMO_API int32_t ExeQueue(void) {
    return engine().executeQueue();
}

LUMO_API int32_t GetTextElement(const char* text, int32_t length, int32_t position,
                                int32_t* bytes) {
    if (!text || !bytes || position < 0 || position >= length) return -1;
    const lumo::TextElement e =
        lumo::parseTextElement(std::string_view(text, static_cast<std::size_t>(length)),
                               static_cast<std::size_t>(position), engine().settings.utf8Text());
    *bytes = static_cast<int32_t>(e.length);
    using Kind = lumo::TextElement::Kind;
    if (e.kind == Kind::Character || e.kind == Kind::Incomplete) return 0;
    return static_cast<unsigned char>(text[position]);
}

LUMO_API int32_t BitBltMask(LumoSurface* dest, int32_t x, int32_t y, int32_t width, int32_t height,
                            const LumoSurface* source, int32_t sx, int32_t sy) {
    if (!dest || !source) return -1;
    lumo::bitBltMask(lumo::bufferOf(*dest), x, y, width, height, lumo::bufferOf(*source), sx, sy);
    return 0;
}

}  // extern "C"

LUMO_API int AddActionScript(int) {
    return -1;
}
LUMO_API int ClearActionTable(int) {
    return -1;
}
LUMO_API int EndCommonActionTable() {
    return -1;
}
