// The stages' images: collision bitmaps (painted from the levels) that physics can trust, pictures
// whose terrain edges lie on the collision edges, start positions in free space above a floor, and
// a finish line that a runner on the floor can touch.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/image_checks.h"
#include "world/collision_painting.h"
#include "world/stage_list.h"
#include "world/stage_loading.h"

namespace {

struct StageFiles {
    int number;
    const StageData& data;
};

std::vector<StageFiles> stages() { return {{1, stage1Data()}, {2, stage2Data()}}; }

BitmapHandle paintedCollision(const StageData& stage) {
    return paintCollisionBitmap(stage.width, 480, stage.terrain);
}

bool isTerrain(BITMAP* collision, int x, int y) {
    return getpixel(collision, x, y) == makecol(0, 0, 0);
}

}  // namespace

TEST(StageImages, CollisionIsPureBlackTerrainOnWhiteAndPictureHasTheSameSize) {
    for (const StageFiles& stage : stages()) {
        SCOPED_TRACE(stage.number);
        BitmapHandle collision = paintedCollision(stage.data);
        BitmapHandle picture = loadGenerated(stage.data.visualPath);
        ASSERT_TRUE(collision && picture);
        EXPECT_EQ(collision->w, stage.data.width);
        EXPECT_EQ(collision->h, 480);
        EXPECT_EQ(picture->w, stage.data.width);
        EXPECT_EQ(picture->h, 480);
        const int black = makecol(0, 0, 0), white = makecol(255, 255, 255);
        long terrain = 0, other = 0;
        for (int y = 0; y < collision->h; ++y)
            for (int x = 0; x < collision->w; ++x) {
                const int c = getpixel(collision.get(), x, y);
                if (c == black)
                    ++terrain;
                else if (c != white)
                    ++other;
            }
        EXPECT_EQ(other, 0) << "colours other than black and white would be taken for objects";
        // The picture is drawn into the stage buffer with draw_sprite, which skips the mask colour.
        long holes = 0;
        for (int y = 0; y < picture->h; ++y)
            for (int x = 0; x < picture->w; ++x) holes += isMagenta(pixelOf(picture.get(), x, y));
        EXPECT_EQ(holes, 0);
        EXPECT_GT(terrain, 18000L * 60) << "a stage needs floor and ceiling";
    }
}

TEST(StageImages, EveryStartPositionIsFreeAndAboveSomethingToLandOn) {
    for (const StageFiles& stage : stages()) {
        BitmapHandle collision = paintedCollision(stage.data);
        ASSERT_TRUE(collision);
        for (int player = 1; player <= 6; ++player) {
            SCOPED_TRACE("fase " + std::to_string(stage.number) + " jogador " +
                         std::to_string(player));
            const StartPosition start = startPositionOf(player);
            for (int y = start.y - kRunnerHeight; y <= start.y; ++y)
                for (int x = start.x; x <= start.x + kRunnerWidth; ++x)
                    ASSERT_FALSE(isTerrain(collision.get(), x, y)) << x << "," << y;
            bool floorBelow = false;
            for (int y = start.y + 1; y < 480 && !floorBelow; ++y)
                floorBelow = isTerrain(collision.get(), start.x + kRunnerWidth / 2, y);
            EXPECT_TRUE(floorBelow);
        }
    }
}

TEST(StageImages, ARunnerOnTheFloorMeetsTheFinishLineColumn) {
    for (const StageFiles& stage : stages()) {
        SCOPED_TRACE(stage.number);
        BitmapHandle collision = paintedCollision(stage.data);
        ASSERT_TRUE(collision);
        const FinishLine line = stage.data.finishLine;
        // The floor under the line: the first terrain row below the line's top.
        int floorTop = -1;
        for (int y = line.bottomY - line.height; y < 480 && floorTop < 0; ++y)
            if (isTerrain(collision.get(), line.x, y)) floorTop = y;
        ASSERT_GE(floorTop, 0) << "no floor under the finish line";
        // A runner standing there covers rows floorTop-48 .. floorTop-1.
        const int runnerTop = floorTop - kRunnerHeight - 1, runnerBottom = floorTop - 1;
        EXPECT_LE(runnerTop, line.bottomY);
        EXPECT_GE(runnerBottom, line.bottomY - line.height);
        // It can run there: the floor is level and the way is free for 400 px before the line.
        for (int x = line.x - 400; x <= line.x + kRunnerWidth; ++x) {
            ASSERT_TRUE(isTerrain(collision.get(), x, floorTop)) << x;
            for (int y = runnerTop; y <= runnerBottom; ++y)
                ASSERT_FALSE(isTerrain(collision.get(), x, y)) << x;
        }
    }
}

