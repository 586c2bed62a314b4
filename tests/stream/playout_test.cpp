// When a client shows the pictures it receives: bunched pictures are spread out as they were
// drawn, the delay follows the jitter within its bound, a client that fell behind skips drawing
// but never a bitmap change, and no picture waits for the next one.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "stream/picture_schedule.h"
#include "stream/playout_delay.h"
#include "stream/received_picture.h"

namespace {

constexpr int64_t kDrawnApartMs = 34;
// The server's clock is far from the client's: only differences count.
constexpr int64_t kServerAhead = 5'000'000'000;

std::string picture(uint64_t frame, int64_t flushMs, const std::string& drawing = "") {
    return drawing + "frame " + std::to_string(frame) + " " + std::to_string(flushMs) + ";";
}

// Pictures drawn every 34 ms, sent `perAnswer` at a time as the last of them is flushed, arriving
// `wayMs` later: the due time of each, from the `from`th picture on.
std::vector<int64_t> dueTimes(PlayoutDelay& delay, int pictures, int perAnswer, int64_t wayMs) {
    std::vector<int64_t> due;
    for (int first = 0; first + perAnswer <= pictures; first += perAnswer) {
        const int64_t arrived = (first + perAnswer - 1) * kDrawnApartMs + wayMs;
        for (int i = first; i < first + perAnswer; ++i) {
            due.push_back(delay.dueMs(kServerAhead + i * kDrawnApartMs, arrived));
        }
    }
    return due;
}

TEST(PlayoutDelay, PicturesThatArriveTogetherAreDueAsFarApartAsTheyWereDrawn) {
    for (const int perAnswer : {1, 2, 4}) {
        PlayoutDelay delay;
        const std::vector<int64_t> due = dueTimes(delay, 400, perAnswer, 20);
        // Once the delay has settled (three seconds), every picture is due 34 ms after the one
        // before, and none before it arrived.
        for (size_t i = 100; i < due.size(); ++i) {
            EXPECT_NEAR(due[i] - due[i - 1], kDrawnApartMs, 2) << perAnswer << " a time, " << i;
        }
        const int64_t lastArrival = 399 * kDrawnApartMs + 20;
        EXPECT_GE(due.back(), lastArrival) << perAnswer;
        // The delay is what the bunching needs and little more: the oldest picture of an answer
        // waited (perAnswer - 1) pictures for it.
        EXPECT_GE(delay.delayMs(), (perAnswer - 1) * kDrawnApartMs) << perAnswer;
        EXPECT_LE(delay.delayMs(), (perAnswer - 1) * kDrawnApartMs + 2 * PlayoutDelay::kMarginMs)
            << perAnswer;
    }
}

TEST(PlayoutDelay, AStallRaisesTheDelayToItsBoundAtMostAndItComesDownAgain) {
    PlayoutDelay delay;
    dueTimes(delay, 100, 1, 10);
    EXPECT_LE(delay.delayMs(), PlayoutDelay::kMarginMs);
    // Two seconds without an answer, then the sixty pictures of that time at once.
    const int64_t arrived = 160 * kDrawnApartMs + 10;
    for (int i = 100; i < 160; ++i) {
        const int64_t due = delay.dueMs(kServerAhead + i * kDrawnApartMs, arrived);
        EXPECT_LE(due, arrived + PlayoutDelay::kMaxDelayMs) << "never held past the bound";
    }
    EXPECT_EQ(delay.delayMs(), PlayoutDelay::kMaxDelayMs);
    // The way is quick again: within ten seconds the delay is back to the jitter.
    for (int i = 160; i < 460; ++i) {
        delay.dueMs(kServerAhead + i * kDrawnApartMs, i * kDrawnApartMs + 10);
    }
    EXPECT_LE(delay.delayMs(), PlayoutDelay::kMarginMs);
}

TEST(PlayoutDelay, AFlushTimeThatIsNoClockReadingIsDueWhenItComesAndChangesNothing) {
    PlayoutDelay delay;
    dueTimes(delay, 30, 1, 10);
    const int64_t arrived = 30 * kDrawnApartMs + 10;
    for (const int64_t flush :
         {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), int64_t{0}}) {
        EXPECT_EQ(delay.dueMs(flush, arrived), arrived) << flush;
    }
    EXPECT_LE(delay.delayMs(), PlayoutDelay::kMarginMs) << "the delay is left alone";
    EXPECT_EQ(delay.dueMs(kServerAhead + 30 * kDrawnApartMs, arrived + 5) - arrived,
              PlayoutDelay::kMarginMs)
        << "the next true picture is due as before";
}

