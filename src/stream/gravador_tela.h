// GravadorTela: the drawing recorder, the front that the drawing code records through.
//
// Code that draws also hands the recorder one instruction text per drawing call. The recorder
// groups them into batches (PictureBatcher) and hands every batch, in order, to its subscribers
// (BatchSubscriber): in a server the viewers' queues (ViewerQueues: the players', the
// spectators'), and in any mode a recording file or a measuring log when one is asked for.
//
// The drawing code reaches the process's recorder through instance(): the one a session installed,
// else a local recorder with no subscribers. The session decides its mode when it makes its
// recorder: a server's records only and draws nothing locally; the local game's and a client's
// draw locally (and record only for the subscribers they add).
//
// A flush called by the drawing code ends a picture (a frame of a race, or a screen that then
// waits) when something was recorded since the last picture; the automatic flush of the fourth
// instruction does not. Pictures are numbered from 1 and carry their flush time, so fetches can
// hand out whole pictures and clients can count them.
//
// Threads: the game thread records and flushes, and so runs the subscribers' take; the
// remote-request threads fetch from the viewers' queues, which lock for themselves. Subscribers
// are added and removed only while no other thread records.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stream/batch_subscriber.h"
#include "stream/bound_names_log.h"
#include "stream/deflated_frames.h"
#include "stream/picture_batcher.h"
#include "stream/player_queue.h"
#include "stream/viewer_queues.h"

enum class SessionMode {
    DrawsLocally,  // the local game, a client, a spectator, a playback
    RecordsOnly,   // a server: everything drawn is recorded for the viewers, nothing is drawn
};

class GravadorTela {
  public:
    static constexpr size_t kQueueLimit = PlayerQueue::kQueueLimit;
    static constexpr int64_t kDepartedAfterMs = PlayerQueue::kDepartedAfterMs;
    static constexpr size_t kAbandonedQueueLimit = PlayerQueue::kAbandonedQueueLimit;
    static constexpr int kBatchSize = PictureBatcher::kBatchSize;

    // The process's recorder: the installed one, else the local one.
    static GravadorTela& instance();

    // Makes instance() return `recorder` until called again with nullptr, which brings back the
    // local recorder. Call it only while no other thread records.
    static void install(GravadorTela* recorder);
    // Tests: `tap` sees every batch of every recorder at its flush, in any mode (the local game's
    // recorder keeps nothing, so this is how a test captures what a screen recorded while it still
    // drew locally). Empty removes it. Set it only while no other thread records.
    static void tapBatchesForTesting(std::function<void(const std::string& batch)> tap);

    // A recorder that draws locally, with no viewers.
    GravadorTela();
    // A server's: records only, with a queue for each of `playerCount` players and room for
    // spectators.
    explicit GravadorTela(int playerCount);
    GravadorTela(const GravadorTela&) = delete;
    GravadorTela& operator=(const GravadorTela&) = delete;

    SessionMode mode() const { return mode_; }
    bool isRemote() const { return mode_ == SessionMode::RecordsOnly; }
    int playerCount() const { return playerCount_; }

    // `subscriber` gets every batch recorded from now on, until unsubscribed; it must outlive that.
    void subscribe(BatchSubscriber& subscriber);
    void unsubscribe(BatchSubscriber& subscriber);

    // Measuring: see ViewerQueues::markFramesOnClassicFetch.
    void markFramesOnClassicFetch(bool on);
    // Measuring (CORRIDA_BITMAP_NAMES on a server): subscribes a BoundNamesLog writing to `path`.
    // Call before anything is recorded; false when the file cannot be written.
    bool logBoundNames(const std::string& path);

    // Appends one instruction text to the pending batch; the fourth one flushes. The empty text
    // (an instruction its formatter refused) is not recorded.
    void addInstruction(std::string text);
    // Ends a picture: hands the pending batch (even an empty one) to every subscriber and starts a
    // new one.
    void flush();

    // The viewers' queues (a server's; a local recorder has none, and its fetches give "").
    ViewerQueues& viewers() { return *queues; }
    std::string takeBatch(uint16_t viewer, int holdMs = 0);
    std::string takeFrames(uint16_t viewer, int holdMs);
    // takeFrames deflated in the viewer's own stream (deflated_frames.h), delta-packed first when
    // `packed`; part 0 when nothing.
    std::string takeDeflatedFrames(uint16_t viewer, int holdMs, uint64_t& part,
                                   bool packed = false);
    // These start the viewer's compressed stream afresh too.
    void restartQueue(uint16_t viewer);
    uint64_t resumeQueue(uint16_t viewer);
    void closeSpectator(uint16_t viewer);
    size_t queuedBatches(uint16_t viewer) const;

    // Pictures ended so far.
    uint64_t framesFlushed() const { return batcher.picturesEnded(); }

  private:
    void handOn(const RecordedBatch& batch, int64_t nowMs);

    const SessionMode mode_;
    const int playerCount_;
    PictureBatcher batcher;
    std::unique_ptr<ViewerQueues> queues;  // a server's only
    std::unique_ptr<DeflatedFrames> deflated;
    std::unique_ptr<BoundNamesLog> namesLog;
    std::vector<BatchSubscriber*> subscribers;
};
