#pragma once
// The sound objects in creation order, and the defaults a new one copies.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "sound_object.h"

namespace wavo {

class SOList {
public:
    ~SOList();

    std::recursive_mutex& Mutex() { return mLock; }
    // Only under Mutex().
    std::list<std::unique_ptr<SOBase>>& Entries() { return mObjects; }
    SODefaults& Defaults() { return mDefaults; }
    int32_t& HostValue() { return mHostValue; }

    // The new object's id, or -1 when bits 16-23 of the type word name no class.
    int32_t Add(int32_t typeWord, const SOContext& context);
    SOBase* Find(int32_t id);
    // Destroys every object with that id.
    void Remove(int32_t id);
    void Clear();
    int32_t Count();
    std::vector<int32_t> Ids();

private:
    std::recursive_mutex mLock;
    std::list<std::unique_ptr<SOBase>> mObjects;
    SODefaults mDefaults;
    int32_t mCounter = -1;
    int32_t mHostValue = -1;
};

}  // namespace wavo
