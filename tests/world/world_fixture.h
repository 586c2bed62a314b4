// Helpers for the game-world tests: a recorder standing in for the process one, a simulated clock,
// collision bitmaps built in memory or written to a temporary directory, and a way to read back
// every instruction a server would send.
#pragma once

#include <allegro.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "stream/gravador_tela.h"
#include "stream/viewer_streams.h"
#include "world/collision_context.h"
#include "world/objeto.h"

// Makes instance() return a recorder of `playerCount` players (0: local play, more: a server)
// for the lifetime of the object.
class RecorderScope {
  public:
    explicit RecorderScope(int playerCount);
    ~RecorderScope();
    GravadorTela& recorder() { return recorder_; }
    // The players' queues the recorder feeds (none in local play).
    ViewerQueues& queues() { return viewers_.queues(); }
    // Every batch player 1 can take, oldest first (drains the queue).
    std::vector<std::string> takeBatches();
    // Every instruction of those batches, in order (drains the queue; flushes first).
    std::vector<std::string> takeInstructions();

  private:
    ViewerStreams viewers_;  // a server's: fed by the recorder
    GravadorTela recorder_;
};

// Simulated clock starting at `startMs` for the lifetime of the object.
class SimulatedClockScope {
  public:
    explicit SimulatedClockScope(int64_t startMs = 1000);
    ~SimulatedClockScope();
};

// While it lives, the graphics library has no memory for a bitmap of at least `minimumPixels`
// pixels: create_bitmap gives null for it, as it does when memory runs out. Smaller ones are made
// as usual.
class BitmapMemoryShortage {
  public:
    explicit BitmapMemoryShortage(long minimumPixels);
    ~BitmapMemoryShortage();
    BitmapMemoryShortage(const BitmapMemoryShortage&) = delete;
    BitmapMemoryShortage& operator=(const BitmapMemoryShortage&) = delete;
};

// A memory bitmap of free space (white) with the given terrain rectangles (black).
BITMAP* whiteBitmap(int width, int height);

// Changes `object`'s motion state in place: `change` receives its Objeto::MotionState (position,
// speeds, gravity, grounded, ...), which is then restored into the object.
template <class Change>
void changeMotion(Objeto& object, Change change) {
    Objeto::MotionState state = object.Objeto::motionState();
    change(state);
    object.Objeto::restoreMotion(state);
}
// The usual changes: standing on something or not, the pull of gravity, the vertical speed,
// whether it is still in the race.
void setGrounded(Objeto& object, bool grounded);
void setGravity(Objeto& object, int gravity);
void setSpeedY(Objeto& object, double speed);
void setActive(Objeto& object, bool active);

// A collision bitmap of free space with its own index of the objects placed on it (which it does
// not own); context() is what objects moving on it probe. Objects placed here are painted in the
// colour they are given.
class Arena : public ColourIndex {
  public:
    Arena(int width, int height);
    ~Arena() override;
    CollisionContext context() const { return {bitmap, this}; }
    // Registers `object` under `colour` (into the players registry when it is a runner) and paints
    // its box.
    void place(Objeto* object, int colour);
    void paintBox(const Objeto& object);
    void terrain(int x1, int y1, int x2, int y2);  // a black rectangle, both ends included
    Objeto* objectPainted(int colour) const override;
    BITMAP* bitmap;
    std::map<int, Objeto*, IdentityOrder> objects;
    std::map<int, Runner*, IdentityOrder> players;
};

// A temporary working directory holding Img/Jogo/ and Img/menu/, entered for the lifetime of the
// object (relative image paths resolve in it) and removed afterwards.
class TempImageDir {
  public:
    TempImageDir();
    ~TempImageDir();
    // Writes `bitmap` as a file at `relativePath` (the extension decides the format).
    void save(const std::string& relativePath, BITMAP* bitmap) const;
    const std::filesystem::path& path() const { return dir_; }

  private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

// Splits a batch text into its instructions.
std::vector<std::string> splitBatch(const std::string& batch);
