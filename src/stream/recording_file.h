// A recording of a match as one viewer saw it, and the two ends of its file.
//
// The file is text compressed with gzip (zlib; `zcat FILE` shows it):
//   "corrida-gravacao 1"            the first line
//   "MS TEXT"                       then one line per picture: MS, its time in milliseconds (on
//                                   the clock of whoever drew it; only differences count), and
//                                   TEXT, its instruction pieces as the stream carries them, each
//                                   ended by ";", the last one its "frame N T" marker when it had
//                                   one.
// The writer flushes the compressed stream after every picture, so a file cut short (a crash, a
// full disk, a killed process) still reads back up to its last whole picture.
//
// A recording is outside input: the reader takes at most kMaxRecordingBytes of text and lines of
// at most kMaxLineBytes, stops at the first line it cannot read and says where; the pictures are
// then drawn by the interpreter, with its budgets and path rules.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

inline constexpr const char* kRecordingHeader = "corrida-gravacao 1";
constexpr size_t kMaxRecordingBytes = 512u << 20;
constexpr size_t kMaxLineBytes = 4u << 20;

struct RecordedPicture {
    int64_t ms = 0;
    std::string text;
    bool changesBitmaps = false;  // loads, creates or destroys a bitmap
};

struct Recording {
    std::vector<RecordedPicture> pictures;
    // Empty when the text was read to its end; else why the reading stopped (the pictures before
    // it are kept).
    std::string problem;
};

// Reads the text of a recording (already inflated).
Recording parseRecording(const std::string& text);

// Reads and inflates the file at `path` (a plain text file reads as it is). A file cut short gives
// what it holds up to there. Nothing, with `error` set, when the file cannot be read at all or is
// not a recording.
std::optional<Recording> readRecordingFile(const std::string& path, std::string& error);

// Writes a recording on a thread of its own: add() only queues the picture, so the frame that
// records never waits for the disk. Past kMostWaiting pictures waiting (a disk that stalls) new
// ones are dropped and counted; a failed write is reported once on the console and ends the
// recording, never the game. Destroying the writer writes what waits and closes the file.
class RecordingWriter {
  public:
    static constexpr size_t kMostWaiting = 600;

    // Nothing, with `error` set, when the file cannot be created.
    static std::unique_ptr<RecordingWriter> open(const std::string& path, std::string& error);
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    void add(int64_t ms, std::string text);
    uint64_t dropped() const;

    // Writes what waits and closes the file now, from any thread, for an end that cannot wait for
    // the destructor (the display lost, lost_display.h): a picture being written is finished
    // first, and nothing is written after. Takes only this writer's locks, held briefly by add().
    void finishNow();

  private:
    RecordingWriter(void* file, std::string path);
    void writeAll();
    bool writeLine(const RecordedPicture& picture);  // under fileLock

    void* const file;         // the gzFile
    std::mutex fileLock;      // held while the file is written or closed
    bool fileClosed = false;  // under fileLock
    const std::string path;
    mutable std::mutex lock;
    std::condition_variable waiting;
    std::deque<RecordedPicture> pictures;
    bool closing = false;
    uint64_t droppedCount = 0;
    std::thread thread;
};

// The recording --gravar asks for in `path` (an empty path asks for none): false, with "A partida
// nao sera gravada: ..." on the console, when its file cannot be written; the program then ends.
bool openAskedRecording(const std::string& path, std::unique_ptr<RecordingWriter>& writer);
