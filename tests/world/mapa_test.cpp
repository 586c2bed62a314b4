#include "world/mapa.h"

#include <gtest/gtest.h>

#include "world/boost_tela.h"
#include "world/runner.h"
#include "world/runner_table.h"
#include "world/world_fixture.h"

namespace {

// Functions, not constants: colours depend on the colour depth, set when the tests start.
int white() { return makecol(255, 255, 255); }
int black() { return makecol(0, 0, 0); }
int magenta() { return makecol(255, 0, 255); }

// A directory with a 300-wide stage: collision "c.bmp" (a black floor from row 400, a magenta
// patch) and picture "v.bmp" (a blue gradient).
class StageFiles : public TempImageDir {
  public:
    StageFiles() {
        BITMAP* collision = whiteBitmap(300, 480);
        rectfill(collision, 0, 400, 299, 479, black());
        rectfill(collision, 10, 10, 19, 19, magenta());
        save("c.bmp", collision);
        destroy_bitmap(collision);
        BITMAP* visual = create_bitmap(300, 480);
        for (int x = 0; x < 300; ++x) vline(visual, x, 0, 479, makecol(0, x % 200, 255));
        save("v.bmp", visual);
        destroy_bitmap(visual);
    }
};

TEST(Mapa, AServerLoadsOnlyTheCollisionImageYetRecordsThePicture) {
    StageFiles files;
    RecorderScope server(1);
    const int cameraId = nextObjectId();
    {
        Mapa map("v.bmp", "c.bmp", 300);
        EXPECT_EQ(map.visual, nullptr);
        EXPECT_EQ(map.buffer, nullptr);
        ASSERT_NE(map.collision, nullptr);
        ASSERT_NE(map.collisionWork, nullptr);
        EXPECT_EQ(map.collisionWork->w, 300);
        EXPECT_EQ(map.collisionWork->h, 480);
        EXPECT_EQ(getpixel(map.collisionWork, 5, 400), black());
        EXPECT_EQ(getpixel(map.collisionWork, 5, 399), white());
        EXPECT_EQ(getpixel(map.collisionWork, 15, 15), white()) << "masked pixels read as free";
        EXPECT_EQ(map.camera->id, cameraId);
        EXPECT_FALSE(map.finished);
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
    Mapa map("v.bmp", "c.bmp", 300);
    ASSERT_NE(map.visual, nullptr);
    ASSERT_NE(map.buffer, nullptr);
    EXPECT_EQ(map.buffer->w, 300);
    for (int x : {0, 57, 299}) {
        EXPECT_EQ(getpixel(map.buffer, x, 200), makecol(0, x % 200, 255)) << "column " << x;
    }
}

TEST(Mapa, ImagesThatCannotBeLoadedThrowOneForThePictureAndTwoForTheCollision) {
    StageFiles files;
    {
        RecorderScope local(0);
        try {
            Mapa map("missing.jpg", "c.bmp", 300);
            ADD_FAILURE() << "no exception";
        } catch (int code) {
            EXPECT_EQ(code, 1);
        }
        try {
            Mapa map("v.bmp", "missing.bmp", 300);
            ADD_FAILURE() << "no exception";
        } catch (int code) {
            EXPECT_EQ(code, 2);
        }
    }
    RecorderScope server(1);
    try {
        Mapa map("missing.jpg", "missing.bmp", 300);
        ADD_FAILURE() << "no exception";
    } catch (int code) {
        EXPECT_EQ(code, 2) << "a server never loads the picture";
    }
    // Clients loaded the picture on the record: they are told to free it again.
    const std::vector<std::string> expected = {"load_bitmap mapaVisual missing.jpg",
                                               "destroy_bitmap mapaVisual"};
    EXPECT_EQ(server.takeInstructions(), expected);
}

TEST(Mapa, RegistersUnderRisingColoursInRegistrationOrderAndOwnsWhatItRegisters) {
    StageFiles files;
    RecorderScope server(1);
    std::vector<Runner*> runners;
    std::vector<int> ids;
    {
        Mapa map("v.bmp", "c.bmp", 300);
        for (int player = 1; player <= 4; ++player) {
            runners.push_back(new Runner("", 42, 47, false, player, 0, 100));
            runnerTable[player - 1] = runners.back();
            ids.push_back(runners.back()->id);
            map.addObject(runners.back(), "player", true);
        }
        auto* boost = new BoostTela(50, 9);
        ids.push_back(boost->id);
        map.addObject(boost, "boostTela", false);
        EXPECT_THROW(map.addObject(boost, "player", true), std::invalid_argument);

        ASSERT_EQ(map.playerRegistry.size(), 4u);
        ASSERT_EQ(map.objectRegistry.size(), 1u);
        int player = 1;
        int previous = -1;
        for (const auto& [colour, runner] : map.playerRegistry) {
            EXPECT_EQ(runner->playerNumber, player++);
            EXPECT_EQ(runner->idColor, colour);
            EXPECT_EQ(runner->kind, "player");
            if (previous != -1) {
                EXPECT_GT(getb(colour) + 256 * getg(colour), previous);
            }
            previous = getb(colour) + 256 * getg(colour);
        }
        EXPECT_EQ(boost->kind, "boostTela");
        EXPECT_EQ(map.objectRegistry.begin()->first, boost->idColor);
        server.takeInstructions();
    }
    for (Runner* entry : runnerTable)
        EXPECT_EQ(entry, nullptr) << "deleting the map clears the table";
    const auto destroyed = server.takeInstructions();
    // The map's two, then each runner's three, the marker's one and the camera's one.
    ASSERT_EQ(destroyed.size(), 2u + 4 * 3 + 1 + 1);
    EXPECT_EQ(destroyed[0], "destroy_bitmap mapaVisual");
    EXPECT_EQ(destroyed[1], "destroy_bitmap bufferVisual");
    EXPECT_EQ(destroyed[2], "destroy_bitmap bitmapBase" + std::to_string(ids[0]));
    EXPECT_EQ(destroyed[14], "destroy_bitmap bitmap" + std::to_string(ids[4]));
}

}  // namespace
