#include "shared_library.h"

#include <dlfcn.h>

namespace wavo {

SharedLibrary::~SharedLibrary() {
    if (mHandle != nullptr) dlclose(mHandle);
}

bool SharedLibrary::Open(const std::string& file) {
    mFile = file;
    mMissing.clear();
    mHandle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr) {
        const char* why = dlerror();
        mOpenError = why != nullptr ? why : file + ": cannot be loaded";
        return false;
    }
    return true;
}

void* SharedLibrary::Lookup(const char* name) {
    if (mHandle == nullptr) return nullptr;
    dlerror();
    void* address = dlsym(mHandle, name);
    if (address == nullptr) {
        if (!mMissing.empty()) mMissing += ", ";
        mMissing += name;
    }
    return address;
}

void SharedLibrary::Keep() {
    if (mHandle == nullptr) return;
    // Opening it again by name marks the loaded library as never to be
    // unloaded; the extra handle itself is not needed.
    if (void* again = dlopen(mFile.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(again);
}

std::string SharedLibrary::Error() const {
    if (mHandle == nullptr) return mOpenError.empty() ? mFile + ": not opened" : mOpenError;
    if (!mMissing.empty()) return mFile + " lacks " + mMissing;
    return {};
}

}  // namespace wavo
