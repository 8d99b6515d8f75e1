#include "settings/key_trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace zelk {

const std::string& KeyTraceFile() {
    static const std::string file = [] {
        const char* named = std::getenv("ZELK_KEY_TRACE");
        return std::string(named == nullptr ? "" : named);
    }();
    return file;
}

void TraceKeyRead(const std::string& file, const std::string& section, const std::string& key) {
    if (KeyTraceFile().empty()) return;
    static std::mutex guard;
    static std::set<std::string> written;
    const std::string line = file + "\t" + section + "\t" + key + "\n";
    const std::lock_guard lock(guard);
    if (!written.insert(line).second) return;
    // Appended and closed at once: a player that is killed keeps what it read.
    if (FILE* out = std::fopen(KeyTraceFile().c_str(), "ab")) {
        std::fputs(line.c_str(), out);
        std::fclose(out);
    }
}

}  // namespace zelk
