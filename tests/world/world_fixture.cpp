#include "world/world_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/clock.h"
#include "support/pieces.h"
#include "world/objeto.h"
#include "world/runner.h"

RecorderScope::RecorderScope(int playerCount)
    : viewers_(playerCount),
      recorder_(playerCount > 0 ? SessionMode::RecordsOnly : SessionMode::DrawsLocally) {
    if (playerCount > 0) recorder_.subscribe(viewers_);
    GravadorTela::install(&recorder_);
}

RecorderScope::~RecorderScope() { GravadorTela::install(nullptr); }

std::vector<std::string> RecorderScope::takeBatches() {
    std::vector<std::string> batches;
    ViewerQueues& queues = viewers_.queues();
    while (queues.queuedBatches(1) > 0) batches.push_back(queues.takeBatch(1));
    return batches;
}

std::vector<std::string> RecorderScope::takeInstructions() {
    recorder_.flush();
    std::vector<std::string> instructions;
    for (const std::string& batch : takeBatches()) {
        for (std::string& instruction : splitBatch(batch)) instructions.push_back(instruction);
    }
    return instructions;
}

std::vector<std::string> splitBatch(const std::string& batch) { return piecesOf(batch); }

namespace {

long shortageFrom = 0;
BITMAP* (*libraryCreateBitmap)(int, int, int) = nullptr;

BITMAP* createUnlessShort(int depth, int width, int height) {
    if (static_cast<long>(width) * height >= shortageFrom) return nullptr;
    if (libraryCreateBitmap) return libraryCreateBitmap(depth, width, height);
    // The library's own path, which it takes when the system driver has no hook.
    system_driver->create_bitmap = nullptr;
    BITMAP* bitmap = create_bitmap_ex(depth, width, height);
    system_driver->create_bitmap = createUnlessShort;
    return bitmap;
}

}  // namespace

BitmapMemoryShortage::BitmapMemoryShortage(long minimumPixels) {
    shortageFrom = minimumPixels;
    libraryCreateBitmap = system_driver->create_bitmap;
    system_driver->create_bitmap = createUnlessShort;
}

BitmapMemoryShortage::~BitmapMemoryShortage() {
    system_driver->create_bitmap = libraryCreateBitmap;
    libraryCreateBitmap = nullptr;
}

SimulatedClockScope::SimulatedClockScope(int64_t startMs) { useSimulatedClock(startMs); }
SimulatedClockScope::~SimulatedClockScope() { useRealClock(); }

BITMAP* whiteBitmap(int width, int height) {
    BITMAP* bitmap = create_bitmap(width, height);
    clear_to_color(bitmap, makecol(255, 255, 255));
    return bitmap;
}

TempImageDir::TempImageDir() : previous_(std::filesystem::current_path()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "corrida_world_XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    std::filesystem::create_directories(dir_ / "Img" / "Jogo");
    std::filesystem::create_directories(dir_ / "Img" / "menu");
    std::filesystem::current_path(dir_);
}

TempImageDir::~TempImageDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void TempImageDir::save(const std::string& relativePath, BITMAP* bitmap) const {
    save_bitmap((dir_ / relativePath).string().c_str(), bitmap, nullptr);
}

void setGrounded(Objeto& object, bool grounded) {
    changeMotion(object, [grounded](Objeto::MotionState& state) { state.grounded = grounded; });
}

void setGravity(Objeto& object, int gravity) {
    changeMotion(object, [gravity](Objeto::MotionState& state) { state.gravity = gravity; });
}

void setSpeedY(Objeto& object, double speed) {
    changeMotion(object, [speed](Objeto::MotionState& state) { state.speedY = speed; });
}

void setActive(Objeto& object, bool active) {
    changeMotion(object, [active](Objeto::MotionState& state) { state.active = active; });
}

Arena::Arena(int width, int height) : bitmap(whiteBitmap(width, height)) {}

Arena::~Arena() { destroy_bitmap(bitmap); }

void Arena::place(Objeto* object, int colour) {
    object->assignIdentityColour(colour);
    if (object->kind() == ObjectKind::kRunner) {
        players[colour] = static_cast<Runner*>(object);
    } else {
        objects[colour] = object;
    }
    paintBox(*object);
}

Objeto* Arena::objectPainted(int colour) const {
    if (const auto found = players.find(colour); found != players.end()) return found->second;
    if (const auto found = objects.find(colour); found != objects.end()) return found->second;
    return nullptr;
}

void Arena::paintBox(const Objeto& object) {
    rectfill(bitmap, object.x(), object.y() - object.height(), object.x() + object.width(),
             object.y(), object.identityColour());
}

void Arena::terrain(int x1, int y1, int x2, int y2) {
    rectfill(bitmap, x1, y1, x2, y2, makecol(0, 0, 0));
}
