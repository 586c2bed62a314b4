// BoostTela: a speed marker. An invisible column over the whole stage height; when the camera moves
// right into it, the camera takes its speed. It neither moves nor reacts.
#pragma once

#include "world/objeto.h"

class BoostTela final : public Objeto {
  public:
    // The marker column at `x`, rows 0 to 480, drawn with the invisible one-pixel image.
    BoostTela(int x, int speed);

    int speed() const { return speed_; }  // pixels per frame

    bool coversTerrain() const override { return false; }
    ObjectKind kind() const override { return ObjectKind::kSpeedMarker; }

  private:
    int speed_;
};
