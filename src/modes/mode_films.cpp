#include "modes/mode_films.h"

#include "common/codepage.h"
#include "lumo.h"

namespace zelk::films {

void Set(int32_t film, int32_t property, int32_t a, int32_t b) {
    const int32_t words[2] = {a, b};
    SetFilmProp(film, property, words);
}

int32_t Get(int32_t film, int32_t property) {
    int32_t words[2] = {0, 0};
    if (GetFilmProp(film, property, words) != 0) return 0;
    return words[0];
}

void Method(int32_t film, int32_t method, int32_t argument) {
    CallFilmMethod(film, method, &argument);
}

void SetText(int32_t film, int32_t property, const std::string& utf8, TextEncoding encoding) {
    const std::string bytes = encoding.Encode(utf8);
    SetFilmProp(film, property, bytes.c_str());
}

int32_t Make(int32_t type, int32_t parent) {
    const int32_t film = AddFilm(type);
    if (film < 0) return -1;
    Set(film, FP_PARENT, parent, 0);
    return film;
}

void Remove(int32_t film) {
    if (film >= 0) RemoveFilm(film);
}

void StartAction(int32_t action, int32_t target) {
    if (action < 0) return;
    SetActProp(action, AP_TARGET, &target);
    CallActMethod(action, AM_START, nullptr);
}

void RemoveAction(int32_t action) {
    if (action >= 0) ::RemoveAction(action);
}

void RunQueue() {
    ExeQueue();
}

void WaitDrawn() {
    ExeQueue();
    WaitBlt();
}

}  // namespace zelk::films
