#include "world/mapa.h"

#include <gtest/gtest.h>

#include "world/boost_tela.h"
#include "world/runner.h"
#include "world/runner_table.h"
#include "world/stage_image_error.h"
#include "world/world_fixture.h"

namespace {

// Functions, not constants: colours depend on the colour depth, set when the tests start.
int white() { return makecol(255, 255, 255); }
int black() { return makecol(0, 0, 0); }

// The 300-wide stage's terrain: a floor from row 400, a block cleared again in part.
const std::vector<LevelRect> kTerrain = {
    {0, 300, 400, 480, true}, {100, 120, 300, 400, true}, {100, 110, 300, 350, false}};

// A directory with the 300-wide stage's picture "v.bmp" (a blue gradient).
class StageFiles : public TempImageDir {
  public:
    StageFiles() {
        BITMAP* visual = create_bitmap(300, 480);
        for (int x = 0; x < 300; ++x) vline(visual, x, 0, 479, makecol(0, x % 200, 255));
        save("v.bmp", visual);
        destroy_bitmap(visual);
    }
};

TEST(Mapa, AServerLoadsNoImageYetRecordsThePictureAndPaintsTheTerrain) {
    StageFiles files;
    RecorderScope server(1);
    const int cameraId = nextObjectId();
    {
        Mapa map("v.bmp", 300, kTerrain);
        EXPECT_EQ(map.visual(), nullptr);
        EXPECT_EQ(map.buffer(), nullptr);
        ASSERT_NE(map.collision(), nullptr);
        ASSERT_NE(map.collisionWork(), nullptr);
        EXPECT_EQ(map.collisionWork()->w, 300);
        EXPECT_EQ(map.collisionWork()->h, 480);
        EXPECT_EQ(getpixel(map.collisionWork(), 5, 400), black());
        EXPECT_EQ(getpixel(map.collisionWork(), 5, 399), white());
        EXPECT_EQ(getpixel(map.collisionWork(), 115, 300), black());
        EXPECT_EQ(getpixel(map.collisionWork(), 105, 349), white()) << "cleared after the block";
        EXPECT_EQ(getpixel(map.collisionWork(), 105, 350), black());
        EXPECT_EQ(getpixel(map.collisionWork(), 120, 399), white());
        EXPECT_EQ(getpixel(map.collision(), 115, 300), black()) << "the pristine copy too";
        EXPECT_EQ(map.camera().id(), cameraId);
        EXPECT_FALSE(map.isFinished());
        const std::vector<std::string> built = {
            "load_bitmap mapaVisual v.bmp",
            "create_bitmap bufferVisual 300 480",
            "draw_sprite bufferVisual mapaVisual 0 0",
            "load_bitmap bitmap" + std::to_string(cameraId) + " Img/Jogo/pixelTransparente.bmp",
        };
        EXPECT_EQ(server.takeInstructions(), built);
    }
    const std::vector<std::string> destroyed = {
        "destroy_bitmap mapaVisual",
        "destroy_bitmap bufferVisual",
        "destroy_bitmap bitmap" + std::to_string(cameraId),
    };
    EXPECT_EQ(server.takeInstructions(), destroyed);
}

TEST(Mapa, LocalPlayComposesThePictureIntoTheBuffer) {
    StageFiles files;
    RecorderScope local(0);
    Mapa map("v.bmp", 300, kTerrain);
    ASSERT_NE(map.visual(), nullptr);
    ASSERT_NE(map.buffer(), nullptr);
    EXPECT_EQ(map.buffer()->w, 300);
    for (int x : {0, 57, 299}) {
        EXPECT_EQ(getpixel(map.buffer(), x, 200), makecol(0, x % 200, 255)) << "column " << x;
    }
}

// The path a Mapa built with this picture reports missing; "" when it does not throw.
std::string missingPicture(const std::string& visualPath) {
    try {
        Mapa map(visualPath, 300, kTerrain);
    } catch (const StageImageError& failure) {
        return failure.path;
    }
    return "";
}

TEST(Mapa, AMissingPictureIsNamedInLocalPlayAndNeverLoadedByAServer) {
    StageFiles files;
    {
        RecorderScope local(0);
        EXPECT_EQ(missingPicture("missing.jpg"), "missing.jpg");
    }
    RecorderScope server(1);
    EXPECT_EQ(missingPicture("missing.jpg"), "");
}

TEST(Mapa, ABitmapTheLibraryHasNoMemoryForIsAnErrorNotANullBitmap) {
    StageFiles files;
    // The 300-wide images load; a 400-wide stage's working bitmaps cannot be had.
    BitmapMemoryShortage shortage(400 * 480);
    for (int players : {0, 1}) {
        RecorderScope recorder(players);
        EXPECT_THROW(Mapa("v.bmp", 400, kTerrain), BitmapCreationError) << players << " players";
        if (players == 1) {
            // Clients loaded the picture on the record: they are told to free it again.
            const std::vector<std::string> expected = {"load_bitmap mapaVisual v.bmp",
                                                       "destroy_bitmap mapaVisual"};
            EXPECT_EQ(recorder.takeInstructions(), expected);
        }
    }
}

TEST(Mapa, RegistersUnderItsOwnRisingColoursInRegistrationOrderAndOwnsWhatItRegisters) {
    StageFiles files;
    RecorderScope server(1);
    std::vector<int> ids;
    {
        Mapa map("v.bmp", 300, kTerrain);
        for (int player = 1; player <= 4; ++player) {
            Runner& runner =
                map.addRunner(std::make_unique<Runner>("", 42, 47, false, player, 0, 100));
            ids.push_back(runner.id());
        }
        Objeto& boost = map.addObject(std::make_unique<BoostTela>(50, 9));
        ids.push_back(boost.id());

        ASSERT_EQ(map.playerRegistry().size(), 4u);
        ASSERT_EQ(map.objectRegistry().size(), 1u);
        int player = 1;
        int previous = -1;
        for (const auto& [colour, runner] : map.playerRegistry()) {
            EXPECT_EQ(runner->playerNumber(), player++);
            EXPECT_EQ(runner->identityColour(), colour);
            if (previous != -1) {
                EXPECT_GT(getb(colour) + 256 * getg(colour), previous);
            }
            previous = getb(colour) + 256 * getg(colour);
        }
        EXPECT_EQ(map.playerRegistry().begin()->first, makecol(0, 0, 2))
            << "the map's first colour";
        EXPECT_EQ(map.objectRegistry().begin()->first, boost.identityColour());
        EXPECT_EQ(map.objectPainted(boost.identityColour()), &boost);
        EXPECT_EQ(map.objectPainted(map.playerRegistry().begin()->first), map.runnerOf(1));
        for (int player = 1; player <= 4; ++player) {
            ASSERT_NE(map.runnerOf(player), nullptr);
            EXPECT_EQ(map.runnerOf(player)->playerNumber(), player);
            EXPECT_EQ(map.runners()[player - 1], map.runnerOf(player));
        }
        EXPECT_EQ(map.runnerOf(5), nullptr);
        EXPECT_EQ(map.runnerOf(0), nullptr);
        server.takeInstructions();
    }
    const auto destroyed = server.takeInstructions();
    // The map's two, then each runner's three, the marker's one and the camera's one.
    ASSERT_EQ(destroyed.size(), 2u + 4 * 3 + 1 + 1);
    EXPECT_EQ(destroyed[0], "destroy_bitmap mapaVisual");
    EXPECT_EQ(destroyed[1], "destroy_bitmap bufferVisual");
    EXPECT_EQ(destroyed[2], "destroy_bitmap bitmapBase" + std::to_string(ids[0]));
    EXPECT_EQ(destroyed[14], "destroy_bitmap bitmap" + std::to_string(ids[4]));
}

}  // namespace
