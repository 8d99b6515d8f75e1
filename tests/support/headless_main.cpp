// The main of every test binary: SDL's headless drivers and the folders the
// tests read, unless the caller chose others. Setting them here, not in the
// test runner's environment, makes a binary run alone behave as under ctest.
#include <gtest/gtest.h>

#include <cstdlib>

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
    setenv("ZELK_TEST_DATA", ZELK_TEST_DATA, 0);
    setenv("ZELK_BIN_DIR", ZELK_BIN_DIR, 0);
    setenv("ZELK_SOURCE_DIR", ZELK_SOURCE_DIR, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
