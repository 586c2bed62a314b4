// Mapa: one loaded stage, for one attempt at it.
//
// It holds the stage's picture ("mapaVisual") and the buffer in which each frame is composed
// ("bufferVisual") -- both only in local play -- and, in every mode, the pristine collision bitmap
// and its working copy, in which every drawn object's box is painted in its identity colour and
// which motion probes. Black is terrain, white free space.
//
// Construction records: load "mapaVisual", create "bufferVisual" W x 480, draw "mapaVisual" into
// "bufferVisual" at (0, 0); then the camera records the load of its image.
//
// Failure contract: when a stage image cannot be loaded the constructor throws StageImageError
// naming it: the picture (local play only; a server never loads it) or the collision image (every
// mode). When the library has no memory for a bitmap the stage needs (the collision working copy
// in every mode, the buffer where the stage is drawn) it throws BitmapCreationError. Either way
// nothing is left allocated, and the clients are told to free what the record had them load.
// Stage loading translates both into console messages (stage_loading.h).
//
// Ownership: the map owns its bitmaps, its camera and every object registered with addRunner and
// addObject, and destroys the objects after its own bitmaps, runners first, each registry in
// registration order (each object records its own destroys). Before destroying the runners it
// removes their key timers and clears their runnerTable entries, so that no timer or remote call
// can reach a destroyed runner.
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
#include "world/runner.h"

class Mapa : public ColourIndex {
  public:
    Mapa(const std::string& visualPath, const std::string& collisionPath, int stageWidth);
    ~Mapa() override;
    Mapa(const Mapa&) = delete;
    Mapa& operator=(const Mapa&) = delete;

    // Registers `runner` (taking ownership) under the next identity colour, with the kind
    // "player", into the players registry; returns it.
    Runner& addRunner(std::unique_ptr<Runner> runner);
    // Registers `object` (taking ownership) under the next identity colour, with `kind`, into the
    // objects registry; returns it.
    Objeto& addObject(std::unique_ptr<Objeto> object, const std::string& kind);

    // Advances the stage by one frame and draws it. True when no runner is active any more and
    // none reached the finish line (the attempt is lost). When the last runner goes out after one
    // reached the line, `finished` is set instead and the camera stops. Records the sounds of the
    // frame: a flip, a runner going out, a runner crossing the finish line.
    bool raceFrame();
    // Draws the current state without advancing it (server, before the race starts).
    void stillFrame();

    // Number of runners still active.
    int activeRunners() const;

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

    BitmapHandle visual;
    BitmapHandle collision;
    BitmapHandle buffer;
    BitmapHandle collisionWork;
    ObjectRegistry objectRegistry;
    PlayerRegistry playerRegistry;
    std::unique_ptr<GerenciadorTela> camera;
    bool finished = false;
    // The player numbers of the runners that crossed the finish line, in order of arrival.
    std::vector<int> arrivals;

  private:
    void refreshWindow();
    void showWindow();
    void eraseBox(const Objeto& object);
    void drawKeyPicture(const Runner& runner);
    // Notes an arrival at the finish line and plays the finish and flip sounds.
    void noteRunnerEvents(Runner& runner);
};
