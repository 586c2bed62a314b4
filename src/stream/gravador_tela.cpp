#include "stream/gravador_tela.h"

#include <algorithm>

namespace {

bool isEssential(const std::string& batch) {
    return batch.find("create_bitmap") != std::string::npos ||
           batch.find("load_bitmap") != std::string::npos ||
           batch.find("destroy_bitmap") != std::string::npos;
}

GravadorTela* substitute = nullptr;
std::function<void(const std::string&)> batchTap;

}  // namespace

GravadorTela& GravadorTela::instance(int playerCount) {
    if (substitute) return *substitute;
    static GravadorTela* const recorder = new GravadorTela(playerCount);  // never destroyed
    return *recorder;
}

void GravadorTela::substituteForTesting(GravadorTela* recorder) { substitute = recorder; }

void GravadorTela::tapBatchesForTesting(std::function<void(const std::string&)> tap) {
    batchTap = std::move(tap);
}

GravadorTela::GravadorTela(int playerCount)
    : queues(static_cast<size_t>(std::max(playerCount, 0))),
      playerCount_(std::max(playerCount, 0)) {}

void GravadorTela::addInstruction(std::string text) {
    if (text.empty()) return;  // a formatter refused a malformed instruction
    pendingBatch += text;
    pendingBatch += ';';
    if (++pendingCount >= kBatchSize) flush();
}

void GravadorTela::flush() {
    if (batchTap) batchTap(pendingBatch);
    if (!queues.empty()) {
        const bool essential = isEssential(pendingBatch);
        std::lock_guard<std::mutex> hold(queuesLock);
        for (auto& queue : queues) {
            if (queue.size() < kQueueLimit || essential) queue.push_back(pendingBatch);
        }
    }
    pendingCount = 0;
    pendingBatch.clear();
}

std::string GravadorTela::takeBatch(uint16_t player) {
    std::lock_guard<std::mutex> hold(queuesLock);
    if (player < 1 || player > queues.size()) return std::string();
    auto& queue = queues[player - 1];
    if (queue.empty()) return std::string();
    std::string batch = std::move(queue.front());
    queue.pop_front();
    return batch;
}

size_t GravadorTela::queuedBatches(uint16_t player) const {
    std::lock_guard<std::mutex> hold(queuesLock);
    if (player < 1 || player > queues.size()) return 0;
    return queues[player - 1].size();
}
