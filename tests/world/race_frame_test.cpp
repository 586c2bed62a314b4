#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/clock.h"
#include "world/boost_tela.h"
#include "world/linha_chegada.h"
#include "world/mapa.h"
#include "world/runner.h"
#include "world/world_fixture.h"

namespace {

// A frame of the real game lasts a little over 33 ms.
constexpr int kFrameMs = 34;

// A 2000-wide stage in a temporary directory, optionally with a floor from row 300 down, run
// with a recorder of `recorderPlayers` players (0: local play) and a simulated clock.
class RaceStage {
  public:
    explicit RaceStage(int recorderPlayers, bool floor = true)
        : clock(1000), recorder(recorderPlayers) {
        std::vector<LevelRect> terrain;
        if (floor) terrain.push_back({0, 2000, 300, 480, true});
        BITMAP* visual = create_bitmap(2000, 480);
        for (int x = 0; x < 2000; ++x) vline(visual, x, 0, 479, makecol(0, x % 256, 200));
        dir.save("v.bmp", visual);
        destroy_bitmap(visual);
        map = std::make_unique<Mapa>("v.bmp", 2000, terrain);
    }
    Runner* addRunner(int player, int x, int y, const std::string& sprite = "") {
        return &map->addRunner(std::make_unique<Runner>(sprite, 42, 47, false, player, x, y));
    }
    // Runs a frame `kFrameMs` after the previous one.
    bool frame() {
        advanceSimulatedClock(kFrameMs);
        return map->raceFrame();
    }
    std::vector<std::string> instructions() { return recorder.takeInstructions(); }