TEST(PictureSchedule, ShowsEachPictureWhenDueNeverWaitingForTheNext) {
    PictureSchedule schedule;
    // Settle the delay on answers of one picture.
    int64_t now = 0;
    uint64_t frame = 1;
    for (; frame <= 30; ++frame, now += kDrawnApartMs) {
        schedule.add(picture(frame, now), now);
        ASSERT_TRUE(schedule.next(now + PlayoutDelay::kMarginMs));
    }
    // Then three pictures in one answer: the first is due at once, each next one 34 ms later.
    const int64_t flushed = now;
    schedule.add(picture(frame, flushed) + picture(frame + 1, flushed + 34) +
                     picture(frame + 2, flushed + 68),
                 flushed + 68);
    const int64_t first = *schedule.nextDueMs();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(schedule.next(first + i * kDrawnApartMs - 1)) << "not before it is due";
        const std::optional<PictureSchedule::Step> step = schedule.next(first + i * kDrawnApartMs);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->action, PictureSchedule::Action::Show);
        EXPECT_EQ(step->picture.marker->frame, frame + i);
    }
    EXPECT_FALSE(schedule.nextDueMs()) << "the last one was shown without waiting for another";
}

TEST(PictureSchedule, AClientBehindSkipsDrawingButNotBitmapChangesAndNeverSplitsClassicDrawing) {
    PictureSchedule schedule;
    const std::string pictures =
        picture(1, 0, "create_bitmap a 2 2;blit a screen 0 0 0 0 2 2;") +
        picture(2, 34, "play_sound Img/x.wav;draw_sprite screen a 0 0;") +
        picture(3, 68, "draw_sprite_v_flip screen a 0 0;destroy_bitmap a;");
    // The pictures a fresh queue starts with are all drawn, though they come due together: a
    // still picture drawn in parts is never drawn again.
    schedule.add(pictures, 0, false);
    for (int i = 0; i < 3; ++i) {
        const std::optional<PictureSchedule::Step> step = schedule.next(0);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->action, PictureSchedule::Action::Show) << i;
    }
    // Pictures of the race that fell behind: only the last is drawn.
    schedule.add(pictures, 0);
    std::vector<PictureSchedule::Action> actions;
    std::string carriedOut;
    while (std::optional<PictureSchedule::Step> step = schedule.next(1000)) {
        actions.push_back(step->action);
        carriedOut += step->action == PictureSchedule::Action::Skip
                          ? withoutDrawing(step->picture.drawing)
                          : step->picture.drawing;
    }
    EXPECT_EQ(actions, (std::vector<PictureSchedule::Action>{PictureSchedule::Action::Skip,
                                                             PictureSchedule::Action::Skip,
                                                             PictureSchedule::Action::Show}));
    EXPECT_EQ(carriedOut,
              "create_bitmap a 2 2;play_sound Img/x.wav;"
              "draw_sprite_v_flip screen a 0 0;destroy_bitmap a;");

    // A picture drawn at the same moment as the next (a pause over the race) is part of it.
    schedule.add(picture(4, 500, "blit a screen 0 0 0 0 2 2;") +
                     picture(5, 502, "draw_sprite screen a 0 0;"),
                 500);
    for (int i = 0; i < 2; ++i) {
        const std::optional<PictureSchedule::Step> step = schedule.next(1500);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->action, PictureSchedule::Action::Show) << i;
    }

    // A classic stream has no picture times: each batch is drawn whole when it comes.
    schedule.add("blit a screen 0 0 0 0 1 1;", 2000);
    schedule.add("blit a screen 0 0 0 0 1 1;draw_sprite screen a 0 0", 2000);
    for (int i = 0; i < 2; ++i) {
        const std::optional<PictureSchedule::Step> step = schedule.next(2000);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->action, PictureSchedule::Action::Draw);
    }
    EXPECT_EQ(splitPictures("create_bitmap a 1 1;frame 7 70;blit a screen 0 0 0 0 1 1").size(), 2u);
}

TEST(PictureSchedule, TakesNoMoreAnswersPastTwoSecondsOfPictures) {
    PictureSchedule schedule;
    std::string answer;
    for (uint64_t frame = 1; frame <= PictureSchedule::kMostWaiting; ++frame) {
        answer += picture(frame, static_cast<int64_t>(frame) * kDrawnApartMs);
    }
    schedule.add(answer.substr(0, answer.size() / 2), 0);
    EXPECT_FALSE(schedule.full());
    schedule.add(answer.substr(answer.size() / 2), 0);
    EXPECT_TRUE(schedule.full());
    ASSERT_TRUE(schedule.next(*schedule.nextDueMs()));
    EXPECT_FALSE(schedule.full());
}

}  // namespace
