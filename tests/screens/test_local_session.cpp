#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/clock.h"
#include "platform/gamepads.h"
#include "platform/virtual_pad.h"
#include "screens/local_session.h"
#include "screens/screen_fixture.h"
#include "screens/stage_run.h"
#include "stream/gravador_tela.h"
#include "world/flip_keys.h"
#include "world/mapa.h"
#include "world/runner.h"
#include "world/stage_loading.h"

namespace {

// Small stages in the test directory: a floor to run on (or none, so every runner falls out), and
// optionally a wall after the finish line that holds the runners until the window leaves them and
// a ceiling for a flipped runner to run on.
StageData testStage(const char* visualPath, bool floor, bool wall, bool ceiling = false) {
    const int width = 2000;
    BITMAP* visual = create_bitmap(width, 480);
    for (int x = 0; x < width; x += 40)
        rectfill(visual, x, 0, x + 39, 479, makecol(x % 256, 90, 160));
    save_bitmap(visualPath, visual, nullptr);
    destroy_bitmap(visual);
    std::vector<LevelRect> terrain;
    if (floor) terrain.push_back({0, width, 430, 480, true});
    if (wall) terrain.push_back({700, 761, 0, 480, true});
    if (ceiling) terrain.push_back({0, width, 0, 41, true});
    return StageData{visualPath, width, terrain, {{2, 10}}, FinishLine{600, 429, 100}};
}

void savePicture(const std::string& path, int width, int height, int colour) {
    BITMAP* picture = create_bitmap(width, height);
    clear_to_color(picture, bitmap_mask_color(picture));
    rectfill(picture, 2, 2, width - 3, height - 3, colour);
    save_bitmap(path.c_str(), picture, nullptr);
    destroy_bitmap(picture);
}

class LocalSession : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        std::filesystem::create_directories("Img/Jogo");
        // What the stages, the prompt and the winner screen show, so that nothing is missing.
        for (int i = 1; i <= 6; ++i) {
            savePicture("Img/Jogo/player" + std::to_string(i) + "a.bmp", 210, 96,
                        makecol(40 * i, 200, 60));
            savePicture("Img/Jogo/" + std::to_string(i) + ".bmp", 30, 30, makecol(200, 40 * i, 60));
        }
        for (const char* name : {"X", "M", "R", "A", "CTRL"}) {
            savePicture(std::string("Img/Jogo/") + name + ".bmp", 30, 30, makecol(10, 10, 200));
        }
        std::filesystem::create_directories("Img/Jogo/Controle");
        savePicture("Img/Jogo/Controle/1.bmp", 30, 30, padColour());
        BITMAP* pixel = create_bitmap(1, 1);
        clear_to_color(pixel, bitmap_mask_color(pixel));
        save_bitmap("Img/Jogo/pixelTransparente.bmp", pixel, nullptr);
        destroy_bitmap(pixel);
        savePicture("Img/menu/enter.bmp", 640, 480, makecol(250, 250, 250));
        savePicture("Img/menu/parabens.jpg", 640, 480, makecol(250, 200, 0));
        for (int k = 1; k <= 6; ++k) {
            savePicture("Img/menu/lugar_" + std::to_string(k) + ".bmp", 44, 36, placeColour());
            savePicture("Img/menu/jogador_" + std::to_string(k) + ".bmp", 150, 36, playerColour());
        }
        savePicture("Img/menu/ninguem.bmp", 260, 36, nobodyColour());
        savePicture("Img/menu/bg_carregando.jpg", 640, 480, makecol(30, 30, 30));
    }
    void TearDown() override { ScreenTest::TearDown(); }
    // The winner screen's labels: places, player numbers, "nobody".
    static int placeColour() { return makecol(0, 220, 220); }
    static int playerColour() { return makecol(220, 0, 220); }
    static int nobodyColour() { return makecol(90, 90, 250); }
    static int padColour() { return makecol(250, 120, 10); }

    // Index of the first recorded instruction equal to `text` from `from` on (size() if none).
    size_t find(const std::string& text, size_t from = 0) {
        const std::vector<std::string> all = instructions();
        return std::find(all.begin() + std::min(from, all.size()), all.end(), text) - all.begin();
    }
    // The clock readings of the flushes that carried a batch holding `text`, in order.
    std::vector<int64_t> timesOfBatchesWith(const std::string& text) {
        std::vector<int64_t> times;
        for (size_t i = 0; i < batches.size(); ++i) {
            if (batches[i].find(text) != std::string::npos) times.push_back(batchTimes[i]);
        }
        return times;
    }
    int64_t timeOfBatchWith(const std::string& text) {
        const std::vector<int64_t> times = timesOfBatchesWith(text);
        return times.empty() ? -1 : times.front();
    }
};

