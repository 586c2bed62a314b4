// The sound kinds of the stream: what a receiver plays, what it refuses, and that a batch with
// sounds draws exactly what the same batch without them draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sound_player.h"
#include "stream/instruction_format.h"
#include "stream/interpreter.h"

namespace {

// The requests the sound player accepted while a batch ran, and what the batch printed.
struct Replayed {
    std::vector<std::string> requests;
    std::string console;
};

Replayed replay(ListaBitmaps& registry, const std::string& batch) {
    Replayed result;
    tapSoundsForTesting([&](const std::string& request) { result.requests.push_back(request); });
    ::testing::internal::CaptureStdout();
    executeBatch(registry, batch);
    result.console = ::testing::internal::GetCapturedStdout();
    tapSoundsForTesting(nullptr);
    return result;
}

}  // namespace

TEST(InterpreterSounds, KnownSoundsAndMusicArePlayedInOrder) {
    BITMAP* window = create_bitmap(8, 8);
    {
        ListaBitmaps registry(window);
        const Replayed r =
            replay(registry, formatPlayMusic(sound::kRaceMusic) + ";" +
                                 formatPlaySound(sound::kFlip) + ";" + formatStopMusic() + ";");
        EXPECT_EQ(r.requests, (std::vector<std::string>{"music Img/Som/musica_corrida.wav",
                                                        "sound Img/Som/virar.wav", "music off"}));
        EXPECT_EQ(r.console, "");
    }
    destroy_bitmap(window);
}

TEST(InterpreterSounds, UnsafeUnknownAndMalformedSoundsAreIgnoredWithoutAWord) {
    BITMAP* window = create_bitmap(8, 8);
    {
        ListaBitmaps registry(window);
        const std::string overlong = "Img/Som/" + std::string(60, 'a') + ".wav";
        for (const std::string& piece :
             {std::string("play_sound ../Img/Som/virar.wav"),
              std::string("play_sound /Img/Som/virar.wav"),
              std::string("play_sound Img/Som/../Som/virar.wav"),
              std::string("play_sound Som/virar.wav"),
              std::string("play_sound Img\\Som\\virar.wav"),
              std::string("play_sound Img/Som/nada.wav"),
              std::string("play_music Img/menu/pause.bmp"), "play_sound " + overlong,
              std::string("play_sound"), std::string("play_music")}) {
            const Replayed r = replay(registry, piece + ";");
            EXPECT_TRUE(r.requests.empty()) << piece;
            EXPECT_EQ(r.console, "") << piece;
        }
    }
    destroy_bitmap(window);
}

TEST(InterpreterSounds, SoundsAmongDrawingsChangeNothingThatIsDrawn) {
    // The drawings of a picture with and without sound pieces between them: the same pixels, and
    // a receiver that knows no sound kinds skips them like any unknown kind (silently).
    const std::string drawing[] = {"blit red screen 0 0 2 2 4 4", "draw_sprite screen red 7 5",
                                   "destroy_bitmap red", "blit red screen 0 0 0 0 4 4"};
    std::string plain, withSounds, withUnknown;
    for (const std::string& piece : drawing) {
        plain += piece + ";";
        withSounds += piece + ";" + formatPlaySound(sound::kFlip) + ";";
        withUnknown += piece + ";play_tune Img/Som/virar.wav;";
    }
    BITMAP* windows[3];
    std::string console[3];
    const std::string* batches[3] = {&plain, &withSounds, &withUnknown};
    for (int i = 0; i < 3; ++i) {
        windows[i] = create_bitmap(12, 12);
        clear_to_color(windows[i], makecol(0, 0, 255));
        ListaBitmaps registry(windows[i]);
        BITMAP* red = create_bitmap(4, 4);
        clear_to_color(red, makecol(255, 0, 0));
        registry.bind("red", BitmapHandle(red));
        const Replayed r = replay(registry, *batches[i]);
        console[i] = r.console;
        EXPECT_EQ(r.requests.size(), i == 1 ? 4u : 0u);
    }
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(console[i], console[0]);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(getpixel(windows[i], x, y), getpixel(windows[0], x, y)) << i;
    }
    for (BITMAP* window : windows) destroy_bitmap(window);
}
