// PageRollback: the pages a reader may go back to in this sitting, newest
// last, each the whole state of the running game as a save slot would hold
// it, kept in memory. A page is recorded as the reader leaves it, so the
// page now shown is never among them and going back one page restores the
// newest. Only the newest `Limit` pages are kept.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "modes/save_data.h"

namespace zelk {

class PageRollback {
public:
    struct Page {
        clsSaveData::Image image;
        // The text history's entry the page shows, -1 for a page without
        // one (choices, clickable areas).
        long historyEntry = -1;
        // Tells the waits of one page apart from the next page's.
        long pageKey = -1;
    };

    explicit PageRollback(std::size_t limit = 100) : mLimit(limit) {}

    std::size_t Limit() const { return mLimit; }
    // A smaller limit drops the oldest pages at once; 0 keeps none.
    void Limit(std::size_t limit);

    // Whether leaving a wait of this page makes a new record: the first
    // wait of each page does, later waits of the same page do not.
    bool IsNewPage(long pageKey) const { return pageKey != mLastKey; }
    void Record(Page page);
    // The reader is back on a page that is to be recorded again however
    // its key compares.
    void ForgetLastKey() { mLastKey = -1; }

    std::size_t Count() const { return mPages.size(); }
    // Takes the page `steps` back (1 the newest) out of the record together
    // with every page after it; nothing for a step outside the record.
    std::optional<Page> Back(std::size_t steps);
    // How many steps back the newest page of the history entry lies; 0 when
    // no recorded page shows it.
    std::size_t StepsToEntry(long historyEntry) const;
    void Clear();

    // What the pages hold in memory, their bookkeeping included.
    std::size_t Bytes() const;

private:
    std::size_t mLimit;
    std::deque<Page> mPages;
    long mLastKey = -1;
};

}  // namespace zelk
