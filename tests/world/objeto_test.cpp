#include "world/objeto.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "world/mapa.h"
#include "world/world_fixture.h"

namespace {

// An object that remembers the hits it reacted to, and lets them pass when told to.
class Probe : public Objeto {
  public:
    Probe(int width, int height, int x, int y, bool noGravity = true)
        : Objeto("", width, height, noGravity, x, y) {}
    void onCollision(int direction, const Hit& hit, int newX, int newY) override {
        hits.push_back({direction, hit});
        if (passThrough) moveTo(newX, newY);
    }
    struct Seen {
        int direction;
        Hit hit;
    };
    std::vector<Seen> hits;
    bool passThrough = false;
};

// A function, not a constant: colours depend on the colour depth, set when the tests start.
int red() { return makecol(200, 0, 0); }

TEST(ObjetoMotion, SpeedsBelowOnePixelMoveNothingAndFractionsTruncateTowardsZero) {
    struct Case {
        double speed;
        int moved;
    };
    for (const Case c : {Case{0.9, 0}, Case{-0.9, 0}, Case{1.8, 1}, Case{-2.5, -2}, Case{3.0, 3}}) {
        Arena arena(100, 100);
        Probe horizontal(4, 4, 50, 50);
        horizontal.setSpeedX(c.speed);
        horizontal.move(arena.context());
        EXPECT_EQ(horizontal.x(), 50 + c.moved) << "speedX " << c.speed;
        EXPECT_EQ(horizontal.y(), 50);

        Probe vertical(4, 4, 50, 50);
        setSpeedY(vertical, c.speed);
        vertical.move(arena.context());
        EXPECT_EQ(vertical.y(), 50 + c.moved) << "speedY " << c.speed;
        EXPECT_EQ(vertical.x(), 50);
    }
}

TEST(ObjetoMotion, GravityStartsItsIntervalOnTheFirstMoveAndAddsOneStepAfterMoreThan30Ms) {
    SimulatedClockScope clock(5000);
    Arena arena(100, 400);
    Probe falling(4, 4, 10, 50, false);
    falling.move(arena.context());
    EXPECT_EQ(falling.speedY(), 0.0) << "the first call never accelerates";
    advanceSimulatedClock(30);
    falling.move(arena.context());
    EXPECT_EQ(falling.speedY(), 0.0) << "30 ms is not more than 30 ms";
    advanceSimulatedClock(1);
    falling.move(arena.context());
    EXPECT_DOUBLE_EQ(falling.speedY(), 1.8);
    EXPECT_EQ(falling.y(), 51) << "the new speed already moves in the same frame";

    // However long the wait, one call adds one step; the interval restarts at that call.
    advanceSimulatedClock(500);
    falling.move(arena.context());
    EXPECT_DOUBLE_EQ(falling.speedY(), 3.6);
    advanceSimulatedClock(20);
    falling.move(arena.context());
    EXPECT_DOUBLE_EQ(falling.speedY(), 3.6);

    Probe rising(4, 4, 50, 300, false);
    setGravity(rising, -1);
    rising.move(arena.context());
    advanceSimulatedClock(31);
    rising.move(arena.context());
    EXPECT_DOUBLE_EQ(rising.speedY(), -1.8);
    EXPECT_EQ(rising.y(), 299);

    Probe floating(4, 4, 80, 50, true);
    floating.move(arena.context());
    advanceSimulatedClock(100);
    floating.move(arena.context());
    EXPECT_EQ(floating.speedY(), 0.0) << "noGravity objects never accelerate";
}

TEST(ObjetoMotion, TheBoxIsOnePixelLargerThanItsExtentAndAColumnProbesOnlyItsOwnRows) {
    // A width-0 object is one column: x = 10, rows 10 to 20.
    auto blockedMoving = [](int direction, int pixelX, int pixelY) {
        Arena arena(40, 40);
        arena.terrain(pixelX, pixelY, pixelX, pixelY);
        Probe column(0, 10, 10, 20);
        return !column.step(direction, arena.context());
    };
    EXPECT_TRUE(blockedMoving(kRight, 11, 10));
    EXPECT_TRUE(blockedMoving(kRight, 11, 20));
    EXPECT_FALSE(blockedMoving(kRight, 11, 9));
    EXPECT_FALSE(blockedMoving(kRight, 11, 21));
    EXPECT_TRUE(blockedMoving(kLeft, 9, 15));
    EXPECT_TRUE(blockedMoving(kDown, 10, 21));
    EXPECT_FALSE(blockedMoving(kDown, 11, 21)) << "moving down probes a single pixel";
    EXPECT_FALSE(blockedMoving(kDown, 9, 21));
    EXPECT_TRUE(blockedMoving(kUp, 10, 9));
    EXPECT_FALSE(blockedMoving(kUp, 11, 9));

    // A 4 x 3 extent covers columns x..x+4 and rows y-3..y.
    EXPECT_TRUE([] {
        Arena arena(40, 40);
        arena.terrain(14, 21, 14, 21);
        Probe box(4, 3, 10, 20);
        return !box.step(kDown, arena.context());
    }());
}

TEST(ObjetoMotion, OnlyTheStoppingPixelDecidesWhatWasHit) {
    Arena arena(40, 40);
    Probe mover(0, 4, 10, 20);  // moving right it probes column 11, rows 16 to 20
    // An unregistered colour first: the walk stops there and finds nobody, so terrain further
    // along the same line is hidden and the step goes through.
    putpixel(arena.bitmap, 11, 17, makecol(1, 2, 3));
    arena.terrain(11, 19, 11, 19);
    EXPECT_TRUE(mover.step(kRight, arena.context()));
    EXPECT_EQ(mover.x(), 11);
    EXPECT_TRUE(mover.hits.empty());

    // Terrain first: blocked, and the reaction sees terrain although a registered colour follows.
    Probe other(0, 0, 0, 0);
    arena.objects[red()] = &other;
    arena.terrain(12, 16, 12, 16);
    putpixel(arena.bitmap, 12, 18, red());
    EXPECT_FALSE(mover.step(kRight, arena.context()));
    EXPECT_EQ(mover.x(), 11);
    ASSERT_EQ(mover.hits.size(), 1u);
    EXPECT_EQ(mover.hits[0].hit.kind, Hit::kTerrain);
    EXPECT_EQ(mover.hits[0].direction, kRight);

    // The registered colour first: the object is hit, not the terrain behind it.
    putpixel(arena.bitmap, 12, 16, red());
    arena.terrain(12, 18, 12, 18);
    mover.hits.clear();
    EXPECT_FALSE(mover.step(kRight, arena.context()));
    ASSERT_EQ(mover.hits.size(), 1u);
    EXPECT_EQ(mover.hits[0].hit.kind, Hit::kObject);
    EXPECT_EQ(mover.hits[0].hit.object, &other);
}

TEST(ObjetoMotion, ARegisteredColourIsThatObjectAndTheReactionDecidesWhetherToPass) {
    Arena arena(60, 60);
    Probe target(2, 2, 30, 22);
    arena.place(&target, red());  // columns 30..32, rows 20..22
    Probe mover(3, 5, 20, 25);    // columns 20..23, rows 20..25
    mover.setSpeedX(10);
    mover.move(arena.context());
    EXPECT_EQ(mover.x(), 26) << "blocked at contact with the object's box";
    ASSERT_EQ(mover.hits.size(), 1u);
    EXPECT_EQ(mover.hits[0].hit.kind, Hit::kObject);
    EXPECT_EQ(mover.hits[0].hit.object, &target);

    mover.hits.clear();
    mover.passThrough = true;
    mover.move(arena.context());
    EXPECT_EQ(mover.x(), 36) << "a reaction that moves to the candidate lets the step pass";
    EXPECT_EQ(mover.hits.size(), 3u) << "one hit for each of the box's three columns";
}

TEST(ObjetoMotion, SpaceBeyondTheCollisionBitmapIsFree) {
    Arena arena(20, 20);
    Probe nearEdge(3, 3, 16, 19);  // right edge at column 19, bottom at row 19
    EXPECT_TRUE(nearEdge.step(kRight, arena.context()));
    EXPECT_TRUE(nearEdge.step(kDown, arena.context()));
    EXPECT_EQ(nearEdge.x(), 17);
    EXPECT_EQ(nearEdge.y(), 20);
    Probe atTop(3, 3, 0, 3);
    EXPECT_TRUE(atTop.step(kUp, arena.context()));
    EXPECT_TRUE(atTop.step(kLeft, arena.context()));
    EXPECT_EQ(atTop.x(), -1);
    EXPECT_EQ(atTop.y(), 2);
    EXPECT_TRUE(nearEdge.hits.empty());
    EXPECT_TRUE(atTop.hits.empty());
}

TEST(ObjetoMotion, AFastObjectCannotPassAOnePixelWallAndUnknownDirectionsMoveNothing) {
    Arena arena(200, 40);
    arena.terrain(100, 0, 100, 39);
    Probe fast(5, 5, 10, 20);
    fast.setSpeedX(500);
    fast.move(arena.context());
    EXPECT_EQ(fast.x() + fast.width(), 99);
    EXPECT_FALSE(fast.isGrounded());

    EXPECT_TRUE(fast.step(7, arena.context()));
    EXPECT_TRUE(fast.step(-1, arena.context()));
    EXPECT_EQ(fast.x() + fast.width(), 99);
}

TEST(ObjetoMotion, ScanLineOfAnEmptyRangeHitsNothing) {
    Arena arena(20, 20);
    arena.terrain(0, 0, 19, 19);
    Probe probe(0, 0, 5, 5);
    EXPECT_EQ(probe.scanLine(6, 5, 4, 5, arena.context()).kind, Hit::kNothing);
    EXPECT_EQ(probe.scanLine(5, 6, 5, 4, arena.context()).kind, Hit::kNothing);
    EXPECT_EQ(probe.scanLine(4, 5, 6, 5, arena.context()).kind, Hit::kTerrain);
}

TEST(ObjetoRecords, AnImageIsLoadedAndDestroyedUnderItsIdAndIdsKeepRising) {
    RecorderScope server(1);
    const int first = nextObjectId();
    {
        Objeto named("Img/Jogo/pixelTransparente.bmp", 0, 480, true, 2, 480);
        Objeto unnamed("", 0, 0, true, 0, 0);
        EXPECT_EQ(named.id(), first);
        EXPECT_EQ(named.bitmapName(), "bitmap" + std::to_string(first));
        EXPECT_EQ(unnamed.id(), first + 1);
        EXPECT_EQ(named.image(), nullptr) << "a server loads no picture";
    }
    EXPECT_EQ(nextObjectId(), first + 2);
    const std::vector<std::string> expected = {
        "load_bitmap bitmap" + std::to_string(first) + " Img/Jogo/pixelTransparente.bmp",
        "destroy_bitmap bitmap" + std::to_string(first + 1),
        "destroy_bitmap bitmap" + std::to_string(first),
    };
    EXPECT_EQ(server.takeInstructions(), expected);
}

TEST(ObjetoRecords, DrawingIsFlippedOnlyWhenRestingAgainstTheCeilingAndPaintsTheBox) {
    RecorderScope server(1);
    Mapa map("v.jpg", 100, {});
    server.takeInstructions();

    Objeto object("", 5, 7, true, 20, 50);
    object.assignIdentityColour(red());
    const std::string name = object.bitmapName();
    setGravity(object, -1);
    object.draw(map);
    setGrounded(object, true);
    object.draw(map);
    setGravity(object, 1);
    object.draw(map);
    const std::vector<std::string> expected = {
        "draw_sprite bufferVisual " + name + " 20 43",
        "draw_sprite_v_flip bufferVisual " + name + " 20 43",
        "draw_sprite bufferVisual " + name + " 20 43",
    };
    EXPECT_EQ(server.takeInstructions(), expected);

    EXPECT_EQ(getpixel(map.collisionWork(), 20, 43), red());
    EXPECT_EQ(getpixel(map.collisionWork(), 25, 50), red());
    EXPECT_EQ(getpixel(map.collisionWork(), 26, 50), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(map.collisionWork(), 20, 42), makecol(255, 255, 255));
}

}  // namespace
