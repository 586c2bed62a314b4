// BatchTap: a test subscriber that calls `tap` with the text and the time of every batch the
// recorder hands on while the tap lives (it subscribes itself).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "stream/batch_subscriber.h"
#include "stream/gravador_tela.h"

class BatchTap : public BatchSubscriber {
  public:
    using Tap = std::function<void(const std::string& batch, int64_t nowMs)>;

    BatchTap(GravadorTela& recorder, Tap tap) : recorder(recorder), tap(std::move(tap)) {
        recorder.subscribe(*this);
    }
    ~BatchTap() override { recorder.unsubscribe(*this); }
    BatchTap(const BatchTap&) = delete;
    BatchTap& operator=(const BatchTap&) = delete;

    void take(const RecordedBatch& batch, int64_t nowMs) override { tap(batch.text, nowMs); }

  private:
    GravadorTela& recorder;
    const Tap tap;
};
