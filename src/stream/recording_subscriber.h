// RecordingSubscriber: the recorder's subscriber that writes a recording file (recording_file.h)
// of everything recorded, a line per picture with its flush time.
//
// It runs on the recording thread, so it only gathers a picture's batches and hands the whole
// picture to the writer, whose own thread writes it.
#pragma once

#include <string>

#include "stream/batch_subscriber.h"
#include "stream/frame_marker.h"
#include "stream/recording_file.h"

class RecordingSubscriber : public BatchSubscriber {
  public:
    explicit RecordingSubscriber(RecordingWriter& writer) : writer(writer) {}

    void take(const RecordedBatch& batch, int64_t) override {
        picture += batch.text;
        if (!batch.closesFrame) return;
        picture += formatFrameMarker(*batch.closesFrame) + ";";
        writer.add(batch.closesFrame->flushMs, std::move(picture));
        picture.clear();
    }

  private:
    RecordingWriter& writer;
    std::string picture;
};
