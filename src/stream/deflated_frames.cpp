#include "stream/deflated_frames.h"

#include <algorithm>

#include "platform/clock.h"
#include "stream/frame_marker.h"

std::shared_ptr<DeflatedFrames::Stream> DeflatedFrames::streamOf(uint16_t viewer) {
    std::lock_guard<std::mutex> hold(mapLock);
    std::shared_ptr<Stream>& stream = streams[viewer];
    if (!stream) stream = std::make_shared<Stream>();
    return stream;
}

std::string DeflatedFrames::take(uint16_t viewer, int holdMs, uint64_t& part, bool packed) {
    part = 0;
    const std::shared_ptr<Stream> stream = streamOf(viewer);
    std::lock_guard<std::mutex> hold(stream->lock);
    if (holdMs > 0 && stream->lastAnswerMs >= 0 && viewer >= ViewerQueues::kFirstSpectator) {
        const int64_t wait =
            std::min<int64_t>(stream->lastAnswerMs + kSpectatorGatherMs - clockMs(), holdMs);
        if (wait > 0) {
            sleepMs(wait);
            holdMs -= static_cast<int>(wait);
        }
    }
    const std::string text = queues.takeFrames(viewer, std::max(holdMs, 0));
    const std::optional<PartHeader> header = readPartHeader(text);
    if (!header) return std::string();
    stream->lastAnswerMs = clockMs();
    part = header->part;
    if (!stream->deflater) stream->deflater = std::make_unique<Deflater>();
    if (!packed) return stream->deflater->deflate(text);
    if (!stream->packer) stream->packer = std::make_unique<DeltaPacker>();
    return stream->deflater->deflate(stream->packer->pack(text));
}

void DeflatedFrames::restart(uint16_t viewer, const std::function<void()>& change) {
    const std::shared_ptr<Stream> stream = streamOf(viewer);
    std::lock_guard<std::mutex> hold(stream->lock);
    change();
    stream->deflater.reset();
    stream->packer.reset();
}

void DeflatedFrames::drop(uint16_t viewer) {
    std::lock_guard<std::mutex> hold(mapLock);
    streams.erase(viewer);
}
