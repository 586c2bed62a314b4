// A temporary folder holding the player's cache and data folders for the life of the object:
// XDG_CACHE_HOME and XDG_DATA_HOME point into it (their old values come back afterwards), so that
// what the game caches or lists is the test's own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class XdgHomes {
  public:
    XdgHomes();
    ~XdgHomes();
    XdgHomes(const XdgHomes&) = delete;
    XdgHomes& operator=(const XdgHomes&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path cache() const { return root_ / "cache" / "corrida"; }
    std::filesystem::path ownStages() const { return root_ / "data" / "corrida" / "fases"; }
    // Writes an own level file NAME.txt.
    void writeOwnStage(const std::string& name, const std::string& text) const;
    // Every regular file under the root, relative to it, sorted.
    std::vector<std::string> files() const;

  private:
    std::filesystem::path root_;
    std::string oldCache_, oldData_;
    bool hadCache_ = false, hadData_ = false;
};

// A short own stage the solver wins from every start (a wall passed on the ceiling), and the same
// with the wall raised to the ceiling, which nobody passes.
extern const char* const kWallStage;
extern const char* const kImpassableStage;
