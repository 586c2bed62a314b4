#include "world/gerenciador_tela.h"

#include <gtest/gtest.h>

#include "world/boost_tela.h"
#include "world/linha_chegada.h"
#include "world/runner.h"
#include "world/world_fixture.h"

namespace {

TEST(Camera, StartsAtTheLeftEdgeAsAFullHeightColumnAtSpeedOne) {
    RecorderScope server(1);
    GerenciadorTela camera;
    EXPECT_EQ(camera.x(), 0);
    EXPECT_EQ(camera.y(), 480);
    EXPECT_EQ(camera.width(), 0);
    EXPECT_EQ(camera.height(), 480);
    EXPECT_EQ(camera.speedX(), 1.0);
    EXPECT_FALSE(camera.hasGravity());
    EXPECT_EQ(server.takeInstructions(),
              std::vector<std::string>{"load_bitmap " + camera.bitmapName() +
                                       " Img/Jogo/pixelTransparente.bmp"});
}

TEST(Camera, IsNeverBlockedByTerrainRunnersOrTheFinishLine) {
    RecorderScope server(1);
    Arena arena(200, 481);
    arena.terrain(5, 0, 7, 480);  // a wall over the whole height
    Runner runner("", 42, 47, false, 1, 10, 100);
    arena.place(&runner, makecol(0, 0, 9));
    LinhaChegada line(60, 421, 40);
    arena.place(&line, makecol(0, 0, 10));
    putpixel(arena.bitmap, 70, 300, makecol(9, 9, 9));  // a colour nobody owns

    GerenciadorTela camera;
    camera.setSpeedX(80);
    camera.move(arena.context());
    EXPECT_EQ(camera.x(), 80);
    EXPECT_EQ(camera.speedX(), 80.0);
}

TEST(Camera, MovingRightIntoAMarkerTakesItsSpeedFromTheNextFrameOn) {
    RecorderScope server(1);
    Arena arena(200, 481);
    BoostTela boost(3, 12);
    arena.place(&boost, makecol(0, 0, 20));
    GerenciadorTela camera;
    camera.setSpeedX(5);
    camera.move(arena.context());
    EXPECT_EQ(camera.x(), 5) << "the step count was taken before the marker was met";
    EXPECT_EQ(camera.speedX(), 12.0);
    camera.move(arena.context());
    EXPECT_EQ(camera.x(), 17);

    // Moving left into a marker changes nothing.
    BoostTela slow(10, 2);
    arena.place(&slow, makecol(0, 0, 21));
    camera.setSpeedX(-8);
    camera.move(arena.context());
    EXPECT_EQ(camera.x(), 9);
    EXPECT_EQ(camera.speedX(), -8.0);
}

TEST(Camera, OnlyASpeedMarkerChangesItsSpeed) {
    RecorderScope server(1);
    Arena arena(200, 481);
    Objeto notAMarker("", 0, 480, true, 3, 480);  // a column where a marker would stand
    arena.place(&notAMarker, makecol(0, 0, 22));
    GerenciadorTela camera;
    camera.setSpeedX(5);
    camera.move(arena.context());
    EXPECT_EQ(camera.x(), 5);
    EXPECT_EQ(camera.speedX(), 5.0);
}

}  // namespace
