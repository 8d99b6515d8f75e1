#include "drivers/event_rect.h"

#include <algorithm>
#include <cstdint>

#include "common/numbers.h"
#include "common/text.h"
#include "lumo.h"

namespace zelk {

// [SECTION] clsEventRect

clsEventRect& clsEventRect::Move(long left, long top, long width, long height) {
    x1 = left;
    if (top != -1) y1 = top;
    if (width != -1) x2 = x1 + width;
    if (height != -1) y2 = y1 + height;
    return *this;
}

clsEventRect& clsEventRect::size(long width, long height) {
    x2 = x1 + width;
    y2 = y1 + height;
    return *this;
}

clsEventRect& clsEventRect::FitFilm(long filmID) {
    std::int32_t pos[2] = {0, 0};
    std::int32_t extent[2] = {0, 0};
    const auto film = static_cast<std::int32_t>(filmID);
    if (GetFilmProp(film, FP_POS, pos) == 0 && GetFilmProp(film, FP_SIZE, extent) == 0) {
        x1 = pos[0];
        y1 = pos[1];
        x2 = x1 + extent[0];
        y2 = y1 + extent[1];
    }
    FilmID = filmID;
    return *this;
}

clsEventRect& clsEventRect::SetType(bool bLClick, bool bPoint, bool bDClick, bool bRClick) {
    RectType = (bLClick ? kLeftClick : 0) + (bPoint ? kPoint : 0) + (bDClick ? kDoubleClick : 0) +
               (bRClick ? kRightClick : 0);
    return *this;
}

namespace {

const char* BoolText(bool value) {
    return value ? "True" : "False";
}

}  // namespace

std::string clsEventRect::SavedForm() const {
    const std::string values[] = {std::to_string(RectType),
                                  std::to_string(lTag),
                                  STag,
                                  BoolText(Enabled),
                                  std::to_string(KBOrder),
                                  std::to_string(x1),
                                  std::to_string(y1),
                                  std::to_string(x2),
                                  std::to_string(y2),
                                  PointScript,
                                  ClickScript,
                                  Extension,
                                  TargetCID};
    std::string text = values[0];
    for (std::size_t i = 1; i < std::size(values); ++i)
        text += ',' + values[i];
    return text;
}

bool clsEventRect::ParseSavedForm(const std::string& text) {
    const auto v = SplitText(text, ",");
    if (v.size() < 12) return false;
    RectType = ReadLong(v[0]);
    lTag = ReadLong(v[1]);
    STag = v[2];
    Enabled = ReadBool(TrimChars(v[3], " "), true);
    KBOrder = ReadLong(v[4]);
    x1 = ReadLong(v[5]);
    y1 = ReadLong(v[6]);
    x2 = ReadLong(v[7]);
    y2 = ReadLong(v[8]);
    PointScript = v[9];
    ClickScript = v[10];
    Extension = v[11];
    // Older saves end before the character ID.
    TargetCID = v.size() > 12 ? v[12] : std::string();
    return true;
}

// [SECTION] clsEventRects

clsEventRect& clsEventRects::Add(long lTag, const std::string& STag) {
    long index = 0;
    while (Exist(index))
        ++index;
    auto& rect = *mRects.emplace_back(std::make_unique<clsEventRect>(index));
    rect.lTag = lTag;
    rect.STag = STag;
    return rect;
}

clsEventRect* clsEventRects::Item(long index) const {
    for (const auto& rect : mRects) {
        if (rect->Index == index) return rect.get();
    }
    return nullptr;
}

void clsEventRects::Remove(long index) {
    std::erase_if(mRects, [index](const auto& rect) { return rect->Index == index; });
}

void clsEventRects::RemoveByTag(const std::string& STag) {
    std::erase_if(mRects, [&STag](const auto& rect) { return rect->STag == STag; });
}

void clsEventRects::EnabledByTag(const std::string& STag, bool bNew) {
    for (const auto& rect : mRects) {
        if (rect->STag == STag) rect->Enabled = bNew;
    }
}

long clsEventRects::CountByTag(const std::string& STag) const {
    return static_cast<long>(std::count_if(
        mRects.begin(), mRects.end(), [&STag](const auto& rect) { return rect->STag == STag; }));
}

clsEventRect* clsEventRects::GetRectByTag(const std::string& STag, long lTag) const {
    for (const auto& rect : mRects) {
        if (rect->STag == STag && rect->lTag == lTag) return rect.get();
    }
    return nullptr;
}

clsEventRect* clsEventRects::HitTest(long x, long y, long wantedBits) const {
    clsEventRect* hit = nullptr;
    for (const auto& rect : mRects) {
        if ((rect->RectType & wantedBits) != 0 && rect->IsPntInRect(x, y)) hit = rect.get();
    }
    return hit;
}

void clsEventRects::ShowAllRect(const std::function<void(const std::string&)>& log) const {
    if (!log) return;
    log("EventRect Info... " + std::to_string(Count()) + " Rects ");
    for (const auto& r : mRects) {
        std::string type;
        if (r->IsLClickSense()) type += 'L';
        if (r->IsRClickSese()) type += 'R';
        if (r->IsDClickSense()) type += 'D';
        if (r->IsPointSense()) type += 'P';
        log(FormatMessageArgs(
            "ID=%1:(%2,%3)-(%4,%5):Tyep='%6':Tag=%7,'%8':KB=%9",
            {std::to_string(r->Index), std::to_string(r->x1), std::to_string(r->y1),
             std::to_string(r->x2), std::to_string(r->y2), type, std::to_string(r->lTag), r->STag,
             std::to_string(r->KBOrder)}));
    }
}

}  // namespace zelk
