// The few film-engine calls the modes make on films of their own (buttons,
// the log's lines and icons): property words, methods and small looping
// actions, addressed by the engine's IDs. The graphics driver keeps the
// base film set; everything here sits on top of its buffer film.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_encoding.h"

namespace zelk::films {

void Set(int32_t film, int32_t property, int32_t a, int32_t b = 0);
int32_t Get(int32_t film, int32_t property);
void Method(int32_t film, int32_t method, int32_t argument = 0);
// A text in the system code page (converted from UTF-8 here).
// The text as the engine takes it: CP932, or a UTF-8 game's UTF-8.
void SetText(int32_t film, int32_t property, const std::string& utf8,
             TextEncoding encoding = TextEncoding());
// A film of the type, attached under the parent; -1 when none was made.
int32_t Make(int32_t type, int32_t parent);
void Remove(int32_t film);
// Binds the action (made by the graphics driver) to the film and starts it.
void StartAction(int32_t action, int32_t target);
void RemoveAction(int32_t action);
void RunQueue();
void WaitDrawn();

}  // namespace zelk::films
