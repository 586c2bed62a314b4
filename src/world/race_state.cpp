// Saving and restoring the race state of a Mapa.
#include <stdexcept>

#include "world/mapa.h"

bool Mapa::RaceState::operator==(const RaceState& o) const {
    return camera == o.camera && objects == o.objects && runners == o.runners &&
           finished == o.finished && arrivals == o.arrivals;
}

Mapa::RaceState Mapa::raceState() const {
    RaceState state;
    state.camera = camera_->motionState();
    for (const auto& [colour, object] : objectRegistry_) {
        state.objects.push_back(object->motionState());
    }
    for (const auto& [colour, runner] : playerRegistry_) {
        state.runners.push_back(runner->motionState());
    }
    state.finished = finished_;
    state.arrivals = arrivals_;
    return state;
}

void Mapa::restoreRace(const RaceState& state) {
    if (state.objects.size() != objectRegistry_.size() ||
        state.runners.size() != playerRegistry_.size()) {
        throw std::invalid_argument("a race state of another stage");
    }
    // Every box goes before any is painted again, so that no erase cuts into a repainted box.
    for (auto& [colour, object] : objectRegistry_) eraseBox(*object);
    for (auto& [colour, runner] : playerRegistry_) eraseBox(*runner);
    camera_->restoreMotion(state.camera);
    size_t i = 0;
    for (auto& [colour, object] : objectRegistry_) {
        object->restoreMotion(state.objects[i++]);
        if (object->isActive()) object->paintBox(collisionWork_.get());
    }
    i = 0;
    for (auto& [colour, runner] : playerRegistry_) {
        runner->restoreMotion(state.runners[i++]);
        if (runner->isActive()) runner->paintBox(collisionWork_.get());
    }
    finished_ = state.finished;
    arrivals_ = state.arrivals;
}
