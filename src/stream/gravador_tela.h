// GravadorTela: the drawing recorder, the front that the drawing code records through.
//
// Code that draws also hands the recorder one instruction text per drawing call. The recorder
// groups them into batches (PictureBatcher) and hands every batch, in order, to its subscribers
// (BatchSubscriber): in a server the viewers' streams (ViewerStreams, owned by the server's
// context), and in any mode a recording file or a measuring log when one is asked for.
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
// Threads: the game thread records and flushes, and so runs the subscribers' take. Subscribers
// are added and removed, and recorders installed, only while no other thread records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/batch_subscriber.h"
#include "stream/picture_batcher.h"

enum class SessionMode {
    DrawsLocally,  // the local game, a client, a spectator, a playback
    RecordsOnly,   // a server: everything drawn is recorded for the viewers, nothing is drawn
};

class GravadorTela {
  public:
    // The process's recorder: the installed one, else the local one.
    static GravadorTela& instance();

    // Makes instance() return `recorder` until called again with nullptr, which brings back the
    // local recorder. Call it only while no other thread records.
    static void install(GravadorTela* recorder);

    explicit GravadorTela(SessionMode mode = SessionMode::DrawsLocally) : mode_(mode) {}
    GravadorTela(const GravadorTela&) = delete;
    GravadorTela& operator=(const GravadorTela&) = delete;

    SessionMode mode() const { return mode_; }
    bool isRemote() const { return mode_ == SessionMode::RecordsOnly; }

    // `subscriber` gets every batch recorded from now on, until unsubscribed; it must outlive that.
    void subscribe(BatchSubscriber& subscriber);
    void unsubscribe(BatchSubscriber& subscriber);

    // Appends one instruction text to the pending batch; the fourth one flushes. The empty text
    // (an instruction its formatter refused) is not recorded.
    void addInstruction(std::string text);
    // Ends a picture: hands the pending batch (even an empty one) to every subscriber and starts a
    // new one.
    void flush();

    // Pictures ended so far.
    uint64_t framesFlushed() const { return batcher.picturesEnded(); }

  private:
    void handOn(const RecordedBatch& batch, int64_t nowMs);

    const SessionMode mode_;
    PictureBatcher batcher;
    std::vector<BatchSubscriber*> subscribers;
};
