#include "so_list.h"

#include "so_dmusic.h"
#include "so_dsound.h"
#include "so_mci.h"

namespace wavo {

SOList::~SOList() {
    Clear();
}

int32_t SOList::Add(int32_t typeWord, const SOContext& context) {
    std::lock_guard lock(mLock);
    const int32_t family = (typeWord >> 16) & 0xFF;
    if (family != 0x03 && family != 0x04 && family != 0x08) return -1;
    const int32_t id = ++mCounter;
    switch (family) {
        case 0x03:
            mObjects.push_back(std::make_unique<SOMCI>(context, id, typeWord, mDefaults));
            break;
        case 0x04:
            mObjects.push_back(std::make_unique<SODMusic>(context, id, typeWord, mDefaults));
            break;
        default:
            mObjects.push_back(std::make_unique<SODSound>(context, id, typeWord, mDefaults));
            break;
    }
    return id;
}

SOBase* SOList::Find(int32_t id) {
    std::lock_guard lock(mLock);
    for (auto& object : mObjects) {
        if (object->Id() == id) return object.get();
    }
    return nullptr;
}

void SOList::Remove(int32_t id) {
    std::lock_guard lock(mLock);
    std::erase_if(mObjects, [id](const auto& object) { return object->Id() == id; });
}

void SOList::Clear() {
    std::lock_guard lock(mLock);
    while (!mObjects.empty())
        mObjects.pop_front();
}

int32_t SOList::Count() {
    std::lock_guard lock(mLock);
    return static_cast<int32_t>(mObjects.size());
}

std::vector<int32_t> SOList::Ids() {
    std::lock_guard lock(mLock);
    std::vector<int32_t> ids;
    for (auto& object : mObjects)
        ids.push_back(object->Id());
    return ids;
}

}  // namespace wavo
