// GerenciadorTela: the camera of a stage. Its x() is the left edge of the 640 x 480 window.
//
// It is a column over the whole stage height that moves right at speedX() (1.0 at the start). Its
// probe passes over terrain and free space and stops only at painted objects; it is never blocked,
// and moving right into a speed marker it takes the marker's speed. It is never registered, painted
// or drawn.
#pragma once

#include "world/objeto.h"

class GerenciadorTela : public Objeto {
  public:
    GerenciadorTela();

    // Neither white nor black.
    bool isSolid(int colour) const override;
    // Takes a speed marker's speed when moving right into it; always moves on.
    void onCollision(int direction, const Hit& hit, int newX, int newY) override;
};
