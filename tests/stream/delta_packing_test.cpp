// Delta packing: every text comes back whole through a packer and an unpacker that read the same
// stream, a race picture deflates far smaller packed, and an unpacker refuses what no packer sends.
#include "stream/delta_packing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stream/deflate_stream.h"
#include "stream/frame_marker.h"
#include "stream/instruction_format.h"

namespace {

constexpr size_t kRoomy = 1u << 20;

// A race picture as the server records it: the stage scrolled, runners stepping on, a sprite sheet
// cut now and then, the frame marker.
std::string racePicture(int n) {
    std::string text = formatBlit("mapaVisual", "bufferVisual", 10 * n, 0, 10 * n, 0, 640, 480);
    for (int runner = 1; runner <= 6; ++runner) {
        const std::string sprite = "bitmap" + std::to_string(runner);
        if ((n + runner) % 3 == 0) {
            text += ";" + formatBlit("bitmapBase" + std::to_string(runner), sprite,
                                     42 * ((n + runner) % 4), 0, 0, 0, 42, 47);
        }
        text += ";" + formatDrawSprite("bufferVisual", sprite, 10 * n + 300, 150 + 48 * runner);
    }
    text += ";" + formatBlit("bufferVisual", "screen", 10 * n, 0, 0, 0, 640, 480);
    return text + ";" + formatFrameMarker({static_cast<uint64_t>(n), 1000 + 35 * n}) + ";";
}

void expectRoundTrip(const std::vector<std::string>& texts) {
    DeltaPacker packer;
    DeltaUnpacker unpacker;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::optional<std::string> back = unpacker.unpack(packer.pack(texts[i]), kRoomy);
        ASSERT_TRUE(back) << i << ": " << texts[i];
        ASSERT_EQ(texts[i], *back) << i;
    }
}

TEST(DeltaPacking, ARaceComesBackWholeAndDeflatesToUnderHalfOfThePlainStream) {
    std::vector<std::string> answers;
    for (int n = 1; n <= 300; ++n) {
        std::string answer = formatPartHeader(n) + ";" + racePicture(n);
        if (n % 50 == 0) answer += formatDestroyBitmap("bitmap" + std::to_string(n)) + ";";
        answers.push_back(answer);
    }
    expectRoundTrip(answers);

    DeltaPacker packer;
    Deflater packedStream, plainStream;
    size_t packed = 0, plain = 0;
    for (const std::string& answer : answers) {
        packed += packedStream.deflate(packer.pack(answer)).size();
        plain += plainStream.deflate(answer).size();
    }
    EXPECT_LT(packed * 2, plain) << packed << " against " << plain;
}

TEST(DeltaPacking, TextsOfEveryShapeComeBackWhole) {
    expectRoundTrip({
        "",
        ";;",
        "#note 5;##twice 6;#;# 7;blit a b 1 2;blit a b 1 2",  // "#" starts: sent as they are
        "blit a b 1 2;blit a b 3 4;blit a b 3 4;",            // repeated within one text
        "blit a b 1 2 3;blit a b 7",                          // the count changes
        "blit a b -0 007 5;blit a b -0 007 6;x 0;x -1;x 1",   // not plain: part of the key
        "x 999999999999999;x -999999999999999;x 1000000000000000;x 1000000000000000",
        "edge  5;edge  5 ;edge 5  6; 5;5;-5 5",  // doubled and leading blanks, no key
        "many 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18;many 1 2 3 4 5 6 7 8 9 10 11 12 13 "
        "14 15 16 17 19",
        "x " + std::string(300, '1') + ";x " + std::string(300, '1'),  // too long to count
        "blit a b 1 2;blit a b 1 2 ;\nblit a b 1 2\n",
    });
}

TEST(DeltaPacking, BothEndsForgetTogetherWhenTheirMemoryIsFull) {
    std::vector<std::string> texts;
    for (size_t n = 0; n < 3 * NumberMemory::kMaxKeys; n += 7) {
        std::string text;
        for (size_t key = n; key < n + 40; ++key) {
            text += "draw_sprite buffer sprite" + std::to_string(key % 700) + " " +
                    std::to_string(n) + " 5;";
        }
        texts.push_back(text);
    }
    expectRoundTrip(texts);
}

TEST(DeltaPacking, AnUnpackerRefusesWhatNoPackerSendsAndStaysRefusingUntilReset) {
    const std::vector<std::string> refused = {
        "#blit a b +1,",                  // a key never seen
        "#blit a 1,2",                    // a key never seen
        "blit a b 1 2;#blit a b +1",      // one difference for two numbers
        "blit a b 1 2;#blit a b +1,+1,",  // three for two
        "blit a b 1 2;#blit a b +0,",     // a zero is written as nothing
        "blit a b 1 2;#blit a b 1,",      // no sign
        "blit a b 1 2;#blit a b +01,",
        "blit a b 1 2;#blit a b +,",
        "blit a b 1 2;#blit a b",   // no blank before the differences: the key "blit a" is unknown
        "x 999999999999999;#x +1",  // past fifteen digits
        "x -999999999999999;#x -999999999999999",  // and below
    };
    for (const std::string& packed : refused) {
        DeltaUnpacker unpacker;
        EXPECT_FALSE(unpacker.unpack(packed, kRoomy)) << packed;
        EXPECT_FALSE(unpacker.unpack("blit a b 1 2", kRoomy)) << "read on after " << packed;
        unpacker.reset();
        EXPECT_EQ("blit a b 1 2", unpacker.unpack("blit a b 1 2", kRoomy).value_or("?"));
    }
}

TEST(DeltaPacking, AnUnpackerStopsAtItsLimitHoweverSmallThePackedText) {
    DeltaUnpacker unpacker;
    std::string packed = "k 100000000000000 100000000000000 100000000000000 100000000000000";
    std::string repeats;
    for (int i = 0; i < 10000; ++i) repeats += ";#k ,,,";  // 7 bytes for 66 each
    packed += repeats;
    EXPECT_TRUE(unpacker.unpack(packed, 1u << 20));
    EXPECT_FALSE(unpacker.unpack(repeats, 100000));
}

}  // namespace
