#include "modes/page_rollback.h"

namespace zelk {

void PageRollback::Limit(std::size_t limit) {
    mLimit = limit;
    while (mPages.size() > mLimit)
        mPages.pop_front();
}

void PageRollback::Record(Page page) {
    mLastKey = page.pageKey;
    if (mLimit == 0) return;
    mPages.push_back(std::move(page));
    if (mPages.size() > mLimit) mPages.pop_front();
}

std::optional<PageRollback::Page> PageRollback::Back(std::size_t steps) {
    if (steps == 0 || steps > mPages.size()) return std::nullopt;
    const auto at = mPages.end() - static_cast<std::ptrdiff_t>(steps);
    Page page = std::move(*at);
    mPages.erase(at, mPages.end());
    mLastKey = -1;
    return page;
}

std::size_t PageRollback::StepsToEntry(long historyEntry) const {
    if (historyEntry < 0) return 0;
    for (std::size_t steps = 1; steps <= mPages.size(); ++steps) {
        if (mPages[mPages.size() - steps].historyEntry == historyEntry) return steps;
    }
    return 0;
}

void PageRollback::Clear() {
    mPages.clear();
    mLastKey = -1;
}

std::size_t PageRollback::Bytes() const {
    std::size_t bytes = sizeof(*this);
    for (const Page& page : mPages)
        bytes += sizeof(Page) + page.image.document.capacity();
    return bytes;
}

}  // namespace zelk
