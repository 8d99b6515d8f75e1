// Witnesses that something was left alone: a TCP listener on the loopback
// address that tells whether anything connected to it, and a watch on a file
// that tells whether anything opened it. Both look without waiting: a
// connection or an open made before the look has already been recorded.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace zelk::testing {

class LoopbackListener {
public:
    LoopbackListener() {
        mSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (mSocket < 0 || ::bind(mSocket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(mSocket, 8) != 0 ||
            ::getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        mPort = ntohs(address.sin_port);
    }
    ~LoopbackListener() {
        if (mSocket >= 0) ::close(mSocket);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    bool Ready() const { return mPort != 0; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(mPort) + "/" + path;
    }
    // A connection waits in the queue once its handshake is done, which on
    // the loopback device is before the connecting call returns.
    bool Connected() const {
        const int client = ::accept(mSocket, nullptr, nullptr);
        if (client < 0) return false;
        ::close(client);
        return true;
    }

private:
    int mSocket = -1;
    int mPort = 0;
};

class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) {
        mFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (mFd >= 0) mWatch = ::inotify_add_watch(mFd, path.c_str(), IN_OPEN);
    }
    ~OpenWatch() {
        if (mFd >= 0) ::close(mFd);
    }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool Ready() const { return mWatch >= 0; }
    bool Opened() const {
        alignas(inotify_event) char events[4096];
        return ::read(mFd, events, sizeof events) > 0;
    }

private:
    int mFd = -1;
    int mWatch = -1;
};

}  // namespace zelk::testing
