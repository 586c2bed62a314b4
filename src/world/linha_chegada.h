// LinhaChegada: the finish line, a one-pixel column from row bottomY - height to row bottomY.
// It adds nothing to Objeto; runners recognise it by its kind "linhaChegada" and pass through it.
#pragma once

#include "world/objeto.h"

class LinhaChegada : public Objeto {
  public:
    LinhaChegada(int x, int bottomY, int height);

    bool coversTerrain() const override { return false; }
};
