#include "common/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#include "common/text.h"

namespace zelk {

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string JoinPath(std::string_view base, std::string_view name) {
    if (base.empty()) return std::string(name);
    if (name.empty()) return std::string(base);
    std::string out(base);
    if (out.back() != '/') out.push_back('/');
    out.append(name.front() == '/' ? name.substr(1) : name);
    return out;
}

namespace {

// Lower-cased name -> real name of every entry of a folder, keyed by the
// folder's path and remembered with its modification time.
class ListingCache {
public:
    std::optional<std::string> Find(const std::string& folder, const std::string& lowerName) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
        std::lock_guard lock(mMutex);
        Listing& listing = mListings[folder];
        if (!listing.valid || listing.modified.tv_sec != info.st_mtim.tv_sec ||
            listing.modified.tv_nsec != info.st_mtim.tv_nsec) {
            Fill(listing, folder);
            listing.modified = info.st_mtim;
        }
        const auto found = listing.names.find(lowerName);
        if (found == listing.names.end()) return std::nullopt;
        return found->second;
    }

private:
    struct Listing {
        bool valid = false;
        timespec modified{};
        std::map<std::string, std::string> names;
    };

    static void Fill(Listing& listing, const std::string& folder) {
        listing.names.clear();
        std::vector<std::string> entries;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            entries.push_back(entry.path().filename().string());
        }
        // Sorted so that two names differing only in case resolve the same
        // way on every run.
        std::sort(entries.begin(), entries.end());
        for (const std::string& entry : entries)
            listing.names.emplace(ToLowerAscii(entry), entry);
        listing.valid = true;
    }

    std::mutex mMutex;
    std::map<std::string, Listing> mListings;
};

ListingCache& Listings() {
    static ListingCache cache;
    return cache;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

struct RefusedNameSink {
    std::mutex mutex;
    RefusedNameReport report;
};

RefusedNameSink& Refused() {
    static RefusedNameSink refused;
    return refused;
}

thread_local const NamePlace* tInnermostPlace = nullptr;

void Refuse(std::string_view name, const std::string& why) {
    RefusedNameReport report;
    {
        std::lock_guard lock(Refused().mutex);
        report = Refused().report;
    }
    if (report) report(std::string(name), why);
}

// True when `path`, with every link followed, lies in `folder` or is it.
bool StaysInside(const std::string& folder, const std::string& path) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) return false;
    const std::filesystem::path top = std::filesystem::canonical(folder, error);
    if (error) return false;
    const auto [stop, at] = std::mismatch(top.begin(), top.end(), real.begin(), real.end());
    return stop == top.end();
}

}  // namespace

std::string WhyNameLeavesFolder(std::string_view name) {
    if (name.find("://") != std::string_view::npos) return "is a URL";
    // No file of a game made on a system with drive letters has a colon in
    // its name; here one would name a protocol.
    if (name.find(':') != std::string_view::npos) return "names a protocol or a drive";
    if (!name.empty() && (name.front() == '/' || name.front() == '\\'))
        return "is an absolute name";
    int depth = 0;
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find_first_of("\\/", pos);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view part = name.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".") continue;
        depth += part == ".." ? -1 : 1;
        if (depth < 0) return "climbs out of its folder with \"..\"";
    }
    return {};
}

NamePlace::NamePlace(std::string place) : mPlace(std::move(place)), mOuter(tInnermostPlace) {
    tInnermostPlace = this;
}

NamePlace::~NamePlace() {
    tInnermostPlace = mOuter;
}

std::string NamePlace::Current() {
    return tInnermostPlace ? tInnermostPlace->mPlace : std::string();
}

bool AcceptName(std::string_view name) {
    const std::string why = WhyNameLeavesFolder(name);
    if (why.empty()) return true;
    Refuse(name, why);
    return false;
}

RefusedNameReport SetRefusedNameReport(RefusedNameReport report) {
    std::lock_guard lock(Refused().mutex);
    std::swap(Refused().report, report);
    return report;
}

std::optional<std::string> ResolvePath(std::string_view base, std::string_view name) {
    if (!AcceptName(name)) return std::nullopt;
    std::string path(base.empty() ? "." : base);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (!FolderExists(path)) return std::nullopt;
    const std::string folder = path;

    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find_first_of("\\/", pos);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view part = name.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            path = JoinPath(path, "..");
            continue;
        }
        std::string exact = JoinPath(path, part);
        if (Exists(exact)) {
            path = std::move(exact);
            continue;
        }
        const auto real = Listings().Find(path, ToLowerAscii(part));
        if (!real) return std::nullopt;
        path = JoinPath(path, *real);
    }
    // A link in a downloaded game may point anywhere: at the reader's own
    // files, or at a device that never ends.
    if (!StaysInside(folder, path)) {
        Refuse(name, "leads out of its folder through a link");
        return std::nullopt;
    }
    return path;
}

}  // namespace zelk
