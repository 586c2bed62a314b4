// RecordingServer: a server's recorder and its viewers' streams, wired as a server's context wires
// them, with the calls the tests make on either: what is recorded through it reaches every
// viewer's queue and deflate stream.
#pragma once

#include <cstdint>
#include <string>

#include "stream/gravador_tela.h"
#include "stream/viewer_streams.h"

class RecordingServer {
  public:
    explicit RecordingServer(int playerCount) : viewers(playerCount) {
        recorder.subscribe(viewers);
    }
    RecordingServer(const RecordingServer&) = delete;
    RecordingServer& operator=(const RecordingServer&) = delete;

    ViewerStreams viewers;
    GravadorTela recorder{SessionMode::RecordsOnly};

    void addInstruction(std::string text) { recorder.addInstruction(std::move(text)); }
    void flush() { recorder.flush(); }
    uint64_t framesFlushed() const { return recorder.framesFlushed(); }
    bool isRemote() const { return recorder.isRemote(); }

    std::string takeBatch(uint16_t viewer, int holdMs = 0) {
        return viewers.queues().takeBatch(viewer, holdMs);
    }
    std::string takeFrames(uint16_t viewer, int holdMs) {
        return viewers.queues().takeFrames(viewer, holdMs);
    }
    std::string takeDeflatedFrames(uint16_t viewer, int holdMs, uint64_t& part,
                                   bool packed = false) {
        return viewers.takeDeflatedFrames(viewer, holdMs, part, packed);
    }
    size_t queuedBatches(uint16_t viewer) const { return viewers.queues().queuedBatches(viewer); }
    void restartQueue(uint16_t viewer) { viewers.restartQueue(viewer); }
    uint64_t resumeQueue(uint16_t viewer) { return viewers.resumeQueue(viewer); }
    void closeSpectator(uint16_t viewer) { viewers.closeSpectator(viewer); }
};
