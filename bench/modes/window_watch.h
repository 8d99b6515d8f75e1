#pragma once
// Whether a viewable window of the X server in DISPLAY belongs to a process
// (its _NET_WM_PID), looked for among the root's children and theirs, where
// a window manager puts its frames. Kept apart from the benchmarks: X11's
// macros and GoogleTest's names do not mix.

#include <sys/types.h>

#include <memory>

class WindowWatch {
public:
    WindowWatch();
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    // False without an X server.
    bool Usable() const;
    bool Shown(pid_t pid);

private:
    struct Connection;
    std::unique_ptr<Connection> mConnection;
};
