#include "film_table.h"

#include "engine.h"
#include "film_ops.h"

namespace lumo {

// [SECTION] Table =======================================================

void FilmTable::reset(int size) {
    mFilms.clear();
    mFilms.resize(static_cast<std::size_t>(size));
}

int FilmTable::freeSlot() const {
    for (std::size_t i = 0; i < mFilms.size(); ++i) {
        if (!mFilms[i]) return static_cast<int>(i);
    }
    return -1;
}

void FilmTable::put(std::unique_ptr<Film> film) {
    const auto slot = static_cast<std::size_t>(film->id);
    mFilms[slot] = std::move(film);
}

std::unique_ptr<Film> FilmTable::take(int id) {
    if (!get(id)) return nullptr;
    return std::move(mFilms[static_cast<std::size_t>(id)]);
}

// [SECTION] Tree links ==================================================

void unlink(Film& film) {
    Film* parent = film.parent;
    if (!parent) return;
    Film** link = &parent->firstChild;
    while (*link && *link != &film)
        link = &(*link)->nextSibling;
    if (*link) *link = film.nextSibling;
    film.nextSibling = nullptr;
    film.parent = nullptr;
    --parent->childCount;
}

bool isWithin(const Film& film, const Film& ancestor) {
    for (const Film* f = &film; f; f = f->parent) {
        if (f == &ancestor) return true;
    }
    return false;
}

void appendChild(Film& parent, Film& child) {
    if (isWithin(parent, child)) return;
    Film** link = &parent.firstChild;
    while (*link)
        link = &(*link)->nextSibling;
    *link = &child;
    child.parent = &parent;
    ++parent.childCount;
}

void prependChildren(Film& parent, Film* first, Film* last, int count) {
    if (!first) return;
    last->nextSibling = parent.firstChild;
    parent.firstChild = first;
    for (Film* f = first; f != last->nextSibling; f = f->nextSibling)
        f->parent = &parent;
    parent.childCount += count;
}

bool insertBefore(Film& film, Film& sibling) {
    Film* parent = sibling.parent;
    if (!parent || isWithin(*parent, film)) return false;
    Film** link = &parent->firstChild;
    while (*link != &sibling)
        link = &(*link)->nextSibling;
    film.nextSibling = &sibling;
    *link = &film;
    film.parent = parent;
    ++parent->childCount;
    return true;
}

bool insertAfter(Film& film, Film& sibling) {
    Film* parent = sibling.parent;
    if (!parent || isWithin(*parent, film)) return false;
    film.nextSibling = sibling.nextSibling;
    sibling.nextSibling = &film;
    film.parent = parent;
    ++parent->childCount;
    return true;
}

// [SECTION] Creation and removal ========================================

int addFilm(Engine& engine, std::uint32_t type) {
    const int id = engine.films.freeSlot();
    if (id < 0) return -1;
    auto film = std::make_unique<Film>(id, type);
    if (film->has(LUMO_FILM_SCREEN)) {
        auto& screens = engine.screens;
        auto slot = std::find_if(screens.begin(), screens.end(),
                                 [](const ScreenSlot& s) { return s.film < 0; });
        if (slot == screens.end()) return -1;
        *slot = ScreenSlot{};
        slot->film = id;
        film->screenSlot = static_cast<int>(slot - screens.begin());
    }
    if (film->has(LUMO_FILM_TEXT)) {
        film->text = std::make_unique<TextState>();
        film->text->style.face = engine.textDefaults.face;
        film->text->utf8 = engine.settings.utf8Text();
    }
    engine.films.put(std::move(film));
    return id;
}

void removeFilm(Engine& engine, int id) {
    Film* film = engine.films.get(id);
    if (!film) return;
    haltActionsOf(engine, id);
    if (film->parent) {
        // What the film covered must be recomposed without it.
        invalidateInParent(*film);
        markChanged(engine, *film);
        unlink(*film);
    }
    while (Film* child = film->firstChild)
        unlink(*child);
    if (film->screenSlot >= 0) {
        engine.screens[static_cast<std::size_t>(film->screenSlot)] = ScreenSlot{};
    }
    if (film->procedureInstalled && film->procedure.finish) film->procedure.finish(film);
    // Films that drew from this one's pixels fall back to their own.
    for (int other = 0; other < engine.films.size(); ++other) {
        if (Film* f = engine.films.get(other)) {
            if (f->picture.imageSource == id) f->picture.imageSource = -1;
            if (f->picture.maskSource == id) f->picture.maskSource = -1;
        }
    }
    engine.films.take(id);
}

void removeFilmSubtree(Engine& engine, int id) {
    if (id == -1) {
        for (int f = 0; f < engine.films.size(); ++f)
            removeFilm(engine, f);
        return;
    }
    Film* film = engine.films.get(id);
    if (!film) return;
    std::vector<int> order;
    // Children before their parent, so each unlinks from a living parent.
    auto collect = [&order](auto& self, Film& f) -> void {
        for (Film* c = f.firstChild; c; c = c->nextSibling)
            self(self, *c);
        order.push_back(f.id);
    };
    collect(collect, *film);
    for (int f : order)
        removeFilm(engine, f);
}

}  // namespace lumo
