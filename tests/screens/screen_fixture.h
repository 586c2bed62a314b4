// Test bench for the front-end screens: a temporary working directory holding test pictures under
// the game's own paths, a memory bitmap standing in for the window, the simulated clock, and every
// batch the screens record captured, so that a test can check the records and replay them.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "screens/key_script.h"
#include "support/batch_tap.h"

// The flat colour of the test picture at `relativePath`.
int ScreenTestColour(const std::string& relativePath);

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Every instruction recorded so far (flushed or still pending), in order.
    std::vector<std::string> instructions();
    // The instructions of `instructions()` from `from` on whose text starts with `prefix`.
    std::vector<std::string> instructionsStartingWith(const std::string& prefix, size_t from = 0);
    size_t countOf(const std::string& instruction);

    // Replays every recorded batch (and what is pending) into a fresh bitmap table whose "screen"
    // starts as a copy of `initialWindow` and returns that replayed window (owned by the caller).
    BITMAP* replayOnto(BITMAP* initialWindow);
    // Number of pixels where two same-sized bitmaps differ.
    static long differingPixels(BITMAP* a, BITMAP* b);

    // Removes one test picture, as if it had never been installed.
    void removePicture(const std::string& relativePath);

    // The flat colour a test picture was painted with (its centre stays that colour after JPEG).
    static int pictureColour(const std::string& relativePath);
    // Whether `bitmap`'s pixel at (x, y) is within a small JPEG tolerance of `colour`.
    static bool looksLike(BITMAP* bitmap, int x, int y, int colour);

    BITMAP* window = nullptr;         // what the screens see as `screen`
    BITMAP* windowAtStart = nullptr;  // a copy of the window before the screen ran
    KeyScript keys;
    std::vector<std::string> batches;
    std::vector<int64_t> batchTimes;  // when each batch was handed on
    std::optional<BatchTap> tap;      // fills both from the process's recorder

  private:
    std::filesystem::path previousDirectory;
    std::filesystem::path pictureRoot;
};
