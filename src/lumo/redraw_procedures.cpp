// The redraw procedures that GetRedrawFuncs hands out: screen transitions
// that replace a film's normal redraw while installed. Each works on the film
// and its first child (the new scene, composed before the install).
//
// Index
//   [SECTION] Helpers
//   [SECTION] Fades
//   [SECTION] Level
//   [SECTION] Smoothing
//   [SECTION] Rule wipe
//   [SECTION] Table
#include "redraw_procedures.h"

#include "buffer_ops.h"
#include "engine.h"
#include "film_ops.h"
#include "transitions.h"

namespace lumo {

namespace {

// [SECTION] Helpers =====================================================

constexpr std::int32_t kRefused = 1;

Film& filmOf(LumoFilm* film) {
    return *static_cast<Film*>(film);
}
RedrawProcedures& storage() {
    return Engine::instance().procedures;
}

const PixelBuffer& imageOf(const Film& film) {
    return film.picture.image.buffer();
}

// Views of equal size over the parts the pictures have in common.
struct Common {
    PixelBuffer out;
    PixelBuffer old;
    PixelBuffer now;
};

Common common(const PixelBuffer& out, const PixelBuffer& old, const PixelBuffer& now) {
    const int width = std::min({out.width, old.width, now.width});
    const int height = std::min({out.height, old.height, now.height});
    return {viewOf(out, 0, 0, width, height), viewOf(old, 0, 0, width, height),
            viewOf(now, 0, 0, width, height)};
}

PixelStore copyOf(const PixelBuffer& image) {
    PixelStore copy(image.width, image.height, image.bytesPerPixel);
    copyBlock(copy.buffer(), 0, 0, image, 0, 0, image.width, image.height);
    return copy;
}

// After each step the whole film is copied out.
std::int32_t stepDone(Film& film) {
    film.dirty = false;
    film.present = unite(film.present, {0, 0, film.width(), film.height()});
    return 0;
}

// [SECTION] Fades =======================================================

std::int32_t startFade(Film& film, bool sameRect) {
    auto& fade = storage().fade;
    const Film* child = film.firstChild;
    if (!child || fade.owner || (sameRect && child->rect != film.rect)) return kRefused;
    fade.old = copyOf(imageOf(film));
    fade.owner = &film;
    return 0;
}

std::int32_t finishFade(LumoFilm* film) {
    auto& fade = storage().fade;
    if (fade.owner != &filmOf(film)) return 0;
    fade.old = PixelStore();
    fade.owner = nullptr;
    return 0;
}

template <void (*Kernel)(const PixelBuffer&, const PixelBuffer&, const PixelBuffer&, int)>
std::int32_t stepFade(LumoFilm* f) {
    Film& film = filmOf(f);
    const auto& fade = storage().fade;
    if (fade.owner != &film || !film.firstChild) return kRefused;
    const Common v = common(imageOf(film), fade.old.buffer(), imageOf(*film.firstChild));
    if (!v.out.empty()) Kernel(v.out, v.old, v.now, film.params[0]);
    return stepDone(film);
}

std::int32_t startFadeBytes(LumoFilm* film) {
    return startFade(filmOf(film), true);
}
std::int32_t startFadeAny(LumoFilm* film) {
    return startFade(filmOf(film), false);
}

// [SECTION] Level =======================================================

std::int32_t startLevel(LumoFilm* film) {
    return filmOf(film).firstChild ? 0 : kRefused;
}
std::int32_t finishNothing(LumoFilm*) {
    return 0;
}

std::int32_t stepLevel(LumoFilm* f) {
    Film& film = filmOf(f);
    if (!film.firstChild) return kRefused;
    const PixelBuffer& out = imageOf(film);
    const PixelBuffer& source = imageOf(*film.firstChild);
    const int width = std::min(out.width, source.width);
    const int height = std::min(out.height, source.height);
    const int first = std::clamp(film.params[1], 0, height);
    const PixelBuffer to = viewOf(out, 0, first, width, height - first);
    const PixelBuffer from = viewOf(source, 0, first, width, height - first);
    if (!to.empty()) levelBytes(to, from, film.params[0]);
    return stepDone(film);
}

// [SECTION] Smoothing ===================================================

std::int32_t startSmooth(LumoFilm* f) {
    Film& film = filmOf(f);
    auto& smooth = storage().smooth;
    if (smooth.owner) return kRefused;
    smooth.saved = copyOf(imageOf(film));
    smooth.spare = copyOf(imageOf(film));
    smooth.owner = &film;
    return 0;
}

std::int32_t finishSmooth(LumoFilm* film) {
    auto& smooth = storage().smooth;
    if (smooth.owner != &filmOf(film)) return 0;
    smooth.saved = PixelStore();
    smooth.spare = PixelStore();
    smooth.owner = nullptr;
    return 0;
}

// One pass into the spare copy and one back.
void smoothTwice(const PixelBuffer& image, const PixelBuffer& spare) {
    const int width = std::min(image.width, spare.width);
    const int height = std::min(image.height, spare.height);
    const PixelBuffer a = viewOf(image, 0, 0, width, height);
    const PixelBuffer b = viewOf(spare, 0, 0, width, height);
    if (a.empty()) return;
    smoothPass(b, a);
    smoothPass(a, b);
}

std::int32_t stepSmooth(LumoFilm* f) {
    Film& film = filmOf(f);
    const auto& smooth = storage().smooth;
    if (smooth.owner != &film) return kRefused;
    const PixelBuffer& image = imageOf(film);
    copyBlock(image, 0, 0, smooth.saved.buffer(), 0, 0, image.width, image.height);
    if (film.params[0] > 15) {
        for (int pass = film.params[0] / 16; pass > 0; --pass) {
            smoothTwice(image, smooth.spare.buffer());
        }
    }
    return stepDone(film);
}

std::int32_t stepSmoothFurther(LumoFilm* f) {
    Film& film = filmOf(f);
    const auto& smooth = storage().smooth;
    if (smooth.owner != &film) return kRefused;
    smoothTwice(imageOf(film), smooth.spare.buffer());
    return stepDone(film);
}

// [SECTION] Rule wipe ===================================================

std::int32_t startRule(LumoFilm* f) {
    Film& film = filmOf(f);
    auto& rule = storage().rule;
    Film* child = film.firstChild;
    if (!child || rule.owner || child->width() != film.width() ||
        child->height() != film.height()) {
        return kRefused;
    }
    const PixelBuffer& image = imageOf(film);
    rule.old = copyOf(image);
    rule.map = PixelStore(image.width, image.height, 1);
    const Common v = common(image, rule.old.buffer(), imageOf(*child));
    const PixelBuffer map = viewOf(rule.map.buffer(), 0, 0, v.out.width, v.out.height);
    const PixelBuffer& mask = maskOf(Engine::instance(), *child).buffer();
    const PixelBuffer maskView = viewOf(mask, 0, 0, v.out.width, v.out.height);
    if (!v.out.empty()) buildRuleMap(map, v.old, v.now, maskView);
    rule.owner = &film;
    return 0;
}

std::int32_t finishRule(LumoFilm* film) {
    auto& rule = storage().rule;
    if (rule.owner != &filmOf(film)) return 0;
    rule.old = PixelStore();
    rule.map = PixelStore();
    rule.owner = nullptr;
    return 0;
}

std::int32_t stepRule(LumoFilm* f) {
    Film& film = filmOf(f);
    const auto& rule = storage().rule;
    const Film* child = film.firstChild;
    if (rule.owner != &film || !child) return kRefused;
    const Common v = common(imageOf(film), rule.old.buffer(), imageOf(*child));
    const PixelBuffer map = viewOf(rule.map.buffer(), 0, 0, v.out.width, v.out.height);
    if (!v.out.empty()) ruleStep(v.out, v.old, v.now, map, child->softness, child->params[0]);
    return stepDone(film);
}

}  // namespace

// [SECTION] Table =======================================================

const LumoRedrawFuncs* RedrawProcedures::lookup(std::int32_t set) {
    switch (set) {
        case RF_SMOOTH:
            mTable = {startSmooth, finishSmooth, stepSmooth};
            break;
        case RF_SMOOTH2:
            mTable = {startSmooth, finishSmooth, stepSmoothFurther};
            break;
        case RF_FADE:
            mTable = {startFadeBytes, finishFade, stepFade<fadeBytes>};
            break;
        case RF_FADE_FAST:
            mTable = {startFadeBytes, finishFade, stepFade<fadeWords>};
            break;
        case RF_FADE_MMX:
            mTable = {startFadeAny, finishFade, stepFade<fadeVector>};
            break;
        case RF_LEVEL:
            mTable = {startLevel, finishNothing, stepLevel};
            break;
        case RF_RULE:
            mTable = {startRule, finishRule, stepRule};
            break;
        default:
            return nullptr;
    }
    return &mTable;
}

void RedrawProcedures::release() {
    fade = {};
    smooth = {};
    rule = {};
}

}  // namespace lumo
