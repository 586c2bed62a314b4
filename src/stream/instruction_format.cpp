#include "stream/instruction_format.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>

namespace {

// printf into a buffer of kMaxInstructionLength + 1; "" when the text would not fit.
std::string formatChecked(const char* format, ...) {
    char buffer[kMaxInstructionLength + 1];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0 || static_cast<size_t>(length) > kMaxInstructionLength) return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

bool allValid(std::initializer_list<const std::string*> words) {
    for (const std::string* word : words) {
        if (!isValidInstructionWord(*word)) return false;
    }
    return true;
}

}  // namespace

bool isValidInstructionWord(const std::string& word) {
    return !word.empty() && word.size() <= kMaxFieldLength &&
           word.find_first_of(" \t\r\n\v\f;") == std::string::npos;
}

std::string formatLoadBitmap(std::string name, std::string path) {
    if (!allValid({&name, &path})) return std::string();
    return formatChecked("load_bitmap %s %s", name.c_str(), path.c_str());
}

std::string formatCreateBitmap(std::string name, int width, int height) {
    if (!allValid({&name})) return std::string();
    return formatChecked("create_bitmap %s %d %d", name.c_str(), width, height);
}

std::string formatDestroyBitmap(std::string name) {
    if (!allValid({&name})) return std::string();
    return formatChecked("destroy_bitmap %s", name.c_str());
}

std::string formatDrawSprite(std::string target, std::string sprite, int x, int y) {
    if (!allValid({&target, &sprite})) return std::string();
    return formatChecked("draw_sprite %s %s %d %d", target.c_str(), sprite.c_str(), x, y);
}

std::string formatDrawSpriteVFlip(std::string target, std::string sprite, int x, int y) {
    if (!allValid({&target, &sprite})) return std::string();
    return formatChecked("draw_sprite_v_flip %s %s %d %d", target.c_str(), sprite.c_str(), x, y);
}

std::string formatBlit(std::string source, std::string target, int sourceX, int sourceY,
                       int targetX, int targetY, int width, int height) {
    if (!allValid({&source, &target})) return std::string();
    return formatChecked("blit %s %s %d %d %d %d %d %d", source.c_str(), target.c_str(), sourceX,
                         sourceY, targetX, targetY, width, height);
}

std::string formatPlaySound(std::string path) {
    if (!allValid({&path})) return std::string();
    return formatChecked("play_sound %s", path.c_str());
}

std::string formatPlayMusic(std::string path) {
    if (!allValid({&path})) return std::string();
    return formatChecked("play_music %s", path.c_str());
}

std::string formatStopMusic() { return "stop_music"; }
