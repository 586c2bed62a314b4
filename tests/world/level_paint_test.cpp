// The level parser's terrain rectangles: clipped to the stage, right edges excluded, and quick on
// the largest stage. A 4 KB file of the largest stage then allowed (20000 x 2000) painted whole on
// every line took the level's fuzz target past its 10 s limit when rectangles were painted cell by
// cell; the stage is now also bounded by the largest bitmap a client creates.
#include <gtest/gtest.h>

#include <string>

#include "world/level_file.h"

namespace {

// The facts every level states besides its terrain, for a stage at least 12 x 6.
const std::string kFacts =
    "picture Img/Jogo/a.jpg\ncollision Img/Jogo/b.bmp\n"
    "speed 2 10\nfinish 5 5 3\n";

bool readPainted(const std::string& text, Level& level, std::string& error) {
    if (!readLevel("fase.txt", text, level, error)) return false;
    paintTerrain(level);
    return true;
}

TEST(LevelPaint, RectanglesAreClippedToTheStageAndExcludeTheirRightAndBottomEdges) {
    Level level;
    std::string error;
    ASSERT_TRUE(readPainted("size 12 6\n" + kFacts +
                                "floor -5 20 4\n"     // rows 4 and 5, every column
                                "block 2 4 -3 1\n"    // columns 2 and 3 of row 0
                                "clear 10 99 5 99\n"  // row 5 from column 10 on
                                "ceiling 7 7 6\n"     // empty: no column
                                "block 20 30 0 6\n",  // wholly outside
                            level, error))
        << error;
    const char* expected[] = {"..##........", "............", "............",
                              "............", "############", "##########.."};
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(level.isSolid(x, y), expected[y][x] == '#') << x << "," << y;
        }
    }
}

TEST(LevelPaint, TheLargestStagePaintedWholeOnEveryLine) {
    std::string text = "size 18000 480\n" + kFacts;
    for (int i = 0; i < 125; ++i) text += "floor 0 18000 0\nclear 0 18000 0 480\n";
    text += "block 17999 18000 479 480\n";
    Level level;
    std::string error;
    ASSERT_TRUE(readPainted(text, level, error)) << error;
    EXPECT_FALSE(level.isSolid(0, 0));
    EXPECT_FALSE(level.isSolid(17998, 479));
    EXPECT_TRUE(level.isSolid(17999, 479));
}

// A stage larger than the largest bitmap a client creates would be drawn but never shown: refused
// with its line.
TEST(LevelPaint, AStageLargerThanAClientsLargestBitmapIsRefused) {
    Level level;
    std::string error;
    EXPECT_FALSE(readPainted("# big\nsize 18001 10\n" + kFacts, level, error));
    EXPECT_EQ(error, "fase.txt:2: linha invalida: size 18001 10");
    EXPECT_FALSE(readPainted("size 20000 2000\n" + kFacts, level, error));
    EXPECT_FALSE(readPainted("size 9000 961\n" + kFacts, level, error));
    EXPECT_EQ(error, "fase.txt:1: linha invalida: size 9000 961");
    ASSERT_TRUE(readPainted("size 9000 960\n" + kFacts, level, error)) << error;
    EXPECT_EQ(level.solid.size(), 9000u * 960u);
}

}  // namespace
