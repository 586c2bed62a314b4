// Test runner: the game code needs the graphics library initialised, but no display: Allegro runs
// with its null system driver, and every test draws into memory bitmaps at 32-bit colour.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_problem.h"
#include "world/stage_list.h"

namespace {

// A file the game could not load is reported once per process: each test starts as a new process
// would, so that its expected lines do not depend on which tests ran before.
class FreshFileReports : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { forgetReportedFilesForTesting(); }
};

}  // namespace

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    // The shipped stages, read from the working directory (the build tree, beside Img/) as the game
    // reads them from its data folder, before a test moves into a folder of its own.
    shippedStages();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFileReports);
    return RUN_ALL_TESTS();
}
