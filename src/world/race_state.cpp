// Saving and restoring the race state of a Mapa.
#include <stdexcept>

#include "world/mapa.h"

bool Mapa::RaceState::operator==(const RaceState& o) const {
    return camera == o.camera && objects == o.objects && runners == o.runners &&
           finished == o.finished && arrivals == o.arrivals;
}

Mapa::RaceState Mapa::raceState() const {
    RaceState state;
    state.camera = camera->motionState();
    for (const auto& [colour, object] : objectRegistry) {
        state.objects.push_back(object->motionState());
    }
    for (const auto& [colour, runner] : playerRegistry) {
        state.runners.push_back(runner->motionState());
    }
    state.finished = finished;
    state.arrivals = arrivals;
    return state;
}

void Mapa::restoreRace(const RaceState& state) {
    if (state.objects.size() != objectRegistry.size() ||
        state.runners.size() != playerRegistry.size()) {
        throw std::invalid_argument("a race state of another stage");
    }
    // Every box goes before any is painted again, so that no erase cuts into a repainted box.
    for (auto& [colour, object] : objectRegistry) eraseBox(*object);
    for (auto& [colour, runner] : playerRegistry) eraseBox(*runner);
    camera->restoreMotion(state.camera);
    size_t i = 0;
    for (auto& [colour, object] : objectRegistry) {
        object->restoreMotion(state.objects[i++]);
        if (object->active) object->paintBox(collisionWork.get());
    }
    i = 0;
    for (auto& [colour, runner] : playerRegistry) {
        runner->restoreMotion(state.runners[i++]);
        if (runner->active) runner->paintBox(collisionWork.get());
    }
    finished = state.finished;
    arrivals = state.arrivals;
}
