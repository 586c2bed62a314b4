// The client's half of the display: carries out the drawing instructions of one batch text, in
// order, on the client's own bitmaps and window.
//
// The batch text comes from the network, so it is parsed as untrusted input: a piece that is too
// long, lacks fields, names an unsafe file path, asks for an absurd bitmap or for more pixels than
// the bitmap budget holds is refused; no piece can stop the batch. Sound pieces (play_sound,
// play_music, stop_music) are played through sound_player.h when they name a safe path under
// "Img/" that the player knows; otherwise, like pieces of an unknown kind, they are skipped without
// a word. Problems are reported on standard output only ("fudeu", "Bitmap nao encontrado na
// lista\n", "create_bitmap falhou\n"); a picture under "Img/" that cannot be loaded also gets its
// file's line (platform/file_problem.h), once per path, on a line of its own after the "fudeu".
#pragma once

#include <allegro.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/bitmap_handle.h"
#include "stream/work_budget.h"

// The most pixels a receiver holds in bitmaps at once (276 MB at 32 bits a pixel): a stage and its
// buffer, the screens' pictures, and room to spare. A sender that names ever new bitmaps cannot
// make it hold more.
constexpr long long kMaxPixelsHeld = 8 * kMaxBitmapArea;

// The registry of named bitmaps of one receiving thread. "screen" is always bound to the window,
// which the registry does not own; the first binding of any other name wins until the name is
// unbound. Bitmaps bound in it belong to it. It counts the pixels of the
// bitmaps it holds, against a budget that the interpreter consults before it creates or loads one.
class ListaBitmaps {
  public:
    // `window` is what "screen" names: the graphics library's window unless a test gives another.
    explicit ListaBitmaps(BITMAP* window = screen, long long pixelBudget = kMaxPixelsHeld);
    ListaBitmaps(const ListaBitmaps&) = delete;
    ListaBitmaps& operator=(const ListaBitmaps&) = delete;

    // The bitmap bound to `name`, or null when the name is unbound or bound to no bitmap.
    BITMAP* find(const std::string& name) const;
    bool isBound(const std::string& name) const;
    // Binds `name` to `bitmap` (possibly empty) unless the name is bound already; true if bound.
    // A bitmap that is not bound is released at once.
    bool bind(const std::string& name, BitmapHandle bitmap);
    // Removes the name and gives back the bitmap it was bound to (empty if none). "screen" stays.
    BitmapHandle unbind(const std::string& name);
    // Bound names, "screen" included.
    size_t size() const { return bitmaps.size() + 1; }
    // The bound names, in order; how many times a name was bound or unbound so far.
    std::vector<std::string> names() const;
    uint64_t changeCount() const { return changes; }
    // Whether `pixels` more still fit in the budget.
    bool hasRoomFor(long long pixels) const { return pixelsHeld + pixels <= pixelBudget; }
    long long heldPixels() const { return pixelsHeld; }

    // What a load_bitmap of a picture that is neither in the data folder nor in the cache tries
    // before it fails: `fetch(path)` puts the picture in the cache (a client asks its server for
    // the stage's level and draws it) and says whether it did. Unset: nothing is tried.
    void fetchMissingPicturesWith(std::function<bool(const std::string&)> fetch) {
        missingPictureFetch = std::move(fetch);
    }
    bool fetchesMissingPictures() const { return bool(missingPictureFetch); }
    bool fetchMissingPicture(const std::string& path) const { return missingPictureFetch(path); }

  private:
    std::function<bool(const std::string&)> missingPictureFetch;
    std::map<std::string, BitmapHandle> bitmaps;  // every name but "screen"
    uint64_t changes = 0;
    BITMAP* const window;
    const long long pixelBudget;
    long long pixelsHeld = 0;
};

// Carries out every instruction of `batch` with the bitmaps of `registry`, within one picture's
// work budget.
void executeBatch(ListaBitmaps& registry, std::string batch);
// The same within `budget`: once it is spent, the remaining pieces are skipped (counted in the
// budget), all but destroy_bitmap, which only gives memory back.
void executeBatch(ListaBitmaps& registry, std::string batch, WorkBudget& budget);

// Whether `path` may be loaded on a receiver: a relative path of printable ASCII characters with no
// ".." component and no backslash. (The graphics library reads a path as UTF-8 and runs past the
// end of one holding an invalid sequence, so bytes outside ASCII never reach it.)
bool isSafeImagePath(const std::string& path);
