// The sound player without a device (as on CI): names outside the catalogue are refused, the
// music keeps one loop, the mute choice flips and stays, and every generated file loads.
#include "platform/sound_player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/image_checks.h"
#include "world/flip_keys.h"

namespace {

std::vector<std::string> requestsOf(void (*play)()) {
    std::vector<std::string> requests;
    tapSoundsForTesting([&](const std::string& request) { requests.push_back(request); });
    play();
    tapSoundsForTesting(nullptr);
    return requests;
}

}  // namespace

TEST(SoundPlayer, WithoutADeviceOnlyCatalogueNamesAreTakenAndNothingFails) {
    const std::vector<std::string> requests = requestsOf([] {
        playSound("Img/Som/virar.wav");
        playSound("Img/Som/outro.wav");
        playSound("Img/menu/pause.bmp");
        playMusic(sound::kMenuMusic);
        playMusic("Img/Som/musica_outra.wav");
        stopMusic();
    });
    EXPECT_EQ(requests, (std::vector<std::string>{"sound Img/Som/virar.wav",
                                                  "music Img/Som/musica_menu.wav", "music off"}));
}

TEST(SoundPlayer, APressOfTheMuteKeyFlipsTheChoiceWhichStays) {
    const bool before = isMuted();
    handleSoundKey(kMuteKey);
    EXPECT_NE(isMuted(), before);
    handleSoundKey(kMuteKey | 0x80);  // its release
    handleSoundKey(KEY_P);
    handleSoundKey(KEY_M);
    playSound(sound::kFlip);  // a muted play is a quiet no-op and changes nothing
    EXPECT_NE(isMuted(), before);
    handleSoundKey(kMuteKey);
    EXPECT_EQ(isMuted(), before);
}

TEST(SoundPlayer, TheMuteKeyIsNoFlipKeyNorAnyOtherKeyOfTheGame) {
    for (int player = 1; player <= 6; ++player) {
        EXPECT_NE(flipKeysOf(player).key, kMuteKey) << player;
        EXPECT_NE(flipKeysOf(player).alternativeKey, kMuteKey) << player;
    }
    for (int other : {KEY_P, KEY_F10, KEY_ESC, KEY_ENTER, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT}) {
        EXPECT_NE(other, kMuteKey);
    }
}

TEST(SoundPlayer, EveryGeneratedSoundLoadsAndTheMusicLoopsLastSeconds) {
    for (const char* name : kSoundCatalogue) {
        SCOPED_TRACE(name);
        const std::string path = std::string(TEST_IMG_ROOT) + "/" + name;
        SAMPLE* sample = load_sample(path.c_str());
        ASSERT_NE(sample, nullptr);
        EXPECT_EQ(sample->bits, 16);
        EXPECT_EQ(sample->freq, 22050);
        const double seconds = static_cast<double>(sample->len) / sample->freq;
        const bool music = std::string(name).find("musica_") != std::string::npos;
        if (music) {
            EXPECT_GE(seconds, 4.0);
        } else {
            EXPECT_GT(seconds, 0.03);
            EXPECT_LT(seconds, 1.0);
        }
        // Not silence: some sample is far from the centre line.
        int loudest = 0;
        const auto* data = static_cast<const uint16_t*>(sample->data);
        for (unsigned long i = 0; i < sample->len; ++i) {
            loudest = std::max(loudest, std::abs(static_cast<int>(data[i]) - 32768));
        }
        EXPECT_GT(loudest, 5000);
        destroy_sample(sample);
    }
}
