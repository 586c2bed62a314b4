// LinhaChegada: the finish line, a one-pixel column from row bottomY - height to row bottomY.
// Runners pass through it, and crossing it finishes them.
#pragma once

#include "world/objeto.h"

class LinhaChegada final : public Objeto {
  public:
    LinhaChegada(int x, int bottomY, int height);

    bool coversTerrain() const override { return false; }
    ObjectKind kind() const override { return ObjectKind::kFinishLine; }
};
