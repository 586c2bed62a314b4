#include "world/mapa.h"

#include <stdexcept>

#include "stream/recorded_drawing.h"
#include "world/flip_keys.h"
#include "world/identity_colour.h"
#include "world/runner.h"
#include "world/runner_table.h"
#include "world/stage_images.h"

Mapa::Mapa(const std::string& visualPath, const std::string& collisionPath, int stageWidth) {
    visual = recordedLoadBitmap(kStagePictureName, visualPath);
    if (drawsLocally() && !visual) throw 1;
    collision = load_bitmap(collisionPath.c_str(), nullptr);
    if (!collision) {
        // Clients loaded the picture on our record: let them free it again.
        recordedDestroyBitmap(kStagePictureName, visual);
        visual = nullptr;
        throw 2;
    }
    collisionWork = create_bitmap(stageWidth, kStageHeight);
    buffer = recordedCreateBitmap(kStageBufferName, stageWidth, kStageHeight);
    recordedDrawSprite(buffer, kStageBufferName, visual, kStagePictureName, 0, 0);
    // draw_sprite skips mask-coloured pixels of the collision image: they must read as free
    // space, not as whatever memory create_bitmap handed out.
    clear_to_color(collisionWork, freeColour());
    draw_sprite(collisionWork, collision, 0, 0);
    camera = std::make_unique<GerenciadorTela>();
}

Mapa::~Mapa() {
    releaseBitmaps();
    recordedDestroyBitmap(kStagePictureName, nullptr);
    recordedDestroyBitmap(kStageBufferName, nullptr);
    for (auto& [colour, runner] : playerRegistry) {
        stopKeyPoll(runner);
        for (Runner*& entry : runnerTable) {
            if (entry == runner) entry = nullptr;
        }
    }
    for (auto& [colour, runner] : playerRegistry) delete runner;
    for (auto& [colour, object] : objectRegistry) delete object;
    playerRegistry.clear();
    objectRegistry.clear();
    camera.reset();
}

void Mapa::releaseBitmaps() {
    if (collisionWork) destroy_bitmap(collisionWork);
    if (buffer) destroy_bitmap(buffer);
    if (collision) destroy_bitmap(collision);
    if (visual) destroy_bitmap(visual);
    collisionWork = buffer = collision = visual = nullptr;
}

void Mapa::addObject(Objeto* object, const std::string& kind, bool isPlayer) {
    Runner* runner = isPlayer ? dynamic_cast<Runner*>(object) : nullptr;
    if (isPlayer && !runner) throw std::invalid_argument("only a Runner registers as a player");
    const int colour = nextIdentityColour();
    if (isPlayer) {
        playerRegistry[colour] = runner;
    } else {
        objectRegistry[colour] = object;
    }
    object->idColor = colour;
    object->kind = kind;
}

int Mapa::activeRunners() const {
    int count = 0;
    for (const auto& [colour, runner] : playerRegistry) count += runner->active ? 1 : 0;
    return count;
}
