// The main of every test binary: SDL's headless drivers and the folders the
// tests read, unless the caller chose others. Setting them here, not in the
// test runner's environment, makes a binary run alone behave as under ctest.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// fontconfig keeps a little of its configuration, and Xlib its locale and
// input-method data, for the life of the process; the leak checker of
// sanitized builds is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libX11.so\n";
}

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // SDL asks D-Bus for thread priorities. Under a bare X server (the
    // clipboard tests' Xvfb) libdbus would autolaunch a session bus for
    // every process through dbus-launch, leaving daemons behind and leaking
    // in the sanitized builds; the tests need no bus.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    // The tests quote the player's built-in texts: the language of the
    // desktop that runs them must not change those (a test that wants
    // another language sets it for the player it starts).
    setenv("LANGUAGE", "C", 1);
    setenv("ZELK_TEST_DATA", ZELK_TEST_DATA, 0);
    setenv("ZELK_BIN_DIR", ZELK_BIN_DIR, 0);
    setenv("ZELK_SOURCE_DIR", ZELK_SOURCE_DIR, 0);
    // ctest runs every test in a process of its own, several at once: each
    // process gets a temporary folder of its own, so that two tests that
    // name the same scratch file never meet there. The players a test
    // starts inherit it.
    std::string scratch = (std::filesystem::temp_directory_path() / "zelk-tests-XXXXXX").string();
    const bool own = ::mkdtemp(scratch.data()) != nullptr;
    if (own) {
        setenv("TMPDIR", scratch.c_str(), 1);
        setenv("TEST_TMPDIR", scratch.c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    if (own) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }
    return status;
}
