// gerar_sons: writes every sound the game plays, deterministically, as WAV files.
//
// Usage: gerar_sons OUTPUT_SOUND_DIR (the build's Img/Som/)
// Eight short effects and two music loops whose ends meet, so that a loop repeats without a click.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "wave.h"

namespace {

using wave::Note;
using wave::pitch;
using wave::Voice;

struct Effect {
    const char* file;
    double lengthS;
    std::vector<Note> notes;
};

std::vector<Effect> effects() {
    return {
        {"virar.wav", 0.1, {{Voice::Triangle, 380, 950, 0, 0.1, 0.6}}},
        {"contagem.wav", 0.14, {{Voice::Square, pitch(3), pitch(3), 0, 0.14, 0.35}}},
        {"largada.wav",
         0.45,
         {{Voice::Square, pitch(15), pitch(15), 0, 0.45, 0.35},
          {Voice::Triangle, pitch(3), pitch(3), 0, 0.45, 0.4}}},
        {"fora.wav",
         0.45,
         {{Voice::Square, 520, 110, 0, 0.45, 0.3}, {Voice::Noise, 900, 300, 0, 0.3, 0.25}}},
        {"chegada.wav",
         0.6,
         {{Voice::Triangle, pitch(3), pitch(3), 0, 0.15, 0.5},
          {Voice::Triangle, pitch(7), pitch(7), 0.12, 0.15, 0.5},
          {Voice::Triangle, pitch(10), pitch(10), 0.24, 0.15, 0.5},
          {Voice::Square, pitch(15), pitch(15), 0.36, 0.24, 0.3}}},
        {"menu_mover.wav", 0.05, {{Voice::Square, pitch(10), pitch(12), 0, 0.05, 0.25}}},
        {"menu_escolher.wav",
         0.16,
         {{Voice::Square, pitch(7), pitch(7), 0, 0.07, 0.3},
          {Voice::Square, pitch(14), pitch(14), 0.07, 0.09, 0.3}}},
        {"pausa.wav",
         0.24,
         {{Voice::Triangle, pitch(5), pitch(5), 0, 0.1, 0.5},
          {Voice::Triangle, pitch(0), pitch(0), 0.1, 0.14, 0.5}}},
    };
}

// A loop of `bars` bars of four beats: a bass line, a melody and, when `drums`, a noise hat on
// every off-beat. The notes are semitones from A4; 99 is a rest.
std::vector<double> musicLoop(double beatS, const std::vector<int>& bass,
                              const std::vector<int>& melody, bool drums) {
    std::vector<Note> notes;
    for (size_t i = 0; i < bass.size(); ++i) {
        const double hz = pitch(bass[i]);
        notes.push_back({Voice::Triangle, hz, hz, i * beatS, beatS * 0.95, 0.45});
    }
    const double step = beatS / 2;
    for (size_t i = 0; i < melody.size(); ++i) {
        if (melody[i] == 99) continue;
        const double hz = pitch(melody[i]);
        notes.push_back({Voice::Square, hz, hz, i * step, step * 0.9, 0.12});
    }
    if (drums) {
        for (size_t i = 0; i < bass.size(); ++i) {
            notes.push_back({Voice::Noise, 8000, 8000, i * beatS + beatS / 2, 0.04, 0.12});
        }
    }
    return wave::render(bass.size() * beatS, notes);
}

std::vector<double> menuMusic() {
    const std::vector<int> bass = {-24, -24, -17, -17, -22, -22, -15, -15,
                                   -19, -19, -12, -12, -17, -17, -10, -10};
    const std::vector<int> melody = {3, 99, 7, 10, 7, 99, 3, 5, 7, 99, 10, 12, 10, 99, 7,  5,
                                     3, 99, 5, 7,  5, 99, 2, 3, 5, 99, 7,  5,  3,  99, 99, 99};
    return musicLoop(0.5, bass, melody, false);
}

std::vector<double> raceMusic() {
    const std::vector<int> bass = {-21, -9, -21, -9, -21, -9, -21, -9,
                                   -17, -5, -17, -5, -19, -7, -19, -7};
    const std::vector<int> melody = {12, 15, 19, 15, 12, 15, 19, 22, 20, 19, 15,
                                     12, 15, 99, 12, 10, 8,  12, 15, 12, 8,  12,
                                     15, 20, 19, 15, 14, 10, 14, 99, 15, 99};
    return musicLoop(0.3, bass, melody, true);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s PASTA_SAIDA_SONS\n", argv[0]);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    std::error_code error;
    std::filesystem::create_directories(output, error);
    if (error) {
        std::fprintf(stderr, "nao foi possivel criar %s: %s\n", output.c_str(),
                     error.message().c_str());
        return 1;
    }
    bool ok = true;
    for (const Effect& effect : effects()) {
        ok = ok && wave::saveWav(wave::render(effect.lengthS, effect.notes),
                                 (output / effect.file).string());
    }
    ok = ok && wave::saveWav(menuMusic(), (output / "musica_menu.wav").string()) &&
         wave::saveWav(raceMusic(), (output / "musica_corrida.wav").string());
    if (!ok) std::fprintf(stderr, "os sons do jogo nao foram todos gerados em %s\n", argv[1]);
    return ok ? 0 : 1;
}
