// One compressed stream per viewer: answers come back whole in order, a queue that starts afresh
// starts its stream afresh, and an inflater refuses what is not its stream's continuation or
// inflates past its limit.
#include "stream/deflate_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "stream/frame_marker.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "support/frame_markers.h"
#include "support/recording_server.h"

namespace {

std::string picture(int n) {
    return formatBlit("fundo", "screen", n % 40, 0, 0, 0, 640, 480) + ";" +
           formatDrawSprite("screen", "player1a", 100 + n % 300, 380) + ";";
}

TEST(DeflateStream, AnswersInflateWholeInOrderAndFarSmallerThanAlone) {
    Deflater deflater;
    Inflater inflater;
    size_t plain = 0, deflated = 0;
    for (int n = 0; n < 300; ++n) {
        const std::string text = formatPartHeader(n + 1) + ";" + picture(n) + picture(n + 1);
        const std::string bytes = deflater.deflate(text);
        plain += text.size();
        deflated += bytes.size();
        const std::optional<std::string> back = inflater.inflate(bytes);
        ASSERT_TRUE(back) << n;
        ASSERT_EQ(text, *back) << n;
    }
    EXPECT_LT(deflated * 4, plain) << deflated << " of " << plain;
}

TEST(DeflateStream, AnInflaterRefusesGarbageABombAndAStreamItDidNotStart) {
    Inflater garbage;
    EXPECT_FALSE(garbage.inflate(std::string("part 1;blit a b 0 0 0 0 1 1;")));
    EXPECT_FALSE(garbage.inflate(std::string("\x78\x9c", 2)));  // stays broken

    Deflater bomb;
    const std::string zeros(Inflater::kMaxAnswerBytes + 1, '0');
    Inflater limited;
    EXPECT_FALSE(limited.inflate(bomb.deflate(zeros)));

    // The second answer of a stream, to an inflater that never saw the first.
    Deflater stream;
    stream.deflate(std::string(5000, 'a') + picture(1));
    Inflater late;
    EXPECT_FALSE(late.inflate(stream.deflate(picture(2))));
    late.reset();
    Deflater fresh;
    EXPECT_EQ(picture(3), late.inflate(fresh.deflate(picture(3))).value_or(""));
}

TEST(DeflatedFrames, AViewersQueueStartingAfreshStartsItsStreamAfresh) {
    RecordingServer recorder(2);
    const auto drawPictures = [&](int count) {
        for (int n = 0; n < count; ++n) {
            recorder.addInstruction(picture(n));
            recorder.flush();
        }
    };
    drawPictures(3);
    Inflater inflater;
    uint64_t part = 0;
    std::optional<std::string> text = inflater.inflate(recorder.takeDeflatedFrames(1, 0, part));
    ASSERT_TRUE(text);
    EXPECT_EQ(1u, part);
    EXPECT_EQ(0u, text->find("part 1;"));
    EXPECT_EQ(3u, frameMarkersIn(*text).size());
    drawPictures(2);
    text = inflater.inflate(recorder.takeDeflatedFrames(1, 0, part));
    ASSERT_TRUE(text);
    EXPECT_EQ(2u, part);
    EXPECT_EQ(0u, text->find("part 2;"));

    // Nothing waits: no bytes, no part.
    EXPECT_EQ("", recorder.takeDeflatedFrames(1, 0, part));
    EXPECT_EQ(0u, part);

    // A new holder of number 1: part 1 again, in a new stream.
    recorder.restartQueue(1);
    drawPictures(1);
    const std::string bytes = recorder.takeDeflatedFrames(1, 0, part);
    EXPECT_EQ(1u, part);
    Inflater newcomer;
    text = newcomer.inflate(bytes);
    ASSERT_TRUE(text);
    EXPECT_EQ(0u, text->find("part 1;"));
    // Another viewer's stream is its own.
    Inflater second;
    text = second.inflate(recorder.takeDeflatedFrames(2, 0, part));
    ASSERT_TRUE(text);
    EXPECT_EQ(1u, part);
}

}  // namespace
