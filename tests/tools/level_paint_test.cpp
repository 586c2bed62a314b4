// The level parser's terrain rectangles: clipped to the stage, right edges excluded, and quick on
// the largest stage. A 4 KB file of the largest stage then allowed (20000 x 2000) painted whole on
// every line took the level's fuzz target past its 10 s limit when rectangles were painted cell by
// cell; the stage is now also bounded by the largest bitmap a client creates.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "level.h"

namespace {

bool readLevel(const std::string& text, Level& level) {
    const std::string path = "level_paint_test.txt";
    std::ofstream(path) << text;
    const bool read = loadLevel(path, level);
    std::filesystem::remove(path);
    return read;
}

TEST(LevelPaint, RectanglesAreClippedToTheStageAndExcludeTheirRightAndBottomEdges) {
    Level level;
    ASSERT_TRUE(
        readLevel("size 12 6\n"
                  "floor -5 20 4\n"     // rows 4 and 5, every column
                  "block 2 4 -3 1\n"    // columns 2 and 3 of row 0
                  "clear 10 99 5 99\n"  // row 5 from column 10 on
                  "ceiling 7 7 6\n"     // empty: no column
                  "block 20 30 0 6\n",  // wholly outside
                  level));
    const char* expected[] = {"..##........", "............", "............",
                              "............", "############", "##########.."};
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(level.isSolid(x, y), expected[y][x] == '#') << x << "," << y;
        }
    }
}

TEST(LevelPaint, TheLargestStagePaintedWholeOnEveryLine) {
    std::string text = "size 18000 480\n";
    for (int i = 0; i < 125; ++i) text += "floor 0 18000 0\nclear 0 18000 0 480\n";
    text += "block 17999 18000 479 480\n";
    Level level;
    ASSERT_TRUE(readLevel(text, level));
    EXPECT_FALSE(level.isSolid(0, 0));
    EXPECT_FALSE(level.isSolid(17998, 479));
    EXPECT_TRUE(level.isSolid(17999, 479));
}

// A stage larger than the largest bitmap a client creates would be drawn but never shown: refused.
TEST(LevelPaint, AStageLargerThanAClientsLargestBitmapIsRefused) {
    Level level;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readLevel("# big\nsize 18001 10\n", level));
    EXPECT_FALSE(readLevel("size 20000 2000\n", level));
    EXPECT_FALSE(readLevel("size 9000 961\n", level));
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("level_paint_test.txt:2: linha invalida: size 18001 10"),
              std::string::npos)
        << messages;
    EXPECT_TRUE(readLevel("size 9000 960\n", level));
    EXPECT_EQ(level.solid.size(), 9000u * 960u);
}

}  // namespace