    TempImageDir dir;
    SimulatedClockScope clock;
    RecorderScope recorder;
    std::unique_ptr<Mapa> map;
};

TEST(RaceFrame, ARunnerLeftOfTheMiddleGainsOnePixelPerFrameUpToTheBoundary) {
    RaceStage stage(1);
    // After the camera's first move camX is 1: the bonus holds while x < 1 - 42 + 320 = 279.
    Runner* left = stage.addRunner(1, 278, 100);
    Runner* middle = stage.addRunner(2, 279, 250);
    stage.frame();
    EXPECT_EQ(stage.map->camera().x(), 1);
    EXPECT_EQ(left->speedX(), 2.0);
    EXPECT_EQ(left->x(), 280);
    EXPECT_EQ(middle->speedX(), 1.0);
    EXPECT_EQ(middle->x(), 280);
}

TEST(RaceFrame, ABlockedRunnerFallsBehindTheCameraAndIsErasedAndNoLongerDrawn) {
    RaceStage stage(1);
    BITMAP* wall = stage.map->collisionWork();
    rectfill(stage.map->collision(), 100, 0, 100, 299, makecol(0, 0, 0));
    rectfill(wall, 100, 0, 100, 299, makecol(0, 0, 0));
    Runner* blocked = stage.addRunner(1, 40, 299);
    Runner* free = stage.addRunner(2, 200, 299);
    stage.map->camera().setSpeedX(50);
    EXPECT_FALSE(stage.frame());  // camX 50
    EXPECT_EQ(blocked->x() + blocked->width(), 99) << "stopped by the wall";
    EXPECT_TRUE(blocked->isActive());
    EXPECT_EQ(getpixel(wall, 80, 280), blocked->identityColour());
    stage.instructions();

    EXPECT_FALSE(stage.frame());  // camX 100: its right edge 99 is behind
    EXPECT_FALSE(blocked->isActive());
    EXPECT_TRUE(free->isActive());
    EXPECT_EQ(getpixel(wall, 80, 280), makecol(255, 255, 255)) << "its box is erased";
    for (const std::string& instruction : stage.instructions()) {
        EXPECT_EQ(instruction.find(blocked->bitmapName() + " "), std::string::npos) << instruction;
        EXPECT_EQ(instruction.find(blocked->keyName()), std::string::npos) << instruction;
    }
}

TEST(RaceFrame, ARunnerOffTheTopOrTheBottomIsOutInThatFrame) {
    RaceStage stage(1, false);
    Runner* belowBottom = stage.addRunner(1, 300, 528);  // top row 481
    Runner* atBottom = stage.addRunner(2, 400, 527);     // top row 480: still on screen
    Runner* aboveTop = stage.addRunner(3, 500, -1);
    Runner* atTop = stage.addRunner(4, 600, 0);
    stage.frame();
    EXPECT_FALSE(belowBottom->isActive());
    EXPECT_TRUE(atBottom->isActive());
    EXPECT_FALSE(aboveTop->isActive());
    EXPECT_TRUE(atTop->isActive());
    EXPECT_EQ(belowBottom->x(), 300) << "an eliminated runner does not move";
}

TEST(RaceFrame, WithoutRunnersOrWhenAllFallOutBeforeTheLineTheAttemptIsLost) {
    {
        RaceStage empty(1);
        EXPECT_TRUE(empty.frame());
        EXPECT_FALSE(empty.map->isFinished());
    }
    RaceStage stage(1, false);
    Runner* runner = stage.addRunner(1, 300, 100);
    int frames = 0;
    bool lost = false;
    while (!lost && frames < 200) {
        lost = stage.frame();
        ++frames;
        EXPECT_EQ(lost, !runner->isActive()) << "frame " << frames;
    }
    EXPECT_TRUE(lost) << "the runner never fell out";
    EXPECT_GT(runner->y() - runner->height(), 480);
    EXPECT_FALSE(stage.map->isFinished());
    EXPECT_TRUE(stage.frame()) << "and stays lost";
}

TEST(RaceFrame, WhenTheLastRunnerGoesOutAfterOneFinishedTheStageIsWonAndTheCameraStops) {
    RaceStage stage(1, false);
    Runner* early = stage.addRunner(1, 200, -5);      // out in the first frame
    Runner* finisher = stage.addRunner(2, 300, 100);  // right edge 342
    stage.map->addObject(std::make_unique<LinhaChegada>(343, 480, 480));
    EXPECT_FALSE(stage.frame());
    EXPECT_FALSE(early->isActive());
    EXPECT_TRUE(finisher->hasFinished()) << "it touched the line in its first step";
    EXPECT_FALSE(stage.map->isFinished()) << "it is still running";

    int frames = 1;
    while (finisher->isActive() && frames < 200) {
        EXPECT_FALSE(stage.frame());
        ++frames;
    }
    EXPECT_FALSE(finisher->isActive());
    EXPECT_TRUE(stage.map->isFinished());
    EXPECT_EQ(stage.map->camera().speedX(), 0.0);
    const int cameraX = stage.map->camera().x();
    EXPECT_FALSE(stage.frame());
    EXPECT_TRUE(stage.map->isFinished());
    EXPECT_EQ(stage.map->camera().x(), cameraX);
}

TEST(RaceFrame, AServerFrameRecordsTheWindowEachObjectAndEachRunnerAndEndsWithAFlush) {
    RaceStage stage(2);
    auto* boost =
        static_cast<BoostTela*>(&stage.map->addObject(std::make_unique<BoostTela>(700, 9)));
    Runner* runner = stage.addRunner(1, 100, 299);  // standing just above the floor
    stage.instructions();
    const std::string b = boost->bitmapName(), r = runner->bitmapName(), k = runner->keyName();

    const size_t waitingForPlayer2 = stage.recorder.queues().queuedBatches(2);
    stage.frame();  // camX 1; the runner gets the bonus: x 102
    auto batches = stage.recorder.takeBatches();
    const std::vector<std::string> frame1 = {
        "blit mapaVisual bufferVisual 1 0 1 0 640 480;draw_sprite bufferVisual " + b +
            " 700 0;draw_sprite bufferVisual " + r + " 102 252;draw_sprite bufferVisual " + k +
            " 87 239;",
        "blit bufferVisual screen 1 0 0 0 640 480;",
    };
    EXPECT_EQ(batches, frame1);
    EXPECT_EQ(stage.recorder.queues().queuedBatches(2), waitingForPlayer2 + frame1.size())
        << "every player gets the frame";

    stage.frame();  // gravity pulls it onto the floor: grounded, no new animation frame yet
    EXPECT_TRUE(runner->isGrounded());
    EXPECT_EQ(runner->y(), 299);
    stage.recorder.takeBatches();

    stage.frame();  // landed since the last frame change: the grounded row at once
    const std::vector<std::string> frame3 = {
        "blit mapaVisual bufferVisual 3 0 3 0 640 480",
        "draw_sprite bufferVisual " + b + " 700 0",
        "blit bitmapBase" + std::to_string(runner->id()) + " " + r + " 42 0 0 0 42 47",
        "draw_sprite bufferVisual " + r + " 106 252",
        "draw_sprite bufferVisual " + k + " 91 239",
        "blit bufferVisual screen 3 0 0 0 640 480",
    };
    std::vector<std::string> recorded;
    for (const auto& batch : stage.recorder.takeBatches()) {
        for (auto& instruction : splitBatch(batch)) recorded.push_back(instruction);
    }
    EXPECT_EQ(recorded, frame3);

    // Resting against the ceiling it is drawn flipped.
    setGravity(*runner, -1);
    setGrounded(*runner, true);
    stage.map->stillFrame();
    const auto still = stage.instructions();
    ASSERT_EQ(still.size(), 5u);
    EXPECT_EQ(still[2], "draw_sprite_v_flip bufferVisual " + r + " 106 252");
}

TEST(RaceFrame, TheStillFrameRecordsTheSameSceneWithoutChangingAnything) {
    RaceStage stage(1);
    auto* boost =
        static_cast<BoostTela*>(&stage.map->addObject(std::make_unique<BoostTela>(300, 9)));
    Runner* runner = stage.addRunner(1, 100, 200);
    Runner* out = stage.addRunner(2, 200, -10);
    setActive(*out, false);
    stage.instructions();
    advanceSimulatedClock(500);
    stage.map->stillFrame();
    EXPECT_EQ(runner->x(), 100);
    EXPECT_EQ(runner->y(), 200);
    EXPECT_EQ(runner->speedX(), 0.0);
    EXPECT_EQ(stage.map->camera().x(), 0);
    EXPECT_TRUE(runner->motionState().body.gravityFirst) << "no motion ran";
    const auto batches = stage.recorder.takeBatches();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1], "blit bufferVisual screen 0 0 0 0 640 480;") << "flushed at the end";
    const auto recorded = splitBatch(batches[0]);
    const std::vector<std::string> expected = {
        "blit mapaVisual bufferVisual 0 0 0 0 640 480",
        "draw_sprite bufferVisual " + boost->bitmapName() + " 300 0",
        "draw_sprite bufferVisual " + runner->bitmapName() + " 100 153",
        "draw_sprite bufferVisual " + runner->keyName() + " 85 140",
    };
    EXPECT_EQ(recorded, expected);
}

