#include "net/connection_guard.h"

#include <omniORB4/CORBA.h>
#include <omniORB4/omniInterceptors.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>

#include "net/connection_limits.h"
#include "net/descriptor_budget.h"
#include "net/open_connections.h"
#include "platform/console_report.h"

namespace {

using Clock = std::chrono::steady_clock;
using AcceptInfo = omni::omniInterceptors::serverAcceptConnection_T::info_T;

const char kRefusedWhy[] = "too many connections";

}  // namespace

struct ConnectionGuard::State {
    explicit State(ConnectionCaps caps) : limits(caps) {}

    // Takes or refuses the connection `info` names; true when refused.
    bool refuses(AcceptInfo& info);
    void reportRefusals(Clock::time_point now);

    ConnectionLimits limits;
    std::set<int> localPorts;
    Clock::time_point lastReconcile{};
    Clock::time_point lastReport{};
    uint64_t reported = 0;
};

namespace {

// The guard the interceptor asks, and the lock it is asked under.
struct ActiveGuard {
    std::mutex lock;
    ConnectionGuard::State* state = nullptr;
};
// Process-wide: the ORB calls the interceptor as a plain function, with nothing of ours to carry.
ActiveGuard active;

CORBA::Boolean onAccept(AcceptInfo& info) {
    std::lock_guard<std::mutex> hold(active.lock);
    if (active.state && active.state->refuses(info)) {
        info.reject = 1;
        info.why = kRefusedWhy;
    }
    return 1;
}

}  // namespace

bool ConnectionGuard::State::refuses(AcceptInfo& info) {
    const char* local = info.myaddress();
    const char* peer = info.peeraddress();
    // Another transport (a Unix socket) holds a descriptor too, but has no address to count by.
    std::optional<ConnectionKey> key =
        connectionFromEndpoints(local ? local : "", peer ? peer : "");
    if (!key) return false;
    localPorts.insert(key->localPort);
    const Clock::time_point now = Clock::now();
    if (limits.wouldRefuse(*key) &&
        now - lastReconcile >= std::chrono::milliseconds(kReconcileMs)) {
        lastReconcile = now;
        if (auto open = openConnectionsOn(localPorts)) limits.keepOnly(*open);
    }
    if (limits.admit(*key) == AdmitResult::kTaken) return false;
    reportRefusals(now);
    return true;
}

void ConnectionGuard::State::reportRefusals(Clock::time_point now) {
    if (reported != 0 && now - lastReport < std::chrono::milliseconds(kRefusalReportMs)) return;
    lastReport = now;
    reported = limits.refused();
    reportLine("Conexoes recusadas: " + std::to_string(reported) +
               " (limites: " + std::to_string(limits.caps().perAddress) + " por endereco, " +
               std::to_string(limits.caps().total) + " no total).");
}

ConnectionGuard::ConnectionGuard(int perAddress, int reserved) {
    const int limit = raiseDescriptorLimit();
    state_ = std::make_unique<State>(
        capsForDescriptors(limit, openDescriptors() + reserved, perAddress));
    {
        std::lock_guard<std::mutex> hold(active.lock);
        active.state = state_.get();
    }
    omni::omniInterceptors* interceptors = omniORB::getInterceptors();
    interceptors->serverAcceptConnection.add(onAccept);
}

ConnectionGuard::~ConnectionGuard() { finish(); }

void ConnectionGuard::finish() {
    if (finished_) return;
    finished_ = true;
    omniORB::getInterceptors()->serverAcceptConnection.remove(onAccept);
    uint64_t refusedInAll;
    {
        std::lock_guard<std::mutex> hold(active.lock);
        active.state = nullptr;
        refusedInAll = state_->limits.refused();
    }
    if (refusedInAll != 0) {
        reportLine("Conexoes recusadas enquanto o servidor rodou: " + std::to_string(refusedInAll) +
                   ".");
    }
}
