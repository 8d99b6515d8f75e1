// The film table and the film tree: slots, links and removal.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "film.h"

namespace lumo {

class Engine;

class FilmTable {
public:
    void reset(int size);
    void release() { mFilms.clear(); }

    Film* get(int id) const {
        if (id < 0 || id >= static_cast<int>(mFilms.size())) return nullptr;
        return mFilms[static_cast<std::size_t>(id)].get();
    }
    // The lowest empty slot, or -1.
    int freeSlot() const;
    void put(std::unique_ptr<Film> film);
    std::unique_ptr<Film> take(int id);
    int size() const { return static_cast<int>(mFilms.size()); }

private:
    std::vector<std::unique_ptr<Film>> mFilms;
};

// [SECTION] Tree links; a refused link leaves the film unlinked.

void unlink(Film& film);
// True when `film` is `ancestor` itself or lies below it.
bool isWithin(const Film& film, const Film& ancestor);
void appendChild(Film& parent, Film& child);
void prependChildren(Film& parent, Film* first, Film* last, int count);
bool insertBefore(Film& film, Film& sibling);
bool insertAfter(Film& film, Film& sibling);

// [SECTION] Creation and removal

int addFilm(Engine& engine, std::uint32_t type);
void removeFilm(Engine& engine, int id);
// The film and everything below it; -1: every film.
void removeFilmSubtree(Engine& engine, int id);

}  // namespace lumo
