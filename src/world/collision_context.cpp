#include "world/collision_context.h"

#include "world/runner.h"

namespace {

int rgbValue(int colour) { return (getr(colour) << 16) | (getg(colour) << 8) | getb(colour); }

}  // namespace

bool IdentityOrder::operator()(int a, int b) const { return rgbValue(a) < rgbValue(b); }

Objeto* objectPaintedIn(const PlayerRegistry& players, const ObjectRegistry& objects, int colour) {
    if (const auto found = players.find(colour); found != players.end()) {
        return found->second.get();
    }
    if (const auto found = objects.find(colour); found != objects.end()) {
        return found->second.get();
    }
    return nullptr;
}

Objeto* CollisionContext::objectPainted(int colour) const {
    return index ? index->objectPainted(colour) : nullptr;
}
