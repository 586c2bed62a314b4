// The draw-and-record rule, in one place.
//
// Each helper performs one graphics call on local bitmaps when this process draws locally (the
// recorder's SessionMode is not RecordsOnly: local game or client) and, in every mode, records the
// same call with the process recorder under the given bitmap names. A server therefore only
// records: it loads and creates no picture bitmaps, and every local step is skipped for a null
// bitmap.
// Collision bitmaps are not drawn through here: their operations are always performed and never
// recorded.
#pragma once

#include <allegro.h>

#include <string>

#include "platform/bitmap_handle.h"

// True when this process shows its own picture (not a server).
bool drawsLocally();

// What a local load does when the file cannot be read: say so on the console (once per path,
// platform/file_problem.h), or stay silent for a caller that reports the failure its own way.
enum class LoadFailure { kReport, kSilent };

// The picture at `path` locally (empty in a server or when the file cannot be read, a failure being
// reported as `onFailure` says); records the load in every mode.
BitmapHandle recordedLoadBitmap(const std::string& name, const std::string& path,
                                LoadFailure onFailure = LoadFailure::kReport);
// create_bitmap(width, height) locally; records the creation. Empty in a server, and when the
// library has no memory for it: the record stands (clients make their own copy), and every helper
// here skips an empty bitmap, so the picture merely lacks it. A caller that cannot go on without
// the bitmap checks it.
BitmapHandle recordedCreateBitmap(const std::string& name, int width, int height);
// Destroys `bitmap` when there is one; records the destruction in every mode.
void recordedDestroyBitmap(const std::string& name, BitmapHandle bitmap);

void recordedDrawSprite(BITMAP* target, const std::string& targetName, BITMAP* sprite,
                        const std::string& spriteName, int x, int y);
void recordedDrawSpriteVFlip(BITMAP* target, const std::string& targetName, BITMAP* sprite,
                             const std::string& spriteName, int x, int y);
void recordedBlit(BITMAP* source, const std::string& sourceName, BITMAP* target,
                  const std::string& targetName, int sourceX, int sourceY, int targetX, int targetY,
                  int width, int height);

// The sounds follow the same rule: played here when this process draws, recorded in every mode
// (sound_player.h names them).
void recordedPlaySound(const char* path);
void recordedPlayMusic(const char* path);
void recordedStopMusic();

// Ends a frame (or the single drawing of a screen that then waits): flushes the recorder and,
// where this process draws, shows the finished picture on the window (graphics.h). The picture is
// shown only when something was drawn on `screen` since it was last shown (or when F11 asks for
// the other window): a flush after a wait that drew nothing shows the same picture again, which
// costs an enlargement of the whole picture for nothing.
void flushRecording();
