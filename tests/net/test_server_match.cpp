// The server's matches on the simulated clock, with the real stages and a server's recorder: the
// exact records and times of the waiting screen, the countdown and the winner screen, the next
// match starting at once, a lost stage played again, Esc, the remote pause and cheat, and a stop
// request while the race is paused.
#include <allegro.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "net/remote_race.h"
#include "net/server_context.h"
#include "net/server_match.h"
#include "net/server_screens.h"
#include "net/stop_request.h"
#include "platform/clock.h"
#include "screens/key_script.h"
#include "screens/winner_screen.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_text.h"
#include "world/stage_loading.h"

namespace {

// One recorded instruction and the clock reading of the flush that carried it.
struct Timed {
    int64_t atMs;
    std::string text;
    bool operator==(const Timed& other) const { return atMs == other.atMs && text == other.text; }
};

void PrintTo(const Timed& timed, std::ostream* out) { *out << timed.atMs << " " << timed.text; }

// What a stage records (its loading screen, its load, its frames, its release), as opposed to
// what the screens over it record.
bool isStageRecord(const std::string& text) {
    static const std::regex stage(
        "bufferVisual|mapaVisual|carregando|\\bbitmap(Base|Tecla)?[0-9]+\\b");
    return std::regex_search(text, stage);
}

// The last `count` elements of `all` (all of them when there are fewer).
std::vector<Timed> lastOf(const std::vector<Timed>& all, size_t count) {
    return std::vector<Timed>(all.end() - std::min(count, all.size()), all.end());
}

constexpr int64_t kCountdownMs = 5 * (kCountdownStepMs + 1);
constexpr int64_t kFrameMs = kFrameGapMs + 1;

class ServerMatch : public ::testing::Test {
  protected:
    static constexpr int kPlayers = 2;

    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(TEST_IMG_ROOT);  // the stages' collision images
        clearAllKeys();
        context = std::make_unique<ServerContext>(kPlayers, true);
        context->recorder.subscribe(pieces);
    }
    void TearDown() override {
        KeyScript::stop();
        context->recorder.unsubscribe(pieces);
        releaseStopSignals();
        std::filesystem::current_path(previousDirectory);
    }

    // Player `player` joins from an address of its own and fetches.
    void joins(int player) {
        const int64_t now = clockMs();
        const PlayerSlots::Joined joined =
            context->slots.joinByAddress("10.0.0." + std::to_string(player), now);
        context->slots.noteFetch(joined.player, now);
    }
    void everyoneJoined() {
        for (int player = 1; player <= kPlayers; ++player) joins(player);
    }
    std::function<void()> remoteCheat() {
        return [this] { useRemoteCheat(context->control); };
    }
    std::function<void()> remotePause() {
        return [this] { toggleRemotePause(context->control, 1, clockMs()); };
    }

    // The screens' records (nothing of the stage itself) flushed from `fromMs` to `toMs`, both
    // included.
    std::vector<Timed> screenRecords(int64_t fromMs, int64_t toMs) const {
        std::vector<Timed> found;
        for (const Timed& record : records) {
            if (record.atMs >= fromMs && record.atMs <= toMs && !isStageRecord(record.text))
                found.push_back(record);
        }
        return found;
    }
    // The flush times of every record equal to `text`.
    std::vector<int64_t> timesOf(const std::string& text) const {
        std::vector<int64_t> times;
        for (const Timed& record : records) {
            if (record.text == text) times.push_back(record.atMs);
        }
        return times;
    }
    // The flush times of the frames shown on the window (stage frames, still or racing).
    std::vector<int64_t> framesShownBetween(int64_t fromMs, int64_t toMs) const {
        std::vector<int64_t> times;
        for (const Timed& record : records) {
            if (record.atMs >= fromMs && record.atMs <= toMs &&
                record.text.rfind("blit bufferVisual screen ", 0) == 0)
                times.push_back(record.atMs);
        }
        return times;
    }
    void expectStageReleased() {
        EXPECT_FALSE(context->control.active.load()) << "remote inputs are shut out";
        EXPECT_EQ(context->control.players.load(), nullptr) << "the stage's runners are let go";
    }

