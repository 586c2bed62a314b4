// The drawing code's writers of instruction texts, one per kind: each builds the Instruction and
// writes it with formatInstruction (instruction_text.h), so a field that breaks the language's
// rules, or a text that would be too long, gives the empty text, which the recorder does not
// record.
#pragma once

#include <string>

#include "stream/instruction_text.h"

std::string formatLoadBitmap(std::string name, std::string path);
std::string formatCreateBitmap(std::string name, int width, int height);
std::string formatDestroyBitmap(std::string name);
std::string formatDrawSprite(std::string target, std::string sprite, int x, int y);
std::string formatDrawSpriteVFlip(std::string target, std::string sprite, int x, int y);
std::string formatBlit(std::string source, std::string target, int sourceX, int sourceY,
                       int targetX, int targetY, int width, int height);

// The sound kinds, added after the six drawing kinds (a receiver that does not know them skips
// them): an effect, a music loop, and the end of the music.
std::string formatPlaySound(std::string path);
std::string formatPlayMusic(std::string path);
std::string formatStopMusic();
