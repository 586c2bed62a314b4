// LevelFetchRate: how often each address may ask a server for a stage's level (FifoServer's
// stageLevel): kPerMinute calls in any minute. A client asks once per picture it lacks, so a
// match of a few stages stays far below; a stranger asking in a loop is refused. At most
// kAddresses addresses are remembered (the oldest forgotten first), so the table stays small.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>

class LevelFetchRate {
  public:
    static constexpr int kPerMinute = 12;
    static constexpr size_t kAddresses = 1024;

    // Whether `host` may ask now (`nowMs` on the process clock); an admitted call counts.
    bool admit(const std::string& host, int64_t nowMs);

  private:
    std::mutex lock_;
    std::map<std::string, std::deque<int64_t>> calls_;  // each address's calls of the last minute
};
