// A stage described as data: the terrain (floor and ceiling segments, blocks, cleared gaps), the
// decorations the picture shows (finish banner, signs) and what the game places on it (speed
// markers, the finish line). The game reads its stages from these files when it starts, and the
// game paints the collision bitmap from its terrain (world/collision_painting.h) while the picture
// is drawn from the same Level, so the collision bitmap and the picture agree pixel for pixel on
// where the terrain is, and the level file is the only place these facts are written.
//
// File format, one command per line, '#' starts a comment, coordinates in stage pixels:
//   size W H                  stage size (default 18000 480; before any other command; at most the
//                             largest bitmap a client creates: kMaxBitmapSide on a side,
//                             kMaxBitmapArea in all)
//   theme N                   look of the picture (1 to kLevelThemes)
//   picture PATH              where the game reads the picture ("Img/..."; required in a shipped
//                             stage; a player's own stage ignores it: its picture is drawn from
//                             its theme, world/own_stages.h)
//   collision PATH            accepted and ignored (older files named a collision image; the
//                             collision bitmap is painted from the terrain now)
//   floor X1 X2 TOP           terrain in columns X1..X2-1 from row TOP down to the bottom
//   ceiling X1 X2 DEPTH       terrain in columns X1..X2-1 from row 0 down to row DEPTH-1
//   block X1 X2 Y1 Y2         terrain in columns X1..X2-1, rows Y1..Y2-1
//   clear X1 X2 Y1 Y2         free space in that rectangle (gaps cut into earlier terrain)
//   speed X N                 a speed marker: from column X on the camera scrolls N px a frame
//                             (at least one; the game places them in file order)
//   finish X BOTTOM HEIGHT    the finish line: column X, rows BOTTOM-HEIGHT..BOTTOM; the
//                             banner is painted on column X (exactly one)
//   sign X Y TEXT...          a painted sign in the background (text up to the end of the line;
//                             a leading "^ " or "v " draws an arrow up or down)
// Terrain commands apply in file order. Rectangles are clipped to the stage. A path is made of
// letters, digits and "_-./", starts with "Img/" and never climbs out of it with "..".
//
// A level file is outside input: at most kMaxLevelBytes, kMaxLevelLineBytes a line and
// kMaxLevelCommands commands, each number within the stage.
#pragma once

#include <string>
#include <vector>

constexpr int kLevelThemes = 6;
constexpr size_t kMaxLevelBytes = 64 * 1024;
constexpr size_t kMaxLevelLineBytes = 200;
constexpr int kMaxLevelCommands = 1000;

struct LevelSign {
    int x = 0, y = 0;
    std::string text;
};

struct LevelSpeedMarker {
    int x = 0;
    int speed = 0;
};

struct LevelFinish {
    int x = -1;  // -1 until the level names it
    int bottomY = 0;
    int height = 0;
};

// One terrain command: the rectangle of columns x1..x2-1 and rows y1..y2-1, made terrain or free.
struct LevelRect {
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    bool solid = true;
};

struct Level {
    int width = 18000;
    int height = 480;
    int theme = 1;
    std::string picturePath;
    std::vector<LevelSpeedMarker> speedMarkers;
    LevelFinish finish;
    std::vector<LevelRect> terrain;  // in file order, clipped to the stage
    std::vector<LevelSign> signs;
    // width * height, 1 = terrain: empty until paintTerrain (the game never needs it).
    std::vector<unsigned char> solid;

    bool isSolid(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && solid[size_t(y) * width + x] != 0;
    }
};

// Reads a level from `text`; `source` (its path) names it in messages. Returns false with `error`
// set when the text is too large ("SOURCE: ..."), when a line is malformed or too long
// ("SOURCE:LINE: linha invalida: TEXT") or when the level lacks its finish line, a speed marker or
// an image path when `pictureRequired` ("SOURCE: ..."). Never exits and never prints.
bool readLevel(const std::string& source, const std::string& text, Level& level, std::string& error,
               bool pictureRequired = true);

// Reads the level file at `path` (at most kMaxLevelBytes of it) into `text`; false with `error`
// set ("nao foi possivel ler a fase PATH", "PATH: ...") when it cannot be read or is too large.
bool readLevelText(const std::string& path, std::string& text, std::string& error);

// The name of the level whose text is `text`: its first line's words after the colon up to the
// first full stop ("# Stage 1: colinas verdes. Floor ..." names it "colinas verdes"), at most 40
// printable characters; "fase N" (N: `number`) when that line gives none.
std::string levelName(const std::string& text, int number);

// Paints `level.terrain` into `level.solid` (keeping its storage when it is already the size).
void paintTerrain(Level& level);
