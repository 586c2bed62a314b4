// The generated screen pictures: every file at the size its screen blits, item pictures that meet
// the background they are blitted over without a visible seam, highlighted items that stand out,
// and overlays that let the race show through their mask colour around a readable panel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/image_checks.h"

namespace {

struct Sized {
    std::string path;
    int w, h;
};

struct Placed {
    std::string name;  // file without extension
    int x, y, w, h;
};

// The menu's items and where the menu blits them.
const std::vector<Placed> kMenuItems = {
    {"chooseplayer", 131, 294, 153, 34}, {"img1", 304, 294, 13, 33},
    {"img2", 333, 294, 19, 33},          {"img3", 369, 294, 20, 33},
    {"img4", 404, 294, 19, 33},          {"img5", 438, 294, 19, 33},
    {"img6", 472, 294, 20, 33},          {"integrantes", 130, 340, 122, 33},
    {"instrucoes", 130, 383, 114, 33},   {"sairdojogo", 130, 425, 133, 33},
};

double lumaSpread(BITMAP* bmp) {
    double sum = 0, squares = 0;
    const int n = bmp->w * bmp->h;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const int l = luma(pixelOf(bmp, x, y));
            sum += l;
            squares += double(l) * l;
        }
    const double mean = sum / n;
    return std::sqrt(squares / n - mean * mean);
}

// Mean difference along the top and bottom rows of an item picture and the background under it (the
// narrow digits fill their width, so only these rows are pure background).
double seam(BITMAP* item, BITMAP* background, int x, int y) {
    return (meanDifference(item, 0, 0, background, x, y, item->w, 1) +
            meanDifference(item, 0, item->h - 1, background, x, y + item->h - 1, item->w, 1)) /
           2;
}

}  // namespace

TEST(ScreenImages, EveryPictureHasTheSizeItsScreenUses) {
    std::vector<Sized> files = {
        {"Img/menu/menu.jpg", 640, 480},          {"Img/menu/bg_selecao.jpg", 640, 480},
        {"Img/menu/bg_instrucoes.jpg", 640, 480}, {"Img/menu/bg_integrantes.jpg", 640, 480},
        {"Img/menu/bg_carregando.jpg", 640, 480}, {"Img/menu/parabens.jpg", 640, 480},
        {"Img/menu/pause.bmp", 640, 480},         {"Img/menu/enter.bmp", 640, 480}};
    for (const Placed& item : kMenuItems) {
        files.push_back({"Img/menu/" + item.name + ".jpg", item.w, item.h});
        files.push_back({"Img/menu/" + item.name + "_2.jpg", item.w, item.h});
    }
    for (int k = 0; k <= 6; ++k)
        files.push_back({"Img/menu/sel_" + std::to_string(k) + ".jpg", 80, 80});
    for (int k = 1; k <= 6; ++k) {
        files.push_back({"Img/menu/sel_j" + std::to_string(k) + ".jpg", 70, 70});
        files.push_back({"Img/menu/sel_j" + std::to_string(k) + "_2.jpg", 70, 70});
    }
    for (const Sized& file : files) {
        SCOPED_TRACE(file.path);
        BitmapHandle bmp = loadGenerated(file.path);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(bmp->w, file.w);
        EXPECT_EQ(bmp->h, file.h);
        if (file.w == 640) {
            EXPECT_GT(lumaSpread(bmp.get()), 20.0) << "looks blank";
        }
    }
}

TEST(ScreenImages, MenuItemsMeetTheBackgroundWithoutASeamAndHighlightsStandOut) {
    BitmapHandle menu = loadGenerated("Img/menu/menu.jpg");
    ASSERT_TRUE(menu);
    for (const Placed& item : kMenuItems) {
        SCOPED_TRACE(item.name);
        BitmapHandle normal = loadGenerated("Img/menu/" + item.name + ".jpg");
        BitmapHandle high = loadGenerated("Img/menu/" + item.name + "_2.jpg");
        ASSERT_TRUE(normal && high);
        EXPECT_LT(seam(normal.get(), menu.get(), item.x, item.y), 5.0);
        EXPECT_LT(seam(high.get(), menu.get(), item.x, item.y), 5.0);
        EXPECT_GT(meanDifference(normal.get(), 0, 0, high.get(), 0, 0, item.w, item.h), 4.0);
        EXPECT_GT(lumaSpread(normal.get()), 15.0) << "no readable text";
    }
}

