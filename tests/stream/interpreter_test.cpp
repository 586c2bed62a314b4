#include "stream/interpreter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "stream/instruction_format.h"
#include "world/world_fixture.h"

namespace {

namespace fs = std::filesystem;

const char kNotFound[] = "Bitmap nao encontrado na lista\n";

// A replay target: a memory bitmap bound as "screen", with the console output of each batch. Each
// test works in a folder of its own: ctest runs the tests of this file as parallel processes.
class Interpreter : public ::testing::Test {
  protected:
    Interpreter() {
        fs::create_directories(kDir);
        writeImage(kDir + "/red.bmp", makecol(255, 0, 0), 4, 3);
        writeImage(kDir + "/blue.bmp", makecol(0, 0, 255), 2, 2);
    }

    static void writeImage(const std::string& path, int colour, int width, int height) {
        BITMAP* image = create_bitmap(width, height);
        clear_to_color(image, colour);
        ASSERT_EQ(save_bitmap(path.c_str(), image, nullptr), 0);
        destroy_bitmap(image);
    }

    void SetUp() override { clear_to_color(window, kBlack); }
    // Colours are made once the graphics library has its colour depth, not at static start-up.
    const int kRed = makecol(255, 0, 0);
    const int kBlue = makecol(0, 0, 255);
    const int kBlack = makecol(0, 0, 0);
    const int kMask = makecol(255, 0, 255);
    void TearDown() override { destroy_bitmap(window); }

    // Runs one batch and returns what it printed.
    std::string run(const std::string& batch) {
        ::testing::internal::CaptureStdout();
        executeBatch(registry, batch);
        return ::testing::internal::GetCapturedStdout();
    }

    static std::string join(std::initializer_list<std::string> instructions) {
        std::string batch;
        for (const auto& text : instructions) batch += text + ";";
        return batch;
    }

