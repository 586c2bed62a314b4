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

bool isBehindCamera(const Objeto& object, int cameraX) { return object.x + object.width < cameraX; }

bool hasLeftScreen(const Objeto& runner) {
    return runner.y < 0 || runner.y - runner.height > kStageHeight;
}

}  // namespace

void Mapa::refreshWindow() {
    const int cameraX = camera->x;
    recordedBlit(visual.get(), kStagePictureName, buffer.get(), kStageBufferName, cameraX, 0,
                 cameraX, 0, kWindowWidth, kStageHeight);
}

void Mapa::showWindow() {
    recordedBlit(buffer.get(), kStageBufferName, screen, kScreenName, camera->x, 0, 0, 0,
                 kWindowWidth, kStageHeight);
}

void Mapa::eraseBox(const Objeto& object) {
    const int top = object.y - object.height;
    blit(collision.get(), collisionWork.get(), object.x, top, object.x, top, object.width + 1,
         object.height + 1);
}

void Mapa::drawKeyPicture(const Runner& runner) {
    recordedDrawSprite(buffer.get(), kStageBufferName, runner.keyImage.get(), runner.keyName(),
                       runner.x - kKeyPictureLeft, runner.y - kKeyPictureUp);
}

void Mapa::noteRunnerEvents(Runner& runner) {
    if (runner.finished &&
        std::find(arrivals.begin(), arrivals.end(), runner.playerNumber) == arrivals.end()) {
        arrivals.push_back(runner.playerNumber);
        recordedPlaySound(sound::kFinish);
    }
    const int gravity = runner.gravity.load();
    if (gravity != runner.gravityLastFrame) {
        runner.gravityLastFrame = gravity;
        recordedPlaySound(sound::kFlip);
    }
}

bool Mapa::raceFrame() {
    collisionContext = {collisionWork.get(), this};
    camera->move();
    const int cameraX = camera->x;
    refreshWindow();

    // Each box is erased just before its object moves and repainted by its draw, so an object never
    // meets its own box.
    for (auto& [colour, object] : objectRegistry) {
        if (isBehindCamera(*object, cameraX)) object->active = false;
        eraseBox(*object);
        if (!object->active) continue;
        object->update();
        collisionContext.bitmap = collisionWork.get();
        object->move();
        object->draw(*this);
    }

    int activeCount = 0;
    for (auto& [colour, runner] : playerRegistry) {
        const bool wasActive = runner->active;
        if (isBehindCamera(*runner, cameraX) || hasLeftScreen(*runner)) runner->active = false;
        eraseBox(*runner);
        if (!runner->active) {
            if (wasActive && !runner->finished) recordedPlaySound(sound::kRunnerOut);
            continue;
        }
        ++activeCount;
        const bool leftOfMiddle = runner->x < cameraX - runner->width + kWindowWidth / 2;
        runner->speedX = camera->speedX + (leftOfMiddle ? kCatchUpBonus : 0.0);
        runner->update();
        collisionContext.bitmap = collisionWork.get();
        runner->move();
        noteRunnerEvents(*runner);
        runner->draw(*this);
        drawKeyPicture(*runner);
    }

    bool lost = false;
    if (activeCount == 0) {
        bool anyFinished = false;
        for (const auto& [colour, runner] : playerRegistry)
            anyFinished = anyFinished || runner->finished;
        if (anyFinished) {
            finished = true;
            camera->speedX = 0.0;
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
    for (auto& [colour, object] : objectRegistry) {
        if (object->active) object->draw(*this);
    }
    for (auto& [colour, runner] : playerRegistry) {
        if (!runner->active) continue;
        runner->draw(*this);
        drawKeyPicture(*runner);
    }
    showWindow();
    flushRecording();
}
