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
// Failure contract: when the stage images cannot be loaded the constructor throws an int:
//   1  the visual image cannot be loaded (local play only; a server never loads it),
//   2  the collision image cannot be loaded (every mode).
// Nothing is left allocated. Stage loading lets the exception through; the sessions catch it and
// print an orderly message.
//
// Ownership: the map owns its camera and every object registered with addObject, runners included,
// and deletes them after its own bitmaps (each object records its own destroys). Before deleting
// the runners it removes their key timers and clears their runnerTable entries, so that no timer
// or remote call can reach a deleted runner.
//
// Used only by the thread that runs the session and its frames.
#pragma once

#include <allegro.h>

#include <memory>
#include <string>
#include <vector>

#include "world/collision_context.h"
#include "world/gerenciador_tela.h"

class Runner;

class Mapa {
  public:
    Mapa(const std::string& visualPath, const std::string& collisionPath, int stageWidth);
    virtual ~Mapa();
    Mapa(const Mapa&) = delete;
    Mapa& operator=(const Mapa&) = delete;

    // Registers `object` (taking ownership) under the next identity colour, with `kind`, into the
    // players registry when `isPlayer` (the object must then be a Runner) or the objects registry.
    void addObject(Objeto* object, const std::string& kind, bool isPlayer);

    // Advances the stage by one frame and draws it. True when no runner is active any more and
    // none reached the finish line (the attempt is lost). When the last runner goes out after one
    // reached the line, `finished` is set instead and the camera stops. Records the sounds of the
    // frame: a flip, a runner going out, a runner crossing the finish line.
    bool raceFrame();
    // Draws the current state without advancing it (server, before the race starts).
    void stillFrame();

    // Number of runners still active.
    int activeRunners() const;

    BITMAP* visual = nullptr;
    BITMAP* collision = nullptr;
    BITMAP* buffer = nullptr;
    BITMAP* collisionWork = nullptr;
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
    void releaseBitmaps();
};
