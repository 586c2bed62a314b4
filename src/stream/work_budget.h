// WorkBudget: how much drawing one picture may still cost a receiver, counted in pixels drawn,
// loaded or created. A sender may name the largest bitmaps and blit them over and over; past the
// budget the rest of the picture is skipped, so that no text from the network can hold a receiver
// for long. A stop condition (the player leaving) skips the rest the same way.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>

// The largest bitmap a receiver agrees to create: the game's own largest is a stage, 18000 x 480.
constexpr int kMaxBitmapSide = 18000;
constexpr long long kMaxBitmapArea = 18000LL * 480LL;

// What one picture may cost: eight of the largest bitmaps. The game's heaviest picture, a stage's
// loading (its picture loaded, its buffer created and drawn), costs three.
constexpr long long kPictureWorkBudget = 8 * kMaxBitmapArea;
// What one fetched answer may cost, however many pictures it holds.
constexpr long long kAnswerWorkBudget = 2 * kPictureWorkBudget;

class WorkBudget {
  public:
    explicit WorkBudget(long long pixels = kPictureWorkBudget, std::function<bool()> stop = {})
        : left(pixels), stop(std::move(stop)) {}

    // Whether the pieces still to come are to be skipped: the budget is spent, or stop says so.
    bool spent() const { return left <= 0 || (stop && stop()); }
    void spend(long long pixels) {
        left -= std::max(pixels, 0LL);
        used += std::max(pixels, 0LL);
    }
    // Called for a piece skipped for the budget's sake.
    void skip() { ++skipped; }

    long long pixelsUsed() const { return used; }
    long long pixelsLeft() const { return std::max(left, 0LL); }
    long long piecesSkipped() const { return skipped; }

  private:
    long long left;
    long long used = 0;
    long long skipped = 0;
    std::function<bool()> stop;
};
