#include "world/linha_chegada.h"

#include "world/stage_images.h"

LinhaChegada::LinhaChegada(int x, int bottomY, int height)
    : Objeto(kTransparentPixelPath, 0, height, true, x, bottomY) {}
