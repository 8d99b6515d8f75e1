#include "modes/mode_buttons.h"

#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode_films.h"

namespace zelk {

namespace {

// Sizes beyond any screen are garbage in the settings, not a film to allocate.
int32_t Sane(long v) {
    return static_cast<int32_t>(v < 0 ? 0 : (v > 16384 ? 16384 : v));
}

clsEventRect* AddFitted(clsEventRects& rects, long lTag, const std::string& sTag, int32_t film) {
    clsEventRect& rect = rects.Add(lTag, sTag);
    rect.FitFilm(film);
    rect.FilmID = film;
    return &rect;
}

}  // namespace

void ApplyFilmSpec(clsLumoDriver& lumo, int film, FilmSpecRecord& record) {
    lumo.ApplyFilmSpec(film, record);
    films::RunQueue();
}

clsEventRect* MakeButton(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                         const std::string& sTag, const std::string& spec, long cells) {
    FilmSpecRecord record = ParseFilmSpec(spec);
    const int32_t film = films::Make(FT_ALPHA, lumo.FIDBuff());
    if (film < 0) return nullptr;
    lumo.ApplyFilmSpec(film, record);
    if (record.Name.empty() && cells > 1)
        films::Set(film, FP_IMAGE_SIZE, Sane(record.W), Sane(record.H * cells));
    films::RunQueue();
    return AddFitted(rects, lTag, sTag, film);
}

clsEventRect* MakeButtonAt(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                           const std::string& sTag, const std::string& png, long x, long y,
                           long height, bool alphaPicture) {
    const int32_t film = films::Make(alphaPicture ? FT_ALPHA : FT_IMAGE, lumo.FIDBuff());
    if (film < 0) return nullptr;
    if (!png.empty()) lumo.LoadPng(film, png, true, true);
    // Without a height the whole picture is the button.
    if (height > 0) films::Set(film, FP_HEIGHT, Sane(height));
    films::Set(film, FP_POS, static_cast<int32_t>(x), static_cast<int32_t>(y));
    films::RunQueue();
    return AddFitted(rects, lTag, sTag, film);
}

}  // namespace zelk
