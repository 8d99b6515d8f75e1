#include "debug_log.h"

#include <algorithm>
#include <cstdio>

namespace wavo {

DebugLog& DebugLog::Instance() {
    static DebugLog log;
    return log;
}

void DebugLog::SetPath(std::string path) {
    std::lock_guard lock(mLock);
    mPath = std::move(path);
}

void DebugLog::Forget() {
    SetPath({});
}

bool DebugLog::Enabled() {
    std::lock_guard lock(mLock);
    return !mPath.empty();
}

void DebugLog::Write(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length < 0) return;
    WriteText(std::string(line, std::min<size_t>(static_cast<size_t>(length), sizeof line - 1)));
}

void DebugLog::WriteText(const std::string& text) {
    std::lock_guard lock(mLock);
    if (mPath.empty()) return;
    std::FILE* file = std::fopen(mPath.c_str(), "a");
    if (file == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace wavo
