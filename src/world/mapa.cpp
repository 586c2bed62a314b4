#include "world/mapa.h"

#include <stdexcept>
#include <utility>

#include "platform/image_file.h"
#include "stream/recorded_drawing.h"
#include "world/flip_keys.h"
#include "world/identity_colour.h"
#include "world/runner.h"
#include "world/runner_table.h"
#include "world/stage_image_error.h"
#include "world/stage_images.h"

namespace {

constexpr const char* kPlayerKind = "player";

// Registers `object` in `registry` under the next identity colour with `kind`; the registry owns
// it from then on, and until then so does `object`, whatever throws.
template <class Object, class Registry>
Object& registerIn(Registry& registry, std::unique_ptr<Object> object, const std::string& kind) {
    object->kind = kind;
    const int colour = nextIdentityColour();
    object->idColor = colour;
    auto [slot, added] = registry.try_emplace(colour, std::move(object));
    if (!added) throw std::logic_error("an identity colour was handed out twice");
    return static_cast<Object&>(*slot->second);
}

}  // namespace

Mapa::Mapa(const std::string& visualPath, const std::string& collisionPath, int stageWidth) {
    // The stage's failure message names the picture: no line of its own here.
    visual = recordedLoadBitmap(kStagePictureName, visualPath, LoadFailure::kSilent);
    if (drawsLocally() && !visual) {
        throw StageImageError(StageImageError::Image::kPicture, visualPath);
    }
    collision = loadImageFile(collisionPath);
    collisionWork.reset(collision ? create_bitmap(stageWidth, kStageHeight) : nullptr);
    if (!collisionWork) {
        // Clients loaded the picture on our record: let them free it again.
        recordedDestroyBitmap(kStagePictureName, std::move(visual));
        if (!collision) throw StageImageError(StageImageError::Image::kCollision, collisionPath);
        throw BitmapCreationError(stageWidth, kStageHeight);
    }
    buffer = recordedCreateBitmap(kStageBufferName, stageWidth, kStageHeight);
    if (drawsLocally() && !buffer) {
        recordedDestroyBitmap(kStagePictureName, std::move(visual));
        recordedDestroyBitmap(kStageBufferName, nullptr);
        throw BitmapCreationError(stageWidth, kStageHeight);
    }
    recordedDrawSprite(buffer.get(), kStageBufferName, visual.get(), kStagePictureName, 0, 0);
    // draw_sprite skips mask-coloured pixels of the collision image: they must read as free
    // space, not as whatever memory create_bitmap handed out.
    clear_to_color(collisionWork.get(), freeColour());
    draw_sprite(collisionWork.get(), collision.get(), 0, 0);
    camera = std::make_unique<GerenciadorTela>();
}

Mapa::~Mapa() {
    if (collisionContext.index == this) collisionContext = {};
    collisionWork.reset();
    collision.reset();
    recordedDestroyBitmap(kStagePictureName, std::move(visual));
    recordedDestroyBitmap(kStageBufferName, std::move(buffer));
    for (auto& [colour, runner] : playerRegistry) {
        stopKeyPoll(runner.get());
        for (Runner*& entry : runnerTable) {
            if (entry == runner.get()) entry = nullptr;
        }
    }
    // In registration order: each destroy is recorded.
    for (auto& [colour, runner] : playerRegistry) runner.reset();
    for (auto& [colour, object] : objectRegistry) object.reset();
    playerRegistry.clear();
    objectRegistry.clear();
    camera.reset();
}

Runner& Mapa::addRunner(std::unique_ptr<Runner> runner) {
    return registerIn(playerRegistry, std::move(runner), kPlayerKind);
}

Objeto& Mapa::addObject(std::unique_ptr<Objeto> object, const std::string& kind) {
    return registerIn(objectRegistry, std::move(object), kind);
}

Objeto* Mapa::objectPainted(int colour) const {
    return objectPaintedIn(playerRegistry, objectRegistry, colour);
}

int Mapa::activeRunners() const {
    int count = 0;
    for (const auto& [colour, runner] : playerRegistry) count += runner->active ? 1 : 0;
    return count;
}
