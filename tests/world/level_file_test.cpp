// The level parser: the stage facts read in file order, a malformed line named by file and line,
// and a level without its finish line, a speed marker or its image paths refused.
#include "world/level_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Every fact a level must state, on lines 1 to 4.
const std::string kRequired =
    "picture Img/Jogo/a.jpg\n"
    "collision Img/Jogo/b.bmp\n"
    "speed 2 10\n"
    "finish 90 40 10\n";

struct Parsed {
    bool ok = false;
    Level level;
    std::string error;
};

Parsed parse(const std::string& text) {
    Parsed parsed;
    parsed.ok = readLevel("fase.txt", text, parsed.level, parsed.error);
    if (parsed.ok) paintTerrain(parsed.level);
    return parsed;
}

std::vector<std::pair<int, int>> markersOf(const Level& level) {
    std::vector<std::pair<int, int>> markers;
    for (const LevelSpeedMarker& marker : level.speedMarkers)
        markers.emplace_back(marker.x, marker.speed);
    return markers;
}

}  // namespace

TEST(LevelParser, ReadsTheStageFactsInFileOrder) {
    const Parsed parsed = parse(
        "size 100 48   # small\n"
        "theme 2\n"
        "picture Img/Jogo/visual9.jpg\n"
        "collision Img/Jogo/mapa-9_b.bmp\n"
        "speed 60 20\n"
        "floor 0 100 40\n"
        "speed 2 11\n"
        "finish 95 39 30\n"
        "speed 80 7\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const Level& level = parsed.level;
    EXPECT_EQ(level.width, 100);
    EXPECT_EQ(level.height, 48);
    EXPECT_EQ(level.theme, 2);
    EXPECT_EQ(level.picturePath, "Img/Jogo/visual9.jpg");
    const std::vector<std::pair<int, int>> expected{{60, 20}, {2, 11}, {80, 7}};
    EXPECT_EQ(markersOf(level), expected);
    EXPECT_EQ(level.finish.x, 95);
    EXPECT_EQ(level.finish.bottomY, 39);
    EXPECT_EQ(level.finish.height, 30);
    EXPECT_TRUE(level.isSolid(50, 40));
    EXPECT_FALSE(level.isSolid(50, 39));
}

TEST(LevelParser, NamesTheFileAndLineOfAMalformedLine) {
    const std::vector<std::string> malformed = {
        "speed 2",                   // a word missing
        "speed 2 10 12",             // a word too many
        "speed -1 10",               // left of the stage
        "speed 18000 10",            // right of it
        "speed 2 0",                 // a camera that stops
        "finish 90 40",              // no height
        "finish 90 40 41",           // reaches above row 0
        "finish 90 480 10",          // below the stage
        "floor 0 10 x",              // not a number
        "block 0 10 99999999999 5",  // too large a number
        "theme 7",
        "picture /etc/passwd",      // outside the data folder
        "picture Img/../../x.jpg",  // climbing out of it
        "picture Img/a\"b.jpg",     // a character a source could not quote
        "collision Img/a.bmp Img/b.bmp",
        "teleport 1 2",
    };
    for (const std::string& line : malformed) {
        SCOPED_TRACE(line);
        const Parsed parsed = parse("# a comment\n\n" + line + "\n" + kRequired);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.error, "fase.txt:3: linha invalida: " + line);
    }
    // A second finish line, and a size once coordinates were already checked against another.
    for (const std::string line : {"finish 80 40 10", "size 100 48"}) {
        const Parsed late = parse(kRequired + line + "\n");
        EXPECT_FALSE(late.ok);
        EXPECT_EQ(late.error, "fase.txt:5: linha invalida: " + line);
    }
}

TEST(LevelParser, RefusesALevelWithoutItsFinishSpeedOrImages) {
    ASSERT_TRUE(parse(kRequired).ok) << parse(kRequired).error;
    const std::vector<std::pair<std::string, std::string>> missing = {
        {"picture", "fase.txt: a fase nao diz onde fica sua imagem (picture)"},
        {"speed", "fase.txt: a fase nao tem marcador de velocidade (speed)"},
        {"finish", "fase.txt: a fase nao tem linha de chegada (finish)"},
    };
    for (const auto& [command, message] : missing) {
        SCOPED_TRACE(command);
        std::istringstream lines(kRequired);
        std::string text, line;
        while (std::getline(lines, line))
            if (line.rfind(command + " ", 0) != 0) text += line + "\n";
        const Parsed parsed = parse(text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.error, message);
    }
}
