// The game's sounds: short effects and two music loops, played through the graphics library's
// digital sound.
//
// Sounds are named by their path under the image folder ("Img/Som/virar.wav"), the way pictures
// are, because the same names travel in the drawing stream. Only the names of kSoundCatalogue are
// played; any other name is ignored. Files are loaded on first use and kept until stopSound.
//
// A machine without a sound device (no card, a test display, a server without a screen) starts
// nothing, says nothing, and every play call is a no-op. The mute key (kMuteKey, S) flips between
// silent and audible at any moment while the keyboard runs, and the choice lasts for the process.
//
// Threads: any thread may call the play functions; one lock guards the loaded sounds.
#pragma once

#include <allegro.h>

#include <array>
#include <functional>
#include <string>

namespace sound {
inline const char* const kFlip = "Img/Som/virar.wav";
inline const char* const kCountdownStep = "Img/Som/contagem.wav";
inline const char* const kStart = "Img/Som/largada.wav";
inline const char* const kRunnerOut = "Img/Som/fora.wav";
inline const char* const kFinish = "Img/Som/chegada.wav";
inline const char* const kMenuMove = "Img/Som/menu_mover.wav";
inline const char* const kMenuChoose = "Img/Som/menu_escolher.wav";
inline const char* const kPause = "Img/Som/pausa.wav";
inline const char* const kMenuMusic = "Img/Som/musica_menu.wav";
inline const char* const kRaceMusic = "Img/Som/musica_corrida.wav";
}  // namespace sound

// Every sound the game knows, in the order the generator writes them.
extern const std::array<const char*, 10> kSoundCatalogue;

// Whether `path` is one of the catalogue's names.
bool isKnownSound(const std::string& path);

constexpr int kMuteKey = KEY_S;

// Installs the digital sound (the first device found, or the given Allegro driver) and the mute
// key's handler (after the keyboard); silent on failure. A sound file that cannot be loaded when
// it is first played is reported on the console (platform/file_problem.h) and stays silent.
void startSound(int digitalDriver = DIGI_AUTODETECT);
// Stops the music, releases the loaded sounds and removes the sound driver.
void stopSound();

// An effect, once. Unknown names and an absent device: nothing.
void playSound(const std::string& path);
// A music loop; the loop already playing under the same name goes on, another one is replaced.
void playMusic(const std::string& path);
void stopMusic();

bool isMuted();
// Flips the mute choice.
void toggleMute();
// What the keyboard's own thread calls for every key event (Allegro's low-level scan code, with
// 0x80 added for a release): the press of kMuteKey flips the mute choice, nothing else does.
void handleSoundKey(int scanCode);

// Tests: `tap` sees each accepted request ("sound PATH", "music PATH", "music off") whether or
// not a device plays it. Empty removes it.
void tapSoundsForTesting(std::function<void(const std::string& request)> tap);
