#include "world/runner.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "world/boost_tela.h"
#include "world/flip_keys.h"
#include "world/linha_chegada.h"
#include "world/world_fixture.h"

namespace {

std::string blit(int id, int sourceX, int sourceY) {
    const std::string n = std::to_string(id);
    return "blit bitmapBase" + n + " bitmap" + n + " " + std::to_string(sourceX) + " " +
           std::to_string(sourceY) + " 0 0 42 47";
}

TEST(RunnerRecords, ConstructionAndDestructionRecordTheirBitmapsInOrder) {
    RecorderScope server(1);
    for (int player = 1; player <= 6; ++player) {
        const int id = nextObjectId();
        const std::string n = std::to_string(id);
        {
            Runner runner("Img/Jogo/player" + std::to_string(player) + "a.bmp", 42, 47, false,
                          player, 270, 100);
            EXPECT_EQ(runner.playerNumber(), player);
            EXPECT_EQ(runner.id(), id);
            EXPECT_FALSE(runner.isGrounded());
        }
        const std::vector<std::string> expected = {
            "load_bitmap bitmapBase" + n + " Img/Jogo/player" + std::to_string(player) + "a.bmp",
            // Remote players see their number, not the local key.
            "load_bitmap bitmapTecla" + n + " Img/Jogo/" + std::to_string(player) + ".bmp",
            "create_bitmap bitmap" + n + " 42 47",
            blit(id, 0, 49),  // airborne row: not grounded at construction
            "destroy_bitmap bitmapBase" + n,
            "destroy_bitmap bitmapTecla" + n,
            "destroy_bitmap bitmap" + n,
        };
        EXPECT_EQ(server.takeInstructions(), expected) << "player " << player;
    }
    EXPECT_THROW(Runner("", 42, 47, false, 7, 0, 0), std::out_of_range);
    EXPECT_THROW(Runner("", 42, 47, false, 0, 0, 0), std::out_of_range);
}

TEST(RunnerAnimation, PaceFollowsSpeedAndALandingSwitchesRowsAtOnce) {
    SimulatedClockScope clock(0);
    RecorderScope server(1);
    Runner runner("", 42, 47, false, 1, 100, 100);
    server.takeInstructions();
    const int id = runner.id();

    runner.setSpeedX(10);  // threshold 40 / 1.1 = 36.36 ms
    setGrounded(runner, true);
    runner.update();  // grounded differs from the last frame change: switch at once
    EXPECT_EQ(server.takeInstructions(), std::vector<std::string>{blit(id, 42, 0)});
    EXPECT_EQ(runner.frameCounter(), 1);

    for (int expectedFrame : {2, 3, 4, 0, 1}) {
        advanceSimulatedClock(36);
        runner.update();
        EXPECT_TRUE(server.takeInstructions().empty()) << "36 ms is not past the threshold";
        advanceSimulatedClock(1);
        runner.update();
        EXPECT_EQ(server.takeInstructions(),
                  std::vector<std::string>{blit(id, expectedFrame * 42, 0)});
    }

    // Taking off switches to the airborne row at once, cycling over four frames.
    setGrounded(runner, false);
    runner.update();
    EXPECT_EQ(server.takeInstructions(), std::vector<std::string>{blit(id, (7 % 4) * 42, 49)});

    // Standing still, a frame lasts 400 ms.
    runner.setSpeedX(0);
    advanceSimulatedClock(400);
    runner.update();
    EXPECT_TRUE(server.takeInstructions().empty());
    advanceSimulatedClock(1);
    runner.update();
    EXPECT_EQ(server.takeInstructions(), std::vector<std::string>{blit(id, 0, 49)});
}

TEST(RunnerAnimation, ARunnerBuiltGroundedShowsTheGroundedRowFirst) {
    SimulatedClockScope clock(0);
    RecorderScope server(1);
    Runner runner("", 42, 47, false, 2, 100, 100);
    server.takeInstructions();
    Runner::MotionState state = runner.motionState();
    state.body.grounded = true;
    state.firstFrame = true;
    runner.restoreMotion(state);
    runner.update();
    EXPECT_EQ(server.takeInstructions(), std::vector<std::string>{blit(runner.id(), 0, 0)});
    EXPECT_EQ(runner.frameCounter(), 0) << "the first frame does not advance the counter";
}

// Two runners and a floor: x 100..142, the floor at row 201.
class RunnerCollision : public ::testing::Test {
  protected:
    RunnerCollision() { arena.terrain(0, 201, 499, 210); }
    Runner* runner(int player, int x, int y) {
        auto* made = new Runner("", 42, 47, false, player, x, y);
        owned.emplace_back(made);
        arena.place(made, makecol(0, 0, 100 + player));
        return made;
    }
    void repaint(const Objeto& object) { arena.paintBox(object); }
    RecorderScope server{1};
    Arena arena{500, 300};
    std::vector<std::unique_ptr<Objeto>> owned;
};

TEST_F(RunnerCollision, LandsOnTheFloorAndRidesOnAnotherRunner) {
    Runner* below = runner(1, 100, 200);
    // A falling runner whose box starts 10 rows above the lower one's top.
    Runner* above = runner(2, 110, 200 - 48 - 10);
    const int startY = above->y();
    rectfill(arena.bitmap, above->x(), above->y() - 47, above->x() + 42, above->y(),
             makecol(255, 255, 255));
    setSpeedY(*above, 30);
    above->move(arena.context());
    EXPECT_EQ(above->y(), startY + 10) << "stopped on the other runner's head";
    EXPECT_TRUE(above->isGrounded());
    EXPECT_EQ(above->speedY(), 0.0);
    EXPECT_FALSE(below->isGrounded());

    setSpeedY(*below, 5);
    rectfill(arena.bitmap, below->x(), below->y() - 47, below->x() + 42, below->y(),
             makecol(255, 255, 255));
    below->move(arena.context());
    EXPECT_EQ(below->y(), 200);
    EXPECT_TRUE(below->isGrounded()) << "on the floor";
}

TEST_F(RunnerCollision, IsStoppedSidewaysByAnotherRunnerAndByWalls) {
    Runner* ahead = runner(1, 200, 200);
    Runner* behind = runner(2, 100, 200);
    rectfill(arena.bitmap, behind->x(), behind->y() - 47, behind->x() + 42, behind->y(),
             makecol(255, 255, 255));
    behind->setSpeedX(80);  // the gap is 57 pixels
    behind->move(arena.context());
    EXPECT_EQ(behind->x() + behind->width() + 1, ahead->x()) << "at contact";
    EXPECT_EQ(behind->speedX(), 80.0) << "a hit never changes speedX";
    EXPECT_FALSE(behind->isGrounded());

    arena.terrain(300, 0, 300, 200);
    ahead->setSpeedX(200);
    rectfill(arena.bitmap, ahead->x(), ahead->y() - 47, ahead->x() + 42, ahead->y(),
             makecol(255, 255, 255));
    ahead->move(arena.context());
    EXPECT_EQ(ahead->x() + ahead->width(), 299);
}

TEST_F(RunnerCollision, TouchingTheFinishLineFromAnySideFinishesAndPassesThrough) {
    struct Case {
        const char* side;
        int lineX, lineBottom, lineHeight;
        double speedX, speedY;
        int expectedX, expectedY;
    };
    // The runner starts at (100, 150): columns 100..142, rows 103..150.
    const Case cases[] = {
        {"from the left", 145, 150, 20, 5, 0, 105, 150},
        {"from the right", 95, 150, 20, -10, 0, 90, 150},
        {"from above", 120, 170, 10, 0, 25, 100, 175},
        {"from below", 120, 95, 5, 0, -15, 100, 135},
    };
    for (const Case& c : cases) {
        Arena arena(500, 300);  // no floor: only the line is in the way
        RecorderScope recorder(1);
        Runner mover("", 42, 47, false, 1, 100, 150);
        arena.place(&mover, makecol(0, 0, 101));
        rectfill(arena.bitmap, 100, 103, 142, 150, makecol(255, 255, 255));
        LinhaChegada line(c.lineX, c.lineBottom, c.lineHeight);
        arena.place(&line, makecol(0, 0, 120));
        mover.setSpeedX(c.speedX);
        setSpeedY(mover, c.speedY);
        mover.move(arena.context());
        EXPECT_TRUE(mover.hasFinished()) << c.side;
        EXPECT_EQ(mover.x(), c.expectedX) << c.side;
        EXPECT_EQ(mover.y(), c.expectedY) << c.side;
    }
}

TEST_F(RunnerCollision, FallingThroughAMarkerColumnGroundsItOnEveryStepYetKeepsFalling) {
    SimulatedClockScope clock(0);
    Runner* faller = runner(1, 100, 100);
    rectfill(arena.bitmap, 100, 53, 142, 100, makecol(255, 255, 255));
    BoostTela boost(120, 10);
    arena.place(&boost, makecol(0, 0, 130));
    setSpeedY(*faller, 6);
    faller->move(arena.context());
    EXPECT_EQ(faller->y(), 106) << "every step passes the column";
    EXPECT_TRUE(faller->isGrounded());
    EXPECT_EQ(faller->speedY(), 0.0);
    EXPECT_TRUE(faller->flipGravity()) << "a flip is honoured inside the column";
    EXPECT_EQ(faller->gravity(), -1);
}

TEST(RunnerFlip, OnlyAGroundedRunnerFlipsAndEachFlipNegatesGravity) {
    RecorderScope server(1);
    Runner runner("", 42, 47, false, 1, 0, 0);
    EXPECT_FALSE(runner.flipGravity());
    EXPECT_EQ(runner.gravity(), 1);
    setGrounded(runner, true);
    EXPECT_TRUE(runner.flipGravity());
    EXPECT_EQ(runner.gravity(), -1);
    EXPECT_TRUE(runner.flipGravity());
    EXPECT_EQ(runner.gravity(), 1);
}

class PollKey : public ::testing::Test {
  protected:
    ~PollKey() override {
        for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    }
    RecorderScope server{1};
};

TEST_F(PollKey, AKeyHeldInTheAirFlipsOnLandingOnceAndAReleaseCancels) {
    Runner runner("", 42, 47, false, 1, 0, 0);
    key[KEY_X] = 1;
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), 1) << "airborne: nothing happens";
    EXPECT_NE(key[KEY_X], 0) << "the key stays down";
    setGrounded(runner, true);
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), -1);
    EXPECT_EQ(key[KEY_X], 0) << "the press is consumed";
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), -1) << "one press flips once";

    setGrounded(runner, false);
    key[KEY_X] = 1;
    pollKey(&runner);
    key[KEY_X] = 0;  // released before landing
    setGrounded(runner, true);
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), -1);
}

