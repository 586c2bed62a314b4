// A stage attempt that finds no free file descriptor tries the load again instead of ending the
// match as if the stage's images were broken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "screens/match_loop.h"
#include "support/descriptor_shortage.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/stage_list.h"
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

namespace {

// Rules that end every race at once as won, and note what the match asked of them.
class InstantWinRules : public MatchRules {
  public:
    bool prepareRace(int place, Mapa&) override {
        places.push_back(place);
        return true;
    }
    bool raceInterrupted() override { return true; }
    bool pauseRequested() override { return false; }
    bool pauseEnded() override { return true; }
    StageOutcome decideOutcome(int place, bool) override {
        decided.push_back(place);
        return StageOutcome::Won;
    }
    void showWinner(const MatchArrivals& arrivals, const StageEntrants&) override {
        for (const StageArrivals& stage : arrivals) winnerStages.push_back(stage.stage);
        ++winners;
    }

    std::vector<int> places, decided, winnerStages;
    int winners = 0;
};

class ChosenStagesMatch : public ::testing::Test {
  protected:
    ChosenStagesMatch() {
        BITMAP* collision = create_bitmap(64, 480);
        clear_to_color(collision, makecol(255, 255, 255));
        images.save("Img/Jogo/chao.bmp", collision);
        destroy_bitmap(collision);
        stage.visualPath = "Img/Jogo/chao.bmp";
        stage.width = 64;
        stage.markers = {{2, 10}};
        stage.finishLine = FinishLine{40, 429, 100};
        // A server loads no image: a stage it cannot load is one whose level gave none.
        missing = stage;
        missing.problem = "fases/stage11.txt:3: linha invalida: floor";
    }
    TempImageDir images;
    RecorderScope server{1};
    SimulatedClockScope clock;
    const StageEntrants entrants{runnerSpritesInOrder(), 1};
    StageData stage, missing;
};

}  // namespace

TEST_F(ChosenStagesMatch, TheStagesArePlayedInTheirOrderWithIntervalsThenTheWinnerPicture) {
    InstantWinRules rules;
    const std::vector<MatchStage> stages{{5, &stage}, {3, &stage}, {9, &stage}};
    const int64_t start = clockMs();
    EXPECT_EQ(playMatch(stages, entrants, rules), StageOutcome::Won);
    EXPECT_EQ(rules.places, (std::vector<int>{1, 2, 3})) << "the rules see each stage's place";
    EXPECT_EQ(rules.decided, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rules.winnerStages, (std::vector<int>{5, 3, 9})) << "the winner names the stages";
    EXPECT_EQ(rules.winners, 1);
    EXPECT_GE(clockMs() - start, 2 * kMatchIntervalMs) << "an interval between two stages";
}

TEST_F(ChosenStagesMatch, AStageThatCannotBeLoadedEndsTheMatchNamingItsNumber) {
    InstantWinRules rules;
    testing::internal::CaptureStdout();
    const StageOutcome outcome =
        playMatch({{4, &stage}, {11, &missing}, {6, &stage}}, entrants, rules);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(outcome, StageOutcome::LoadFailed);
    EXPECT_EQ(rules.places, (std::vector<int>{1}));
    EXPECT_EQ(rules.winners, 0);
    EXPECT_NE(console.find("Nao foi possivel carregar a fase 11"), std::string::npos) << console;
}

TEST_F(ChosenStagesMatch, NothingChosenIsStageOneThenStageTwo) {
    const std::vector<MatchStage> classic = classicMatchStages();
    ASSERT_EQ(classic.size(), 2u);
    EXPECT_EQ(classic[0].number, 1);
    EXPECT_EQ(classic[0].data, &shippedStage(1));
    EXPECT_EQ(classic[1].number, 2);
    EXPECT_EQ(classic[1].data, &shippedStage(2));
}