    static inline const std::string kDir = "replay_files";
    TempImageDir workingFolder;
    BITMAP* window = create_bitmap(16, 12);
    ListaBitmaps registry{window};
};

TEST_F(Interpreter, EmptyBatchesDoNothing) {
    for (const char* batch : {"", ";", ";;;;", " ; ;"}) {
        EXPECT_EQ(run(batch), "") << batch;
    }
    EXPECT_EQ(registry.size(), 1u);
    EXPECT_EQ(getpixel(window, 0, 0), kBlack);
}

TEST_F(Interpreter, CreatedBitmapDrawnOnScreenReachesTheWindow) {
    EXPECT_EQ(registry.find("screen"), window);
    BITMAP* red = create_bitmap(2, 2);
    clear_to_color(red, kRed);
    ASSERT_TRUE(registry.bind("red", BitmapHandle(red)));
    EXPECT_EQ(run(join({formatDrawSprite("screen", "red", 3, 4)})), "");
    EXPECT_EQ(getpixel(window, 3, 4), kRed);
    EXPECT_EQ(getpixel(window, 4, 5), kRed);
    EXPECT_EQ(getpixel(window, 5, 4), kBlack);
}

// The credits screen's four instructions, as a client receives them.
TEST_F(Interpreter, ReplaysTheCreditsScreenBatch) {
    const std::string batch = join({
        formatLoadBitmap("bg_integrantes", kDir + "/red.bmp"),
        formatCreateBitmap("buffer_integrantes", 8, 6),
        formatBlit("bg_integrantes", "buffer_integrantes", 0, 0, 0, 0, 8, 6),
        formatDrawSprite("screen", "buffer_integrantes", 0, 0),
    });
    EXPECT_EQ(run(batch), "");
    EXPECT_EQ(getpixel(window, 0, 0), kRed);
    EXPECT_EQ(getpixel(window, 3, 2), kRed);
    EXPECT_NE(getpixel(window, 5, 5), kRed) << "the image is 4 x 3; the rest is the buffer's";
    EXPECT_EQ(registry.size(), 3u);
}

TEST_F(Interpreter, UnknownNamesAreReportedAndTheBatchGoesOn) {
    const std::string batch = join({
        formatDrawSprite("screen", "nobody", 0, 0),
        formatLoadBitmap("red", kDir + "/red.bmp"),
        formatBlit("red", "nowhere", 0, 0, 0, 0, 4, 3),
        formatBlit("red", "screen", 0, 0, 1, 1, 4, 3),
    });
    EXPECT_EQ(run(batch), std::string(kNotFound) + kNotFound);
    EXPECT_EQ(getpixel(window, 1, 1), kRed) << "the last instruction still ran";
}

TEST_F(Interpreter, DrawSpriteLeavesTheMaskOutAndVFlipTurnsItOver) {
    BITMAP* sprite = create_bitmap(1, 2);
    putpixel(sprite, 0, 0, kRed);
    putpixel(sprite, 0, 1, kMask);
    registry.bind("sprite", BitmapHandle(sprite));
    run(join({formatDrawSprite("screen", "sprite", 0, 0),
              formatDrawSpriteVFlip("screen", "sprite", 2, 0)}));
    EXPECT_EQ(getpixel(window, 0, 0), kRed);
    EXPECT_EQ(getpixel(window, 0, 1), kBlack) << "mask colour is transparent";
    EXPECT_EQ(getpixel(window, 2, 0), kBlack);
    EXPECT_EQ(getpixel(window, 2, 1), kRed) << "upside down";
}

TEST_F(Interpreter, NegativeCoordinatesKeepTheirSign) {
    BITMAP* blue = create_bitmap(3, 3);
    clear_to_color(blue, kBlue);
    registry.bind("blue", BitmapHandle(blue));
    run(join({formatDrawSprite("screen", "blue", -2, -2)}));
    EXPECT_EQ(getpixel(window, 0, 0), kBlue);
    EXPECT_EQ(getpixel(window, 1, 0), kBlack) << "drawn at -2, not at +2 or 0";
    run(join({formatBlit("blue", "screen", 0, 0, 10, -1, 3, 3)}));
    EXPECT_EQ(getpixel(window, 10, 1), kBlue);
    EXPECT_EQ(getpixel(window, 10, 2), kBlack);
}

TEST_F(Interpreter, FailedLoadSaysFudeuWithoutALineEnd) {
    EXPECT_EQ(run(join({formatLoadBitmap("gone", kDir + "/missing.bmp"),
                        formatDrawSprite("screen", "gone", 0, 0)})),
              std::string("fudeu") + kNotFound);
    EXPECT_FALSE(registry.isBound("gone"));
}

TEST_F(Interpreter, FirstBindingOfANameWinsUntilItIsDestroyed) {
    run(join({formatLoadBitmap("pic", kDir + "/red.bmp"),
              formatLoadBitmap("pic", kDir + "/blue.bmp"),
              formatDrawSprite("screen", "pic", 0, 0)}));
    EXPECT_EQ(getpixel(window, 0, 0), kRed);
    EXPECT_EQ(registry.find("pic")->w, 4);
    run(join({formatDestroyBitmap("pic"), formatLoadBitmap("pic", kDir + "/blue.bmp"),
              formatDrawSprite("screen", "pic", 0, 0)}));
    EXPECT_EQ(getpixel(window, 0, 0), kBlue);
    EXPECT_EQ(registry.size(), 2u);
}

TEST_F(Interpreter, DestroyOfAnUnknownNameOrOfTheWindowIsIgnored) {
    EXPECT_EQ(run(join({formatDestroyBitmap("never"), "destroy_bitmap screen"})), "");
    EXPECT_EQ(registry.find("screen"), window);
}

TEST_F(Interpreter, FailedCreationLeavesTheNameBoundToNothing) {
    for (const char* size : {"0 10", "10 0", "-5 5", "18001 1", "1 18001", "18000 481", "x y"}) {
        const std::string name = std::string("bad") + std::to_string(registry.size());
        EXPECT_EQ(run("create_bitmap " + name + " " + size + ";"), "create_bitmap falhou\n")
            << size;
        EXPECT_TRUE(registry.isBound(name));
        EXPECT_EQ(registry.find(name), nullptr);
        EXPECT_EQ(run(join({formatDrawSprite("screen", name, 0, 0)})), kNotFound);
        EXPECT_EQ(run(join({formatCreateBitmap(name, 2, 2)})), "")
            << "the name stays unusable until destroyed";
        EXPECT_EQ(registry.find(name), nullptr);
        run(join({formatDestroyBitmap(name), formatCreateBitmap(name, 2, 2)}));
        EXPECT_NE(registry.find(name), nullptr);
    }
}

TEST_F(Interpreter, LargestStageSizedBitmapIsCreated) {
    EXPECT_EQ(run(join({formatCreateBitmap("stage", 18000, 480)})), "");
    ASSERT_NE(registry.find("stage"), nullptr);
    EXPECT_EQ(registry.find("stage")->w, 18000);
}

// A sender that names ever new bitmaps is held to the pixel budget, for loads as for creations;
// a destroyed bitmap gives its pixels back. Without the budget, 100 batches each creating a
// stage-sized bitmap under a new name and drawing on it took the interpreter's fuzz target past its
// 2 GB limit.
TEST(InterpreterBudget, NewBitmapsBeyondThePixelBudgetAreRefused) {
    TempImageDir workingFolder;
    fs::create_directories("replay_files");
    BITMAP* picture = create_bitmap(10, 10);
    clear_to_color(picture, makecol(255, 0, 0));
    ASSERT_EQ(save_bitmap("replay_files/ten.bmp", picture, nullptr), 0);
    destroy_bitmap(picture);
    BITMAP* window = create_bitmap(16, 12);
    {
        ListaBitmaps registry(window, 250);
        auto run = [&](const std::string& batch) {
            ::testing::internal::CaptureStdout();
            executeBatch(registry, batch);
            return ::testing::internal::GetCapturedStdout();
        };
        EXPECT_EQ(run("create_bitmap a 10 10;load_bitmap b replay_files/ten.bmp;"), "");
        EXPECT_EQ(registry.heldPixels(), 200);
        EXPECT_EQ(run("create_bitmap c 10 10;"), "create_bitmap falhou\n");
        EXPECT_EQ(registry.find("c"), nullptr);
        EXPECT_EQ(run("load_bitmap d replay_files/ten.bmp;"), "fudeu");
        EXPECT_FALSE(registry.isBound("d"));
        EXPECT_EQ(run("create_bitmap a 10 10;create_bitmap e 5 10;"), "")
            << "a bound name keeps its bitmap silently; what fits is made";
        EXPECT_EQ(registry.heldPixels(), 250);
        run("destroy_bitmap a;destroy_bitmap c;");
        EXPECT_EQ(registry.heldPixels(), 150);
        EXPECT_EQ(run("load_bitmap d replay_files/ten.bmp;"), "");
        EXPECT_NE(registry.find("d"), nullptr);
    }
    // The default budget holds a stage, its buffer and every screen of the game at once.
    ListaBitmaps roomy(window);
    EXPECT_TRUE(roomy.hasRoomFor(2 * kMaxBitmapArea + 40 * 640 * 480));
    destroy_bitmap(window);
}

TEST_F(Interpreter, UnknownKindsAreSkippedSilently) {
    BITMAP* red = create_bitmap(1, 1);
    clear_to_color(red, kRed);
    registry.bind("red", BitmapHandle(red));
    EXPECT_EQ(run("Blit red screen 0 0 0 0 1 1;blitz red screen 0 0 0 0 1 1;"
                  "draw_sprite_x screen red 0 0;rectfill screen 0 0 5 5;"),
              "");
    EXPECT_EQ(getpixel(window, 0, 0), kBlack);
}

TEST_F(Interpreter, PiecesWithMissingFieldsAreSkipped) {
    EXPECT_EQ(run("blit a screen 0 0 0 0 1;draw_sprite screen;create_bitmap x 5;"
                  "load_bitmap lonely;destroy_bitmap;"),
              "");
    EXPECT_EQ(registry.size(), 1u);
}

TEST_F(Interpreter, OverlongFieldsSkipThePieceWithoutOverflow) {
    const std::string huge(5000, 'a');
    EXPECT_EQ(run("create_bitmap " + huge + " 2 2;draw_sprite screen " + huge + " 0 0;" + huge +
                  ";create_bitmap ok 2 2;"),
              "");
    EXPECT_EQ(registry.size(), 2u);
    EXPECT_TRUE(registry.isBound("ok"));
    const std::string longest(kMaxFieldLength, 'b');
    run("create_bitmap " + longest + " 2 2;");
    EXPECT_TRUE(registry.isBound(longest)) << "51 characters are still a field";
}

TEST_F(Interpreter, UnsafePathsAreFailedLoads) {
    fs::create_directories("replay_outside");
    writeImage("replay_outside/red.bmp", makecol(255, 0, 0), 1, 1);
    const std::string absolute = fs::absolute(kDir + "/red.bmp").string();
    for (const std::string& path :
         {absolute, kDir + "/../replay_outside/red.bmp", std::string("..\\red.bmp"),
          kDir + "\\red.bmp", std::string("../x.bmp"), std::string("..")}) {
        EXPECT_EQ(run("load_bitmap p " + path + ";"), "fudeu") << path;
        EXPECT_FALSE(registry.isBound("p"));
    }
    EXPECT_EQ(run("load_bitmap p " + kDir + "/red\xff.bmp;"), "fudeu");
    EXPECT_FALSE(registry.isBound("p"));
    EXPECT_EQ(run("load_bitmap p " + kDir + "/./red.bmp;"), "");
    EXPECT_TRUE(registry.isBound("p"));
}

TEST_F(Interpreter, NumbersReadLikeAtoiWithoutOverflow) {
    BITMAP* red = create_bitmap(1, 1);
    clear_to_color(red, kRed);
    registry.bind("red", BitmapHandle(red));
    EXPECT_EQ(run("draw_sprite screen red 99999999999999999999 -99999999999999999999;"
                  "draw_sprite screen red 2abc junk;"),
              "");
    EXPECT_EQ(getpixel(window, 2, 0), kRed) << "'2abc' reads as 2, 'junk' as 0";
}

// The graphics library clips in int arithmetic: coordinates near the ends of the int range
// overflowed it into writing outside the window (a blit from x -2147483648 crashed the fuzz
// target). The interpreter clips first, in 64 bits, and gives the same pictures for every other
// number.
TEST_F(Interpreter, DrawingsAtTheEndsOfTheIntRangeStayInsideTheBitmaps) {
    BITMAP* red = create_bitmap(10, 10);
    clear_to_color(red, kRed);
    registry.bind("red", BitmapHandle(red));
    for (const char* piece : {
             "blit red screen -2147483648 0 0 0 2147483647 2147483647",
             "blit red screen 0 -2147483648 0 0 2147483647 2147483647",
             "blit red screen 0 0 -2147483648 -2147483648 2147483647 2147483647",
             "blit red screen 2147483647 2147483647 0 0 2147483647 2147483647",
             "draw_sprite screen red -2147483648 2147483647",
             "draw_sprite_v_flip screen red 2147483647 -2147483648",
         }) {
        EXPECT_EQ(run(std::string(piece) + ";"), "") << piece;
        EXPECT_EQ(getpixel(window, 0, 0), kBlack) << piece;
        EXPECT_EQ(getpixel(window, 15, 11), kBlack) << piece;
    }
    // Far but exact: 2 columns from source x 0, landing at the window's left edge.
    run("blit red screen -1000000000 0 -1000000000 3 1000000002 2;");
    EXPECT_EQ(getpixel(window, 1, 3), kRed);
    EXPECT_EQ(getpixel(window, 1, 4), kRed);
    EXPECT_EQ(getpixel(window, 2, 3), kBlack);
    EXPECT_EQ(getpixel(window, 1, 5), kBlack);
    // Clipped by the source on the right and the target at the bottom, as the library clips.
    run("blit red screen 8 0 14 10 100 100;");
    EXPECT_EQ(getpixel(window, 14, 10), kRed);
    EXPECT_EQ(getpixel(window, 15, 11), kRed);
    EXPECT_EQ(getpixel(window, 13, 10), kBlack);
}

TEST(InterpreterPaths, SafeImagePathRules) {
    EXPECT_TRUE(isSafeImagePath("Img/menu/menu.jpg"));
    EXPECT_TRUE(isSafeImagePath("a..b/c.bmp")) << "dots inside a component are fine";
    EXPECT_FALSE(isSafeImagePath(""));
    EXPECT_FALSE(isSafeImagePath("/etc/passwd"));
    EXPECT_FALSE(isSafeImagePath("Img/../../x"));
    EXPECT_FALSE(isSafeImagePath("Img/.."));
    EXPECT_FALSE(isSafeImagePath("Img\\x.bmp"));
    // Printable ASCII only: the graphics library reads past the end of a path holding an invalid
    // UTF-8 sequence (a fuzz run crashed in it on "Img/menu/paus\xff.bmp").
    EXPECT_FALSE(isSafeImagePath("Img/menu/paus\xff.bmp"));
    EXPECT_FALSE(isSafeImagePath("Img/\xc3\xa9.bmp"));
    EXPECT_FALSE(isSafeImagePath("Img/a\x01.bmp"));
    EXPECT_FALSE(isSafeImagePath(std::string("Img/a\0b.bmp", 11)));
    EXPECT_TRUE(isSafeImagePath("Img/Som/menu_mover.wav"));
}

}  // namespace
