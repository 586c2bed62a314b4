#include "stream/viewer_streams.h"

#include <algorithm>

ViewerStreams::ViewerStreams(int playerCount)
    : queues_(std::max(playerCount, 0)), deflated(queues_) {}

std::string ViewerStreams::takeDeflatedFrames(uint16_t viewer, int holdMs, uint64_t& part,
                                              bool packed) {
    part = 0;
    return deflated.take(viewer, holdMs, part, packed);
}

void ViewerStreams::restartQueue(uint16_t viewer) {
    deflated.restart(viewer, [&] { queues_.restartQueue(viewer); });
}

uint64_t ViewerStreams::resumeQueue(uint16_t viewer) {
    uint64_t next = 0;
    deflated.restart(viewer, [&] { next = queues_.resumeQueue(viewer); });
    return next;
}

void ViewerStreams::closeSpectator(uint16_t viewer) {
    queues_.closeSpectator(viewer);
    deflated.drop(viewer);
}
