// PictureSchedule: the pictures a client has received and not carried out yet, each due at the
// time its PlayoutDelay gives.
//
// next() hands out what is due, in order:
// - a picture whose successor is due as well, and was drawn a frame or more later, is skipped
//   (carried out without its drawing): a client that fell behind catches up, and never loses a
//   bitmap change. A picture flushed less than kSameMomentMs before the next is part of what the
//   next shows (a stage, then the waiting picture over it), and pictures added as not `timed` (a
//   fresh queue's first ones, a still picture drawn in parts) are never skipped;
// - a picture that is due alone is shown;
// - drawing without a marker (a classic stream, which has no picture times) is due when it comes
//   and is drawn whole, never skipped: where its pictures end is not known.
// A picture is never held back because the next one has not come.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "stream/playout_delay.h"
#include "stream/received_picture.h"

class PictureSchedule {
  public:
    // Pictures waiting that make the client stop taking answers (about two seconds of race).
    static constexpr size_t kMostWaiting = 64;
    // Pictures flushed closer together than this were drawn at one moment: the first is part of
    // what the second shows. The race draws a picture every 34 ms.
    static constexpr int64_t kSameMomentMs = 20;

    enum class Action {
        Show,  // draw it, and the window shows it now
        Skip,  // carry it out without its drawing: a later picture is due already
        Draw,  // drawing without a marker: draw it whole; the window shows it when convenient
    };
    struct Step {
        Action action;
        ReceivedPicture picture;
    };

    // Adds the pictures of a text that arrived at `arrivedMs`. Pictures that were drawn before
    // the client came (those a fresh queue starts with) tell nothing of the way: added as not
    // `timed`, they are due when they come, and the play-out delay does not count them.
    void add(const std::string& text, int64_t arrivedMs, bool timed = true);
    // The next thing to carry out at `nowMs`; nothing when no picture is due.
    std::optional<Step> next(int64_t nowMs);
    // When the first waiting picture is due; nothing when none waits.
    std::optional<int64_t> nextDueMs() const;
    bool full() const { return waiting.size() >= kMostWaiting; }
    size_t size() const { return waiting.size(); }
    int64_t delayMs() const { return delay.delayMs(); }

  private:
    struct Waiting {
        ReceivedPicture picture;
        int64_t dueMs;
        bool skippable;
    };
    std::deque<Waiting> waiting;
    PlayoutDelay delay;
};
