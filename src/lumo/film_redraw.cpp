// Invalidation, the redraw of a film and the composition of its children.
#include <algorithm>

#include "buffer_ops.h"
#include "composition.h"
#include "engine.h"
#include "film_ops.h"

namespace lumo {

namespace {

enum class Routine { None, DirectCopy, TonedCopy, Blend };

Routine chooseRoutine(const Film& child) {
    if (child.opacity <= 0) return Routine::None;
    switch (child.type) {
        case FT_SCREEN:
            return Routine::None;
        case FT_IMAGE:
            return child.opacity >= 256 && child.picture.blendMode == LUMO_BLEND_DIRECT
                       ? Routine::DirectCopy
                       : Routine::Blend;
        case FT_TONED:
            return Routine::TonedCopy;
        default:
            return Routine::Blend;
    }
}

// The image and alpha map a child is drawn from: its own, or a shared film's.
const Picture& imageSourceOf(Engine& engine, const Film& child) {
    if (const Film* shared = engine.films.get(child.picture.imageSource)) return shared->picture;
    return child.picture;
}

void composeChild(Engine& engine, Film& parent, Film& child) {
    const Routine routine = chooseRoutine(child);
    if (routine == Routine::None) return;
    const Rect visible = child.visibleRect();
    if (visible.empty()) return;

    const Picture& source = imageSourceOf(engine, child);
    const PixelBuffer& destinationImage = parent.picture.image.buffer();
    const PixelBuffer noAlpha;
    // Only a keeps-alpha parent has its alpha map written.
    const PixelBuffer& destinationAlpha =
        parent.has(LUMO_FILM_KEEPS_ALPHA) ? parent.picture.alpha.buffer() : noAlpha;
    const PixelBuffer& sourceAlpha = child.has(LUMO_FILM_ALPHA) ? source.alpha.buffer() : noAlpha;
    const Tone tone{child.brightness, child.saturation};
    const int opacity = std::min(child.opacity, 256);

    for (const Rect& dirty : parent.dirtyList.rects()) {
        const Rect piece = intersect(dirty, visible);
        if (piece.empty()) continue;
        const Piece views = makePiece(
            destinationImage, destinationAlpha, piece.left + parent.picture.sourceX,
            piece.top + parent.picture.sourceY, source.image.buffer(), sourceAlpha,
            piece.left - child.rect.left + child.picture.sourceX,
            piece.top - child.rect.top + child.picture.sourceY, piece.width(), piece.height());
        if (views.empty()) continue;
        switch (routine) {
            case Routine::DirectCopy:
                directCopy(views, parent.type);
                break;
            case Routine::TonedCopy:
                tonedCopy(views, tone, parent.type);
                break;
            case Routine::Blend:
                blendPiece(views, opacity, tone, parent.type);
                break;
            case Routine::None:
                break;
        }
    }
}

// The normal redraw: children first push their changes up, then every dirty
// rectangle is recomposed from the children, bottom to top.
bool normalRedraw(Engine& engine, Film& film) {
    if (!film.dirty) return false;
    film.dirty = false;
    if (film.subtreeChanged) {
        film.subtreeChanged = false;
        for (Film* child = film.firstChild; child; child = child->nextSibling) {
            runRedraw(engine, *child);
        }
    }
    const std::vector<Rect>& rects = film.dirtyList.rects();
    if (rects.empty()) return true;

    if (film.parent && !film.parent->procedureInstalled) {
        for (const Rect& r : rects) {
            film.parent->dirtyList.add(r.moved(film.rect.left, film.rect.top), film.parent->width(),
                                       film.parent->height());
        }
    } else if (!film.parent && !film.procedureInstalled) {
        for (const Rect& r : rects)
            film.present = unite(film.present, r);
        film.present = intersect(film.present, {0, 0, film.width(), film.height()});
    }

    if (film.has(LUMO_FILM_KEEPS_ALPHA)) {
        for (const Rect& r : rects) {
            const Rect inImage = r.moved(film.picture.sourceX, film.picture.sourceY);
            fillBlock(film.picture.image.buffer(), inImage.left, inImage.top, inImage.width(),
                      inImage.height(), 0);
            fillBlock(film.picture.alpha.buffer(), inImage.left, inImage.top, inImage.width(),
                      inImage.height(), 0);
        }
    }

    for (Film* child = film.firstChild; child; child = child->nextSibling) {
        composeChild(engine, film, *child);
        child->dirty = false;
    }
    film.dirtyList.clear();
    return true;
}

// A frozen film forgets its changes and draws nothing.
bool frozenRedraw(Film& film) {
    film.dirty = false;
    film.subtreeChanged = false;
    film.dirtyList.clear();
    return false;
}

}  // namespace

OwnedSurface& maskOf(Engine& engine, Film& film) {
    if (Film* shared = engine.films.get(film.picture.maskSource)) return shared->picture.mask;
    return film.picture.mask;
}

void markChanged(Engine& engine, Film& film) {
    film.dirty = true;
    Film* top = &film;
    bool live = film.live != 0;
    while (top->parent) {
        Film* ancestor = top->parent;
        if (ancestor->live == 0) {
            live = false;
            break;
        }
        ancestor->dirty = true;
        ancestor->subtreeChanged = true;
        top = ancestor;
        live = true;
    }
    if (live && !top->parent) engine.blt.changed();
}

void invalidateInParent(Film& film) {
    if (film.parent) {
        film.parent->dirtyList.add(film.visibleRect(), film.parent->width(), film.parent->height());
    }
}

void addDirtyRect(Film& film, const Rect& r) {
    if (film.parent) {
        film.parent->dirtyList.add(r.moved(film.rect.left, film.rect.top), film.parent->width(),
                                   film.parent->height());
    } else {
        film.present = unite(film.present, r);
    }
}

bool runRedraw(Engine& engine, Film& film) {
    switch (film.redrawRoutine) {
        case RedrawRoutine::Frozen:
            return frozenRedraw(film);
        case RedrawRoutine::Procedure:
            return film.procedure.step && film.procedure.step(&film) == 0;
        case RedrawRoutine::Normal:
            break;
    }
    return normalRedraw(engine, film);
}

}  // namespace lumo