TEST_F(PollKey, EachPlayerHasItsOwnKeysAndAPairIsClearedTogether) {
    struct Case {
        int player;
        int pressed;
        int partner;  // the other key of a pair, 0 for none
    };
    const Case cases[] = {
        {1, KEY_X, 0},
        {2, KEY_M, 0},
        {3, KEY_RIGHT, 0},
        {4, KEY_A, 0},
        {5, KEY_LCONTROL, KEY_RCONTROL},
        {5, KEY_RCONTROL, KEY_LCONTROL},
        {6, KEY_3, KEY_3_PAD},
        {6, KEY_3_PAD, KEY_3},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<Runner>> runners;
        for (int player = 1; player <= 6; ++player) {
            runners.emplace_back(new Runner("", 42, 47, false, player, 0, 0));
            setGrounded(*runners.back(), true);
        }
        key[c.pressed] = 1;
        if (c.partner) key[c.partner] = 1;
        for (auto& runner : runners) pollKey(runner.get());
        for (auto& runner : runners) {
            EXPECT_EQ(runner->gravity(), runner->playerNumber() == c.player ? -1 : 1)
                << "key " << c.pressed << ", player " << runner->playerNumber();
        }
        EXPECT_EQ(key[c.pressed], 0);
        if (c.partner) {
            EXPECT_EQ(key[c.partner], 0);
        }
    }
}

TEST(RunnerKeys, LocalPlayersSeeTheirKeyAndRemotePlayersTheirNumber) {
    const char* local[] = {"X", "M", "R", "A", "CTRL", "3"};
    for (int player = 1; player <= 6; ++player) {
        const FlipKeys& keys = flipKeysOf(player);
        EXPECT_EQ(std::string(keys.localImage),
                  std::string("Img/Jogo/") + local[player - 1] + ".bmp");
        EXPECT_EQ(std::string(keys.recordedImage), "Img/Jogo/" + std::to_string(player) + ".bmp");
    }
}

}  // namespace