    static std::vector<Timed> waitingScreen(int64_t atMs, const std::string& count) {
        return {{atMs, "load_bitmap aguardando Img/menu/aguardando.bmp"},
                {atMs, "draw_sprite screen aguardando 0 0"},
                {atMs, "destroy_bitmap aguardando"},
                {atMs, "load_bitmap aguardando_n Img/menu/aguardando_" + count + ".bmp"},
                {atMs, "draw_sprite screen aguardando_n 170 246"},
                {atMs, "destroy_bitmap aguardando_n"}};
    }
    // The countdown started at `startMs`, up to the start of the race.
    static std::vector<Timed> countdown(int64_t startMs) {
        std::vector<Timed> expected{{startMs, "load_bitmap 54321 Img/Jogo/54321.bmp"},
                                    {startMs, "create_bitmap num 100 100"}};
        int64_t at = startMs;
        for (int offset = 400; offset >= 0; offset -= 100, at += kCountdownStepMs + 1) {
            expected.push_back({at, "blit 54321 num " + std::to_string(offset) + " 0 0 0 100 100"});
            expected.push_back({at, "draw_sprite screen num 270 190"});
            expected.push_back({at, "play_sound Img/Som/contagem.wav"});
        }
        // The destroys and the start leave with the first race frame.
        for (const char* text :
             {"destroy_bitmap 54321", "destroy_bitmap num", "play_sound Img/Som/largada.wav",
              "play_music Img/Som/musica_corrida.wav"}) {
            expected.push_back({at, text});
        }
        return expected;
    }
    static void append(std::vector<Timed>& to, const std::vector<Timed>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }

    std::unique_ptr<ServerContext> context;
    KeyScript keys;
    std::vector<Timed> records;
    // Every piece recorded, with the time it was handed on.
    struct TimedPieces : BatchSubscriber {
        explicit TimedPieces(std::vector<Timed>& records) : records(records) {}
        void take(const RecordedBatch& batch, int64_t) override {
            forEachPiece(batch.text, [this](std::string_view piece, bool) {
                if (!piece.empty()) records.push_back({clockMs(), std::string(piece)});
                return true;
            });
        }
        std::vector<Timed>& records;
    } pieces{records};

  private:
    std::filesystem::path previousDirectory;
};

TEST_F(ServerMatch, WaitingScreenUntilEveryPlayerThenCountdownThenTheRemoteCheatWinsTheStage) {
    // Player 1 joins at 500 ms, player 2 at 1200 ms; the cheat comes during the race.
    keys.call(500, [this] { joins(1); }).call(1200, [this] { joins(2); }).call(6500, remoteCheat());
    keys.start(60000);
    std::vector<int> arrivals{9};
    EXPECT_EQ(runServerStage(1, stage1Data(), *context, &arrivals), StageOutcome::Won);

    std::vector<Timed> expected{{0, "play_music Img/Som/musica_menu.wav"}};
    append(expected, waitingScreen(0, "0_2"));
    append(expected, waitingScreen(500, "1_2"));
    append(expected, waitingScreen(1200, "2_2"));
    append(expected, countdown(1200));
    const int64_t raceStart = 1200 + kCountdownMs;
    ASSERT_EQ(screenRecords(0, raceStart), expected);
    // Each waiting screen and each countdown step over a still frame of the stage.
    EXPECT_EQ(framesShownBetween(0, raceStart - 1),
              (std::vector<int64_t>{0, 500, 1200, 1200, 2201, 3202, 4203, 5204}));

    // Race frames every 34 ms from the start; the cheat ends the race at the next frame's end.
    const std::vector<int64_t> frames = framesShownBetween(raceStart, 60000);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), raceStart);
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i] - frames[i - 1], kFrameMs);
    EXPECT_LT(frames.back(), 6500);
    EXPECT_GE(frames.back() + kFrameMs, 6500);
    EXPECT_EQ(clockMs(), frames.back() + kFrameMs);
    EXPECT_TRUE(arrivals.empty()) << "nobody crossed the line";
    EXPECT_FALSE(context->control.cheat.load()) << "the cheat is used up";
    expectStageReleased();
}

