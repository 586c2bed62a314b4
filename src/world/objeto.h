// Objeto: everything that stands in a stage (runners, speed markers, the finish line, the camera).
//
// An object has a position (left edge x(), bottom edge y()), a box that covers columns x..x+width
// and rows y-height..y (both ends included), an image, a velocity and optional gravity. It moves
// one pixel at a time against the collision bitmap of the collision context it is given (its
// stage's), probing the one-pixel line just beyond its box; the first pixel it finds solid decides
// what it hit (terrain, a registered object, or nothing). Nothing can pass through a one-pixel wall
// however fast it moves.
//
// Every object answers what it is (kind()): a runner tells by it what it hit, and the camera finds
// the speed markers by it.
//
// Drawing follows the draw-and-record rule: the image is drawn locally only when this process draws
// (not a server) and every drawing call is recorded; the box painted into the collision working
// copy is always painted and never recorded.
//
// Threads: the gravity and the grounded flag are atomic, because a runner's key timer (local play)
// and the remote-call thread (server) flip gravity while the race frame runs. Everything else
// belongs to the thread that runs the race frame.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "platform/bitmap_handle.h"

class Mapa;
class Objeto;
struct CollisionContext;

// What an object is, as the objects that meet it see it. Each class answers for itself.
enum class ObjectKind { kPlain, kRunner, kSpeedMarker, kFinishLine };

// Directions of a one-pixel step, as passed to step() and onCollision().
enum Direction : int { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };

// What a probe line met.
struct Hit {
    enum Kind { kNothing, kTerrain, kObject };
    Kind kind = kNothing;
    Objeto* object = nullptr;  // set only for kObject

    static Hit nothing() { return {}; }
    static Hit terrain() { return {kTerrain, nullptr}; }
    static Hit of(Objeto* object) { return {kObject, object}; }
};

class Objeto {
  public:
    // Loads the image from `imagePath` (locally, unless this is a server) and records the load
    // under bitmapName(); an empty path means no image and no record.
    Objeto(const std::string& imagePath, int width, int height, bool noGravity, int x, int y);
    // Destroys the image and records the destruction under bitmapName().
    virtual ~Objeto();
    Objeto(const Objeto&) = delete;
    Objeto& operator=(const Objeto&) = delete;

    // Whether a collision pixel of `colour` stops this object's probe: every colour but white.
    // White is free space for every kind of object (overrides must keep it so).
    virtual bool isSolid(int colour) const;
    // Reaction to `hit` met while stepping in `direction` towards (newX, newY). Does nothing.
    virtual void onCollision(int direction, const Hit& hit, int newX, int newY);
    // Per-frame hook called by the race frame before the object moves. Does nothing.
    virtual void update();
    // Whether this object moves through `other` (a runner through the speed markers and the finish
    // line). A probe line keeps looking past such an object, so terrain or a blocker anywhere on
    // the same line still stops the step; only a line with nothing else solid reports the object
    // passed through. None by default.
    virtual bool passesThrough(const Objeto& other) const;
    // Whether the box painted into the collision working copy covers terrain. An object that others
    // pass through (a marker column) paints only free space, so the terrain under it stays solid.
    virtual bool coversTerrain() const;
    // What this object is: a plain one (the camera, a test's block) unless a class says otherwise.
    virtual ObjectKind kind() const;

    // "bitmap" followed by the id: the name of the image in drawing instructions.
    std::string bitmapName() const;

    // Everything a frame of motion reads and changes in an object: where it is, how it moves, its
    // gravity and the gravity interval's clock, and whether it is still in the race. Tools that
    // explore a race save it and put it back through motionState() and restoreMotion(), so that a
    // new field of motion belongs here, where both see it.
    struct MotionState {
        int x = 0, y = 0;
        double speedX = 0.0, speedY = 0.0;
        int gravity = 1;
        bool grounded = false;
        bool active = true;
        bool finished = false;
        bool gravityFirst = true;
        int64_t gravityClock = 0;
        int64_t gravityElapsed = 0;

