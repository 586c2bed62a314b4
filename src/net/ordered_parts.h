// OrderedParts: the answers that several fetching threads receive at once, handed to the one
// replaying thread in the order the server numbered them ("part N"), whatever order they arrive.
//
// What waits is bounded, in parts and in bytes: a server that keeps a part back and sends the
// later ones, or sends faster than the window can replay, is refused past the bound instead of
// growing the client without end. The bounds hold a long link's calls in flight many times over.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// The answers that may wait for their turn: far more than the calls ever in flight at once.
constexpr size_t kMaxPartsWaiting = 256;
// The bytes they may hold: a stalled client's whole catch-up fits many times over.
constexpr size_t kMaxBytesWaiting = 8u << 20;

class OrderedParts {
  public:
    explicit OrderedParts(uint64_t firstPart = 1, size_t maxParts = kMaxPartsWaiting,
                          size_t maxBytes = kMaxBytesWaiting)
        : expected(firstPart), freshFrom(firstPart), maxParts(maxParts), maxBytes(maxBytes) {}

    // Files answer `part`. A part already handed out (or a repeat) is dropped. False when filing
    // it would pass the bounds (or its number is further ahead than the parts that may wait):
    // then nothing is filed, and the server is not to be trusted further.
    bool put(uint64_t part, std::string body);
    // The next answer in order; waits for it while `keepGoing()` says so, and gives nothing once
    // it does not.
    std::optional<std::string> next(const std::function<bool()>& keepGoing);
    // The same, saying whether the answer is the first since the start or the last restartAt (a
    // compressed stream starts afresh there).
    std::optional<std::string> next(const std::function<bool()>& keepGoing, bool& opensStream);
    // From now on the answers go on from `part`: what waits is dropped, and so is every answer
    // numbered below it that comes later (a connection was recovered: see reconnection.h).
    void restartAt(uint64_t part);
    // Makes a waiting next() look at keepGoing() again now.
    void wake();

  private:
    std::mutex lock;
    std::condition_variable arrived;
    std::map<uint64_t, std::string> waiting;
    size_t bytesWaiting = 0;
    uint64_t expected;
    uint64_t freshFrom;
    const size_t maxParts;
    const size_t maxBytes;
};