TEST_F(ServerMatch, RemoteInputsReachOnlyTheRunningRacePauseIncluded) {
    everyoneJoined();
    // A pause and a cheat during the countdown are dropped; in the race, a pause holds the frames
    // until the second request, and the cheat then wins.
    keys.call(2000, remotePause())
        .call(3000, remoteCheat())
        .call(6000, remotePause())
        .call(7000, remotePause())
        .call(7500, remoteCheat());
    keys.start(60000);
    EXPECT_EQ(runServerStage(1, stage1Data(), *context), StageOutcome::Won);

    const int64_t raceStart = kCountdownMs;
    EXPECT_EQ(timesOf("blit 54321 num 0 0 0 0 100 100"), std::vector<int64_t>{4004})
        << "the countdown ran through";
    EXPECT_EQ(framesShownBetween(raceStart, raceStart).size(), 1u) << "the race started";
    // The pause: the frame drawn just after the request, then the pause picture, flushed at once;
    // its destroys leave with the frame after the pause.
    const int64_t pausedFrame = raceStart + (6000 - raceStart + kFrameMs - 1) / kFrameMs * kFrameMs;
    const std::vector<Timed> pause{
        {pausedFrame, "load_bitmap paused Img/menu/pause.bmp"},
        {pausedFrame, "create_bitmap buffer_pause 640 480"},
        {pausedFrame, "blit paused buffer_pause 0 0 0 0 640 480"},
        {pausedFrame, "draw_sprite screen buffer_pause 0 0"},
        {pausedFrame, "play_sound Img/Som/pausa.wav"},
        {7000 + kFrameMs, "destroy_bitmap buffer_pause"},
        {7000 + kFrameMs, "destroy_bitmap paused"},
    };
    EXPECT_EQ(screenRecords(raceStart + 1, 60000), pause);
    EXPECT_TRUE(framesShownBetween(pausedFrame + 1, 7000).empty()) << "no frame while paused";
    EXPECT_FALSE(context->control.paused.load());
    expectStageReleased();
}

TEST_F(ServerMatch, AWholeMatchThenTheNextStartsWithoutWaitingAndEscEndsTheMatches) {
    everyoneJoined();
    keys.call(5500, remoteCheat())   // stage 1's race
        .call(13000, remoteCheat())  // stage 2's race
        .down(24000, KEY_ESC);       // the next match's stage 1 race
    keys.start(60000);
    playServerMatches(*context);

    const int64_t stage1Race = kCountdownMs;
    const int64_t stage1Won = stage1Race + 15 * kFrameMs;  // the first frame end after 5500
    const int64_t stage2Load = stage1Won + kMatchIntervalMs + 1;
    const int64_t stage2Race = stage2Load + kCountdownMs;
    const int64_t stage2Won = stage2Race + 15 * kFrameMs;
    const int64_t nextMatch = stage2Won + kWinnerScreenMs + 1;
    EXPECT_EQ(timesOf("load_bitmap mapaVisual Img/Jogo/visual1.jpg"),
              (std::vector<int64_t>{0, nextMatch}));
    EXPECT_EQ(timesOf("load_bitmap mapaVisual Img/Jogo/visual2.jpg"),
              std::vector<int64_t>{stage2Load});
    // Stage 2 has no waiting screen, only its countdown.
    EXPECT_EQ(screenRecords(stage2Load, stage2Race), countdown(stage2Load));
    EXPECT_TRUE(timesOf("load_bitmap aguardando_n Img/menu/aguardando_2_2.bmp") ==
                (std::vector<int64_t>{0, nextMatch}))
        << "the next match shows who is in and counts down at once";

    // The winner screen: stage 1 and stage 2 won by the cheat, nobody at either line, for five
    // seconds.
    std::vector<Timed> winner{
        {stage2Won, "play_music Img/Som/musica_menu.wav"},
        {stage2Won, "load_bitmap parabens Img/menu/parabens.jpg"},
        {stage2Won, "draw_sprite screen parabens 0 0"},
        {stage2Won, "destroy_bitmap parabens"},
    };
    for (int stage : {0, 1}) {
        const WinnerRow row = winnerRow(stage, 0);
        append(winner, {{stage2Won, "load_bitmap vencedor_ninguem Img/menu/ninguem.bmp"},
                        {stage2Won, "draw_sprite screen vencedor_ninguem " +
                                        std::to_string(row.x + kWinnerPlaceOffsetX) + " " +
                                        std::to_string(row.y + kWinnerLabelOffsetY)},
                        {stage2Won, "destroy_bitmap vencedor_ninguem"}});
    }
    EXPECT_EQ(screenRecords(stage2Won, nextMatch - 1), winner);

    // Esc held in the next match's race ends the matches at that frame's end, and is consumed.
    const int64_t nextRace = nextMatch + kCountdownMs;
    const int64_t escFrame = nextRace + (24000 - nextRace + kFrameMs - 1) / kFrameMs * kFrameMs;
    EXPECT_EQ(clockMs(), escFrame);
    EXPECT_EQ(key[KEY_ESC], 0);
    expectStageReleased();
}

