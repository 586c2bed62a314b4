// The drawing-instruction text: one line per drawing call, naming bitmaps, image paths and
// integers, e.g. "blit bg_integrantes buffer_integrantes 0 0 0 0 640 480".
//
// Limits both ends rely on: an instruction has at most kMaxInstructionLength characters and every
// field (the kind word included) at most kMaxFieldLength. A name or path is a non-empty word
// without blanks or ";". A formatter never produces a malformed instruction: when a field breaks
// these rules, or the text would be too long, it returns the empty text instead, which the
// recorder does not record.
#pragma once

#include <string>

constexpr size_t kMaxInstructionLength = 99;
constexpr size_t kMaxFieldLength = 51;

// Whether `word` can stand as one field of an instruction (non-empty, short enough, no blank,
// tab, line end or ";").
bool isValidInstructionWord(const std::string& word);

std::string formatLoadBitmap(std::string name, std::string path);
std::string formatCreateBitmap(std::string name, int width, int height);
std::string formatDestroyBitmap(std::string name);
std::string formatDrawSprite(std::string target, std::string sprite, int x, int y);
std::string formatDrawSpriteVFlip(std::string target, std::string sprite, int x, int y);
std::string formatBlit(std::string source, std::string target, int sourceX, int sourceY,
                       int targetX, int targetY, int width, int height);

// The sound kinds, added after the six drawing kinds (a receiver that does not know them skips
// them): "play_sound PATH" an effect, "play_music PATH" a music loop, "stop_music".
std::string formatPlaySound(std::string path);
std::string formatPlayMusic(std::string path);
std::string formatStopMusic();
