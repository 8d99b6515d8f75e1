#include "modes/mode_buttons.h"

#include <vector>

#include "common/numbers.h"
#include "common/text.h"
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

FilmSpecRecord ParseFilmSpec(const std::string& spec) {
    const std::vector<std::string> items = SplitText(spec, ",");
    auto number = [&](size_t i) {
        return i < items.size() ? static_cast<long>(ReadLong(TrimChars(items[i], " \t"))) : 0L;
    };
    FilmSpecRecord record;
    if (!items.empty()) record.Name = TrimChars(items[0], " \t");
    record.X = number(1);
    record.Y = number(2);
    record.W = number(3);
    record.H = number(4);
    return record;
}

void ApplyFilmSpec(clsLumoDriver& lumo, int film, FilmSpecRecord& record) {
    films::Set(film, FP_POS, static_cast<int32_t>(record.X), static_cast<int32_t>(record.Y));
    if (!record.Name.empty()) {
        lumo.LoadPng(film, record.Name, true, true);
        if (record.W != 0) {
            films::Set(film, FP_WIDTH, Sane(record.W));
        } else {
            record.W = films::Get(film, FP_WIDTH);
        }
        if (record.H != 0) {
            films::Set(film, FP_HEIGHT, Sane(record.H));
        } else {
            record.H = films::Get(film, FP_HEIGHT);
        }
    } else {
        films::Set(film, FP_SIZE, Sane(record.W), Sane(record.H));
        films::Set(film, FP_IMAGE_SIZE, Sane(record.W), Sane(record.H));
    }
    films::Set(film, FP_ALPHA, 256);
    films::RunQueue();
}

clsEventRect* MakeButton(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                         const std::string& sTag, const std::string& spec) {
    FilmSpecRecord record = ParseFilmSpec(spec);
    const int32_t film = films::Make(FT_ALPHA, lumo.FIDBuff());
    if (film < 0) return nullptr;
    ApplyFilmSpec(lumo, film, record);
    return AddFitted(rects, lTag, sTag, film);
}

clsEventRect* MakeButtonAt(clsLumoDriver& lumo, clsEventRects& rects, long lTag,
                           const std::string& sTag, const std::string& png, long x, long y,
                           long height, bool alphaPicture) {
    const int32_t film = films::Make(alphaPicture ? FT_ALPHA : FT_IMAGE, lumo.FIDBuff());
    if (film < 0) return nullptr;
    if (!png.empty()) lumo.LoadPng(film, png, true, true);
    films::Set(film, FP_HEIGHT, Sane(height));
    films::Set(film, FP_POS, static_cast<int32_t>(x), static_cast<int32_t>(y));
    films::RunQueue();
    return AddFitted(rects, lTag, sTag, film);
}

}  // namespace zelk
