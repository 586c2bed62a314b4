// The collision context: the collision bitmap that motion probes and the index in which a probed
// colour is looked up.
//
// A stage hands its own (its collision working copy and itself) to every object that its race frame
// moves; motion reads nothing else. Used by the thread that runs the race frame.
#pragma once

#include <allegro.h>

#include <map>
#include <memory>

class Objeto;
class Runner;

// Orders identity colours by their (red, green, blue) components, the order in which they are
// handed out, whatever the pixel layout of the colour depth (the raw value puts blue in the high
// byte on some displays).
struct IdentityOrder {
    bool operator()(int a, int b) const;
};

// Registries of a stage, keyed by identity colour; iteration follows registration order. A
// registry owns what it holds.
using ObjectRegistry = std::map<int, std::unique_ptr<Objeto>, IdentityOrder>;
using PlayerRegistry = std::map<int, std::unique_ptr<Runner>, IdentityOrder>;

// Who is painted in which identity colour.
class ColourIndex {
  public:
    virtual ~ColourIndex() = default;
    // The object painted in `colour`, runners first; null when nobody has that colour.
    virtual Objeto* objectPainted(int colour) const = 0;
};

// The ColourIndex of a pair of registries.
Objeto* objectPaintedIn(const PlayerRegistry& players, const ObjectRegistry& objects, int colour);

struct CollisionContext {
    BITMAP* bitmap = nullptr;            // null: everything is free space
    const ColourIndex* index = nullptr;  // null: nobody is registered

    // The registered object painted in `colour`, runners first; null when nobody has that colour.
    Objeto* objectPainted(int colour) const;
};
