// SetFilmProp and GetFilmProp: what each film property does.
//
// Index
//   [SECTION] Helpers
//   [SECTION] Setting
//   [SECTION] Reading
#include <cstring>

#include "engine.h"
#include "film_ops.h"

namespace lumo {

namespace {

// [SECTION] Helpers =====================================================

// Larger pictures than this are refused: their byte counts would not fit
// the engine's 32-bit arithmetic, and no screen needs them.
constexpr int kMaxSide = 16384;

bool validSize(int width, int height) {
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide;
}

// The packed form of FP_DIRTY_RECT and FP_INVERT_RECT: 16-bit unsigned fields.
Rect unpackRect(std::int32_t first, std::int32_t second) {
    const auto a = static_cast<std::uint32_t>(first);
    const auto b = static_cast<std::uint32_t>(second);
    return {static_cast<int>(a & 0xFFFF), static_cast<int>(a >> 16), static_cast<int>(b & 0xFFFF),
            static_cast<int>(b >> 16)};
}

// Takes the film out of its parent, which recomposes what the film covered.
void detach(Engine& engine, Film& film) {
    if (!film.parent) return;
    invalidateInParent(film);
    markChanged(engine, film);
    unlink(film);
}

void moveTo(Film& film, std::int64_t x, std::int64_t y) {
    const int width = film.width();
    const int height = film.height();
    film.rect.left = clampCoordinate(x);
    film.rect.top = clampCoordinate(y);
    film.rect.right = clampCoordinate(std::int64_t{film.rect.left} + width);
    film.rect.bottom = clampCoordinate(std::int64_t{film.rect.top} + height);
}

void resizeTo(Film& film, std::int64_t width, std::int64_t height) {
    film.rect.right = clampCoordinate(film.rect.left + width);
    film.rect.bottom = clampCoordinate(film.rect.top + height);
}

void resizeImage(Film& film, int width, int height, bool withAlpha) {
    Picture& p = film.picture;
    p.declaredWidth = width;
    p.declaredHeight = height;
    p.opaqueBounds = {0, 0, width, height};
    p.image.resize(width, height);
    if (withAlpha && film.has(LUMO_FILM_ALPHA)) p.alpha.resize(width, height);
}

// Cell n of a strip: the film's width (height) steps through the image,
// wrapping both ways.
void selectCell(int n, int filmSize, int imageSize, int& source) {
    if (filmSize <= 0) return;
    const int cells = imageSize / filmSize;
    if (cells <= 0) return;
    source = ((n % cells + cells) % cells) * filmSize;
}

void installProcedure(Film& film, const LumoRedrawFuncs* table, bool uninstall) {
    if (table && !uninstall) {
        if (film.procedureInstalled || !table->start || table->start(&film) != 0) return;
        film.procedure = *table;
        film.redrawRoutine = RedrawRoutine::Procedure;
        film.procedureInstalled = true;
        return;
    }
    if (film.procedureInstalled && film.procedure.finish) film.procedure.finish(&film);
    film.procedureInstalled = false;
    film.procedure = {};
    film.redrawRoutine = RedrawRoutine::Normal;
}

}  // namespace

// [SECTION] Setting =====================================================

void setFilmProperty(Engine& engine, Film& film, std::int32_t property, const CommandValue& value) {
    const std::int32_t v = value.word0;
    const std::int32_t v1 = value.word1;
    Picture& picture = film.picture;
    const bool isPicture = film.has(LUMO_FILM_PICTURE);
    TextState* text = film.text.get();

    switch (property) {
        // Links, position and size. The old area is recomposed as well as
        // the new one, so nothing is left behind where the film was.
        case FP_PARENT:
            detach(engine, film);
            if (Film* target = engine.films.get(v); target && v1 == 0) appendChild(*target, film);
            break;
        case FP_INSERT_BEFORE:
        case FP_INSERT_AFTER:
            detach(engine, film);
            if (Film* target = engine.films.get(v)) {
                property == FP_INSERT_BEFORE ? insertBefore(film, *target)
                                             : insertAfter(film, *target);
            }
            break;
        case FP_SCREEN_DC:
            if (film.screenSlot >= 0) {
                engine.screens[static_cast<std::size_t>(film.screenSlot)].target =
                    static_cast<LumoSurface*>(const_cast<void*>(value.pointer));
            }
            return;
        case FP_POS:
            invalidateInParent(film);
            moveTo(film, v, v1);
            break;
        case FP_X:
            invalidateInParent(film);
            moveTo(film, v, film.rect.top);
            break;
        case FP_Y:
            invalidateInParent(film);
            moveTo(film, film.rect.left, v);
            break;
        case FP_SIZE:
            invalidateInParent(film);
            resizeTo(film, v, v1);
            break;
        case FP_WIDTH:
            invalidateInParent(film);
            resizeTo(film, v, film.height());
            break;
        case FP_HEIGHT:
            invalidateInParent(film);
            resizeTo(film, film.width(), v);
            break;

        // Picture.
        case FP_SRC_POS:
        case FP_SRC_X:
        case FP_SRC_Y:
        case FP_SRC_MASK_POS:
            invalidateInParent(film);
            if (!isPicture) break;
            if (property != FP_SRC_Y) picture.sourceX = clampCoordinate(v);
            if (property == FP_SRC_Y) picture.sourceY = clampCoordinate(v);
            if (property == FP_SRC_POS || property == FP_SRC_MASK_POS) {
                picture.sourceY = clampCoordinate(v1);
            }
            if (property == FP_SRC_MASK_POS) {
                picture.maskX = clampCoordinate(v);
                picture.maskY = clampCoordinate(v1);
            }
            break;
        case FP_IMAGE_SIZE:
        case FP_IMAGE_MASK_SIZE:
            // Reallocation clears the picture; the film is redrawn when the
            // host has drawn into it and invalidates it.
            invalidateInParent(film);
            if (!isPicture || !validSize(v, v1)) return;
            resizeImage(film, v, v1, property == FP_IMAGE_SIZE);
            if (property == FP_IMAGE_MASK_SIZE) picture.mask.resize(v, v1);
            return;
        case FP_MASK_SIZE:
            if (isPicture && validSize(v, v1)) picture.mask.resize(v, v1);
            break;
        case FP_MASK_POS:
            if (isPicture) {
                picture.maskX = clampCoordinate(v);
                picture.maskY = clampCoordinate(v1);
            }
            break;
        case FP_MASK_X:
            if (isPicture) picture.maskX = clampCoordinate(v);
            break;
        case FP_MASK_Y:
            if (isPicture) picture.maskY = clampCoordinate(v);
            break;
        case FP_BLEND_MODE:
            if (isPicture) picture.blendMode = v;
            break;
        case FP_SHARE_IMAGE:
        case FP_SHARE_MASK: {
            const bool own = v1 != 0 || v == film.id || !engine.films.get(v);
            int& source = property == FP_SHARE_IMAGE ? picture.imageSource : picture.maskSource;
            if (isPicture) source = own ? -1 : v;
            invalidateInParent(film);
            return;
        }
        case FP_CELL_X:
            invalidateInParent(film);
            if (isPicture) selectCell(v, film.width(), picture.declaredWidth, picture.sourceX);
            break;
        case FP_CELL_Y:
            invalidateInParent(film);
            if (isPicture) selectCell(v, film.height(), picture.declaredHeight, picture.sourceY);
            break;

        // Look.
        case FP_ALPHA:
            film.opacity = v;
            break;
        case FP_BRIGHTNESS:
            if (film.has(LUMO_FILM_TONED)) film.brightness = v;
            break;
        case FP_SATURATION:
            if (film.has(LUMO_FILM_TONED)) film.saturation = v;
            break;
        case FP_SOFTNESS:
            film.softness = v;
            break;
        case FP_PARAM1:
        case FP_PARAM2:
        case FP_PARAM3:
            film.params[property - FP_PARAM1] = v;
            break;

        // Redraw control.
        case FP_DIRTY_RECT:
            addDirtyRect(film, unpackRect(v, v1));
            markChanged(engine, film);
            return;
        case FP_INVERT_RECT:
            if (film.screenSlot >= 0) {
                const Rect r = unpackRect(v, v1);
                engine.screens[static_cast<std::size_t>(film.screenSlot)].invert =
                    r.empty() ? Rect{} : r;
                film.present = unite(film.present, {0, 0, film.width(), film.height()});
            }
            markChanged(engine, film);
            return;
        case FP_REDRAW_PROC:
            installProcedure(film, static_cast<const LumoRedrawFuncs*>(value.pointer), v1 != 0);
            break;
        case FP_LIVE:
            if (v == 0) {
                film.live = 0;
                film.redrawRoutine = RedrawRoutine::Frozen;
            } else {
                film.live = v;
                if (film.redrawRoutine == RedrawRoutine::Frozen) {
                    film.redrawRoutine =
                        film.procedureInstalled ? RedrawRoutine::Procedure : RedrawRoutine::Normal;
                }
            }
            break;

        // Text.
        case FP_TEXT_APPEND:
            if (text) {
                if (value.text) {
                    appendText(film, *value.text);
                } else {
                    text->reset();
                }
            }
            break;
        case FP_TEXT_SHOWN:
            printUpTo(engine, film, v);
            markChanged(engine, film);
            return;
        case FP_TEXT_FONT:
            if (text && value.text) {
                text->style.face = *value.text;
                text->font.reset();
                text->paragraph.reset();  // UTF-8 text still to print is set again
            }
            break;
        case FP_TEXT_SIZE:
            if (text) {
                text->style.size = v;
                text->font.reset();
                text->paragraph.reset();
            }
            break;
        case FP_TEXT_PITCH:
            if (text) text->style.pitch = v;
            break;
        case FP_TEXT_LINE_PITCH:
            if (text) text->style.linePitch = v;
            break;
        case FP_TEXT_COLOR:
            if (text) text->style.color = static_cast<std::uint32_t>(v);
            break;
        case FP_TEXT_DELAY:
            if (text) text->style.delay = v;
            break;
        case FP_TEXT_X:
            if (text) text->cursorX = clampCoordinate(v);
            if (text) text->paragraph.reset();
            break;
        case FP_TEXT_Y:
            if (text) text->cursorY = clampCoordinate(v);
            if (text) text->paragraph.reset();
            break;
        case FP_TEXT_POS:
            if (text) {
                text->cursorX = clampCoordinate(v);
                text->cursorY = clampCoordinate(v1);
                text->paragraph.reset();
            }
            break;

        default:
            return;  // unknown property: nothing happens
    }
    invalidateInParent(film);
    markChanged(engine, film);
}

// [SECTION] Reading =====================================================

int getFilmProperty(Engine& engine, Film& film, std::int32_t property, void* result) {
    if (!result) return -1;
    auto* out = static_cast<std::int32_t*>(result);
    auto one = [out](int a) {
        out[0] = a;
        return 0;
    };
    auto two = [out](int a, int b) {
        out[0] = a;
        out[1] = b;
        return 0;
    };
    auto handle = [result](LumoSurface* surface) {
        std::memcpy(result, &surface, sizeof surface);
        return 0;
    };
    Picture& p = film.picture;
    const TextState* text = film.text.get();

    switch (property) {
        case FP_PARENT:
            return one(film.parent ? film.parent->id : -1);
        case FP_POS:
            return two(film.rect.left, film.rect.top);
        case FP_X:
            return one(film.rect.left);
        case FP_Y:
            return one(film.rect.top);
        case FP_SIZE:
            return two(film.width(), film.height());
        case FP_WIDTH:
            return one(film.width());
        case FP_HEIGHT:
            return one(film.height());
        case FP_ALPHA:
            return one(film.opacity);
        case FP_PARAM1:
        case FP_PARAM2:
        case FP_PARAM3:
            return one(film.params[property - FP_PARAM1]);
        case FP_BRIGHTNESS:
            return film.has(LUMO_FILM_TONED) ? one(film.brightness) : -1;
        case FP_SATURATION:
            return film.has(LUMO_FILM_TONED) ? one(film.saturation) : -1;
        default:
            break;
    }

    if (film.has(LUMO_FILM_PICTURE)) {
        switch (property) {
            case FP_IMAGE_DC:
            case FP_IMAGE_OBJECT:
                return handle(p.image.surface());
            case FP_ALPHA_OBJECT:
                return film.has(LUMO_FILM_ALPHA) ? handle(p.alpha.surface()) : -1;
            case FP_MASK_OBJECT:
                return handle(maskOf(engine, film).surface());
            case FP_SRC_POS:
                return two(p.sourceX, p.sourceY);
            case FP_SRC_X:
                return one(p.sourceX);
            case FP_SRC_Y:
                return one(p.sourceY);
            case FP_IMAGE_SIZE:
                return two(p.declaredWidth, p.declaredHeight);
            case FP_BLEND_MODE:
                return one(p.blendMode);
            case FP_MASK_POS:
                return two(p.maskX, p.maskY);
            case FP_MASK_X:
                return one(p.maskX);
            case FP_MASK_Y:
                return one(p.maskY);
            case FP_MASK_SIZE:
                return two(p.mask.buffer().width, p.mask.buffer().height);
            case FP_CELL_X:
                return one(film.width() > 0 ? p.sourceX / film.width() : 0);
            case FP_CELL_Y:
                return one(film.height() > 0 ? p.sourceY / film.height() : 0);
            default:
                break;
        }
    }

    if (text) {
        switch (property) {
            case FP_TEXT_LENGTH:
                return one(text->total);
            case FP_TEXT_SHOWN:
                return one(text->shown);
            case FP_TEXT_SIZE:
                return one(text->style.size);
            case FP_TEXT_PITCH:
                return one(text->style.pitch);
            case FP_TEXT_LINE_PITCH:
                return one(text->style.linePitch);
            case FP_TEXT_COLOR:
                return one(static_cast<std::int32_t>(text->style.color));
            case FP_TEXT_DELAY:
                return one(text->style.delay);
            case FP_TEXT_X:
                return one(text->cursorX);
            case FP_TEXT_Y:
                return one(text->cursorY);
            case FP_TEXT_POS:
                return two(text->cursorX, text->cursorY);
            default:
                break;
        }
    }
    return -1;
}

}  // namespace lumo
