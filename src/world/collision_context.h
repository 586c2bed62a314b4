// The collision context: the collision bitmap that motion probes and the registries in which a
// probed colour is looked up, for the stage whose frame is running.
//
// The race frame points it at its stage at the start of every frame; motion and lookupObject read
// only the context. Used by the thread that runs the race frame.
#pragma once

#include <allegro.h>

#include <map>

class Objeto;
class Runner;

// Orders identity colours by their (red, green, blue) components, the order in which they are
// handed out, whatever the pixel layout of the colour depth (the raw value puts blue in the high
// byte on some displays).
struct IdentityOrder {
    bool operator()(int a, int b) const;
};

// Registries of a stage, keyed by identity colour; iteration follows registration order.
using ObjectRegistry = std::map<int, Objeto*, IdentityOrder>;
using PlayerRegistry = std::map<int, Runner*, IdentityOrder>;

struct CollisionContext {
    BITMAP* bitmap = nullptr;  // null: everything is free space
    const ObjectRegistry* objects = nullptr;
    const PlayerRegistry* players = nullptr;
};

extern CollisionContext collisionContext;

// The registered object painted in `colour`, runners first; null when nobody has that colour.
Objeto* lookupObject(int colour);
