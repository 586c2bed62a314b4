#include "stream/interpreter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/file_problem.h"
#include "platform/image_file.h"
#include "platform/sound_player.h"
#include "stream/instruction_format.h"
#include "stream/screen_name.h"

ListaBitmaps::ListaBitmaps(BITMAP* window, long long pixelBudget)
    : window(window), pixelBudget(pixelBudget) {
    bitmaps.emplace(kScreenName, window);
}

ListaBitmaps::~ListaBitmaps() {
    for (auto& [name, bitmap] : bitmaps) {
        if (bitmap && bitmap != window) destroy_bitmap(bitmap);
    }
}

BITMAP* ListaBitmaps::find(const std::string& name) const {
    auto found = bitmaps.find(name);
    return found == bitmaps.end() ? nullptr : found->second;
}

bool ListaBitmaps::isBound(const std::string& name) const { return bitmaps.count(name) != 0; }

long long ListaBitmaps::pixelsOf(const BITMAP* bitmap) const {
    return bitmap && bitmap != window ? static_cast<long long>(bitmap->w) * bitmap->h : 0;
}

bool ListaBitmaps::bind(const std::string& name, BITMAP* bitmap) {
    if (!bitmaps.emplace(name, bitmap).second) return false;
    pixelsHeld += pixelsOf(bitmap);
    ++changes;
    return true;
}

std::vector<std::string> ListaBitmaps::names() const {
    std::vector<std::string> result;
    for (const auto& entry : bitmaps) result.push_back(entry.first);
    return result;
}

BITMAP* ListaBitmaps::unbind(const std::string& name) {
    auto found = bitmaps.find(name);
    if (found == bitmaps.end()) return nullptr;
    BITMAP* bitmap = found->second;
    bitmaps.erase(found);
    ++changes;
    pixelsHeld -= pixelsOf(bitmap);
    return bitmap;
}