// The local rules, watching the stage of the race: from its load (the rules prepare the race) until
// the race closes.
class WatchedRules : public LocalMatchRules {
  public:
    bool prepareRace(int stageNumber, Mapa& stage) override {
        stage_ = &stage;
        return LocalMatchRules::prepareRace(stageNumber, stage);
    }
    void closeRace() override { stage_ = nullptr; }
    // Player `player`'s runner while a stage is watched, else null.
    Runner* runner(int player) const { return stage_ ? stage_->runnerOf(player) : nullptr; }

  private:
    Mapa* stage_ = nullptr;
};

TEST(StageOutcomeRules, EscAbandonsStageOneLooksAtTheLineFirstStageTwoAtF10First) {
    struct Case {
        int stage;
        bool esc, f10, finished;
        StageOutcome outcome;
        bool f10Left;  // F10 still down afterwards
    };
    const Case cases[] = {
        {1, true, true, true, StageOutcome::Abandoned, true},
        {2, true, true, true, StageOutcome::Abandoned, true},
        {1, false, true, true, StageOutcome::Won, true},
        {2, false, true, true, StageOutcome::Won, false},
        {1, false, true, false, StageOutcome::Won, false},
        {1, false, false, true, StageOutcome::Won, false},
        {2, false, false, true, StageOutcome::Won, false},
        {1, false, false, false, StageOutcome::Replay, false},
        {2, false, false, false, StageOutcome::Replay, false},
    };
    for (const Case& c : cases) {
        clearAllKeys();
        key[KEY_ESC] = c.esc;
        key[KEY_F10] = c.f10;
        EXPECT_EQ(decideStageOutcome(c.stage, c.finished), c.outcome)
            << "stage " << c.stage << " esc " << c.esc << " f10 " << c.f10 << " finished "
            << c.finished;
        EXPECT_EQ(key[KEY_ESC], 0);
        EXPECT_EQ(key[KEY_F10] != 0, c.f10Left) << "stage " << c.stage;
    }
    clearAllKeys();
}

TEST_F(LocalSession, AWholeMatchWithF10PauseIntervalAndWinnerPicture) {
    const StageData one = testStage("Img/Jogo/um.bmp", true, false);
    const StageData two = testStage("Img/Jogo/dois.bmp", true, false);
    keys.press(100, KEY_ENTER)   // menu: one player
        .press(400, KEY_ENTER)   // the first character
        .press(800, KEY_ENTER)   // stage 1 prompt
        .press(1200, KEY_P)      // pause ...
        .press(1600, KEY_P)      // ... and go on
        .press(2000, KEY_F10)    // stage 1 won
        .press(5000, KEY_ENTER)  // stage 2 prompt
        .press(5600, KEY_F10)    // stage 2 won
        .press(6500, KEY_ENTER)  // winner picture
        .press(7500, KEY_ESC);   // leave from the menu
    keys.start(60000);
    testing::internal::CaptureStdout();
    playLocalMatches(one, two);
    EXPECT_LT(clockMs(), 7700);

    const std::vector<std::string> milestones{
        "load_bitmap menu Img/menu/menu.jpg",
        "load_bitmap selecao Img/menu/bg_selecao.jpg",
        "load_bitmap mapaVisual Img/Jogo/um.bmp",
        "load_bitmap pressEnter Img/menu/enter.bmp",
        "load_bitmap paused Img/menu/pause.bmp",
        "load_bitmap mapaVisual Img/Jogo/dois.bmp",
        "load_bitmap pressEnter Img/menu/enter.bmp",
        "load_bitmap parabens Img/menu/parabens.jpg",
        "destroy_bitmap parabens",
        "load_bitmap menu Img/menu/menu.jpg",
    };
    size_t at = 0;
    for (const std::string& milestone : milestones) {
        at = find(milestone, at);
        ASSERT_LT(at, instructions().size()) << "missing or out of order: " << milestone;
        ++at;
    }
    EXPECT_EQ(countOf("load_bitmap paused Img/menu/pause.bmp"), 1u);
    // The interval: stage 2 is loaded more than two seconds after F10 ended stage 1.
    EXPECT_GT(timeOfBatchWith("Img/Jogo/dois.bmp"), 2000 + 2000);
    EXPECT_EQ(key[KEY_F10], 0);
    EXPECT_EQ(key[KEY_ENTER], 0);
    // Both stages, every runner and every screen released what they showed.
    BITMAP* replayed = replayOnto(windowAtStart);
    destroy_bitmap(replayed);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.find("nao encontrad"), std::string::npos) << console;
}

