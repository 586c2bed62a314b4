#include "stream/interpreter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/file_problem.h"
#include "platform/image_file.h"
#include "platform/sound_player.h"
#include "stream/instruction_text.h"
#include "stream/screen_name.h"

ListaBitmaps::ListaBitmaps(BITMAP* window, long long pixelBudget)
    : window(window), pixelBudget(pixelBudget) {}

BITMAP* ListaBitmaps::find(const std::string& name) const {
    if (name == kScreenName) return window;
    auto found = bitmaps.find(name);
    return found == bitmaps.end() ? nullptr : found->second.get();
}

bool ListaBitmaps::isBound(const std::string& name) const {
    return name == kScreenName || bitmaps.count(name) != 0;
}

namespace {

long long pixelsOf(const BitmapHandle& bitmap) {
    return bitmap ? static_cast<long long>(bitmap->w) * bitmap->h : 0;
}

}  // namespace

bool ListaBitmaps::bind(const std::string& name, BitmapHandle bitmap) {
    if (name == kScreenName) return false;
    const long long pixels = pixelsOf(bitmap);
    if (!bitmaps.try_emplace(name, std::move(bitmap)).second) return false;
    pixelsHeld += pixels;
    ++changes;
    return true;
}

std::vector<std::string> ListaBitmaps::names() const {
    std::vector<std::string> result;
    for (const auto& entry : bitmaps) result.push_back(entry.first);
    result.insert(std::lower_bound(result.begin(), result.end(), kScreenName), kScreenName);
    return result;
}

BitmapHandle ListaBitmaps::unbind(const std::string& name) {
    auto found = bitmaps.find(name);
    if (found == bitmaps.end()) return nullptr;
    BitmapHandle bitmap = std::move(found->second);
    bitmaps.erase(found);
    ++changes;
    pixelsHeld -= pixelsOf(bitmap);
    return bitmap;
}

namespace {

const char kNotFound[] = "Bitmap nao encontrado na lista\n";

void say(const char* message) { std::fputs(message, stdout); }

long long area(int width, int height) { return static_cast<long long>(width) * height; }

// A safe relative path under the game's image folder.
bool isGameFilePath(const std::string& path) {
    return path.compare(0, 4, "Img/") == 0 && isSafeImagePath(path);
}

// Whether a new bitmap of `pixels` may be bound to `name`: a name still bound keeps its bitmap (the
// new one is released at once), so only a free name asks the budget.
bool mayHold(const ListaBitmaps& registry, const std::string& name, long long pixels) {
    return registry.isBound(name) || registry.hasRoomFor(pixels);
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

// A sound is named like a picture, by a safe relative path under the image folder; the player
// ignores names it does not know.
bool isSafeSoundPath(const std::string& path) { return isGameFilePath(path); }

// Carries out one instruction on the receiver's bitmaps, within the picture's budget.
struct Executor {
    ListaBitmaps& registry;
    WorkBudget& budget;

    void operator()(const LoadBitmap& load) const {
        BitmapHandle bitmap;
        if (isSafeImagePath(load.path)) bitmap = loadImageFile(load.path);
        if (!bitmap && isSafeImagePath(load.path) && registry.fetchesMissingPictures() &&
            !std::filesystem::exists(imageFileOf(load.path)) &&
            registry.fetchMissingPicture(load.path))
            bitmap = loadImageFile(load.path);
        if (bitmap) budget.spend(area(bitmap->w, bitmap->h));
        if (bitmap && !mayHold(registry, load.name, area(bitmap->w, bitmap->h))) bitmap.reset();
        if (!bitmap) {
            say("fudeu");
            if (isGameFilePath(load.path)) {
                reportFileProblem(FileKind::kImage, load.path, AfterText::kUnfinished);
            }
            return;
        }
        registry.bind(load.name, std::move(bitmap));
    }

    void operator()(const CreateBitmap& create) const {
        const int width = create.width;
        const int height = create.height;
        const bool sane = width >= 1 && height >= 1 && width <= kMaxBitmapSide &&
                          height <= kMaxBitmapSide && area(width, height) <= kMaxBitmapArea &&
                          mayHold(registry, create.name, area(width, height));
        BitmapHandle bitmap(sane ? create_bitmap(width, height) : nullptr);
        if (bitmap) budget.spend(area(width, height));
        if (!bitmap) say("create_bitmap falhou\n");
        registry.bind(create.name, std::move(bitmap));
    }

    void operator()(const DestroyBitmap& destroy) const { registry.unbind(destroy.name); }

    void operator()(const DrawSprite& draw) const {
        BITMAP* target = registry.find(draw.target);
        BITMAP* sprite = registry.find(draw.sprite);
        if (!target || !sprite) return say(kNotFound);
        budget.spend(area(sprite->w, sprite->h));
        if (draw.flipped) {
            draw_sprite_v_flip(target, sprite, onPlane(draw.x), onPlane(draw.y));
        } else {
            draw_sprite(target, sprite, onPlane(draw.x), onPlane(draw.y));
        }
    }

    void operator()(const Blit& copy) const {
        BITMAP* source = registry.find(copy.source);
        BITMAP* target = registry.find(copy.target);
        if (!source || !target) return say(kNotFound);
        budget.spend(clippedBlit(source, target, copy.sourceX, copy.sourceY, copy.targetX,
                                 copy.targetY, copy.width, copy.height));
    }

    void operator()(const PlaySound& sound) const {
        if (isSafeSoundPath(sound.path)) playSound(sound.path);
    }
    void operator()(const PlayMusic& music) const {
        if (isSafeSoundPath(music.path)) playMusic(music.path);
    }
    void operator()(const StopMusic&) const { stopMusic(); }

    // The server's markers are for the fetch and the play-out, not for drawing.
    void operator()(const FrameMarker&) const {}
    void operator()(const PartStart&) const {}
};

// Whether a receiver skips `instruction` once the budget is spent: everything but what only gives
// memory back (a destroy) and the markers, which cost nothing.
bool costsWork(const Instruction& instruction) {
    return !std::holds_alternative<DestroyBitmap>(instruction) &&
           !std::holds_alternative<FrameMarker>(instruction) &&
           !std::holds_alternative<PartStart>(instruction);
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
    const Executor execute{registry, budget};
    forEachInstruction(batch, [&](const Instruction& instruction, std::string_view) {
        if (costsWork(instruction) && budget.spent()) {
            budget.skip();
        } else {
            std::visit(execute, instruction);
        }
    });
}
