// The level parser's terrain rectangles: clipped to the stage, right edges excluded, and quick on
// the largest stage. A 4 KB file of the largest stage painted whole on every line took the level's
// fuzz target past its 10 s limit when rectangles were painted cell by cell.
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
    std::string text = "size 20000 2000\n";
    for (int i = 0; i < 125; ++i) text += "floor 0 20000 0\nclear 0 20000 0 2000\n";
    text += "block 19999 20000 1999 2000\n";
    Level level;
    ASSERT_TRUE(readLevel(text, level));
    EXPECT_FALSE(level.isSolid(0, 0));
    EXPECT_FALSE(level.isSolid(19998, 1999));
    EXPECT_TRUE(level.isSolid(19999, 1999));
}

}  // namespace
