// FrameReplayer: a client's window side of the stream. It carries out fetched texts (one classic
// batch, or a frames answer's body) with the interpreter, picture by picture, and counts the
// pictures by their "frame" markers.
//
// With a log, each picture replayed adds one line "N FLUSH_MS REPLAY_MS": its number, when the
// server flushed it, and when it was on the window, both on the monotonic clock (comparable only
// when server and client run on one machine, as the network measurements do).
//
// With a names file, the replayer writes there when it is destroyed one line "PICTURE NAME...":
// the last picture replayed and the names its table held right after it (bound_names.h), which
// the long-session check compares with what the server's recording left bound at that picture.
//
// Each picture is drawn within its work budget, and each text within an answer's (work_budget.h);
// the first picture cut short says so once on the console. A stop condition, when given, skips
// what is left of a text as soon as it holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stream/interpreter.h"
#include "stream/received_picture.h"

class FrameReplayer {
  public:
    // `logPath` (`namesPath`) empty: no log (no names file).
    FrameReplayer(ListaBitmaps& registry, const std::string& logPath,
                  const std::string& namesPath = "");
    ~FrameReplayer();
    FrameReplayer(const FrameReplayer&) = delete;
    FrameReplayer& operator=(const FrameReplayer&) = delete;

    // Checked before each piece: once it holds, the rest of the text is skipped.
    void stopWhen(std::function<bool()> condition) { stop = std::move(condition); }
    // Hands every picture replayed, with its marker, to `sink` with its time: the marker's flush
    // time, or (on a stream without markers) the time it was replayed.
    using PictureSink = std::function<void(int64_t ms, std::string picture)>;
    void recordPicturesTo(PictureSink sink) { pictureSink = std::move(sink); }

    // Carries out every picture of `text` at once.
    void replay(const std::string& text);
    // Carries out one picture within its own budget and what is left of `shared` (pictures carried
    // out at one moment share an answer's budget, kAnswerWorkBudget); without `drawing`, only what
    // is not ordinary drawing (a picture nobody will see: its bitmap changes and sounds still
    // count). Either way it is recorded and logged, and counted when it ends with a marker.
    void carryOut(const ReceivedPicture& picture, bool drawing, long long& shared);
    // How many pictures were cut short by their budget.
    uint64_t picturesCutShort() const { return cutShort; }
    uint64_t framesReplayed() const { return frames; }
    // The number of the last picture replayed, 0 before the first.
    uint64_t lastFrame() const { return last; }

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    ListaBitmaps& registry;
    std::unique_ptr<std::FILE, CloseFile> log;
    std::unique_ptr<std::FILE, CloseFile> namesFile;
    std::vector<std::string> namesAtLast;  // kept only with a names file
    uint64_t namesChangeCount = 0;
    uint64_t frames = 0;
    uint64_t last = 0;
    uint64_t cutShort = 0;
    std::function<bool()> stop;
    PictureSink pictureSink;
    std::optional<int64_t> lastFlushMs;

    // Draws one picture's pieces within what is left of the answer's budget.
    void drawPicture(std::string drawing, long long& answerLeft);
};