TEST(RaceFrame, LocalPlayShowsTheScrolledWindowWithRunnerAndKeyPicture) {
    RaceStage stage(0);
    BITMAP* sheet = create_bitmap(210, 96);
    clear_to_color(sheet, makecol(0, 255, 0));
    stage.dir.save("sheet.bmp", sheet);
    destroy_bitmap(sheet);
    BITMAP* keyPicture = create_bitmap(20, 10);
    clear_to_color(keyPicture, makecol(255, 255, 0));
    stage.dir.save("Img/Jogo/X.bmp", keyPicture);
    destroy_bitmap(keyPicture);
    BITMAP* window = create_bitmap(640, 480);
    BITMAP* const realScreen = screen;
    screen = window;

    Runner* runner = stage.addRunner(1, 100, 200, "sheet.bmp");
    ASSERT_NE(runner->spriteSheet(), nullptr);
    ASSERT_NE(runner->keyImage(), nullptr);
    stage.map->camera().setSpeedX(30);
    stage.frame();
    const int cameraX = stage.map->camera().x();
    EXPECT_EQ(cameraX, 30);
    // Background: the stage picture from camX on.
    EXPECT_EQ(getpixel(window, 600, 50), makecol(0, (cameraX + 600) % 256, 200));
    // The runner's frame and its key picture, at their stage positions minus camX.
    EXPECT_EQ(getpixel(window, runner->x() - cameraX + 20, runner->y() - 20), makecol(0, 255, 0));
    EXPECT_EQ(getpixel(window, runner->x() - 15 - cameraX + 5, runner->y() - 60 + 5),
              makecol(255, 255, 0));

    screen = realScreen;
    destroy_bitmap(window);
}

