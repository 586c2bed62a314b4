// OrderedParts: the answers that several fetching threads receive at once, handed to the one
// replaying thread in the order the server numbered them ("part N"), whatever order they arrive.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

class OrderedParts {
  public:
    explicit OrderedParts(uint64_t firstPart = 1) : expected(firstPart) {}

    // Files answer `part`. A part already handed out (or a repeat) is dropped.
    void put(uint64_t part, std::string body);
    // The next answer in order; waits for it while `keepGoing()` says so, and gives nothing once
    // it does not.
    std::optional<std::string> next(const std::function<bool()>& keepGoing);
    // Makes a waiting next() look at keepGoing() again now.
    void wake();

  private:
    std::mutex lock;
    std::condition_variable arrived;
    std::map<uint64_t, std::string> waiting;
    uint64_t expected;
};