TEST(StageImages, PictureTerrainEdgesLieOnTheCollisionEdges) {
    for (const StageFiles& stage : stages()) {
        SCOPED_TRACE(stage.number);
        BitmapHandle collision = paintedCollision(stage.data);
        BitmapHandle picture = loadGenerated(stage.data.visualPath);
        ASSERT_TRUE(collision && picture);
        long edges = 0, misplaced = 0;
        for (int x = 0; x < collision->w; x += 3) {
            if (std::abs(x - stage.data.finishLine.x) < 100) continue;  // the banner stands there
            for (int y = 3; y < 477; ++y) {
                const bool here = isTerrain(collision.get(), x, y);
                // A floor top (free above) or a ceiling underside (free below), seen from free
                // space.
                int outside = 0;
                if (here && !isTerrain(collision.get(), x, y - 1))
                    outside = y - 2;
                else if (here && !isTerrain(collision.get(), x, y + 1))
                    outside = y + 2;
                else
                    continue;
                if (isTerrain(collision.get(), x, outside)) continue;
                ++edges;
                // The terrain's dark contour starts on the edge row, and two rows out it is open
                // sky.
                if (luma(pixelOf(picture.get(), x, y)) > 80 ||
                    luma(pixelOf(picture.get(), x, outside)) < 100)
                    ++misplaced;
            }
        }
        EXPECT_GT(edges, 1000);
        EXPECT_EQ(misplaced, 0) << "of " << edges << " edge samples";
    }
}

// A runner whose left edge is exactly on a speed marker's column meets the marker's box first in
// its vertical probe and passes one pixel into whatever it stands on; if the surface did not step
// away there, the runner would be caught inside the terrain and blocked until it drops out of the
// window.
TEST(StageImages, FloorAndCeilingStepAwayAtEverySpeedMarker) {
    for (const StageFiles& stage : stages()) {
        BitmapHandle collision = paintedCollision(stage.data);
        ASSERT_TRUE(collision);
        for (const SpeedMarker& marker : stage.data.markers) {
            if (marker.x < kRunnerWidth) continue;  // no runner stands that far left
            SCOPED_TRACE("fase " + std::to_string(stage.number) + " marcador " +
                         std::to_string(marker.x));
            const int left = marker.x - 1;
            for (int s = 1; s < 479; ++s) {
                const bool floorTop =
                    isTerrain(collision.get(), left, s) && !isTerrain(collision.get(), left, s - 1);
                const bool ceilingBottom =
                    isTerrain(collision.get(), left, s) && !isTerrain(collision.get(), left, s + 1);
                if (!floorTop && !ceilingBottom) continue;
                for (int x = marker.x; x <= marker.x + kRunnerWidth + 1; ++x)
                    ASSERT_FALSE(isTerrain(collision.get(), x, s))
                        << "surface row " << s << " column " << x;
            }
        }
    }
}

// The collision bitmaps of stages 1 and 2 as the image generator wrote them to
// "Img/Jogo/mapa_colisao1.bmp" and "Img/Jogo/mapacolisao2.bmp" before the game painted them
// itself: a 64-bit FNV-1a over their pixels, row by row, 1 for black and 0 for white. (The painted
// bitmaps of all twelve stages were compared with those files pixel for pixel, and were equal.)
TEST(StageImages, ThePaintedCollisionBitmapIsTheOneTheGeneratorWrote) {
    const uint64_t fileHashes[] = {11809645355099141033ull, 3291562174490799365ull};
    for (const StageFiles& stage : stages()) {
        SCOPED_TRACE(stage.number);
        BitmapHandle painted = paintedCollision(stage.data);
        ASSERT_EQ(painted->w, 18000);
        const int black = makecol(0, 0, 0);
        uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < painted->h; ++y)
            for (int x = 0; x < painted->w; ++x)
                hash = (hash ^ uint64_t(getpixel(painted.get(), x, y) == black)) * 1099511628211ull;
        EXPECT_EQ(hash, fileHashes[stage.number - 1]);
    }
}
