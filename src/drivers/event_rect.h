// clsEventRect and clsEventRects: the screen areas that react to the pointer
// and the keyboard (choice items, window buttons, a scenario's own areas).
// The collection belongs to the game view; everyone else refers to a
// rectangle by its Index and looks it up again when it needs it, because a
// rectangle may be removed (by tag, by a loaded save) at any pump of events.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk {

class clsEventRect {
public:
    // RectType bits.
    static constexpr long kLeftClick = 1;
    static constexpr long kRightClick = 2;
    static constexpr long kPoint = 4;
    static constexpr long kDoubleClick = 8;

    explicit clsEventRect(long index = 0) : Index(index) {}

    long Index;
    long RectType = kLeftClick | kPoint;
    long lTag = 0;
    std::string STag;
    bool Enabled = true;
    long KBOrder = -1;
    long x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // inclusive corners, screen pixels
    long FilmID = 0;
    std::string TargetCID;
    std::string PointScript;
    std::string ClickScript;
    std::string Extension;

    // A top, width or height of -1 keeps that corner where it is.
    clsEventRect& Move(long left, long top, long width = -1, long height = -1);
    clsEventRect& size(long width, long height);
    // Moves the rectangle onto the film's position and size in the film
    // engine; a film it cannot read leaves the corners as they were.
    clsEventRect& FitFilm(long filmID);
    clsEventRect& SetType(bool bLClick, bool bPoint, bool bDClick, bool bRClick);

    bool IsLClickSense() const { return (RectType & kLeftClick) != 0; }
    bool IsRClickSese() const { return (RectType & kRightClick) != 0; }
    bool IsPointSense() const { return (RectType & kPoint) != 0; }
    bool IsDClickSense() const { return (RectType & kDoubleClick) != 0; }
    bool IsPntInRect(long x, long y) const {
        return Enabled && x1 <= x && x <= x2 && y1 <= y && y <= y2;
    }

    // The saved form: twelve values joined by ",". Parse gives false (and
    // leaves the rectangle as it was) when fewer values are there.
    std::string SavedForm() const;
    bool ParseSavedForm(const std::string& text);
    // "wndbutton" and "selectionitem" belong to the base film set, which
    // makes them anew; they are never saved.
    bool IsSaved() const { return STag != "wndbutton" && STag != "selectionitem"; }
};

class clsEventRects {
public:
    using Rects = std::vector<std::unique_ptr<clsEventRect>>;

    // The lowest free index from 0 upwards.
    clsEventRect& Add(long lTag, const std::string& STag);
    clsEventRect* Item(long index) const;
    bool Exist(long index) const { return Item(index) != nullptr; }
    void Remove(long index);
    long Count() const { return static_cast<long>(mRects.size()); }
    void Clear() { mRects.clear(); }

    // Insertion order, as the view searches them.
    const Rects& All() const { return mRects; }
    auto begin() const { return mRects.begin(); }
    auto end() const { return mRects.end(); }

    void RemoveByTag(const std::string& STag);
    void EnabledByTag(const std::string& STag, bool bNew);
    long CountByTag(const std::string& STag) const;
    clsEventRect* GetRectByTag(const std::string& STag, long lTag) const;

    // The last enabled rectangle containing the point that senses one of
    // the wanted RectType bits: a rectangle added later wins where they
    // overlap. Null when none does.
    clsEventRect* HitTest(long x, long y, long wantedBits) const;

    // Debug listing, one line to `log` per rectangle after a heading.
    void ShowAllRect(const std::function<void(const std::string&)>& log) const;

private:
    Rects mRects;
};

}  // namespace zelk
