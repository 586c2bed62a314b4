// ClassicStageNotice: a classic client (Login's logar) holds the classic stages only, 1 and 2. When
// the server's match plays others, the server says so on its console once per client (its address
// and player number), and that client's failed loads are then reported as ever.
#pragma once

#include <mutex>
#include <set>
#include <string>

class ClassicStageNotice {
  public:
    // Player `player` joined from `host` with logar: the console line, the first time only.
    void noteJoin(const std::string& host, int player);

  private:
    static constexpr size_t kRemembered = 4096;
    std::mutex lock_;
    std::set<std::string> told_;
};
