#include "stream/recorded_drawing.h"

#include "platform/graphics.h"
#include "platform/image_file.h"
#include "platform/sound_player.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"

namespace {

void record(std::string text) { GravadorTela::instance().addInstruction(std::move(text)); }

// Whether `screen` was drawn on since the window last showed it (set by the drawing thread).
bool screenChanged = true;

void noteTarget(const BITMAP* target) {
    if (target == screen) screenChanged = true;
}

}  // namespace

bool drawsLocally() { return !GravadorTela::instance().isRemote(); }

BitmapHandle recordedLoadBitmap(const std::string& name, const std::string& path,
                                LoadFailure onFailure) {
    BitmapHandle bitmap;
    if (drawsLocally()) {
        bitmap = onFailure == LoadFailure::kReport ? loadImageOrReport(path) : loadImageFile(path);
    }
    record(formatLoadBitmap(name, path));
    return bitmap;
}

BitmapHandle recordedCreateBitmap(const std::string& name, int width, int height) {
    BitmapHandle bitmap(drawsLocally() ? create_bitmap(width, height) : nullptr);
    record(formatCreateBitmap(name, width, height));
    return bitmap;
}

void recordedDestroyBitmap(const std::string& name, BitmapHandle bitmap) {
    bitmap.reset();
    record(formatDestroyBitmap(name));
}

void recordedDrawSprite(BITMAP* target, const std::string& targetName, BITMAP* sprite,
                        const std::string& spriteName, int x, int y) {
    if (target && sprite && drawsLocally()) {
        draw_sprite(target, sprite, x, y);
        noteTarget(target);
    }
    record(formatDrawSprite(targetName, spriteName, x, y));
}

void recordedDrawSpriteVFlip(BITMAP* target, const std::string& targetName, BITMAP* sprite,
                             const std::string& spriteName, int x, int y) {
    if (target && sprite && drawsLocally()) {
        draw_sprite_v_flip(target, sprite, x, y);
        noteTarget(target);
    }
    record(formatDrawSpriteVFlip(targetName, spriteName, x, y));
}

void recordedBlit(BITMAP* source, const std::string& sourceName, BITMAP* target,
                  const std::string& targetName, int sourceX, int sourceY, int targetX, int targetY,
                  int width, int height) {
    if (source && target && drawsLocally()) {
        blit(source, target, sourceX, sourceY, targetX, targetY, width, height);
        noteTarget(target);
    }
    record(formatBlit(sourceName, targetName, sourceX, sourceY, targetX, targetY, width, height));
}

void recordedPlaySound(const char* path) {
    if (drawsLocally()) playSound(path);
    record(formatPlaySound(path));
}

void recordedPlayMusic(const char* path) {
    if (drawsLocally()) playMusic(path);
    record(formatPlayMusic(path));
}

void recordedStopMusic() {
    if (drawsLocally()) stopMusic();
    record(formatStopMusic());
}

void flushRecording() {
    GravadorTela::instance().flush();
    if (drawsLocally() && (screenChanged || windowSwitchAsked())) {
        screenChanged = false;
        presentWindow();
    }
}
