#include "net/fifo_server_impl.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "net/server_context.h"
#include "platform/clock.h"

namespace {

CallsInFlight::Admission admitOrRefuse(ServerContext& server, const std::string& host) {
    // Every fetch, however it names its viewer, lets the spectators that left lapse.
    server.spectators.sweep(clockMs());
    std::optional<CallsInFlight::Admission> admission = server.callsInFlight.admit(host);
    if (!admission) {
        ++server.refusals.callsInFlight;
        throw CORBA::NO_RESOURCES();
    }
    return std::move(*admission);
}

}  // namespace

FifoServer_impl::FifoServer_impl(ServerContext& server, CallerHost caller)
    : server(server), caller(std::move(caller)) {}

int FifoServer_impl::numberedPlayer(CORBA::UShort player, const std::string& host) {
    const int64_t now = clockMs();
    const bool spectator = server.spectators.isSpectatorNumber(player);
    const bool allowed = spectator ? server.spectators.fetchAllowed(player, host, now)
                                   : server.slots.numberedCallAllowed(player, host, now);
    if (!allowed) {
        ++server.refusals.foreignCalls;
        throw CORBA::NO_PERMISSION();
    }
    return player;
}

char* FifoServer_impl::getInstructions(CORBA::UShort player) {
    const std::string host = caller();
    const int own = numberedPlayer(player, host);
    const CallsInFlight::Admission admitted = admitOrRefuse(server, host);
    server.slots.noteFetch(own, clockMs());
    return CORBA::string_dup(
        server.recorder.takeBatch(static_cast<uint16_t>(own), kClassicHoldMs).c_str());
}

char* FifoServer_impl::framesFor(int player, CORBA::UShort waitMs, const std::string& host) {
    const CallsInFlight::Admission admitted = admitOrRefuse(server, host);
    server.slots.noteFetch(player, clockMs());
    const int hold = std::min<int>(waitMs, kMaxFramesHoldMs);
    return CORBA::string_dup(
        server.recorder.takeFrames(static_cast<uint16_t>(player), hold).c_str());
}

char* FifoServer_impl::takeFrames(CORBA::UShort player, CORBA::UShort waitMs) {
    const std::string host = caller();
    return framesFor(numberedPlayer(player, host), waitMs, host);
}

int FifoServer_impl::secretPlayer(const char* secret) {
    const std::optional<int> player = server.slots.playerOfSecret(secret, clockMs());
    if (!player) {
        ++server.refusals.foreignCalls;
        throw CORBA::NO_PERMISSION();
    }
    return *player;
}

char* FifoServer_impl::takeOwnFrames(const char* secret, CORBA::UShort waitMs) {
    const std::string host = caller();
    return framesFor(secretPlayer(secret), waitMs, host);
}

Deflated* FifoServer_impl::deflatedFramesFor(int player, CORBA::UShort waitMs,
                                             const std::string& host, CORBA::ULongLong& part,
                                             bool packed) {
    const CallsInFlight::Admission admitted = admitOrRefuse(server, host);
    server.slots.noteFetch(player, clockMs());
    const int hold = std::min<int>(waitMs, kMaxFramesHoldMs);
    uint64_t taken = 0;
    const std::string bytes =
        server.recorder.takeDeflatedFrames(static_cast<uint16_t>(player), hold, taken, packed);
    part = taken;
    auto answer = std::make_unique<Deflated>(static_cast<CORBA::ULong>(bytes.size()));
    answer->length(static_cast<CORBA::ULong>(bytes.size()));
    if (!bytes.empty()) std::memcpy(answer->get_buffer(), bytes.data(), bytes.size());
    return answer.release();
}

Deflated* FifoServer_impl::takeDeflatedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                                              CORBA::ULongLong& part) {
    const std::string host = caller();
    return deflatedFramesFor(numberedPlayer(player, host), waitMs, host, part, false);
}

Deflated* FifoServer_impl::takeOwnDeflatedFrames(const char* secret, CORBA::UShort waitMs,
                                                 CORBA::ULongLong& part) {
    const std::string host = caller();
    return deflatedFramesFor(secretPlayer(secret), waitMs, host, part, false);
}

Deflated* FifoServer_impl::takePackedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                                            CORBA::ULongLong& part) {
    const std::string host = caller();
    return deflatedFramesFor(numberedPlayer(player, host), waitMs, host, part, true);
}

int FifoServer_impl::ticketPlayer(CORBA::ULongLong ticket) {
    const std::optional<int> player = server.slots.playerOfTicket(ticket, clockMs());
    if (!player) {
        ++server.refusals.foreignCalls;
        throw CORBA::NO_PERMISSION();
    }
    return *player;
}

CORBA::ULongLong FifoServer_impl::pop(CORBA::ULongLong ticket, CORBA::UShort waitMs,
                                      Deflated_out answer) {
    const std::string host = caller();
    CORBA::ULongLong part = 0;
    answer = deflatedFramesFor(ticketPlayer(ticket), waitMs, host, part, true);
    return part;
}
