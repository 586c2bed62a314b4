// Instruction: one piece of the drawing stream as a value, with typed fields.
//
// The stream's text form (instruction_text.h) is read into these and written from them; no other
// code spells the instruction words. The kinds, in the order of Instruction's alternatives:
//   the six drawing kinds: LoadBitmap, CreateBitmap, DestroyBitmap, DrawSprite (and its upside-down
//   form, `flipped`), Blit;
//   the sound kinds: PlaySound, PlayMusic, StopMusic;
//   the markers a server adds for its own clients: FrameMarker ("frame N T", frame_marker.h) and
//   PartStart ("part N").
#pragma once

#include <cstdint>
#include <string>
#include <variant>

struct LoadBitmap {
    std::string name;
    std::string path;
};

struct CreateBitmap {
    std::string name;
    int width = 0;
    int height = 0;
};

struct DestroyBitmap {
    std::string name;
};

struct DrawSprite {
    std::string target;
    std::string sprite;
    int x = 0;
    int y = 0;
    bool flipped = false;  // draw_sprite_v_flip: drawn upside down
};

struct Blit {
    std::string source;
    std::string target;
    int sourceX = 0, sourceY = 0;
    int targetX = 0, targetY = 0;
    int width = 0, height = 0;
};

struct PlaySound {
    std::string path;
};

struct PlayMusic {
    std::string path;
};

struct StopMusic {};

// Closes picture `frame` (counted from 1 over the server's life), flushed at `flushMs` on the
// server's monotonic clock.
struct FrameMarker {
    uint64_t frame = 0;
    int64_t flushMs = 0;
};

// Opens the `part`th answer of a compressed or framed fetch to one viewer.
struct PartStart {
    uint64_t part = 0;
};

using Instruction = std::variant<LoadBitmap, CreateBitmap, DestroyBitmap, DrawSprite, Blit,
                                 PlaySound, PlayMusic, StopMusic, FrameMarker, PartStart>;

// Whether `instruction` changes a receiver's table of named bitmaps (a load, a create or a
// destroy): a receiver must never miss one.
inline bool changesBitmapTable(const Instruction& instruction) {
    return std::holds_alternative<LoadBitmap>(instruction) ||
           std::holds_alternative<CreateBitmap>(instruction) ||
           std::holds_alternative<DestroyBitmap>(instruction);
}

// Whether `instruction` only draws (a sprite or a blit): on a picture nobody sees it changes
// nothing that lasts.
inline bool onlyDraws(const Instruction& instruction) {
    return std::holds_alternative<DrawSprite>(instruction) ||
           std::holds_alternative<Blit>(instruction);
}
