#include "world/collision_context.h"

#include "world/runner.h"

CollisionContext collisionContext;

namespace {

int rgbValue(int colour) { return (getr(colour) << 16) | (getg(colour) << 8) | getb(colour); }

}  // namespace

bool IdentityOrder::operator()(int a, int b) const { return rgbValue(a) < rgbValue(b); }

Objeto* lookupObject(int colour) {
    if (collisionContext.players) {
        const auto found = collisionContext.players->find(colour);
        if (found != collisionContext.players->end()) return found->second;
    }
    if (collisionContext.objects) {
        const auto found = collisionContext.objects->find(colour);
        if (found != collisionContext.objects->end()) return found->second;
    }
    return nullptr;
}
