#include "platform/sound_player.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/file_problem.h"
#include "platform/sample_handle.h"

const std::array<const char*, 10> kSoundCatalogue = {
    sound::kFlip,     sound::kCountdownStep, sound::kStart, sound::kRunnerOut, sound::kFinish,
    sound::kMenuMove, sound::kMenuChoose,    sound::kPause, sound::kMenuMusic, sound::kRaceMusic,
};

namespace {

constexpr int kVolume = 255;
constexpr int kCentre = 128;
constexpr int kNormalPitch = 1000;

struct SoundState {
    std::mutex lock;
    std::atomic<bool> installed{false};
    // The samples by name; an empty handle for a name that could not be loaded.
    std::map<std::string, SampleHandle> loaded;
    SAMPLE* music = nullptr;  // one of `loaded`'s, playing as the music loop
    std::string musicName;
    std::function<void(const std::string&)> tap;
    // The mute choice, flipped by the keyboard's own thread; it lasts for the process.
    std::atomic<bool> muted{false};
};

// Process-wide: the mute key reaches it from the graphics library's keyboard callback, which
// carries no context, and the play calls come from any screen, the race and the interpreter.
SoundState& state() {
    static SoundState instance;
    return instance;
}

// Under the lock: the sample of a known name, loaded on first use (null when it cannot be).
SAMPLE* sampleOf(SoundState& s, const std::string& path) {
    auto found = s.loaded.find(path);
    if (found != s.loaded.end()) return found->second.get();
    SampleHandle sample(load_sample(path.c_str()));
    if (!sample) reportFileProblem(FileKind::kSound, path);
    return s.loaded.emplace(path, std::move(sample)).first->second.get();
}

void applyMute(const SoundState& s) { set_volume(s.muted.load() ? 0 : kVolume, -1); }

void onKeyEvent(int scanCode) { handleSoundKey(scanCode); }
END_OF_FUNCTION(onKeyEvent)

// Runs `body` with the standard error stream pointed at /dev/null: the sound system's own
// libraries complain there about a missing device, and a machine without one says nothing.
template <typename Body>
auto withoutErrorOutput(Body body) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    if (saved >= 0 && nowhere >= 0) dup2(nowhere, STDERR_FILENO);
    auto result = body();
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (nowhere >= 0) close(nowhere);
    return result;
}

void tell(SoundState& s, const std::string& request) {
    if (s.tap) s.tap(request);
}

}  // namespace

bool isKnownSound(const std::string& path) {
    return std::any_of(kSoundCatalogue.begin(), kSoundCatalogue.end(),
                       [&](const char* name) { return path == name; });
}

void startSound(int digitalDriver) {
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    LOCK_FUNCTION(onKeyEvent);
    keyboard_lowlevel_callback = onKeyEvent;
    if (s.installed) return;
    s.installed =
        withoutErrorOutput([&] { return install_sound(digitalDriver, MIDI_NONE, nullptr) == 0; });
    if (s.installed) applyMute(s);
}

void stopSound() {
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    if (keyboard_lowlevel_callback == onKeyEvent) keyboard_lowlevel_callback = nullptr;
    if (s.music) stop_sample(s.music);
    s.music = nullptr;
    s.musicName.clear();
    s.loaded.clear();
    if (s.installed) remove_sound();
    s.installed = false;
}

void playSound(const std::string& path) {
    if (!isKnownSound(path)) return;
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    tell(s, "sound " + path);
    if (!s.installed || s.muted.load()) return;
    if (SAMPLE* sample = sampleOf(s, path)) play_sample(sample, kVolume, kCentre, kNormalPitch, 0);
}

void playMusic(const std::string& path) {
    if (!isKnownSound(path)) return;
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    tell(s, "music " + path);
    if (s.musicName == path) return;
    s.musicName = path;
    if (!s.installed) return;
    if (s.music) stop_sample(s.music);
    s.music = sampleOf(s, path);
    // Muted music still runs, silently, so that unmuting brings it back.
    if (s.music) play_sample(s.music, kVolume, kCentre, kNormalPitch, 1);
}

void stopMusic() {
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    tell(s, "music off");
    if (s.installed && s.music) stop_sample(s.music);
    s.music = nullptr;
    s.musicName.clear();
}

void handleSoundKey(int scanCode) {
    // A release carries the high bit: only the press of the mute key acts.
    if (scanCode == kMuteKey) toggleMute();
}

bool isMuted() { return state().muted.load(); }

void toggleMute() {
    SoundState& s = state();
    bool was = s.muted.load();
    while (!s.muted.compare_exchange_weak(was, !was)) {
    }
    if (s.installed) applyMute(s);
}

void tapSoundsForTesting(std::function<void(const std::string& request)> tap) {
    SoundState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    s.tap = std::move(tap);
}
