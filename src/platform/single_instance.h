// Refuses a second instance of the program on the same game folder. The lock
// is an abstract local socket named after the folder: the kernel frees it
// when the process dies, however it dies, and it leaves no file behind.
#pragma once

#include <string>

namespace zelk {

class SingleInstanceLock {
public:
    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another process holds the lock for this folder.
    bool Acquire(const std::string& folder);

private:
    int mSocket = -1;
};

}  // namespace zelk
