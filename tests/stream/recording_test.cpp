// Recording files written and read back (whole, cut short, broken), and a recording played with
// jumps: a jump gives the same window and bitmap names as playing straight to that moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/recording_file.h"
#include "stream/recording_player.h"
#include "stream/recording_subscriber.h"
#include "world/world_fixture.h"

namespace {

namespace fs = std::filesystem;

// Each test in a folder of its own: ctest runs them as parallel processes.
class RecordingFiles : public ::testing::Test {
  protected:
    RecordingFiles() {
        dir = std::string("recording_files_") +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~RecordingFiles() override { fs::remove_all(dir); }

    std::string dir;
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string pictureText(int n) {
    return formatBlit("fundo", "screen", n, 0, 0, 0, 640, 480) + ";" +
           formatFrameMarker({static_cast<uint64_t>(n), 1000 + 16LL * n}) + ";";
}

TEST_F(RecordingFiles, PicturesComeBackWholeAndACutFileUpToItsLastWholePicture) {
    const std::string path = dir + "/match.gz";
    std::string error;
    {
        auto writer = RecordingWriter::open(path, error);
        ASSERT_TRUE(writer) << error;
        writer->add(1000, formatLoadBitmap("fundo", "Img/fundo.bmp") + ";");
        for (int n = 1; n <= 400; ++n) writer->add(1000 + 16 * n, pictureText(n));
        writer->add(9000, "blit a screen 0 0 0 0 1 1;\nlinha falsa;");  // a hostile line break
    }
    std::optional<Recording> read = readRecordingFile(path, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ("", read->problem);
    ASSERT_EQ(402u, read->pictures.size());
    EXPECT_TRUE(read->pictures[0].changesBitmaps);
    EXPECT_FALSE(read->pictures[1].changesBitmaps);
    EXPECT_EQ(1000 + 16 * 7, read->pictures[7].ms);
    EXPECT_EQ(pictureText(7), read->pictures[7].text);
    EXPECT_EQ("blit a screen 0 0 0 0 1 1; linha falsa;", read->pictures[401].text);

    // Cut anywhere (a crash, a full disk): whatever comes back is the recording's beginning.
    const std::string whole = bytesOf(path);
    for (const size_t keep : {whole.size() / 2, whole.size() - 3, size_t(40)}) {
        writeBytes(dir + "/cut.gz", whole.substr(0, keep));
        std::optional<Recording> cut = readRecordingFile(dir + "/cut.gz", error);
        ASSERT_TRUE(cut) << keep << ": " << error;
        EXPECT_NE("", cut->problem) << keep;
        ASSERT_LE(cut->pictures.size(), read->pictures.size());
        if (keep == whole.size() / 2) {
            EXPECT_LT(cut->pictures.size(), 300u);
        }
        for (size_t i = 0; i < cut->pictures.size(); ++i) {
            ASSERT_EQ(read->pictures[i].text, cut->pictures[i].text) << keep << " at " << i;
        }
    }
}

TEST_F(RecordingFiles, AFileThatIsNoRecordingIsRefusedAndABrokenLineEndsThePlaying) {
    std::string error;
    writeBytes(dir + "/other.txt", "not a recording\n1 blit;\n");
    EXPECT_FALSE(readRecordingFile(dir + "/other.txt", error));
    EXPECT_NE(std::string::npos, error.find("nao e uma gravacao")) << error;
    EXPECT_FALSE(readRecordingFile(dir + "/missing.gz", error));
    EXPECT_NE(std::string::npos, error.find("missing.gz")) << error;

    // Plain text reads too; the reading stops at the first line it cannot read.
    writeBytes(dir + "/broken.txt", std::string(kRecordingHeader) +
                                        "\n10 blit a screen 0 0 0 0 1 1;\n20 x;\n-5 y;\n30 z;\n");
    std::optional<Recording> broken = readRecordingFile(dir + "/broken.txt", error);
    ASSERT_TRUE(broken) << error;
    EXPECT_EQ(2u, broken->pictures.size());
    EXPECT_EQ("linha 4 ilegivel", broken->problem);
    const Recording huge =
        parseRecording(std::string(kRecordingHeader) + "\n" + "99999999999999999999 x;\n");
    EXPECT_TRUE(huge.pictures.empty());
    EXPECT_NE("", huge.problem);
}

TEST_F(RecordingFiles, TheAskedRecordingOpensOnlyWhereAFileCanBeWrittenAndSaysWhyNot) {
    std::unique_ptr<RecordingWriter> writer;
    EXPECT_TRUE(openAskedRecording("", writer));  // none asked for
    EXPECT_FALSE(writer);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(openAskedRecording(dir + "/no/such/folder/match.gz", writer));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(writer);
    EXPECT_EQ(0u, said.find("A partida nao sera gravada: ")) << said;
    EXPECT_NE(std::string::npos, said.find("match.gz")) << said;
    EXPECT_TRUE(openAskedRecording(dir + "/match.gz", writer));
    EXPECT_TRUE(writer);
}

TEST_F(RecordingFiles, ARecorderWithTheFileSubscribedWritesAPictureALineWithItsMarker) {
    const std::string path = dir + "/local.gz";
    std::string error;
    {
        auto writer = RecordingWriter::open(path, error);
        ASSERT_TRUE(writer) << error;
        RecordingSubscriber subscriber(*writer);
        GravadorTela recorder;  // draws locally, as the local game's does
        recorder.subscribe(subscriber);
        // Six instructions make two batches of one picture; then a picture of one.
        for (int i = 0; i < 6; ++i)
            recorder.addInstruction(formatDestroyBitmap("n" + std::to_string(i)));
        recorder.flush();
        recorder.addInstruction(formatBlit("a", "screen", 0, 0, 0, 0, 1, 1));
        recorder.flush();
        recorder.unsubscribe(subscriber);
    }
    std::optional<Recording> read = readRecordingFile(path, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(2u, read->pictures.size());
    EXPECT_EQ(0u, read->pictures[0].text.find("destroy_bitmap n0;")) << read->pictures[0].text;
    EXPECT_NE(std::string::npos, read->pictures[0].text.find("destroy_bitmap n5;frame 1 "));
    EXPECT_TRUE(read->pictures[0].changesBitmaps);
    EXPECT_NE(std::string::npos, read->pictures[1].text.find(";frame 2 "))
        << read->pictures[1].text;
    EXPECT_LE(read->pictures[0].ms, read->pictures[1].ms);
}

// The display lost: the file is closed while another thread still adds pictures. It reads whole,
// holds the pictures added before the close in order, and nothing added later spoils it.
TEST_F(RecordingFiles, AFileFinishedAtOnceWhileStillRecordingReadsWholeToItsEnd) {
    const std::string path = dir + "/lost.gz";
    std::string error;
    auto writer = RecordingWriter::open(path, error);
    ASSERT_TRUE(writer) << error;
    std::atomic<int> added{0};
    std::thread recording([&] {
        for (int n = 1; n <= 3000; ++n) {
            writer->add(16 * n, pictureText(n));
            added = n;
        }
    });
    while (added.load() < 200) std::this_thread::yield();
    writer->finishNow();
    const int addedBeforeFinish = std::min(added.load(), 200);
    const std::string atFinish = bytesOf(path);
    recording.join();
    writer->finishNow();  // a second time changes nothing
    writer.reset();       // nor does the writer's own end
    EXPECT_EQ(atFinish, bytesOf(path));

    std::optional<Recording> read = readRecordingFile(path, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ("", read->problem);  // the compressed stream ends properly: not cut short
    ASSERT_GE(read->pictures.size(), static_cast<size_t>(addedBeforeFinish));
    // The first ones one by one; after them a full queue may have dropped some, never reordered.
    int n = 0;
    for (size_t i = 0; i < read->pictures.size(); ++i) {
        do {
            ++n;
        } while (i >= static_cast<size_t>(addedBeforeFinish) && n < 3000 &&
                 pictureText(n) != read->pictures[i].text);
        ASSERT_EQ(pictureText(n), read->pictures[i].text) << i;
    }
}

// A recording whose bitmap table changes as it goes: a background bound from the start, a sprite
// that comes, goes and comes back as another picture. Every picture draws the whole window.
Recording changingRecording() {
    const std::string dir = "Img/recording_test";
    fs::create_directories(dir);
    const auto image = [&](const char* name, int colour, int w, int h) {
        BITMAP* bitmap = create_bitmap(w, h);
        clear_to_color(bitmap, colour);
        save_bitmap((dir + "/" + name).c_str(), bitmap, nullptr);
        destroy_bitmap(bitmap);
        return dir + "/" + name;
    };
    const std::string background = image("fundo.bmp", makecol(20, 90, 200), 640, 480);
    const std::string red = image("red.bmp", makecol(255, 0, 0), 40, 30);
    const std::string green = image("green.bmp", makecol(0, 255, 0), 20, 50);
    Recording recording;
    const auto add = [&](int64_t ms, std::string text) {
        RecordedPicture picture{ms, text, false};
        picture.changesBitmaps = text.find("_bitmap") != std::string::npos;
        recording.pictures.push_back(picture);
    };
    add(0, formatLoadBitmap("fundo", background) + ";" + formatLoadBitmap("ator", red) + ";");
    for (int n = 1; n <= 600; ++n) {
        std::string text = formatBlit("fundo", "screen", 0, 0, 0, 0, 640, 480) + ";";
        if (n == 200) text = formatDestroyBitmap("ator") + ";" + text;
        if (n == 300) text = formatLoadBitmap("ator", green) + ";" + text;
        if (n < 200 || n >= 300) text += formatDrawSprite("screen", "ator", n % 600, 200) + ";";
        add(16 * n + (n > 400 ? 20000 : 0), text);  // and a long gap before picture 401
    }
    return recording;
}

bool sameWindow(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; ++y) {
        for (int x = 0; x < a->w; ++x) {
            if (getpixel(a, x, y) != getpixel(b, x, y)) return false;
        }
    }
    return true;
}

TEST(RecordingPlayer, AJumpEitherWayShowsWhatPlayingStraightThereShows) {
    const Recording recording = changingRecording();
    BITMAP* straightWindow = create_bitmap(640, 480);
    BITMAP* jumpingWindow = create_bitmap(640, 480);
    RecordingPlayer straight(recording, straightWindow);
    RecordingPlayer jumping(recording, jumpingWindow);
    // The gap of 20 s plays as the longest gap.
    EXPECT_EQ(16 * 600 + RecordingPlayer::kLongestGapMs - 16, jumping.length());

    // Forward past the sprite's end, back into its first life, forward to its second, home.
    for (const int64_t moment : {int64_t(16 * 250), int64_t(16 * 120), int64_t(16 * 350 + 3000),
                                 int64_t(0), jumping.length()}) {
        jumping.seek(moment);
        jumping.showUntil(moment);
        clear_to_color(straightWindow, makecol(0, 0, 0));
        RecordingPlayer fresh(recording, straightWindow);
        fresh.showUntil(moment);
        EXPECT_TRUE(sameWindow(straightWindow, jumpingWindow)) << "at " << moment;
        EXPECT_EQ(fresh.bitmaps().names(), jumping.bitmaps().names()) << "at " << moment;
    }
    EXPECT_TRUE(jumping.finished());
    // A jump draws only the pictures from where it lands, never those before.
    RecordingPlayer counted(recording, jumpingWindow);
    counted.seek(16 * 500);
    counted.showUntil(16 * 500);
    EXPECT_LE(counted.picturesDrawn(), 2u);
    straight.showUntil(straight.length());
    EXPECT_EQ(recording.pictures.size(), straight.picturesDrawn());
    destroy_bitmap(straightWindow);
    destroy_bitmap(jumpingWindow);
}

}  // namespace
