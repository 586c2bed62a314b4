// GravadorTela: the drawing recorder.
//
// Code that draws also hands the recorder one instruction text per drawing call. The recorder
// groups them into batches of at most four and, in a server, hands every finished batch to each
// remote player's queue (PlayerQueue, which keeps memory bounded), from which the remote fetches
// take them. With a player count of 0 (local game, client) it keeps nothing.
//
// The drawing code reaches the process's recorder through instance(): the one a server installed,
// else a local recorder that keeps nothing. Its player count is also the mode signal of the
// process: non-zero means "this is a server, draw nothing locally, only record".
//
// A flush called by the drawing code ends a picture (a frame of a race, or a screen that then
// waits) when something was recorded since the last picture; the automatic flush of the fourth
// instruction does not. The recorder numbers pictures from 1 and notes their flush time, so
// fetches can hand out whole pictures and clients can count them.
//
// Two fetches:
// - takeBatch, one batch per call ("" when none), as the classic getInstructions gives it;
// - takeFrames, every whole picture waiting in one text, for clients on links with a long round
//   trip. Both may hold the call for a few milliseconds until something is recorded, instead of
//   answering a client that polls without pause at once.
//
// Threads: the game thread calls addInstruction and flush; the remote-request threads call the
// fetches. One lock guards the queues; a waiting fetch sleeps on a condition, not holding it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "stream/bitmap_table_changes.h"
#include "stream/bound_names.h"
#include "stream/player_queue.h"

class GravadorTela {
  public:
    static constexpr size_t kQueueLimit = PlayerQueue::kQueueLimit;
    static constexpr int64_t kDepartedAfterMs = PlayerQueue::kDepartedAfterMs;
    static constexpr size_t kAbandonedQueueLimit = PlayerQueue::kAbandonedQueueLimit;
    static constexpr int kBatchSize = static_cast<int>(PlayerQueue::kBatchSize);

    // The process's recorder: the installed one, else the local one (no players).
    static GravadorTela& instance();

    // Makes instance() return `recorder` until called again with nullptr, which brings back the
    // local recorder. Call it only while no other thread records.
    static void install(GravadorTela* recorder);
    // Tests: `tap` sees every batch of every recorder at its flush, in any mode (the local game's
    // recorder keeps nothing, so this is how a test captures what a screen recorded while it still
    // drew locally). Empty removes it. Set it only while no other thread records.
    static void tapBatchesForTesting(std::function<void(const std::string& batch)> tap);

    explicit GravadorTela(int playerCount);
    GravadorTela(const GravadorTela&) = delete;
    GravadorTela& operator=(const GravadorTela&) = delete;

    int playerCount() const { return playerCount_; }
    bool isRemote() const { return playerCount_ != 0; }

    // Measuring: classic fetches also carry the picture markers (frame_marker.h), which clients
    // skip. Off by default, so the classic stream is exactly the recorded instructions.
    void markFramesOnClassicFetch(bool on);
    // Measuring (CORRIDA_BITMAP_NAMES on a server): writes "0 screen" to `path`, then after each
    // picture whose batches changed the bitmap names a receiver holds, a line "PICTURE NAME..."
    // with the names then bound (bound_names.h). Call before anything is recorded; false when the
    // file cannot be written.
    bool logBoundNames(const std::string& path);

    // Appends one instruction text to the pending batch; the fourth one flushes. The empty text
    // (an instruction its formatter refused) is not recorded.
    void addInstruction(std::string text);
    // Ends a picture: hands the pending batch (even an empty one) to every player's queue and
    // starts a new one.
    void flush();

    // Removes and returns the oldest batch of player `player` (counted from 1); "" when the queue
    // is empty or no such player exists. With `holdMs`, an empty queue is waited on that long.
    std::string takeBatch(uint16_t player, int holdMs = 0);
    // Removes and returns every whole picture waiting for `player`, waiting up to `holdMs` for
    // one; when none comes, whatever waits (possibly ""). See PlayerQueue::takeFrames.
    std::string takeFrames(uint16_t player, int holdMs);

    // Player `player`'s number passed to a new client: its queue starts afresh, with part 1 and
    // the bitmaps the recording holds bound now, so the new client's table matches the server's.
    void restartQueue(uint16_t player);
    // Player `player`'s client back after a lost connection: as restartQueue, but the parts go on
    // from the next number, which is returned (0 for no such player).
    uint64_t resumeQueue(uint16_t player);

    // Number of batches takeBatch would give `player` (0 for no such player).
    size_t queuedBatches(uint16_t player) const;
    // Pictures ended so far.
    uint64_t framesFlushed() const;

  private:
    void closeBatch(bool endsFrame);
    PlayerQueue* queueOf(uint16_t player);
    uint64_t startQueueAfresh(uint16_t player, bool keepNumbering);

    std::vector<PlayerQueue> queues;
    std::string pendingBatch;
    const int playerCount_;
    int pendingCount = 0;
    uint64_t frames = 0;
    bool drawnSinceFrame = false;
    bool classicMarkers = false;
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, CloseFile> namesLog;  // written by the recording thread only
    BoundNames namesRecorded;
    BitmapTableChanges everyBinding;  // the net bitmap changes of the whole recording
    mutable std::mutex queuesLock;
    std::condition_variable recorded;
};
