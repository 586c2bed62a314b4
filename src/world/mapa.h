// Mapa: one loaded stage, for one attempt at it.
//
// It holds the stage's picture ("mapaVisual") and the buffer in which each frame is composed
// ("bufferVisual") -- both only in local play -- and, in every mode, the pristine collision bitmap
// (painted from the level's terrain, world/collision_painting.h) and its working copy, in which
// every drawn object's box is painted in its identity colour and which motion probes. Black is
// terrain, white free space.
//
// Construction records: load "mapaVisual", create "bufferVisual" W x 480, draw "mapaVisual" into
// "bufferVisual" at (0, 0); then the camera records the load of its image.
//
// Failure contract: when the stage's picture cannot be loaded (local play only; a server never
// loads it) the constructor throws StageImageError naming it. When the library has no memory for
// a bitmap the stage needs (the collision bitmap and its working copy in every mode, the buffer
// where the stage is drawn) it throws BitmapCreationError. Either way
// nothing is left allocated, and the clients are told to free what the record had them load.
// Stage loading translates both into console messages (stage_loading.h).
//
// Ownership: the map owns its bitmaps, its camera and every object registered with addRunner and
// addObject, and destroys the objects after its own bitmaps, runners first, each registry in
// registration order (each object records its own destroys). Before destroying the runners it
// removes their key timers, so that no timer can reach a destroyed runner. Its runner table dies
// with it: the race that lent it to remote calls closes before the map is released
// (remote_race.h).
//
// Used only by the thread that runs the session and its frames.
#pragma once

#include <allegro.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap_handle.h"
#include "world/collision_context.h"
#include "world/gerenciador_tela.h"
#include "world/identity_colour.h"
#include "world/level_file.h"
#include "world/runner.h"
#include "world/runner_table.h"

class Mapa : public ColourIndex {
  public:
    // `terrain`: the stage's terrain commands (world/level_file.h), painted into the collision
    // bitmap.
    Mapa(const std::string& visualPath, int stageWidth, const std::vector<LevelRect>& terrain);
    ~Mapa() override;
    Mapa(const Mapa&) = delete;
    Mapa& operator=(const Mapa&) = delete;

    // Registers `runner` (taking ownership) under the next identity colour into the players
    // registry, and into the runner table under its player number; returns it.
    Runner& addRunner(std::unique_ptr<Runner> runner);
    // Registers `object` (taking ownership) under the next identity colour into the objects
    // registry; returns it.
    Objeto& addObject(std::unique_ptr<Objeto> object);

    // Advances the stage by one frame and draws it. True when no runner is active any more and
    // none reached the finish line (the attempt is lost). When the last runner goes out after one
    // reached the line, the stage is finished instead (isFinished()) and the camera stops. Records
    // the sounds of the frame: a flip, a runner going out, a runner crossing the finish line.
    bool raceFrame();
    // Draws the current state without advancing it (server, before the race starts).
    void stillFrame();

    // Number of runners still active.
    int activeRunners() const;
    // Whether the last runner went out after one reached the finish line (the stage is won).
    bool isFinished() const { return finished_; }
    // The player numbers of the runners that crossed the finish line, in order of arrival.
    const std::vector<int>& arrivals() const { return arrivals_; }

    // Everything a race frame changes in the stage: the motion of the camera, of every registered
    // object and runner (in registration order), whether the stage is finished and the arrivals.
    struct RaceState {
        Objeto::MotionState camera;
        std::vector<Objeto::MotionState> objects;
        std::vector<Runner::MotionState> runners;
        bool finished = false;
        std::vector<int> arrivals;

        bool operator==(const RaceState& other) const;
        bool operator!=(const RaceState& other) const { return !(*this == other); }
    };
    RaceState raceState() const;
    // Puts the stage back in `state` (taken from this stage: std::invalid_argument when its counts
    // differ from the registries'), the collision working copy included: every box is erased where
    // it is and the active ones are painted where the state has them, in the race frame's order.
    void restoreRace(const RaceState& state);

    // The registered object painted in `colour`, runners first.
    Objeto* objectPainted(int colour) const override;
    // What motion probes in this stage: the collision working copy, indexed by this map.
    CollisionContext collisionContext() const { return {collisionWork_.get(), this}; }

    // The runners by player number (index: player number minus one; null where none raced).
    const RunnerTable& runners() const { return runnerTable_; }
    // Player `playerNumber`'s runner (1 to 6), or null.
    Runner* runnerOf(int playerNumber) const;
    const PlayerRegistry& playerRegistry() const { return playerRegistry_; }
    const ObjectRegistry& objectRegistry() const { return objectRegistry_; }
    GerenciadorTela& camera() const { return *camera_; }

    // The stage's picture and the buffer each frame is composed in (null on a server), the
    // pristine collision bitmap and its working copy.
    BITMAP* visual() const { return visual_.get(); }
    BITMAP* buffer() const { return buffer_.get(); }
    BITMAP* collision() const { return collision_.get(); }
    BITMAP* collisionWork() const { return collisionWork_.get(); }

  private:
    void refreshWindow();
    void showWindow();
    void eraseBox(const Objeto& object);
    void drawKeyPicture(const Runner& runner);
    // Notes an arrival at the finish line and plays the finish and flip sounds.
    void noteRunnerEvents(Runner& runner);

    BitmapHandle visual_;
    BitmapHandle collision_;
    BitmapHandle buffer_;
    BitmapHandle collisionWork_;
    IdentityCounter identityColours_;
    ObjectRegistry objectRegistry_;
    PlayerRegistry playerRegistry_;
    RunnerTable runnerTable_{};
    std::unique_ptr<GerenciadorTela> camera_;
    bool finished_ = false;
    std::vector<int> arrivals_;
};