TEST(RaceFrame, FlipsFromAnotherThreadMayArriveDuringAnyFrame) {
    RaceStage stage(1);
    rectfill(stage.map->collision(), 0, 0, 1999, 20, makecol(0, 0, 0));  // a ceiling as well
    rectfill(stage.map->collisionWork(), 0, 0, 1999, 20, makecol(0, 0, 0));
    stage.map->camera().setSpeedX(0);  // the runner settles in the middle of the window
    Runner* runner = stage.addRunner(1, 270, 299);
    std::atomic<bool> racing{true};
    std::atomic<int> flips{0};
    // The remote-call thread of a server: flips whenever it finds the runner grounded.
    std::thread remote([&] {
        while (racing) {
            if (runner->flipGravity()) ++flips;
            std::this_thread::yield();
        }
    });
    for (int frame = 0; frame < 50000 && flips < 20 && runner->isActive(); ++frame) {
        stage.frame();
        stage.instructions();
    }
    racing = false;
    remote.join();
    EXPECT_GE(flips.load(), 20);
    EXPECT_TRUE(runner->gravity() == 1 || runner->gravity() == -1);
    EXPECT_TRUE(runner->isActive()) << "between floor and ceiling it stays in play";
    EXPECT_GE(runner->y() - runner->height(), 21);
    EXPECT_LE(runner->y(), 299);
}

}  // namespace

TEST(RaceFrame, ARunnerLandingOnAMarkerColumnStandsOnTheTerrainAndNeverSinks) {
    // A marker on every column the runner can occupy while it falls the last few pixels, so
    // whichever frame it lands in, its x is on a marker's column. Towards the floor and, with
    // gravity flipped, towards the ceiling.
    for (const bool ceiling : {false, true}) {
        SCOPED_TRACE(ceiling ? "ceiling" : "floor");
        RaceStage stage(1);
        for (BITMAP* collision : {stage.map->collision(), stage.map->collisionWork()}) {
            rectfill(collision, 0, 0, 1999, 59, makecol(0, 0, 0));  // ceiling down to row 59
        }
        Runner* runner = stage.addRunner(1, 200, ceiling ? 60 + 47 + 12 : 288);
        if (ceiling) {
            setGrounded(*runner, true);
            ASSERT_TRUE(runner->flipGravity());
        }
        for (int column = 195; column < 330; ++column) {
            stage.map->addObject(std::make_unique<BoostTela>(column, 1));
        }
        // A marker grounds a runner passing through it, so landing is told by position only.
        for (int frame = 0; frame < 30; ++frame) {
            stage.frame();
            ASSERT_LT(runner->y(), 300) << "frame " << frame << ": in the floor";
            ASSERT_GT(runner->y() - runner->height(), 59)
                << "frame " << frame << ": in the ceiling";
        }
        if (ceiling) {
            EXPECT_EQ(runner->y() - runner->height(), 60) << "against the ceiling";
        } else {
            EXPECT_EQ(runner->y(), 299) << "on the floor";
        }
        EXPECT_TRUE(runner->isGrounded());
        EXPECT_LT(runner->x(), 330) << "the markers covered every landing column";
    }
}

TEST(RaceFrame, ArrivalsAreNotedInOrderAndFlipsFinishesAndOutsAreHeard) {
    RaceStage stage(1);
    Runner* second = stage.addRunner(1, 300, 299);
    Runner* first = stage.addRunner(2, 360, 299);
    Runner* faller = stage.addRunner(3, 20, 100);
    // A gap under the third runner: it falls out of the stage.
    for (BITMAP* collision : {stage.map->collision(), stage.map->collisionWork()}) {
        rectfill(collision, 0, 300, 240, 479, makecol(255, 255, 255));
    }
    stage.map->addObject(std::make_unique<LinhaChegada>(480, 479, 479));
    auto count = [](const std::vector<std::string>& records, const std::string& record) {
        return std::count(records.begin(), records.end(), record);
    };
    stage.frame();
    EXPECT_EQ(count(stage.instructions(), "play_sound Img/Som/virar.wav"), 0);
    for (int flip = 0; flip < 2; ++flip) {  // up, and at once back down
        setGrounded(*first, true);
        ASSERT_TRUE(first->flipGravity());
        stage.frame();
        EXPECT_EQ(count(stage.instructions(), "play_sound Img/Som/virar.wav"), 1) << flip;
    }

    std::vector<std::string> records;
    for (int frame = 0; frame < 300 && (stage.map->arrivals().size() < 2 || faller->isActive());
         ++frame) {
        stage.frame();
        for (const std::string& record : stage.instructions()) records.push_back(record);
    }
    EXPECT_EQ(stage.map->arrivals(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(second->hasFinished());
    EXPECT_FALSE(faller->isActive());
    EXPECT_EQ(count(records, "play_sound Img/Som/chegada.wav"), 2);
    EXPECT_EQ(count(records, "play_sound Img/Som/fora.wav"), 1);
}
