// What the engine does to films: properties, methods, invalidation and
// redraw. All of it runs under the execution lock, except the reads.
#pragma once

#include <cstdint>

#include "command_queue.h"
#include "film.h"

namespace lumo {

class Engine;

// [SECTION] Properties and methods (film_properties.cpp, film_methods.cpp)

void setFilmProperty(Engine& engine, Film& film, std::int32_t property, const CommandValue& value);
// 0, or -1 for an unknown or write-only property or one the film's type lacks.
int getFilmProperty(Engine& engine, Film& film, std::int32_t property, void* result);
void callFilmMethod(Engine& engine, Film& film, std::int32_t method, std::int32_t argument);

// [SECTION] Invalidation and redraw (film_redraw.cpp)

// The mask the film works with: the shared film's after FP_SHARE_MASK, else
// its own. Every reader and writer of a mask goes through it, so that a
// shared mask means the same to the rule wipe, the host and the copies.
OwnedSurface& maskOf(Engine& engine, Film& film);

// Dirty flag on the film, dirty and subtree-changed on every live ancestor;
// a change that reaches a film without parent sets the blt-pending state.
void markChanged(Engine& engine, Film& film);
// Adds the film's visible rectangle to its parent's dirty list.
void invalidateInParent(Film& film);
// Adds r (the film's coordinates) to the parent's dirty list, or to the
// film's own present rectangle when it has no parent.
void addDirtyRect(Film& film, const Rect& r);

// Runs the film's redraw routine (normal, frozen or an installed procedure's
// step); true when the film was recomposed.
bool runRedraw(Engine& engine, Film& film);

// [SECTION] Text (text_printer.cpp)

// Processes the next element of a text film's buffer: -1 for the stop mark
// (or no text film), else the milliseconds to wait after it.
int printNextElement(Engine& engine, Film& film);
// FP_TEXT_SHOWN: prints up to `count` characters at once.
void printUpTo(Engine& engine, Film& film, int count);
void appendText(Film& film, const std::string& bytes);
void clearTextPixels(Film& film);

}  // namespace lumo
