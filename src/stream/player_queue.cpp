#include "stream/player_queue.h"

#include "stream/instruction_text.h"

namespace {

std::string withMarker(const PlayerQueue::Batch& batch) {
    if (!batch.closesFrame) return batch.text;
    return batch.text + formatFrameMarker(*batch.closesFrame) + kPieceSeparator;
}

}  // namespace

bool PlayerQueue::departed(int64_t nowMs) const {
    return lastTakeMs >= 0 && nowMs - lastTakeMs > kDepartedAfterMs;
}

void PlayerQueue::foldQueue() {
    BitmapTableChanges all;
    for (const std::string& piece : foldedPieces) all.absorb(piece);
    for (const std::string& piece : folded.pieces()) all.absorb(piece);
    for (const Batch& batch : batches) {
        if (batch.essential) all.absorb(batch.text);
    }
    foldedPieces.clear();
    folded = std::move(all);
    batches.clear();
    framesWaiting = 0;
}

void PlayerQueue::startWith(const std::vector<std::string>& bindings, uint64_t firstPart) {
    for (const std::string& piece : bindings) folded.absorb(piece);
    nextPart = firstPart;
}

void PlayerQueue::offer(const Batch& batch, int64_t nowMs) {
    if (departed(nowMs)) {
        if (!batches.empty() || !foldedPieces.empty()) foldQueue();
        if (batch.essential) folded.absorb(batch.text);
        return;
    }
    if (batches.size() >= kAbandonedQueueLimit) foldQueue();
    // Until its first fetch a player's fetch is not known yet: its queue keeps whole pictures as
    // the frames fetch would, so a client whose first call comes a round trip after its login
    // loses none of the pictures flushed meanwhile.
    const bool room =
        framesFetch || lastTakeMs < 0 ? framesWaiting < kFrameLimit : batches.size() < kQueueLimit;
    if (!room && !batch.essential) return;
    batches.push_back(batch);
    if (batch.closesFrame) ++framesWaiting;
}

void PlayerQueue::popFront() {
    if (batches.front().closesFrame) --framesWaiting;
    batches.pop_front();
}

std::string PlayerQueue::takeOne(int64_t nowMs, bool frameMarkers) {
    noteFetch(nowMs, false);
    if (!folded.empty()) {
        for (std::string& piece : folded.pieces()) foldedPieces.push_back(std::move(piece));
        folded.clear();
    }
    if (!foldedPieces.empty()) {
        std::string batch;
        for (size_t i = 0; i < kBatchSize && !foldedPieces.empty(); ++i) {
            batch += foldedPieces.front() + kPieceSeparator;
            foldedPieces.pop_front();
        }
        return batch;
    }
    if (batches.empty()) return std::string();
    std::string batch = frameMarkers ? withMarker(batches.front()) : batches.front().text;
    popFront();
    return batch;
}

std::string PlayerQueue::takeFrames(int64_t nowMs, bool wholeFramesOnly) {
    noteFetch(nowMs, true);
    size_t count = batches.size();
    if (wholeFramesOnly) {
        while (count > 0 && !batches[count - 1].closesFrame) --count;
    }
    if (count == 0 && !hasFolded()) return std::string();
    std::string answer = formatPartHeader(nextPart++) + kPieceSeparator;
    for (const std::string& piece : foldedPieces) answer += piece + kPieceSeparator;
    for (const std::string& piece : folded.pieces()) answer += piece + kPieceSeparator;
    foldedPieces.clear();
    folded.clear();
    for (size_t i = 0; i < count; ++i) {
        answer += withMarker(batches.front());
        popFront();
    }
    return answer;
}

size_t PlayerQueue::waitingBatches() const {
    const size_t pieces = foldedPieces.size() + folded.pieces().size();
    return batches.size() + (pieces + kBatchSize - 1) / kBatchSize;
}
