// Refuses a second instance of the program on the same game folder, and on
// the same folder of the reader's files (two copies of one game share it).
// Each lock is an abstract local socket named after its folder: the kernel
// frees it when the process dies, however it dies, and it leaves no file
// behind.
#pragma once

#include <string>
#include <vector>

namespace zelk {

class SingleInstanceLock {
public:
    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Adds the folder to the ones this lock holds. False when another
    // process holds a lock on it; a folder this lock holds already (under any
    // spelling) is no obstacle.
    bool Acquire(const std::string& folder);

private:
    std::vector<int> mSockets;
    std::vector<std::string> mNames;
};

}  // namespace zelk
