// CallsInFlight: how many calls each remote address holds at the server at once, bounded.
//
// A fetch may be held at the server for up to a second, waiting for a picture. One address may
// hold at most its share of such calls: six players and the most spectators one address may hold
// (audience.h) behind one address, each with its calls in flight, fit (kPerAddress with the usual
// 32 spectators); a peer that sends thousands at once is refused past its share instead of tying
// up the server's threads.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

// An address' share when it may hold `spectators`: the players' calls, and three for each
// spectator (a client near the server keeps three fetches in flight).
constexpr int callsPerAddressFor(int spectators) { return 64 + 3 * spectators; }

class CallsInFlight {
  public:
    static constexpr int kPerAddress = callsPerAddressFor(32);

    explicit CallsInFlight(int perAddress = kPerAddress) : perAddress(perAddress) {}
    CallsInFlight(const CallsInFlight&) = delete;
    CallsInFlight& operator=(const CallsInFlight&) = delete;

    // One admitted call of `host`, counted until it is destroyed.
    class Admission {
      public:
        Admission(CallsInFlight& calls, std::string host) : calls(&calls), host(std::move(host)) {}
        Admission(Admission&& other) noexcept : calls(other.calls), host(std::move(other.host)) {
            other.calls = nullptr;
        }
        Admission& operator=(Admission&&) = delete;
        ~Admission() {
            if (calls != nullptr) calls->release(host);
        }

      private:
        CallsInFlight* calls;
        std::string host;
    };

    // An admission for one more call of `host`; nothing when `host` holds its share already.
    std::optional<Admission> admit(const std::string& host);
    int heldBy(const std::string& host) const;

  private:
    void release(const std::string& host);

    const int perAddress;
    mutable std::mutex lock;
    std::map<std::string, int> held;
};
