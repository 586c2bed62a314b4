#include "net/fifo_server_impl.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "net/server_context.h"
#include "world/level_hash.h"

namespace {

Deflated* deflatedAnswer(const std::string& bytes) {
    auto answer = std::make_unique<Deflated>(static_cast<CORBA::ULong>(bytes.size()));
    answer->length(static_cast<CORBA::ULong>(bytes.size()));
    if (!bytes.empty()) std::memcpy(answer->get_buffer(), bytes.data(), bytes.size());
    return answer.release();
}

}  // namespace

FifoServer_impl::FifoServer_impl(ServerContext& server, CallerHost caller)
    : server(server), guard(server, std::move(caller)) {}

char* FifoServer_impl::getInstructions(CORBA::UShort player) {
    const CallGuard::Fetch fetch = guard.admitFetch(Claim::viewerNumber(player));
    return CORBA::string_dup(server.viewers.queues()
                                 .takeBatch(static_cast<uint16_t>(fetch.viewer), kClassicHoldMs)
                                 .c_str());
}

char* FifoServer_impl::framesFor(const Claim& claim, CORBA::UShort waitMs) {
    const CallGuard::Fetch fetch = guard.admitFetch(claim);
    const int hold = std::min<int>(waitMs, kMaxFramesHoldMs);
    return CORBA::string_dup(
        server.viewers.queues().takeFrames(static_cast<uint16_t>(fetch.viewer), hold).c_str());
}

char* FifoServer_impl::takeFrames(CORBA::UShort player, CORBA::UShort waitMs) {
    return framesFor(Claim::viewerNumber(player), waitMs);
}

char* FifoServer_impl::takeOwnFrames(const char* secret, CORBA::UShort waitMs) {
    return framesFor(Claim::ofSecret(secret), waitMs);
}

Deflated* FifoServer_impl::compressedFramesFor(const Claim& claim, CORBA::UShort waitMs,
                                               CORBA::ULongLong& part, bool packed) {
    const CallGuard::Fetch fetch = guard.admitFetch(claim);
    const int hold = std::min<int>(waitMs, kMaxFramesHoldMs);
    uint64_t taken = 0;
    const std::string bytes =
        server.viewers.takeDeflatedFrames(static_cast<uint16_t>(fetch.viewer), hold, taken, packed);
    part = taken;
    return deflatedAnswer(bytes);
}

Deflated* FifoServer_impl::takeDeflatedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                                              CORBA::ULongLong& part) {
    return compressedFramesFor(Claim::viewerNumber(player), waitMs, part, false);
}

Deflated* FifoServer_impl::takeOwnDeflatedFrames(const char* secret, CORBA::UShort waitMs,
                                                 CORBA::ULongLong& part) {
    return compressedFramesFor(Claim::ofSecret(secret), waitMs, part, false);
}

Deflated* FifoServer_impl::takePackedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                                            CORBA::ULongLong& part) {
    return compressedFramesFor(Claim::viewerNumber(player), waitMs, part, true);
}

CORBA::ULongLong FifoServer_impl::pop(CORBA::ULongLong ticket, CORBA::UShort waitMs,
                                      Deflated_out answer) {
    CORBA::ULongLong part = 0;
    answer = compressedFramesFor(Claim::ofTicket(ticket), waitMs, part, true);
    return part;
}

char* FifoServer_impl::stageLevel(const char* picturePath, CORBA::ULongLong& hash) {
    guard.admitLevelFetch();
    hash = 0;
    const std::string path = picturePath ? picturePath : "";
    if (!server.stages) return CORBA::string_dup("");
    for (const ListedStage& stage : *server.stages) {
        // A stage with a problem (a broken level, one not playable) is not played: nothing to send.
        if (stage.data.visualPath != path || !stage.data.problem.empty()) continue;
        if (stage.levelText.empty() || stage.levelText.size() > kMaxLevelBytes) break;
        hash = levelHash(stage.levelText);
        return CORBA::string_dup(stage.levelText.c_str());
    }
    return CORBA::string_dup("");
}
