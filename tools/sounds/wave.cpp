#include "wave.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace wave {

namespace {

constexpr double kAttackS = 0.005;

// A 15-bit linear feedback shift register, the classic noise of sound chips: deterministic.
struct NoiseSource {
    uint16_t state = 0x4001;
    double next() {
        const uint16_t bit = ((state >> 0) ^ (state >> 1)) & 1;
        state = static_cast<uint16_t>((state >> 1) | (bit << 14));
        return (state & 1) ? 1.0 : -1.0;
    }
};

void mixNote(std::vector<double>& track, const Note& note) {
    const long first = std::lround(note.startS * kRate);
    const long count = std::lround(note.lengthS * kRate);
    double phase = 0.0;
    NoiseSource noise;
    double held = 0.0;
    for (long i = 0; i < count; ++i) {
        const long at = first + i;
        if (at < 0 || at >= static_cast<long>(track.size())) continue;
        const double t = static_cast<double>(i) / count;
        const double hz = note.fromHz + (note.toHz - note.fromHz) * t;
        const double previous = phase;
        phase = std::fmod(phase + hz / kRate, 1.0);
        double sample = 0.0;
        switch (note.voice) {
            case Voice::Square:
                sample = phase < 0.5 ? 1.0 : -1.0;
                break;
            case Voice::Triangle:
                sample = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
                break;
            case Voice::Noise:
                // A new random level at each cycle of the pitch: higher pitch, brighter noise.
                if (phase < previous || i == 0) held = noise.next();
                sample = held;
                break;
        }
        const double seconds = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, seconds / kAttackS);
        const double fade = 1.0 - t;
        track[at] += sample * note.volume * attack * fade;
    }
}

void put16(std::FILE* file, int value) {
    std::fputc(value & 0xff, file);
    std::fputc((value >> 8) & 0xff, file);
}

void put32(std::FILE* file, long value) {
    put16(file, static_cast<int>(value & 0xffff));
    put16(file, static_cast<int>((value >> 16) & 0xffff));
}

}  // namespace

std::vector<double> render(double lengthS, const std::vector<Note>& notes) {
    std::vector<double> track(static_cast<size_t>(std::lround(lengthS * kRate)), 0.0);
    for (const Note& note : notes) mixNote(track, note);
    return track;
}

bool saveWav(const std::vector<double>& track, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "nao foi possivel escrever %s\n", path.c_str());
        return false;
    }
    const long dataBytes = static_cast<long>(track.size()) * 2;
    std::fputs("RIFF", file);
    put32(file, 36 + dataBytes);
    std::fputs("WAVEfmt ", file);
    put32(file, 16);
    put16(file, 1);  // PCM
    put16(file, 1);  // mono
    put32(file, kRate);
    put32(file, kRate * 2L);
    put16(file, 2);
    put16(file, 16);
    std::fputs("data", file);
    put32(file, dataBytes);
    for (const double sample : track) {
        const double clipped = std::clamp(sample, -1.0, 1.0);
        put16(file, static_cast<int>(std::lround(clipped * 32000.0)));
    }
    const bool ok = std::fclose(file) == 0;
    if (!ok) std::fprintf(stderr, "nao foi possivel escrever %s\n", path.c_str());
    return ok;
}

double pitch(int semitones) { return 440.0 * std::pow(2.0, semitones / 12.0); }

}  // namespace wave
