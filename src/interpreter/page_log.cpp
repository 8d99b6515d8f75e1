#include "interpreter/page_log.h"

#include <ctime>
#include <utility>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/text.h"

namespace zelk {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

int CountLineEnds(const std::string& text) {
    int count = 0;
    for (std::size_t pos = text.find(kLineEnd); pos != std::string::npos;
         pos = text.find(kLineEnd, pos + kLineEnd.size()))
        ++count;
    return count;
}

std::string JoinLines(const std::vector<std::string>& lines, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += kLineEnd;
        text += lines[from + i];
    }
    return text;
}

}  // namespace

PageLog::PageLog() : mPages(1) {
    StopWatch();
}

PageLog::~PageLog() {
    if (!mPath.empty() && mAutoSave) Save();
}

// [SECTION] Writing

void PageLog::Append(std::string text, const std::string& tag) {
    if (mPageSize != 0 && mPosition >= mPageSize + 1) {
        if (BeforePageTurn) BeforePageTurn();
        mPages.emplace_back();
        mPosition = 1;
        if (PageTurned) PageTurned();
    }
    if (LineWrote) LineWrote(text, tag);
    mPages.back() += text;
    mPosition += CountLineEnds(text);
}

void PageLog::PutMsg(const std::string& message, const std::string& tag, bool addLineEnd) {
    if (message.empty()) {
        if (addLineEnd) {
            Append(std::exchange(mLineBuffer, std::string()) + std::string(kLineEnd), tag);
        } else if (!mLineBuffEnabled) {
            Append(std::string(), tag);
        }
        return;
    }
    std::vector<std::string> pieces = SplitText(message, kLineEnd);
    pieces.front().insert(0, std::exchange(mLineBuffer, std::string()));
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i)
        Append(pieces[i] + std::string(kLineEnd), tag);
    std::string& last = pieces.back();
    if (addLineEnd) {
        Append(last + std::string(kLineEnd), tag);
    } else if (mLineBuffEnabled) {
        mLineBuffer = std::move(last);
    } else {
        Append(std::move(last), tag);
    }
}

void PageLog::FlashLineBuff(const std::string& tag) {
    Append(std::exchange(mLineBuffer, std::string()), tag);
}

// [SECTION] Content

std::string PageLog::Log() const {
    std::string text;
    for (const std::string& page : mPages)
        text += page;
    return text + mLineBuffer;
}

void PageLog::Log(const std::string& text) {
    mPages.assign(1, std::string());
    mLineBuffer.clear();
    if (text.find(kLineEnd) != std::string::npos) {
        std::vector<std::string> lines = SplitText(text, kLineEnd);
        if (mLineBuffEnabled) mLineBuffer = std::exchange(lines.back(), std::string());
        const auto n = static_cast<int>(lines.size());
        if (mPageSize == 0) {
            mPages[0] = JoinLines(lines, 0, lines.size());
            mPosition = n;
        } else {
            int pages = n / mPageSize + 1;
            mPosition = n % mPageSize;
            if (mPosition == 0) {
                --pages;
                mPosition = mPageSize;
            }
            mPages.assign(static_cast<std::size_t>(pages), std::string());
            const auto size = static_cast<std::size_t>(mPageSize);
            for (std::size_t page = 0; page + 1 < mPages.size(); ++page)
                mPages[page] = JoinLines(lines, page * size, size) + std::string(kLineEnd);
            mPages.back() =
                JoinLines(lines, (mPages.size() - 1) * size, static_cast<std::size_t>(mPosition));
        }
    } else {
        mPosition = 1;
        (mLineBuffEnabled ? mLineBuffer : mPages[0]) = text;
    }
    if (AllTextLet) AllTextLet();
    if (text.empty() && AllClear) AllClear();
}

std::string PageLog::PageText(int page) const {
    if (page == -1) return mPages.back();
    if (page < 0 || page >= PageCount()) return std::string();
    return mPages[static_cast<std::size_t>(page)];
}

void PageLog::PageSize(int size) {
    if (size < 0) return;
    const std::string text = Log();
    mPageSize = size;
    Log(text);
}

// [SECTION] Saving

void PageLog::SaveMode(int mode) {
    if (mode >= 0 && mode <= 2) mSaveMode = mode;
}

bool PageLog::Save(const std::string& path) {
    const std::string target = path.empty() ? mPath : path;
    if (target.empty()) return false;
    std::string bytes;
    if (mSaveMode == 0) {
        // Appending, done as a whole new file so that a crash never leaves
        // the earlier log cut short.
        if (auto old = ReadFileBytes(target)) bytes = std::move(*old);
    }
    bytes += mEncoding.Encode(Log());
    if (!WriteFileAtomic(target, bytes)) return false;
    if (mSaveMode != 2) Log(std::string());
    return true;
}

// [SECTION] Stopwatch

void PageLog::StopWatch() {
    mStopWatchStart = std::chrono::steady_clock::now();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    mStopWatchDate = text;
}

int PageLog::StopWatchPassage() const {
    const auto elapsed = std::chrono::steady_clock::now() - mStopWatchStart;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
}

}  // namespace zelk