TEST_F(LocalSession, ALostAttemptIsPlayedAgainAndEscGoesBackToTheMenu) {
    const StageData fall = testStage("Img/Jogo/queda.bmp", false, false);
    const StageData two = testStage("Img/Jogo/dois.bmp", true, false);
    keys.press(100, KEY_ENTER)
        .press(400, KEY_ENTER)
        .press(800, KEY_ENTER)   // the runner falls out: the stage is loaded again
        .press(4000, KEY_ENTER)  // second prompt
        .press(4200, KEY_ESC)    // abandoned, Esc consumed
        .press(5000, KEY_ESC);   // leaves from the menu
    keys.start(60000);
    playLocalMatches(fall, two);

    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/queda.bmp"), 2u);
    EXPECT_EQ(countOf("load_bitmap pressEnter Img/menu/enter.bmp"), 2u);
    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/dois.bmp"), 0u);
    EXPECT_EQ(countOf("load_bitmap parabens Img/menu/parabens.jpg"), 0u);
    // Back to the menu after the abandon, then left with the second Esc.
    EXPECT_EQ(countOf("load_bitmap menu Img/menu/menu.jpg"), 2u);
    // The second prompt came only after the first attempt had been lost, well after its Enter.
    const std::vector<int64_t> prompts = timesOfBatchesWith("load_bitmap pressEnter");
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_GT(prompts[1], 800 + 300);
}

TEST_F(LocalSession, AStageReachedByARunnerIsWonWithoutF10) {
    // The runner crosses the line at x 600, is held by the wall and left behind by the window.
    const StageData one = testStage("Img/Jogo/um.bmp", true, true);
    const StageData two = testStage("Img/Jogo/dois.bmp", true, false);
    keys.press(100, KEY_ENTER).press(400, KEY_ENTER).press(800, KEY_ENTER);
    keys.press(7000, KEY_ENTER);  // stage 2 prompt
    keys.press(8000, KEY_ESC);    // abandon stage 2
    keys.press(9000, KEY_ESC);
    keys.start(60000);
    playLocalMatches(one, two);
    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/um.bmp"), 1u) << "won at the first try";
    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/dois.bmp"), 1u);
    // Esc in stage 2 went straight back to the menu: no winner picture, the press consumed (the
    // menu was then left by the second Esc only).
    EXPECT_EQ(countOf("load_bitmap parabens Img/menu/parabens.jpg"), 0u);
    EXPECT_EQ(countOf("load_bitmap menu Img/menu/menu.jpg"), 2u);
    EXPECT_GT(timesOfBatchesWith("destroy_bitmap buffer_menu").back(), 9000);
}

TEST_F(LocalSession, AWonAttemptHandsOverWhoCrossedTheFinishLine) {
    const StageData one = testStage("Img/Jogo/um.bmp", true, true);
    keys.press(100, KEY_ENTER).start(60000);
    std::vector<int> arrivals{9};
    EXPECT_EQ(runStageAttempt(1, one, {"Img/Jogo/player3a.bmp"}, 1, &arrivals), StageOutcome::Won);
    EXPECT_EQ(arrivals, std::vector<int>{1});
    EXPECT_EQ(countOf("play_sound Img/Som/largada.wav"), 1u) << "the start is heard";
    EXPECT_EQ(countOf("play_sound Img/Som/chegada.wav"), 1u);
}

