#pragma once
// SharedLibrary: an optional library opened with dlopen when its feature is
// first used, so that start-up neither maps it nor fails without it. Every
// function the engine calls is looked up when the library opens: a library
// that lacks one counts as missing as a whole, never as a crash on the one
// call that needed it.

#include <string>

namespace wavo {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Opens `file` (a soname, looked for where the dynamic linker looks, or
    // a path). False with Error() when it cannot be loaded.
    bool Open(const std::string& file);

    // Looks `name` up and stores its address in `function`; a name that is
    // not there is noted for Complete() and leaves `function` null.
    template <typename Function>
    void Find(const char* name, Function*& function) {
        function = reinterpret_cast<Function*>(Lookup(name));
    }

    // True when the library opened and every Find found its name; else
    // false with Error() naming the library and what it lacked.
    bool Complete() const { return mHandle != nullptr && mMissing.empty(); }
    std::string Error() const;

    // Keeps the library mapped for the life of the process, closed or not:
    // a decoder thread or an exit handler of the library may still run its
    // code after the last handle is gone. Until then a library that failed,
    // or whose companions failed, leaves the process again when closed.
    void Keep();

private:
    void* Lookup(const char* name);

    void* mHandle = nullptr;
    std::string mFile;
    std::string mOpenError;
    std::string mMissing;  // names not found, comma-separated
};

}  // namespace wavo
