#include "world/mapa.h"

#include <stdexcept>
#include <utility>

#include "stream/recorded_drawing.h"
#include "world/collision_painting.h"
#include "world/flip_keys.h"
#include "world/identity_colour.h"
#include "world/runner.h"
#include "world/stage_image_error.h"
#include "world/stage_images.h"

namespace {

// Registers `object` in `registry` under the next identity colour of `colours`; the registry owns
// it from then on, and until then so does `object`, whatever throws.
template <class Object, class Registry>
Object& registerIn(Registry& registry, std::unique_ptr<Object> object, IdentityCounter& colours) {
    const int colour = nextIdentityColour(colours);
    object->assignIdentityColour(colour);
    auto [slot, added] = registry.try_emplace(colour, std::move(object));
    if (!added) throw std::logic_error("an identity colour was handed out twice");
    return static_cast<Object&>(*slot->second);
}

}  // namespace

Mapa::Mapa(const std::string& visualPath, int stageWidth, const std::vector<LevelRect>& terrain) {
    // The stage's failure message names the picture: no line of its own here.
    visual_ = recordedLoadBitmap(kStagePictureName, visualPath, LoadFailure::kSilent);
    if (drawsLocally() && !visual_) {
        throw StageImageError(StageImageError::Image::kPicture, visualPath);
    }
    try {
        collision_ = paintCollisionBitmap(stageWidth, kStageHeight, terrain);
        collisionWork_ = createBitmapOrThrow(stageWidth, kStageHeight);
    } catch (const BitmapCreationError&) {
        // Clients loaded the picture on our record: let them free it again.
        recordedDestroyBitmap(kStagePictureName, std::move(visual_));
        throw;
    }
    buffer_ = recordedCreateBitmap(kStageBufferName, stageWidth, kStageHeight);
    if (drawsLocally() && !buffer_) {
        recordedDestroyBitmap(kStagePictureName, std::move(visual_));
        recordedDestroyBitmap(kStageBufferName, nullptr);
        throw BitmapCreationError(stageWidth, kStageHeight);
    }
    recordedDrawSprite(buffer_.get(), kStageBufferName, visual_.get(), kStagePictureName, 0, 0);
    blit(collision_.get(), collisionWork_.get(), 0, 0, 0, 0, stageWidth, kStageHeight);
    camera_ = std::make_unique<GerenciadorTela>();
}

Mapa::~Mapa() {
    collisionWork_.reset();
    collision_.reset();
    recordedDestroyBitmap(kStagePictureName, std::move(visual_));
    recordedDestroyBitmap(kStageBufferName, std::move(buffer_));
    for (auto& [colour, runner] : playerRegistry_) stopKeyPoll(runner.get());
    runnerTable_.fill(nullptr);
    // In registration order: each destroy is recorded.
    for (auto& [colour, runner] : playerRegistry_) runner.reset();
    for (auto& [colour, object] : objectRegistry_) object.reset();
    playerRegistry_.clear();
    objectRegistry_.clear();
    camera_.reset();
}

Runner& Mapa::addRunner(std::unique_ptr<Runner> runner) {
    Runner& added = registerIn(playerRegistry_, std::move(runner), identityColours_);
    runnerTable_.at(added.playerNumber() - 1) = &added;
    return added;
}

Objeto& Mapa::addObject(std::unique_ptr<Objeto> object) {
    return registerIn(objectRegistry_, std::move(object), identityColours_);
}

Runner* Mapa::runnerOf(int playerNumber) const {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) return nullptr;
    return runnerTable_[playerNumber - 1];
}

Objeto* Mapa::objectPainted(int colour) const {
    return objectPaintedIn(playerRegistry_, objectRegistry_, colour);
}

int Mapa::activeRunners() const {
    int count = 0;
    for (const auto& [colour, runner] : playerRegistry_) count += runner->isActive() ? 1 : 0;
    return count;
}