TEST(ScreenImages, SelectionPiecesMeetTheirBackground) {
    BitmapHandle background = loadGenerated("Img/menu/bg_selecao.jpg");
    ASSERT_TRUE(background);
    // The number of the player now choosing is blitted at (255, 294): the menu's digit pictures.
    for (int k = 1; k <= 6; ++k) {
        BitmapHandle digit = loadGenerated("Img/menu/img" + std::to_string(k) + ".jpg");
        ASSERT_TRUE(digit);
        EXPECT_LT(seam(digit.get(), background.get(), 255, 294), 4.0) << k;
    }
    BitmapHandle frame = loadGenerated("Img/menu/sel_0.jpg");
    ASSERT_TRUE(frame);
    for (int k = 1; k <= 6; ++k) {
        BitmapHandle cursor = loadGenerated("Img/menu/sel_" + std::to_string(k) + ".jpg");
        ASSERT_TRUE(cursor);
        EXPECT_GT(meanDifference(cursor.get(), 0, 0, frame.get(), 0, 0, 80, 5), 20.0)
            << "cursor " << k;
    }
    for (int k = 1; k <= 6; ++k) {
        BitmapHandle freeOne = loadGenerated("Img/menu/sel_j" + std::to_string(k) + ".jpg");
        BitmapHandle taken = loadGenerated("Img/menu/sel_j" + std::to_string(k) + "_2.jpg");
        ASSERT_TRUE(freeOne && taken);
        EXPECT_GT(meanDifference(freeOne.get(), 0, 0, taken.get(), 0, 0, 70, 70), 20.0) << k;
        if (k > 1) {
            BitmapHandle previous =
                loadGenerated("Img/menu/sel_j" + std::to_string(k - 1) + ".jpg");
            EXPECT_GT(meanDifference(freeOne.get(), 0, 0, previous.get(), 0, 0, 70, 70), 15.0) << k;
        }
    }
}

TEST(ScreenImages, OverlaysShowTheRaceAroundAnOpaquePanel) {
    for (const char* path : {"Img/menu/pause.bmp", "Img/menu/enter.bmp"}) {
        SCOPED_TRACE(path);
        BitmapHandle overlay = loadGenerated(path);
        ASSERT_TRUE(overlay);
        long mask = 0, fringe = 0;
        for (int y = 0; y < overlay->h; ++y)
            for (int x = 0; x < overlay->w; ++x) {
                const Pixel p = pixelOf(overlay.get(), x, y);
                mask += isMagenta(p);
                fringe += isPinkFringe(p);
            }
        EXPECT_GT(mask, 640L * 480 * 6 / 10) << "the race must stay visible";
        EXPECT_LT(mask, 640L * 480 * 95 / 100) << "no panel";
        EXPECT_EQ(fringe, 0);
    }
    BitmapHandle pause = loadGenerated("Img/menu/pause.bmp");
    EXPECT_FALSE(isMagenta(pixelOf(pause.get(), 320, 240)));
}

// These pictures (or the buffers they are copied into) reach the window through draw_sprite, which
// skips the mask colour: a magenta pixel would be a hole showing whatever was there before.
TEST(ScreenImages, FullWindowPicturesHaveNoMaskColouredHoles) {
    for (const char* path :
         {"Img/menu/menu.jpg", "Img/menu/bg_selecao.jpg", "Img/menu/bg_instrucoes.jpg",
          "Img/menu/bg_integrantes.jpg", "Img/menu/bg_carregando.jpg", "Img/menu/parabens.jpg"}) {
        SCOPED_TRACE(path);
        BitmapHandle picture = loadGenerated(path);
        ASSERT_TRUE(picture);
        int holes = 0;
        for (int y = 0; y < picture->h; ++y)
            for (int x = 0; x < picture->w; ++x) holes += isMagenta(pixelOf(picture.get(), x, y));
        EXPECT_EQ(holes, 0);
    }
}
