#pragma once
// The engine's trace file. Every line opens the file for appending, writes
// and closes it again, so a crash loses nothing and other writers of the same
// file are never overwritten; nothing is written while no path is kept.

#include <cstdarg>
#include <mutex>
#include <string>

namespace wavo {

class DebugLog {
public:
    // The one log of the loaded library: SetDebugLog may come before the
    // engine exists and the path outlives a failed start.
    static DebugLog& Instance();

    void SetPath(std::string path);
    void Forget();
    bool Enabled();
    // printf-style; one formatted line is limited to 1024 bytes.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void WriteText(const std::string& text);

private:
    std::mutex mLock;
    std::string mPath;
};

// printf-style line to the engine's trace.
#define WAVO_LOG(...) ::wavo::DebugLog::Instance().Write(__VA_ARGS__)

}  // namespace wavo