namespace {

const char kNotFound[] = "Bitmap nao encontrado na lista\n";

void say(const char* message) { std::fputs(message, stdout); }

// Splits a piece into its blank-separated words. Returns false when a word is longer than a field
// may be, so the piece is refused as a whole.
bool splitWords(const std::string& piece, std::vector<std::string>& words) {
    static const char kBlanks[] = " \t\r\n\v\f";
    words.clear();
    size_t at = piece.find_first_not_of(kBlanks);
    while (at != std::string::npos) {
        size_t end = piece.find_first_of(kBlanks, at);
        if (end == std::string::npos) end = piece.size();
        if (end - at > kMaxFieldLength) return false;
        words.emplace_back(piece, at, end - at);
        at = piece.find_first_not_of(kBlanks, end);
    }
    return true;
}

// Decimal text to integer as the C library's atoi reads it (leading blanks, optional sign, digits;
// no number gives 0), but clamped to the int range instead of overflowing.
int toInt(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Binds a freshly loaded or created bitmap; one that cannot be registered (its name is still bound)
// is released at once.
void bindOrRelease(ListaBitmaps& registry, const std::string& name, BITMAP* bitmap) {
    if (!registry.bind(name, bitmap) && bitmap) destroy_bitmap(bitmap);
}

// A safe relative path under the game's image folder.
bool isGameFilePath(const std::string& path) {
    return path.compare(0, 4, "Img/") == 0 && isSafeImagePath(path);
}

// Whether a new bitmap of `pixels` may be bound to `name`: a name still bound keeps its bitmap (the
// new one is released at once), so only a free name asks the budget.
bool mayHold(const ListaBitmaps& registry, const std::string& name, long long pixels) {
    return registry.isBound(name) || registry.hasRoomFor(pixels);
}

void loadBitmap(ListaBitmaps& registry, WorkBudget& budget, const std::vector<std::string>& w) {
    BITMAP* bitmap = isSafeImagePath(w[2]) ? loadImageFile(w[2]).release() : nullptr;
    if (bitmap) budget.spend(static_cast<long long>(bitmap->w) * bitmap->h);
    if (bitmap && !mayHold(registry, w[1], static_cast<long long>(bitmap->w) * bitmap->h)) {
        destroy_bitmap(bitmap);
        bitmap = nullptr;
    }
    if (!bitmap) {
        say("fudeu");
        if (isGameFilePath(w[2])) reportFileProblem(FileKind::kImage, w[2], AfterText::kUnfinished);
        return;
    }
    bindOrRelease(registry, w[1], bitmap);
}

void createBitmap(ListaBitmaps& registry, WorkBudget& budget, const std::vector<std::string>& w) {
    const int width = toInt(w[2]);
    const int height = toInt(w[3]);
    const bool sane = width >= 1 && height >= 1 && width <= kMaxBitmapSide &&
                      height <= kMaxBitmapSide &&
                      static_cast<long long>(width) * height <= kMaxBitmapArea &&
                      mayHold(registry, w[1], static_cast<long long>(width) * height);
    BITMAP* bitmap = sane ? create_bitmap(width, height) : nullptr;
    if (bitmap) budget.spend(static_cast<long long>(width) * height);
    if (!bitmap) say("create_bitmap falhou\n");
    bindOrRelease(registry, w[1], bitmap);
}

void destroyBitmap(ListaBitmaps& registry, WorkBudget&, const std::vector<std::string>& w) {
    if (w[1] == kScreenName) return;  // the window is not the receiver's to release
    if (BITMAP* bitmap = registry.unbind(w[1])) destroy_bitmap(bitmap);
}

// The graphics library clips a drawing in int arithmetic, which overflows for coordinates near the
// int range's ends and then writes outside the bitmap. No bitmap is wider or taller than
// kMaxBitmapSide, so a sprite placed further out than this is off every bitmap wherever it is.
constexpr int kFarOut = 1 << 20;

int onPlane(int coordinate) { return std::clamp(coordinate, -kFarOut, kFarOut); }

// blit with the graphics library's own clipping (source bitmap, then the target's clipping
// rectangle) done first in 64 bits, so that the library gets a rectangle inside both bitmaps.
// Returns the pixels drawn.
long long clippedBlit(BITMAP* source, BITMAP* target, long long sx, long long sy, long long dx,
                      long long dy, long long width, long long height) {
    if (sx < 0) {
        width += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        height += sy;
        dy -= sy;
        sy = 0;
    }
    width = std::min(width, source->w - sx);
    height = std::min(height, source->h - sy);
    if (dx < target->cl) {
        width -= target->cl - dx;
        sx += target->cl - dx;
        dx = target->cl;
    }
    if (dy < target->ct) {
        height -= target->ct - dy;
        sy += target->ct - dy;
        dy = target->ct;
    }
    width = std::min(width, target->cr - dx);
    height = std::min(height, target->cb - dy);
    if (width <= 0 || height <= 0) return 0;
    blit(source, target, static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(dx),
         static_cast<int>(dy), static_cast<int>(width), static_cast<int>(height));
    return width * height;
}

// The two bitmaps a drawing piece names in words 1 and 2; when either is unknown the piece is
// reported and skipped.
struct NamedPair {
    BITMAP* first;
    BITMAP* second;
};

std::optional<NamedPair> findBoth(ListaBitmaps& registry, const std::vector<std::string>& w) {
    BITMAP* first = registry.find(w[1]);
    BITMAP* second = registry.find(w[2]);
    if (!first || !second) {
        say(kNotFound);
        return std::nullopt;
    }
    return NamedPair{first, second};
}

void drawSprite(ListaBitmaps& registry, WorkBudget& budget, const std::vector<std::string>& w) {
    const std::optional<NamedPair> found = findBoth(registry, w);
    if (!found) return;
    BITMAP* target = found->first;
    BITMAP* sprite = found->second;
    budget.spend(static_cast<long long>(sprite->w) * sprite->h);
    if (w[0] == "draw_sprite") {
        draw_sprite(target, sprite, onPlane(toInt(w[3])), onPlane(toInt(w[4])));
    } else {
        draw_sprite_v_flip(target, sprite, onPlane(toInt(w[3])), onPlane(toInt(w[4])));
    }
}

void blitBitmap(ListaBitmaps& registry, WorkBudget& budget, const std::vector<std::string>& w) {
    const std::optional<NamedPair> found = findBoth(registry, w);
    if (!found) return;
    budget.spend(clippedBlit(found->first, found->second, toInt(w[3]), toInt(w[4]), toInt(w[5]),
                             toInt(w[6]), toInt(w[7]), toInt(w[8])));
}

// A sound is named like a picture, by a safe relative path under the image folder; the player
// ignores names it does not know.
bool isSafeSoundPath(const std::string& path) { return isGameFilePath(path); }

void playSoundPiece(ListaBitmaps&, WorkBudget&, const std::vector<std::string>& w) {
    if (isSafeSoundPath(w[1])) playSound(w[1]);
}

void playMusicPiece(ListaBitmaps&, WorkBudget&, const std::vector<std::string>& w) {
    if (isSafeSoundPath(w[1])) playMusic(w[1]);
}

void stopMusicPiece(ListaBitmaps&, WorkBudget&, const std::vector<std::string>&) { stopMusic(); }

struct Kind {
    const char* word;
    size_t fields;  // words of the piece, the kind word included
    void (*run)(ListaBitmaps&, WorkBudget&, const std::vector<std::string>&);
    bool freesOnly = false;  // run even past the budget: it only gives memory back
};

const Kind kKinds[] = {
    {"load_bitmap", 3, loadBitmap},
    {"draw_sprite", 5, drawSprite},
    {"draw_sprite_v_flip", 5, drawSprite},
    {"create_bitmap", 4, createBitmap},
    {"destroy_bitmap", 2, destroyBitmap, true},
    {"blit", 9, blitBitmap},
    {"play_sound", 2, playSoundPiece},
    {"play_music", 2, playMusicPiece},
    {"stop_music", 1, stopMusicPiece},
};

void executePiece(ListaBitmaps& registry, WorkBudget& budget, const std::string& piece,
                  std::vector<std::string>& words) {
    if (!splitWords(piece, words) || words.empty()) return;
    for (const Kind& kind : kKinds) {
        if (words[0] != kind.word) continue;
        if (words.size() < kind.fields) return;
        if (!kind.freesOnly && budget.spent()) {
            budget.skip();
        } else {
            kind.run(registry, budget, words);
        }
        return;
    }
}

}  // namespace

bool isSafeImagePath(const std::string& path) {
    if (path.empty() || path.front() == '/' || path.find('\\') != std::string::npos) return false;
    for (const char c : path) {
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) > '~')
            return false;
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (path.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

void executeBatch(ListaBitmaps& registry, std::string batch) {
    WorkBudget budget;
    executeBatch(registry, std::move(batch), budget);
}

void executeBatch(ListaBitmaps& registry, std::string batch, WorkBudget& budget) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < batch.size()) {
        size_t end = batch.find(';', start);
        if (end == std::string::npos) end = batch.size();
        if (end > start) executePiece(registry, budget, batch.substr(start, end - start), words);
        start = end + 1;
    }
}
