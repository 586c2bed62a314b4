#include "world/gerenciador_tela.h"

#include "world/boost_tela.h"
#include "world/object_kinds.h"
#include "world/stage_images.h"

GerenciadorTela::GerenciadorTela()
    : Objeto(kTransparentPixelPath, 0, kStageHeight, true, 0, kStageHeight) {
    speedX = 1.0;
}

bool GerenciadorTela::isSolid(int colour) const {
    return colour != freeColour() && colour != terrainColour();
}

void GerenciadorTela::onCollision(int direction, const Hit& hit, int newX, int newY) {
    if (hit.kind == Hit::kObject && direction == kRight && hit.object->kind == kSpeedMarkerKind) {
        if (const auto* boost = dynamic_cast<const BoostTela*>(hit.object)) speedX = boost->speed;
    }
    x = newX;
    y = newY;
}
