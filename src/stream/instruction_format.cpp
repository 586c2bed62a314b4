#include "stream/instruction_format.h"

#include <utility>

std::string formatLoadBitmap(std::string name, std::string path) {
    return formatInstruction(LoadBitmap{std::move(name), std::move(path)});
}

std::string formatCreateBitmap(std::string name, int width, int height) {
    return formatInstruction(CreateBitmap{std::move(name), width, height});
}

std::string formatDestroyBitmap(std::string name) {
    return formatInstruction(DestroyBitmap{std::move(name)});
}

std::string formatDrawSprite(std::string target, std::string sprite, int x, int y) {
    return formatInstruction(DrawSprite{std::move(target), std::move(sprite), x, y, false});
}

std::string formatDrawSpriteVFlip(std::string target, std::string sprite, int x, int y) {
    return formatInstruction(DrawSprite{std::move(target), std::move(sprite), x, y, true});
}

std::string formatBlit(std::string source, std::string target, int sourceX, int sourceY,
                       int targetX, int targetY, int width, int height) {
    return formatInstruction(Blit{std::move(source), std::move(target), sourceX, sourceY, targetX,
                                  targetY, width, height});
}

std::string formatPlaySound(std::string path) {
    return formatInstruction(PlaySound{std::move(path)});
}

std::string formatPlayMusic(std::string path) {
    return formatInstruction(PlayMusic{std::move(path)});
}

std::string formatStopMusic() { return formatInstruction(StopMusic{}); }
