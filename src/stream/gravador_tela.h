// GravadorTela: the process's one drawing recorder.
//
// Code that draws also hands the recorder one instruction text per drawing call. The recorder
// groups them into batches of at most four and, in a server, appends every finished batch to each
// remote player's queue, from which the remote fetch takes them one batch at a time. With a player
// count of 0 (local game, client) it keeps nothing. The player count is also the mode signal of the
// process: non-zero means "this is a server, draw nothing locally, only record".
//
// Threads: the game thread calls addInstruction and flush; the remote-request thread calls
// takeBatch. flush and takeBatch exclude each other through one lock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class GravadorTela {
  public:
    // A queue holding this many batches drops further ordinary batches for that player.
    static constexpr size_t kQueueLimit = 10;
    // A batch closes by itself at this many instructions.
    static constexpr int kBatchSize = 4;

    // The process's recorder, created on the first call with `playerCount` queues; later calls
    // return it unchanged and ignore the argument.
    static GravadorTela& instance(int playerCount = 0);

    // Tests and tools: makes instance() return `recorder` until called again with nullptr, which
    // brings back the process's own recorder. Call it only while no other thread records.
    static void substituteForTesting(GravadorTela* recorder);
    // Tests: `tap` sees every batch of every recorder at its flush, in any mode (the local game's
    // recorder keeps nothing, so this is how a test captures what a screen recorded while it still
    // drew locally). Empty removes it. Set it only while no other thread records.
    static void tapBatchesForTesting(std::function<void(const std::string& batch)> tap);

    // A free-standing recorder (the process's one is reached through instance()).
    explicit GravadorTela(int playerCount);
    GravadorTela(const GravadorTela&) = delete;
    GravadorTela& operator=(const GravadorTela&) = delete;

    int playerCount() const { return playerCount_; }
    bool isRemote() const { return playerCount_ != 0; }

    // Appends one instruction text to the pending batch; the fourth one flushes. The empty text
    // (an instruction its formatter refused) is not recorded.
    void addInstruction(std::string text);
    // Hands the pending batch (even an empty one) to every player's queue and starts a new one.
    // A queue already holding kQueueLimit batches only takes essential batches: those that load,
    // create or destroy a bitmap, so that a slow client's bitmap names follow the server's.
    void flush();
    // Removes and returns the oldest batch of player `player` (counted from 1); "" when the queue
    // is empty or no such player exists.
    std::string takeBatch(uint16_t player);

    // Number of batches waiting for `player` (0 for no such player).
    size_t queuedBatches(uint16_t player) const;

  private:
    std::vector<std::deque<std::string>> queues;
    std::string pendingBatch;
    const int playerCount_;
    int pendingCount = 0;
    mutable std::mutex queuesLock;
};
