// RecordingPlayer: a recording (recording_file.h) drawn on a window picture by picture, and moved
// to any moment of it.
//
// Play time runs from the first picture; a gap between two pictures longer than kLongestGapMs
// (a waiting screen nobody left, a long pause) plays as that long. A move rebuilds the window's
// bitmap table for the moment it goes to from the net bitmap changes of the pictures before it
// (BitmapTableChanges), without drawing any of them: the pictures that follow draw whole screens.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "stream/frame_replayer.h"
#include "stream/interpreter.h"
#include "stream/recording_file.h"

class RecordingPlayer {
  public:
    static constexpr int64_t kLongestGapMs = 5000;

    RecordingPlayer(Recording recording, BITMAP* window);

    // The play time of the last picture.
    int64_t length() const { return playTimes.empty() ? 0 : playTimes.back(); }
    // Where the playing stands: the play time up to which pictures were drawn.
    int64_t position() const { return positionMs; }
    bool finished() const { return next >= playTimes.size(); }
    size_t picturesDrawn() const { return drawn; }
    const ListaBitmaps& bitmaps() const { return *registry; }

    // Draws, in order, every picture not yet drawn whose play time is at most `playMs`; returns how
    // many.
    size_t showUntil(int64_t playMs);
    // Moves to `playMs` (clamped to the recording): the next showUntil goes on from the picture
    // the window showed at that moment.
    void seek(int64_t playMs);

  private:
    void restartTable();

    Recording recording;
    BITMAP* const window;
    std::vector<int64_t> playTimes;  // one per picture, from 0
    std::unique_ptr<ListaBitmaps> registry;
    std::unique_ptr<FrameReplayer> replayer;
    size_t next = 0;
    size_t drawn = 0;
    int64_t positionMs = 0;
};