TEST_F(ServerMatch, AStageOneLostByEveryRunnerIsPlayedAgainAtOnce) {
    everyoneJoined();
    keys.down(40000, KEY_ESC);
    keys.start(60000);
    playServerMatches(*context);

    // Both runners went out (nobody flipped), and the stage was loaded again at the same frame.
    const std::vector<int64_t> out = timesOf("play_sound Img/Som/fora.wav");
    const std::vector<int64_t> loads = timesOf("load_bitmap mapaVisual Img/Jogo/visual1.jpg");
    ASSERT_GE(out.size(), 2u);
    ASSERT_GE(loads.size(), 2u);
    EXPECT_GT(loads[1], out[1]);
    EXPECT_EQ(loads[1], out[1] + kFrameMs) << "lost when the last runner is out";
    EXPECT_TRUE(timesOf("load_bitmap mapaVisual Img/Jogo/visual2.jpg").empty());
    // Again: who is in, and the countdown at once.
    std::vector<Timed> again = waitingScreen(loads[1], "2_2");
    append(again, countdown(loads[1]));
    EXPECT_EQ(lastOf(screenRecords(loads[1], loads[1] + kCountdownMs), again.size()), again);
    EXPECT_EQ(key[KEY_ESC], 0);
    expectStageReleased();
}

TEST_F(ServerMatch, AStopRequestWhileWaitingForPlayersEndsBeforeTheCountdown) {
    catchStopSignals();
    keys.call(300, [] { std::raise(SIGINT); });
    keys.start(60000);
    playServerMatches(*context);
    EXPECT_EQ(clockMs(), 300);
    EXPECT_TRUE(timesOf("load_bitmap 54321 Img/Jogo/54321.bmp").empty());
    EXPECT_EQ(timesOf("destroy_bitmap mapaVisual").size(), 1u) << "the stage is released";
    expectStageReleased();
}

// A client paused the race and went away: nobody will lift the pause, and the operator's Ctrl+C
// must still end the race, release the stage and return from the matches.
TEST_F(ServerMatch, AStopRequestEndsAPausedRace) {
    everyoneJoined();
    catchStopSignals();
    keys.call(6000, remotePause()).call(9000, [] { std::raise(SIGINT); });
    keys.start(60000);
    playServerMatches(*context);

    EXPECT_FALSE(context->control.paused.load()) << "the pause ended with its race";
    EXPECT_EQ(clockMs(), 9000 + kFrameMs) << "the pause ends at once, the frame loop at its end";
    EXPECT_EQ(timesOf("destroy_bitmap paused"), std::vector<int64_t>{9000 + kFrameMs});
    EXPECT_EQ(timesOf("destroy_bitmap mapaVisual").size(), 1u) << "the stage is released";
    EXPECT_TRUE(timesOf("load_bitmap mapaVisual Img/Jogo/visual2.jpg").empty());
    expectStageReleased();
}

