// A stage described as data: the terrain (floor and ceiling segments, blocks, cleared gaps) and the
// decorations the picture shows (finish banner, signs). Both stage images are drawn from one Level,
// so the collision bitmap and the picture agree pixel for pixel on where the terrain is.
//
// File format, one command per line, '#' starts a comment, coordinates in stage pixels:
//   size W H                  stage size (default 18000 480; at most the largest bitmap a client
//                             creates, kMaxBitmapSide on a side and kMaxBitmapArea in all)
//   theme N                   look of the picture (1 or 2)
//   floor X1 X2 TOP           terrain in columns X1..X2-1 from row TOP down to the bottom
//   ceiling X1 X2 DEPTH       terrain in columns X1..X2-1 from row 0 down to row DEPTH-1
//   block X1 X2 Y1 Y2         terrain in columns X1..X2-1, rows Y1..Y2-1
//   clear X1 X2 Y1 Y2         free space in that rectangle (gaps cut into earlier terrain)
//   finish X                  where the finish banner is painted
//   sign X Y TEXT...          a painted sign in the background (text up to the end of the line;
//                             a leading "^ " or "v " draws an arrow up or down)
// Commands apply in file order. Rectangles are clipped to the stage.
#pragma once

#include <string>
#include <vector>

struct LevelSign {
    int x = 0, y = 0;
    std::string text;
};

struct Level {
    int width = 18000;
    int height = 480;
    int theme = 1;
    int finishX = -1;
    std::vector<unsigned char> solid;  // width * height, 1 = terrain
    std::vector<LevelSign> signs;

    bool isSolid(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && solid[size_t(y) * width + x] != 0;
    }
};

// Reads a level file. On a malformed line it prints the file, line number and line and returns
// false.
bool loadLevel(const std::string& path, Level& level);
