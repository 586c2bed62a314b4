// PartyScreen: the TV of `corrida festa N`. The server records every picture for its viewers and
// draws nothing itself; this subscriber replays the recorder's own batches, as they are recorded,
// into the game window on the game thread (the interpreter every viewer uses, with the same
// budgets), and shows each picture on the window when it ends. The TV therefore shows exactly the
// picture every viewer is sent: the waiting screen with its code, the countdowns, the races and
// the winner picture, with their sounds.
//
// While it lives, Esc on the window is a stop request (stop_request.h), at any moment: the press is
// caught by the keyboard's own thread (the library's low-level key callback, chained before the
// one already there), since the server's waits draw nothing and its race takes Esc for itself.
//
// With CORRIDA_SHOWN_LOG=FILE each picture shown adds one line "PICTURE FLUSH_MS SHOWN_MS" (both
// on the monotonic clock), as a client's does: the measuring scripts read it.
#pragma once

#include <cstdio>
#include <memory>

#include "stream/batch_subscriber.h"
#include "stream/interpreter.h"

class PartyScreen : public BatchSubscriber {
  public:
    // The graphics library's game window must be open, and stay so while this lives.
    PartyScreen();
    ~PartyScreen() override;
    PartyScreen(const PartyScreen&) = delete;
    PartyScreen& operator=(const PartyScreen&) = delete;

    void take(const RecordedBatch& batch, int64_t nowMs) override;

    uint64_t picturesShown() const { return shown; }

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    ListaBitmaps registry;
    uint64_t shown = 0;
    std::unique_ptr<std::FILE, CloseFile> log;
};
