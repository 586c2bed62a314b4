// A stage attempt that finds no free file descriptor tries the load again instead of ending the
// match as if the stage's images were broken.
#include <gtest/gtest.h>

#include <string>

#include "screens/match_loop.h"
#include "support/descriptor_shortage.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/stage_loading.h"
#include "world/world_fixture.h"

namespace {

// Rules that record what the attempt asks; the race itself is never run (prepareRace ends it).
class ShortOfDescriptorsRules : public MatchRules {
  public:
    ShortOfDescriptorsRules(DescriptorShortage& shortage, bool giveUp)
        : shortage_(shortage), giveUp_(giveUp) {}
    bool stageLoadAbandoned() override {
        ++retries;
        if (giveUp_) return true;
        shortage_.end();
        return false;
    }
    bool prepareRace(int, Mapa&) override {
        prepared = true;
        return false;
    }
    bool raceInterrupted() override { return true; }
    bool pauseRequested() override { return false; }
    bool pauseEnded() override { return true; }
    StageOutcome decideOutcome(int, bool) override { return StageOutcome::Won; }
    void showWinner(const MatchArrivals&, const StageEntrants&) override {}

    int retries = 0;
    bool prepared = false;

  private:
    DescriptorShortage& shortage_;
    const bool giveUp_;
};

class StageLoadRetry : public ::testing::Test {
  protected:
    StageLoadRetry() {
        BITMAP* picture = create_bitmap(64, 480);
        clear_to_color(picture, makecol(255, 255, 255));
        images.save("Img/Jogo/v1.bmp", picture);
        destroy_bitmap(picture);
        stage.visualPath = "Img/Jogo/v1.bmp";
        warmUpTypeChecks();
    }
    // UndefinedBehaviorSanitizer looks at each polymorphic type the first time it meets it through
    // a pipe, which a process without descriptors cannot open: the same calls once beforehand (a
    // stage that loads, one whose image is missing, a retry), so that its checks are made with
    // descriptors.
    void warmUpTypeChecks() {
        DescriptorShortage none;
        none.end();
        ShortOfDescriptorsRules rules(none, false);
        StageData missing = stage1Data();
        missing.visualPath = "Img/Jogo/nao_existe.bmp";
        testing::internal::CaptureStdout();
        attemptStage(1, stage, entrants, rules);
        attemptStage(1, missing, entrants, rules);
        rules.stageLoadAbandoned();
        testing::internal::GetCapturedStdout();
    }
    TempImageDir images;
    // Stage 1 with a small picture: local play loads it (a server would load no image at all).
    StageData stage = stage1Data();
    RecorderScope local{0};
    SimulatedClockScope clock;
    const StageEntrants entrants{runnerSpritesInOrder(), 1};
};

TEST_F(StageLoadRetry, TheLoadIsTriedAgainOnceADescriptorIsFree) {
    testing::internal::CaptureStdout();
    StageOutcome outcome;
    int retries;
    bool prepared;
    {
        DescriptorShortage shortage;
        ShortOfDescriptorsRules rules(shortage, false);
        outcome = attemptStage(1, stage, entrants, rules);
        retries = rules.retries;
        prepared = rules.prepared;
    }
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(outcome, StageOutcome::Abandoned) << "prepareRace ended it, after the load";
    EXPECT_EQ(retries, 1);
    EXPECT_TRUE(prepared);
    EXPECT_NE(console.find("faltam descritores de arquivo"), std::string::npos) << console;
    EXPECT_EQ(console.find("ilegivel"), std::string::npos) << console;
}

TEST_F(StageLoadRetry, RulesThatGiveUpAbandonTheAttempt) {
    testing::internal::CaptureStdout();
    StageOutcome outcome;
    bool prepared;
    {
        DescriptorShortage shortage;
        ShortOfDescriptorsRules rules(shortage, true);
        outcome = attemptStage(1, stage, entrants, rules);
        prepared = rules.prepared;
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(outcome, StageOutcome::Abandoned);
    EXPECT_FALSE(prepared);
}

}  // namespace