TEST_F(LocalSession, StageWhoseImagesCannotBeLoadedIsReportedAndTheMenuReturns) {
    const StageData two = testStage("Img/Jogo/dois.bmp", true, false);
    const StageData missing{
        "Img/Jogo/nao_existe.jpg", 2000, {}, {{2, 10}}, FinishLine{600, 429, 100}};
    keys.press(100, KEY_ENTER).press(400, KEY_ENTER).press(1500, KEY_ESC);
    keys.start(60000);
    testing::internal::CaptureStdout();
    playLocalMatches(missing, two);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Img/Jogo/nao_existe.jpg"), std::string::npos) << console;
    EXPECT_EQ(countOf("load_bitmap menu Img/menu/menu.jpg"), 2u);
}

TEST_F(LocalSession, BackingOutOfTheSelectionShowsTheMenuFromItsStart) {
    keys.press(100, KEY_RIGHT).press(250, KEY_ENTER).press(600, KEY_ESC).press(1200, KEY_ESC);
    keys.start(60000);
    const StageData two = testStage("Img/Jogo/dois.bmp", true, false);
    playLocalMatches(two, two);
    EXPECT_EQ(countOf("load_bitmap menu Img/menu/menu.jpg"), 2u);
    // The second menu's first frame highlights item 1 again.
    const size_t second = find("load_bitmap menu Img/menu/menu.jpg", 1);
    EXPECT_EQ(instructionsStartingWith("blit img1", second).front(),
              "blit img1_2 buffer_menu 0 0 304 294 13 33");
    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/dois.bmp"), 0u);
}

}  // namespace

