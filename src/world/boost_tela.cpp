#include "world/boost_tela.h"

#include "world/stage_images.h"

BoostTela::BoostTela(int x, int speed)
    : Objeto(kTransparentPixelPath, 0, kStageHeight, true, x, kStageHeight), speed_(speed) {}
