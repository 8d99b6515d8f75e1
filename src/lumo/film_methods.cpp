// CallFilmMethod: what each film method does.
#include "buffer_ops.h"
#include "engine.h"
#include "film_ops.h"

namespace lumo {

namespace {

// FM_TRIM: the picture shrinks to the rows and columns that hold any alpha,
// and the source offset moves so that it shows where it did.
void trim(Film& film) {
    Picture& p = film.picture;
    const PixelBuffer& alpha = p.alpha.buffer();
    const PixelBuffer& image = p.image.buffer();
    const int width = std::min(alpha.width, image.width);
    const int height = std::min(alpha.height, image.height);
    int top = 0;
    auto rowHasAlpha = [&](int y) {
        const std::uint8_t* row = alpha.row(y);
        return std::any_of(row, row + width, [](std::uint8_t a) { return a != 0; });
    };
    while (top < height && !rowHasAlpha(top))
        ++top;
    if (top == height) return;  // nothing visible: nothing to keep apart from
    int left = width;
    int right = -1;
    for (int y = top; y < height; ++y) {
        const std::uint8_t* row = alpha.row(y);
        for (int x = 0; x < width; ++x) {
            if (row[x] == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    const int newWidth = right - left + 1;
    const int newHeight = height - top;
    PixelStore newImage(newWidth, newHeight, 3);
    PixelStore newAlpha(newWidth, newHeight, 1);
    copyBlock(newImage.buffer(), 0, 0, image, left, top, newWidth, newHeight);
    copyBlock(newAlpha.buffer(), 0, 0, alpha, left, top, newWidth, newHeight);
    p.image.replace(std::move(newImage));
    p.alpha.replace(std::move(newAlpha));
    p.sourceX -= left;
    p.sourceY -= top;
    p.declaredWidth = newWidth;
    p.declaredHeight = newHeight;
    p.opaqueBounds = {0, 0, newWidth, newHeight};
}

// FM_TINT: every channel keeps WW/256 of itself and takes the rest from the
// tint colour.
void tint(const PixelBuffer& image, std::uint32_t argument) {
    const int keep = static_cast<int>(argument >> 24);
    const int colour[3] = {static_cast<int>(argument & 0xFF),
                           static_cast<int>(argument >> 8 & 0xFF),
                           static_cast<int>(argument >> 16 & 0xFF)};
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width; ++x, p += 3) {
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<std::uint8_t>((colour[c] * (256 - keep) + keep * p[c]) / 256);
            }
        }
    }
}

void moveChildren(Engine& engine, Film& film, Film& target) {
    // The target may not lie below the film: its children would become its
    // own ancestors.
    if (isWithin(target, film) || !film.firstChild) return;
    Film* first = film.firstChild;
    Film* last = first;
    while (last->nextSibling)
        last = last->nextSibling;
    const int count = film.childCount;
    film.firstChild = nullptr;
    film.childCount = 0;
    prependChildren(target, first, last, count);
    target.dirtyList.add({0, 0, target.width(), target.height()}, target.width(), target.height());
    markChanged(engine, target);
    // The film no longer shows them either.
    film.dirtyList.add({0, 0, film.width(), film.height()}, film.width(), film.height());
    markChanged(engine, film);
}

void setCell(Engine& engine, Film& film, std::int32_t property, int step) {
    std::int32_t index = 0;
    if (getFilmProperty(engine, film, property, &index) != 0) return;
    const std::int64_t next = std::int64_t{index} + step;
    setFilmProperty(
        engine, film, property,
        words(static_cast<std::int32_t>(std::clamp<std::int64_t>(next, INT32_MIN, INT32_MAX))));
}

}  // namespace

void callFilmMethod(Engine& engine, Film& film, std::int32_t method, std::int32_t argument) {
    Picture& p = film.picture;
    switch (method) {
        case FM_REDRAW:
            // A film changed itself (not only below it) needs the redraw too:
            // its own dirty areas would otherwise wait for the next change.
            if ((film.subtreeChanged || film.dirty) && runRedraw(engine, film) &&
                film.screenSlot >= 0) {
                engine.screens[static_cast<std::size_t>(film.screenSlot)].presented = true;
            }
            break;
        case FM_CLEAR:
            p.image.clear();
            p.alpha.clear();
            p.mask.clear();
            invalidateInParent(film);
            markChanged(engine, film);
            break;
        case FM_TEXT_CLEAR:
            if (!film.text) break;
            clearTextPixels(film);
            markChanged(engine, film);
            break;
        case FM_STOP_ACTIONS:
            stopActionsOf(engine, film.id);
            break;
        case FM_RESUME_ACTIONS:
            resumeActionsOf(engine, film.id);
            break;
        case FM_COPY_IMAGE_TO:
        case FM_COPY_ALPHA_TO:
        case FM_COPY_MASK_TO: {
            Film* target = engine.films.get(argument);
            if (!target || !film.has(LUMO_FILM_PICTURE) || !target->has(LUMO_FILM_PICTURE)) break;
            const PixelBuffer& from = method == FM_COPY_IMAGE_TO   ? p.image.buffer()
                                      : method == FM_COPY_ALPHA_TO ? p.alpha.buffer()
                                                                   : maskOf(engine, film).buffer();
            const PixelBuffer& to = method == FM_COPY_IMAGE_TO   ? target->picture.image.buffer()
                                    : method == FM_COPY_ALPHA_TO ? target->picture.alpha.buffer()
                                                                 : maskOf(engine, *target).buffer();
            const bool mask = method == FM_COPY_MASK_TO;
            copyBlock(to, 0, 0, from, 0, 0, mask ? from.width : p.declaredWidth,
                      mask ? from.height : p.declaredHeight);
            break;
        }
        case FM_TAKE_SIZE:
            if (Film* source = engine.films.get(argument)) {
                setFilmProperty(engine, film, FP_SIZE, words(source->width(), source->height()));
                setFilmProperty(
                    engine, film, FP_IMAGE_SIZE,
                    words(source->picture.declaredWidth, source->picture.declaredHeight));
            }
            break;
        case FM_MOVE_CHILDREN:
            if (Film* target = engine.films.get(argument)) moveChildren(engine, film, *target);
            break;
        case FM_FILL_ALPHA:
            if (film.has(LUMO_FILM_ALPHA)) {
                const PixelBuffer& a = p.alpha.buffer();
                fillBlock(a, 0, 0, a.width, a.height, static_cast<std::uint32_t>(argument));
            }
            break;
        case FM_INVALIDATE:
            invalidateInParent(film);
            markChanged(engine, film);
            break;
        case FM_FILL: {
            const PixelBuffer& image = p.image.buffer();
            fillBlock(image, 0, 0, image.width, image.height, static_cast<std::uint32_t>(argument));
            break;
        }
        case FM_TRIM:
            if (film.has(LUMO_FILM_ALPHA)) trim(film);
            break;
        case FM_RESET_BOUNDS:
            p.opaqueBounds = {0, 0, p.declaredWidth, p.declaredHeight};
            break;
        case FM_CELL_X_STEP:
            setCell(engine, film, FP_CELL_X, argument);
            break;
        case FM_CELL_Y_STEP:
            setCell(engine, film, FP_CELL_Y, argument);
            break;
        case FM_TINT:
            tint(p.image.buffer(), static_cast<std::uint32_t>(argument));
            break;
        default:
            break;
    }
}

}  // namespace lumo
