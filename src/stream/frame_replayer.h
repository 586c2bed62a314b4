// FrameReplayer: a client's window side of the stream. It carries out fetched texts (one classic
// batch, or a frames answer's body) with the interpreter, picture by picture, and counts the
// pictures by their "frame" markers.
//
// With a log, each picture replayed adds one line "N FLUSH_MS REPLAY_MS": its number, when the
// server flushed it, and when it was on the window, both on the monotonic clock (comparable only
// when server and client run on one machine, as the network measurements do).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "stream/interpreter.h"

class FrameReplayer {
  public:
    // `logPath` empty: no log.
    FrameReplayer(ListaBitmaps& registry, const std::string& logPath);

    void replay(const std::string& text);
    uint64_t framesReplayed() const { return frames; }
    // The number of the last picture replayed, 0 before the first.
    uint64_t lastFrame() const { return last; }

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    ListaBitmaps& registry;
    std::unique_ptr<std::FILE, CloseFile> log;
    uint64_t frames = 0;
    uint64_t last = 0;
};
