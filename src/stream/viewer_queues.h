// ViewerQueues: a server's subscriber that keeps, for each remote viewer, what the recording holds
// for it until its client fetches it (PlayerQueue, which keeps memory bounded).
//
// Viewers are numbered: the players 1 to the player count, each with a queue from the start, and
// spectators from kFirstSpectator on, whose queues exist while they are open (openSpectator to
// closeSpectator). Every batch recorded goes to every open queue.
//
// Two fetches:
// - takeBatch, one batch per call ("" when none), as the classic getInstructions gives it;
// - takeFrames, every whole picture waiting in one text, for clients on links with a long round
//   trip. Both may hold the call for a few milliseconds until something is recorded, instead of
//   answering a client that polls without pause at once.
//
// Threads: the recording thread hands batches in; the remote-request threads fetch. One lock
// guards the queues; a waiting fetch sleeps on a condition, not holding it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/player_limits.h"
#include "stream/batch_subscriber.h"
#include "stream/bitmap_table_changes.h"
#include "stream/player_queue.h"

class ViewerQueues : public BatchSubscriber {
  public:
    static constexpr uint16_t kFirstSpectator = kMaxPlayers + 1;

    explicit ViewerQueues(int playerCount);

    void take(const RecordedBatch& batch, int64_t nowMs) override;

    // Measuring: classic fetches also carry the picture markers (frame_marker.h), which clients
    // skip. Off by default, so the classic stream is exactly the recorded instructions.
    void markFramesOnClassicFetch(bool on);

    // Removes and returns the oldest batch of viewer `viewer`; "" when the queue is empty or no
    // such viewer exists. With `holdMs`, an empty queue is waited on that long.
    std::string takeBatch(uint16_t viewer, int holdMs = 0);
    // Removes and returns every whole picture waiting for `viewer`, waiting up to `holdMs` for
    // one; when none comes, whatever waits (possibly ""). See PlayerQueue::takeFrames.
    std::string takeFrames(uint16_t viewer, int holdMs);

    // Viewer `viewer`'s number passed to a new client: its queue starts afresh, with part 1 and
    // the bitmaps the recording holds bound now, so the new client's table matches the server's,
    // then the last pictures recorded and what is recorded of the next one: a client that comes
    // while the picture stands still (a pause over the race, the winners) sees it at once.
    // For a spectator number, this opens its queue.
    void restartQueue(uint16_t viewer);
    // The viewer's client back after a lost connection: as restartQueue, but the parts go on from
    // the next number, which is returned (0 for no such viewer).
    uint64_t resumeQueue(uint16_t viewer);
    // A spectator's place is given up: its queue and what it held go.
    void closeSpectator(uint16_t viewer);

    // Number of batches takeBatch would give `viewer` (0 for no such viewer).
    size_t queuedBatches(uint16_t viewer) const;
    size_t openSpectators() const;

  private:
    PlayerQueue* queueOf(uint16_t viewer);
    const PlayerQueue* queueOf(uint16_t viewer) const;
    uint64_t startQueueAfresh(uint16_t viewer, bool keepNumbering);

    // The pictures a queue that starts afresh begins with: a pause is drawn over the race picture
    // before it.
    static constexpr size_t kPicturesForNewViewers = 2;

    std::vector<PlayerQueue> players;
    std::map<uint16_t, PlayerQueue> spectators;
    bool classicMarkers = false;
    BitmapTableChanges everyBinding;  // the net bitmap changes of the whole recording
    std::deque<std::vector<RecordedBatch>> lastPictures;  // at most kPicturesForNewViewers
    std::vector<RecordedBatch> nextPicture;               // recorded since the last picture
    mutable std::mutex lock;
    std::condition_variable recorded;
};
