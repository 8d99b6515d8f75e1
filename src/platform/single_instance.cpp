#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace zelk {

SingleInstanceLock::~SingleInstanceLock() {
    for (const int fd : mSockets)
        close(fd);
}

bool SingleInstanceLock::Acquire(const std::string& folder) {
    // The same folder reached by two spellings is one game.
    char resolved[PATH_MAX];
    const std::string canonical = realpath(folder.c_str(), resolved) ? resolved : folder;
    // A hash keeps the name within the socket address whatever the path.
    const std::string name = "zelk-" + std::to_string(getuid()) + "-" +
                             std::to_string(std::hash<std::string>{}(canonical));
    if (std::find(mNames.begin(), mNames.end(), name) != mNames.end()) return true;

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading zero byte puts the name in the abstract namespace.
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());

    const int held = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (held < 0) return true;  // cannot tell; do not keep the reader out
    if (bind(held, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        // Only a name in use means another player; any other failure says
        // nothing about one, and must not keep the reader out.
        const bool taken = errno == EADDRINUSE;
        close(held);
        return !taken;
    }
    mSockets.push_back(held);
    mNames.push_back(name);
    return true;
}

}  // namespace zelk
