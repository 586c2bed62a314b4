// The client's fetch of a stage it does not hold. When the replaying thread meets a stage picture
// ("Img/...jpg") that neither the data folder nor the cache holds, it asks the server for the
// stage's level (FifoServer's stageLevel), checks it and draws the picture into the cache
// (world/stage_picture_cache.h), where the load then finds it. The checks: the text is at most
// kMaxLevelBytes, its hash is the one the server gave, the level reads with the game's reader and
// limits, and it is the level of the picture asked for (its picture path, or an own stage's
// "Img/fases/NAME-HASH.jpg"). What fails is said on the console in one line, and the load then
// fails as any missing picture does ("fudeu" and the file's line).
//
// The call is bounded (kLevelFetchTimeoutMs); a server without the operation (BAD_OPERATION) is not
// asked again, nor is a path asked twice.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "corrida.hh"

constexpr uint32_t kLevelFetchTimeoutMs = 2000;

// What the server answered, for checking.
struct FetchedLevel {
    std::string text;
    uint64_t hash = 0;
};

// Checks `fetched` as the level of `picturePath` and draws its picture into the cache. False with
// `error` set (the console line) when it is refused or cannot be drawn.
bool drawFetchedLevel(const std::string& picturePath, const FetchedLevel& fetched,
                      std::string& error);

class StageLevelFetch {
  public:
    explicit StageLevelFetch(FifoServer_ptr server) : server_(FifoServer::_duplicate(server)) {}

    // Whether `picturePath` is now in the cache. For the replaying thread only.
    bool operator()(const std::string& picturePath);

  private:
    static constexpr size_t kMaxAsked = 256;
    FifoServer_var server_;
    std::set<std::string> asked_;
    bool unsupported_ = false;
};
