// Test runner: the game code needs the graphics library initialised, but no display: Allegro runs
// with its null system driver, and every test draws into memory bitmaps at 32-bit colour.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