        // The fields that are plain values in an Objeto (gravity and grounded are atomic there),
        // in the order of Objeto::plainMotion.
        auto plainFields() {
            return std::tie(x, y, speedX, speedY, active, finished, gravityFirst, gravityClock,
                            gravityElapsed);
        }
        auto plainFields() const { return const_cast<MotionState*>(this)->plainFields(); }
        bool operator==(const MotionState& other) const {
            return plainFields() == other.plainFields() && gravity == other.gravity &&
                   grounded == other.grounded;
        }
        bool operator!=(const MotionState& other) const { return !(*this == other); }
    };
    MotionState motionState() const;
    void restoreMotion(const MotionState& state);

    // Draws the image into the stage's buffer (upside down when resting against the ceiling) and
    // paints the box into the stage's collision working copy in the identity colour.
    void draw(Mapa& map);
    // Paints the box alone into `work` (a collision working copy), as draw() does.
    void paintBox(BITMAP* work) const;

    // One frame of motion against `world`: gravity, then |speedX| horizontal steps, then |speedY|
    // vertical steps (speeds truncated towards zero; counts taken before stepping).
    void move(const CollisionContext& world);
    // Adds gravity * 1.8 to speedY when more than 30 ms have passed since the interval started;
    // the first call only starts the interval.
    void applyGravity();
    // One pixel in `direction`; false when blocked. A value outside 0..3 moves nothing (true).
    bool step(int direction, const CollisionContext& world);
    // Walks the line of `world`'s collision bitmap (horizontal when y1 == y2, else vertical at x1)
    // in increasing order and classifies the first pixel this object finds solid and does not pass
    // through; when there is none, the first object it passes through, if any.
    Hit scanLine(int x1, int y1, int x2, int y2, const CollisionContext& world) const;

    int id() const { return id_; }
    // Left edge and bottom edge.
    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    double speedX() const { return speedX_; }
    double speedY() const { return speedY_; }
    // +1 pulls down, -1 pulls up.
    int gravity() const { return gravity_.load(); }
    bool isGrounded() const { return grounded_.load(); }
    bool hasGravity() const { return !noGravity_; }
    bool isActive() const { return active_; }
    // Whether it crossed the finish line.
    bool hasFinished() const { return finished_; }
    // The colour its box is painted in; 0 until it is registered.
    int identityColour() const { return identityColour_; }
    BITMAP* image() const { return image_.get(); }

    // Registration: the colour its box is painted in from now on.
    void assignIdentityColour(int colour) { identityColour_ = colour; }
    // Out of the race for good: it no longer moves, is drawn or painted.
    void deactivate() { active_ = false; }
    // The horizontal speed of the next frames (the race frame carries the runners at the camera's).
    void setSpeedX(double speed) { speedX_ = speed; }

  protected:
    // Negates gravity as one atomic change.
    void negateGravity();
    // Takes the step that onCollision is judging: the object stands at (x, y).
    void moveTo(int x, int y) {
        x_ = x;
        y_ = y;
    }
    // Stands on (or hangs from) what it hit: grounded, vertical speed gone.
    void land() {
        grounded_.store(true);
        speedY_ = 0.0;
    }
    void finish() { finished_ = true; }
    void setImage(BitmapHandle image) { image_ = std::move(image); }

  private:
    void paintBox(BITMAP* work, int top) const;
    // The plain-valued motion fields, in the order of MotionState::plainFields.
    template <class Self>
    static auto plainMotion(Self& self) {
        return std::tie(self.x_, self.y_, self.speedX_, self.speedY_, self.active_, self.finished_,
                        self.gravityFirst_, self.gravityClock_, self.gravityElapsed_);
    }

    int64_t gravityClock_ = 0;
    int64_t gravityElapsed_ = 0;
    bool gravityFirst_ = true;
    BitmapHandle image_;
    std::atomic<int> gravity_{1};
    int identityColour_ = 0;
    int x_, y_;
    int width_, height_;
    double speedX_ = 0.0, speedY_ = 0.0;
    bool active_ = true;
    const bool noGravity_;
    std::atomic<bool> grounded_{false};
    bool finished_ = false;
    const int id_;
};

// Colours of the collision bitmaps at the current colour depth.
int terrainColour();  // black
int freeColour();     // white

// The id the next Objeto built in this process gets.
int nextObjectId();