// Nobody lifts a pause: it ends by itself after its longest time, and the race goes on.
TEST_F(ServerMatch, ARemotePauseNobodyLiftsEndsByItself) {
    everyoneJoined();
    keys.call(6000, remotePause()).call(6000 + kLongestRemotePauseMs + 3000, remoteCheat());
    keys.start(120000);
    EXPECT_EQ(runServerStage(1, stage1Data(), *context), StageOutcome::Won);
    const std::vector<int64_t> shown = timesOf("load_bitmap paused Img/menu/pause.bmp");
    ASSERT_EQ(shown.size(), 1u);
    const std::vector<int64_t> lifted = timesOf("destroy_bitmap paused");
    ASSERT_EQ(lifted.size(), 1u);
    EXPECT_GE(lifted[0] - shown[0], kLongestRemotePauseMs);
    EXPECT_LE(lifted[0] - shown[0], kLongestRemotePauseMs + 2 * kFrameMs);
    EXPECT_FALSE(framesShownBetween(lifted[0], 6000 + kLongestRemotePauseMs + 2000).empty())
        << "the race ran again";
}

// A pause asked for in the last frame gap of a race (here the one the cheat ends) does not reach
// the next race: stage 2 runs unpaused until Esc.
TEST_F(ServerMatch, APauseInTheLastFrameGapDiesWithItsRace) {
    everyoneJoined();
    keys.call(5500, remoteCheat()).call(5501, remotePause()).down(16000, KEY_ESC);
    keys.start(60000);
    playServerMatches(*context);
    EXPECT_TRUE(timesOf("load_bitmap paused Img/menu/pause.bmp").empty());
    const std::vector<int64_t> stage2 = timesOf("load_bitmap mapaVisual Img/Jogo/visual2.jpg");
    ASSERT_EQ(stage2.size(), 1u);
    EXPECT_GT(framesShownBetween(stage2[0] + kCountdownMs + 1, 16000).size(), 30u)
        << "stage 2's race ran";
    expectStageReleased();
}

}  // namespace

TEST_F(ServerMatch, ChosenStagesArePlayedInTheirOrderWaitingOnlyBeforeTheFirst) {
    everyoneJoined();
    // Each race won by the cheat soon after it starts (before any runner can fall out); Esc held
    // from the next match's countdown ends the matches in its first frame.
    keys.call(kCountdownMs + 100, remoteCheat())
        .call(2 * kCountdownMs + kMatchIntervalMs + 400, remoteCheat())
        .down(3 * kCountdownMs + kMatchIntervalMs + kWinnerScreenMs, KEY_ESC);
    keys.start(60000);
    StageChoice chosen;
    chosen.stages = {"7", "3"};
    playServerMatches(*context, chosen);

    const std::vector<int64_t> seven = timesOf("load_bitmap mapaVisual Img/Jogo/visual7.jpg");
    const std::vector<int64_t> three = timesOf("load_bitmap mapaVisual Img/Jogo/visual3.jpg");
    const std::vector<int64_t> winner =
        timesOf("load_bitmap parabens Img/menu/parabens_paineis_2.jpg");
    ASSERT_EQ(seven.size(), 2u) << "this match and the next";
    ASSERT_EQ(three.size(), 1u);
    ASSERT_EQ(winner.size(), 1u);
    EXPECT_EQ(seven[0], 0);
    EXPECT_LT(seven[0], three[0]);
    EXPECT_LT(three[0], winner[0]);
    EXPECT_LT(winner[0], seven[1]);
    EXPECT_TRUE(timesOf("load_bitmap mapaVisual Img/Jogo/visual1.jpg").empty());
    EXPECT_TRUE(timesOf("load_bitmap parabens Img/menu/parabens.jpg").empty());
    EXPECT_EQ(timesOf("load_bitmap aguardando_n Img/menu/aguardando_2_2.bmp"),
              (std::vector<int64_t>{0, seven[1]}))
        << "the waiting screen before the first stage only";
    expectStageReleased();
}
