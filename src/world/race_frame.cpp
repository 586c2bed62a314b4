// The race frame and the still frame of a Mapa.
#include <algorithm>

#include "platform/sound_player.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/mapa.h"
#include "world/runner.h"
#include "world/stage_images.h"

namespace {

// A runner left of the middle of the window gains this on the camera every frame.
constexpr double kCatchUpBonus = 1.0;

// Key pictures are drawn this far left of and above the runner's bottom-left corner.
constexpr int kKeyPictureLeft = 15;
constexpr int kKeyPictureUp = 60;

bool isBehindCamera(const Objeto& object, int cameraX) {
    return object.x() + object.width() < cameraX;
}

bool hasLeftScreen(const Objeto& runner) {
    return runner.y() < 0 || runner.y() - runner.height() > kStageHeight;
}

}  // namespace

void Mapa::refreshWindow() {
    const int cameraX = camera_->x();
    recordedBlit(visual_.get(), kStagePictureName, buffer_.get(), kStageBufferName, cameraX, 0,
                 cameraX, 0, kWindowWidth, kStageHeight);
}

void Mapa::showWindow() {
    recordedBlit(buffer_.get(), kStageBufferName, screen, kScreenName, camera_->x(), 0, 0, 0,
                 kWindowWidth, kStageHeight);
}

void Mapa::eraseBox(const Objeto& object) {
    const int top = object.y() - object.height();
    blit(collision_.get(), collisionWork_.get(), object.x(), top, object.x(), top,
         object.width() + 1, object.height() + 1);
}

void Mapa::drawKeyPicture(const Runner& runner) {
    recordedDrawSprite(buffer_.get(), kStageBufferName, runner.keyImage(), runner.keyName(),
                       runner.x() - kKeyPictureLeft, runner.y() - kKeyPictureUp);
}

void Mapa::noteRunnerEvents(Runner& runner) {
    if (runner.hasFinished() &&
        std::find(arrivals_.begin(), arrivals_.end(), runner.playerNumber()) == arrivals_.end()) {
        arrivals_.push_back(runner.playerNumber());
        recordedPlaySound(sound::kFinish);
    }
    if (runner.takeFlip()) recordedPlaySound(sound::kFlip);
}

bool Mapa::raceFrame() {
    const CollisionContext world = collisionContext();
    camera_->move(world);
    const int cameraX = camera_->x();
    refreshWindow();

    // Each box is erased just before its object moves and repainted by its draw, so an object never
    // meets its own box.
    for (auto& [colour, object] : objectRegistry_) {
        if (isBehindCamera(*object, cameraX)) object->deactivate();
        eraseBox(*object);
        if (!object->isActive()) continue;
        object->update();
        object->move(world);
        object->draw(*this);
    }

    int activeCount = 0;
    for (auto& [colour, runner] : playerRegistry_) {
        const bool wasActive = runner->isActive();
        if (isBehindCamera(*runner, cameraX) || hasLeftScreen(*runner)) runner->deactivate();
        eraseBox(*runner);
        if (!runner->isActive()) {
            if (wasActive && !runner->hasFinished()) recordedPlaySound(sound::kRunnerOut);
            continue;
        }
        ++activeCount;
        const bool leftOfMiddle = runner->x() < cameraX - runner->width() + kWindowWidth / 2;
        runner->setSpeedX(camera_->speedX() + (leftOfMiddle ? kCatchUpBonus : 0.0));
        runner->update();
        runner->move(world);
        noteRunnerEvents(*runner);
        runner->draw(*this);
        drawKeyPicture(*runner);
    }

    bool lost = false;
    if (activeCount == 0) {
        bool anyFinished = false;
        for (const auto& [colour, runner] : playerRegistry_)
            anyFinished = anyFinished || runner->hasFinished();
        if (anyFinished) {
            finished_ = true;
            camera_->setSpeedX(0.0);
        } else {
            lost = true;
        }
    }

    showWindow();
    flushRecording();
    return lost;
}

void Mapa::stillFrame() {
    refreshWindow();
    for (auto& [colour, object] : objectRegistry_) {
        if (object->isActive()) object->draw(*this);
    }
    for (auto& [colour, runner] : playerRegistry_) {
        if (!runner->isActive()) continue;
        runner->draw(*this);
        drawKeyPicture(*runner);
    }
    showWindow();
    flushRecording();
}
