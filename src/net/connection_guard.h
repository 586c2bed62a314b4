// ConnectionGuard: the server's ORB refuses the connections its descriptors cannot afford.
//
// Constructed after ORB_init and before the ORB serves, it raises the soft limit on open files to
// the hard one, derives the caps from it (descriptor_budget.h) and adds an interceptor that the ORB
// asks about each connection it accepts, before reading from it: past a cap (per peer address, or
// in all) the ORB closes the connection at once, so the descriptors kept for the stage's files stay
// free and a flood cannot make the accept loop fail. Whether a taken connection is still open is
// read from the kernel's tables when a cap is reached (at most every kReconcileMs), since the ORB
// says nothing when it closes one.
//
// The refusals are counted. The console gets "Conexoes recusadas: N (limites: P por endereco, T no
// total)." at the first refusal and then at most once every kRefusalReportMs while refusals go on;
// finish() prints "Conexoes recusadas enquanto o servidor rodou: N." when any were refused.
//
// One guard at a time per process; destroy it (or call finish()) before ORB::destroy(). The ORB
// options that go with it (idle connections closed sooner, idle threads ended sooner) are
// kConnectionOptions, which startOrb passes to every ORB.
#pragma once

#include <memory>

#include "net/descriptor_budget.h"

constexpr int kReconcileMs = 100;
constexpr int kRefusalReportMs = 10000;

// The ORB options that go with the guard, name and value. Idle connections: the ORB looks every
// second and closes an incoming connection nobody has called on for 10 s (by default it waits 3
// minutes). A call in progress, such as a fetch held at the server for up to a second, keeps its
// connection busy; a client whose idle connection was closed opens another at its next call. A
// request that has started to arrive must be whole within 10 s. Threads: one per connection, as by
// default; the caps bound the connections, and so the threads. (The thread pool is no bound: each
// new connection holds a pool thread until its first request comes or the idle scan closes it, so
// idle connections starve every other call.) The thread of a refused connection ends after two idle
// seconds instead of ten.
inline constexpr const char* kConnectionOptions[][2] = {
    {"scanGranularity", "1"},
    {"inConScanPeriod", "10"},
    {"serverCallTimeOutPeriod", "10000"},
    {"idleThreadTimeout", "2"},
};

class ConnectionGuard {
  public:
    // `perAddress`: the connections one address may hold (descriptor_budget.h); `reserved`:
    // descriptors another surface of the server holds for its own connections (the web port).
    explicit ConnectionGuard(int perAddress = kConnectionsPerAddress, int reserved = 0);
    ~ConnectionGuard();
    ConnectionGuard(const ConnectionGuard&) = delete;
    ConnectionGuard& operator=(const ConnectionGuard&) = delete;

    // Removes the interceptor and prints the total of refusals, once.
    void finish();

    struct State;

  private:
    std::unique_ptr<State> state_;
    bool finished_ = false;
};
