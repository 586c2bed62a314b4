#include "world/gerenciador_tela.h"

#include "world/boost_tela.h"
#include "world/stage_images.h"

GerenciadorTela::GerenciadorTela()
    : Objeto(kTransparentPixelPath, 0, kStageHeight, true, 0, kStageHeight) {
    setSpeedX(1.0);
}

bool GerenciadorTela::isSolid(int colour) const {
    return colour != freeColour() && colour != terrainColour();
}

void GerenciadorTela::onCollision(int direction, const Hit& hit, int newX, int newY) {
    if (hit.kind == Hit::kObject && direction == kRight &&
        hit.object->kind() == ObjectKind::kSpeedMarker) {
        // Only a BoostTela answers kSpeedMarker.
        setSpeedX(static_cast<const BoostTela*>(hit.object)->speed());
    }
    moveTo(newX, newY);
}
