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
        EXPECT_EQ(map.visual(), nullptr);
        EXPECT_EQ(map.buffer(), nullptr);
        ASSERT_NE(map.collision(), nullptr);
        ASSERT_NE(map.collisionWork(), nullptr);
        EXPECT_EQ(map.collisionWork()->w, 300);
        EXPECT_EQ(map.collisionWork()->h, 480);
        EXPECT_EQ(getpixel(map.collisionWork(), 5, 400), black());
        EXPECT_EQ(getpixel(map.collisionWork(), 5, 399), white());
        EXPECT_EQ(getpixel(map.collisionWork(), 15, 15), white()) << "masked pixels read as free";
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
    Mapa map("v.bmp", "c.bmp", 300);
    ASSERT_NE(map.visual(), nullptr);
    ASSERT_NE(map.buffer(), nullptr);
    EXPECT_EQ(map.buffer()->w, 300);
    for (int x : {0, 57, 299}) {
        EXPECT_EQ(getpixel(map.buffer(), x, 200), makecol(0, x % 200, 255)) << "column " << x;
    }
}

// The image a Mapa built from these paths reports missing, and its path; kPicture and "" when
// the constructor does not throw StageImageError.
std::pair<StageImageError::Image, std::string> missingImage(const std::string& visualPath,
                                                            const std::string& collisionPath) {
    try {
        Mapa map(visualPath, collisionPath, 300);
    } catch (const StageImageError& failure) {
        return {failure.image, failure.path};
    }
    return {StageImageError::Image::kPicture, ""};
}

TEST(Mapa, ImagesThatCannotBeLoadedAreNamedInTheError) {
    using Image = StageImageError::Image;
    using Missing = std::pair<Image, std::string>;
    StageFiles files;
    {
        RecorderScope local(0);
        EXPECT_EQ(missingImage("missing.jpg", "c.bmp"), Missing(Image::kPicture, "missing.jpg"));
        EXPECT_EQ(missingImage("v.bmp", "missing.bmp"), Missing(Image::kCollision, "missing.bmp"));
    }
    RecorderScope server(1);
    EXPECT_EQ(missingImage("missing.jpg", "missing.bmp"), Missing(Image::kCollision, "missing.bmp"))
        << "a server never loads the picture";
    // Clients loaded the picture on the record: they are told to free it again.
    const std::vector<std::string> expected = {"load_bitmap mapaVisual missing.jpg",
                                               "destroy_bitmap mapaVisual"};
    EXPECT_EQ(server.takeInstructions(), expected);
}

TEST(Mapa, ABitmapTheLibraryHasNoMemoryForIsAnErrorNotANullBitmap) {
    StageFiles files;
    // The 300-wide images load; a 400-wide stage's working bitmaps cannot be had.
    BitmapMemoryShortage shortage(400 * 480);
    for (int players : {0, 1}) {
        RecorderScope recorder(players);
        EXPECT_THROW(Mapa("v.bmp", "c.bmp", 400), BitmapCreationError) << players << " players";
    }
}

TEST(Mapa, RegistersUnderItsOwnRisingColoursInRegistrationOrderAndOwnsWhatItRegisters) {
    StageFiles files;
    RecorderScope server(1);
    std::vector<int> ids;
    {
        Mapa map("v.bmp", "c.bmp", 300);
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