namespace {

TEST_F(LocalSession, WinnerPictureListsEachStagesArrivalsUntilEnterAndReplaysTheSame) {
    const std::vector<std::string> sprites{"Img/Jogo/player4a.bmp", "Img/Jogo/player2a.bmp"};

    keys.press(300, KEY_ENTER, 200).start();
    showWinnerScreen({{1, {2, 1}}, {2, {}}}, sprites);
    EXPECT_GE(clockMs(), 300);
    EXPECT_LE(clockMs(), 301);
    EXPECT_EQ(key[KEY_ENTER], 0) << "the menu must not take the same press";

    // Stage 1: player 2 first (with player 2's character, the second sprite), then player 1;
    // stage 2 was skipped, so nobody crossed.
    EXPECT_EQ(instructionsStartingWith("load_bitmap vencedor_"),
              (std::vector<std::string>{
                  "load_bitmap vencedor_lugar Img/menu/lugar_1.bmp",
                  "load_bitmap vencedor_folha Img/Jogo/player2a.bmp",
                  "load_bitmap vencedor_jogador Img/menu/jogador_2.bmp",
                  "load_bitmap vencedor_lugar Img/menu/lugar_2.bmp",
                  "load_bitmap vencedor_folha Img/Jogo/player4a.bmp",
                  "load_bitmap vencedor_jogador Img/menu/jogador_1.bmp",
                  "load_bitmap vencedor_ninguem Img/menu/ninguem.bmp",
              }));
    EXPECT_TRUE(looksLike(window, 320, 60, makecol(250, 200, 0))) << "the picture behind";
    const WinnerRow first = winnerRow(0, 0), second = winnerRow(0, 1), nobody = winnerRow(1, 0);
    EXPECT_TRUE(looksLike(window, first.x + kWinnerPlaceOffsetX + 20, first.y + 20, placeColour()));
    EXPECT_TRUE(
        looksLike(window, second.x + kWinnerPlayerOffsetX + 20, second.y + 20, playerColour()));
    EXPECT_TRUE(
        looksLike(window, first.x + kWinnerRunnerOffsetX + 20, first.y + 20, makecol(80, 200, 60)))
        << "player 2's character";
    EXPECT_TRUE(
        looksLike(window, nobody.x + kWinnerPlaceOffsetX + 20, nobody.y + 20, nobodyColour()));
    EXPECT_EQ(countOf("create_bitmap vencedor_quadro 42 47"), 2u);
    EXPECT_EQ(countOf("destroy_bitmap vencedor_quadro"), 2u) << "nothing is left bound";

    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

}  // namespace

namespace {

TEST_F(LocalSession, APadChosenInTheSelectionFlipsPausesAndIsPulledOutMidRace) {
    PumpedGamepads pads;
    ASSERT_TRUE(pads.started) << SDL_GetError();
    WatchedRules rules;
    auto pad = std::make_unique<VirtualPad>();
    const StageData one = testStage("Img/Jogo/um.bmp", true, false, true);
    const auto hold = [&](int64_t atMs, PadButton button, int64_t holdMs) {
        keys.call(atMs, [&pad, button] { pad->hold(button); }).call(atMs + holdMs, [&pad, button] {
            pad->release(button);
        });
    };
    // Every 5 ms, as the pads' thread and the race's flip poll would.
    for (int64_t at = 0; at < 4500; at += 5) {
        keys.call(at, [&rules] {
            pumpGamepads();
            if (Runner* runner = rules.runner(1)) pollKey(runner);
        });
    }
    int gravityBeforeFlip = 0, gravityAfterFlip = 0, gravityAfterReplug = 0;
    int padAfterPullOut = -1, padAfterReplug = -1, padsAfterPullOut = -1;
    bool padPictureShown = false;
    keys.press(100, KEY_ENTER);    // menu: one player
    hold(400, PadButton::A, 100);  // the pad chooses the first character
    hold(800, PadButton::A, 800);  // confirms the stage prompt, held past the landing
    keys.call(1650, [&] {
        const Runner* runner = rules.runner(1);
        if (!runner) return;  // no race: the checks below fail
        gravityBeforeFlip = runner->gravity();
        padPictureShown = getpixel(runner->keyImage(), 15, 15) == padColour();
    });
    hold(1700, PadButton::B, 300);  // flips (the runner landed at about 1450)
    keys.call(2050, [&] {
        if (const Runner* runner = rules.runner(1)) gravityAfterFlip = runner->gravity();
    });
    hold(2200, PadButton::Start, 100);  // pause ...
    hold(2600, PadButton::Start, 100);  // ... and go on
    keys.call(2900, [&] {
        pad.reset();  // pulled out mid-race
    });
    keys.call(2950, [&] {
        padAfterPullOut = gamepadNumberOfPlayer(1);
        padsAfterPullOut = gamepadCount();
    });
    keys.call(3100, [&] { pad = std::make_unique<VirtualPad>(); });
    keys.call(3150, [&] { padAfterReplug = gamepadNumberOfPlayer(1); });
    hold(3300, PadButton::Y, 300);  // the new pad flips the runner back
    keys.call(3700, [&] {
        if (const Runner* runner = rules.runner(1)) gravityAfterReplug = runner->gravity();
    });
    keys.press(3800, KEY_ESC);  // abandon
    keys.press(4300, KEY_ESC);  // leave from the menu
    keys.start(60000);
    testing::internal::CaptureStdout();
    playLocalMatches(one, one, rules);
    const std::string console = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(padPictureShown) << "the pad's picture above the runner, not a key's";
    EXPECT_EQ(gravityBeforeFlip, 1) << "the A of the prompt did not flip";
    EXPECT_EQ(gravityAfterFlip, -1);
    EXPECT_EQ(countOf("load_bitmap paused Img/menu/pause.bmp"), 1u);
    const std::vector<int64_t> pauses = timesOfBatchesWith("load_bitmap paused");
    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_GE(pauses[0], 2200);
    EXPECT_LT(pauses[0], 2600);
    EXPECT_EQ(padsAfterPullOut, 0);
    EXPECT_EQ(padAfterPullOut, 0) << "the runner is left without a pad";
    EXPECT_EQ(padAfterReplug, 1) << "the pad plugged in again takes the runner back";
    EXPECT_EQ(gravityAfterReplug, 1);
    EXPECT_EQ(countOf("load_bitmap mapaVisual Img/Jogo/um.bmp"), 1u) << "one attempt, abandoned";
    EXPECT_EQ(countOf("load_bitmap menu Img/menu/menu.jpg"), 2u);
    EXPECT_EQ(console.find("nao encontrad"), std::string::npos) << console;
}

}  // namespace
