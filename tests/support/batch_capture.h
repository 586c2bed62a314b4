// BatchCapture: a test subscriber that keeps the text of every batch a recorder hands it, for as
// long as it lives (it subscribes itself to `recorder`).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "stream/batch_subscriber.h"
#include "stream/gravador_tela.h"

class BatchCapture : public BatchSubscriber {
  public:
    explicit BatchCapture(GravadorTela& recorder) : recorder(recorder) {
        recorder.subscribe(*this);
    }
    ~BatchCapture() override { recorder.unsubscribe(*this); }
    BatchCapture(const BatchCapture&) = delete;
    BatchCapture& operator=(const BatchCapture&) = delete;

    void take(const RecordedBatch& batch, int64_t) override { batches.push_back(batch.text); }

    // The batches handed so far, in order, and forgets them.
    std::vector<std::string> takeAll() { return std::exchange(batches, {}); }
    const std::vector<std::string>& all() const { return batches; }

  private:
    GravadorTela& recorder;
    std::vector<std::string> batches;
};
