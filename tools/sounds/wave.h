// The sound generator's synthesis kit: square, triangle and noise voices with envelopes and pitch
// sweeps, mixed into one mono track and written as 16-bit PCM WAV, a format the game's sound
// library loads. Everything is a pure function of its arguments, so the same program always
// writes the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wave {

constexpr int kRate = 22050;

enum class Voice { Square, Triangle, Noise };

// One note: a voice from `fromHz` sliding to `toHz`, starting at `startS` for `lengthS` seconds,
// at `volume` (0 to 1), with a short attack and a linear fade to the end.
struct Note {
    Voice voice;
    double fromHz, toHz;
    double startS, lengthS;
    double volume;
};

// A track of `lengthS` seconds with the notes mixed in (clipped to the track).
std::vector<double> render(double lengthS, const std::vector<Note>& notes);

// Writes the track as 16-bit mono PCM WAV; false with a message on failure.
bool saveWav(const std::vector<double>& track, const std::string& path);

// The frequency of a note `semitones` above A4 (440 Hz); negative below.
double pitch(int semitones);

}  // namespace wave
