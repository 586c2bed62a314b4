#include "characters.h"

#include <cmath>
#include <vector>

using kit::Rgb;

namespace {

struct Look {
    const char* name;
    Rgb skin, hair, shirt, pants, shoes, accent;
    enum Head { Spiky, Ponytail, Headband, Robot, Cap, Helmet } head;
};

const Look kLooks[kMaxPlayers] = {
    {"Rubi",
     {240, 190, 150},
     {30, 26, 30},
     {222, 52, 48},
     {40, 62, 140},
     {245, 245, 245},
     {255, 220, 80},
     Look::Spiky},
    {"Safira",
     {250, 212, 182},
     {246, 204, 70},
     {50, 112, 232},
     {34, 34, 46},
     {220, 40, 40},
     {255, 255, 255},
     Look::Ponytail},
    {"Jade",
     {146, 96, 64},
     {24, 20, 20},
     {48, 172, 72},
     {28, 100, 44},
     {30, 30, 30},
     {230, 40, 40},
     Look::Headband},
    {"Bolt",
     {168, 176, 192},
     {110, 116, 132},
     {150, 158, 176},
     {100, 106, 122},
     {70, 74, 88},
     {252, 212, 40},
     Look::Robot},
    {"Tita",
     {232, 172, 132},
     {120, 60, 30},
     {246, 132, 30},
     {60, 92, 164},
     {250, 250, 250},
     {246, 132, 30},
     Look::Cap},
    {"Cosmo",
     {236, 238, 244},
     {236, 238, 244},
     {232, 236, 242},
     {214, 220, 230},
     {40, 196, 214},
     {40, 196, 214},
     Look::Helmet},
};

const Rgb kOutline{26, 20, 36};

struct Shape {
    enum Kind { Circle, Capsule, Box } kind;
    double a, b, c, d, r;
    Rgb colour;
};

struct Point {
    double x, y;
};

Point along(Point from, double angle, double length) {
    // Angle 0 points straight down, positive angles lean forward (to the right).
    return {from.x + std::sin(angle) * length, from.y + std::cos(angle) * length};
}

struct Pose {
    Point hip, shoulder, head;
    Point knee[2], foot[2], elbow[2], hand[2];
};

Pose runningPose(int frame) {
    const double pi = 3.14159265358979;
    const double phase = 2 * pi * frame / kGroundedFrames;
    Pose p{};
    const double bob = -1.2 * std::abs(std::sin(phase));
    p.hip = {19, 30 + bob};
    p.shoulder = {22.5, 19.5 + bob};
    p.head = {24.5, 10.5 + bob};
    for (int i = 0; i < 2; ++i) {
        const double s = std::sin(phase + i * pi), c = std::cos(phase + i * pi);
        const double thigh = 0.8 * s;
        const double shin = thigh - (0.25 + 0.95 * std::max(0.0, c));
        p.knee[i] = along(p.hip, thigh, 8.5);
        p.foot[i] = along(p.knee[i], shin, 8.0);
        const double arm = -0.9 * s;
        p.elbow[i] = along(p.shoulder, arm, 6.0);
        p.hand[i] = along(p.elbow[i], arm + 1.5, 5.5);
    }
    // Keep the lower foot on the bottom row of the frame.
    const double lowest = std::max(p.foot[0].y, p.foot[1].y) + 2.2;
    const double shift = 46.0 - lowest;
    for (Point* q : {&p.hip, &p.shoulder, &p.head, &p.knee[0], &p.knee[1], &p.foot[0], &p.foot[1],
                     &p.elbow[0], &p.elbow[1], &p.hand[0], &p.hand[1]})
        q->y += shift;
    return p;
}

Pose airbornePose(int frame) {
    const double pi = 3.14159265358979;
    const double wiggle = std::sin(frame * pi / 2), wobble = std::cos(frame * pi / 2);
    Pose p{};
    p.hip = {20, 31.5};
    p.shoulder = {21.5, 21};
    p.head = {23, 12.5};
    for (int i = 0; i < 2; ++i) {
        const double side = i == 0 ? 1 : -1;
        const double thigh = 1.0 + 0.35 * side * wiggle;
        p.knee[i] = along(p.hip, thigh, 8.0);
        p.foot[i] = along(p.knee[i], thigh - 1.9 + 0.3 * wobble, 7.5);
        // Arms thrown out to both sides, waving.
        const double arm = pi - 1.25 * side - 0.35 * wobble;
        p.elbow[i] = along(p.shoulder, arm, 6.0);
        p.hand[i] = along(p.elbow[i], arm + 0.45 * side, 5.5);
    }
    return p;
}

void limb(std::vector<Shape>& shapes, Point a, Point b, double r, Rgb colour) {
    shapes.push_back({Shape::Capsule, a.x, a.y, b.x, b.y, r, colour});
}

void circle(std::vector<Shape>& shapes, Point c, double r, Rgb colour) {
    shapes.push_back({Shape::Circle, c.x, c.y, 0, 0, r, colour});
}

void box(std::vector<Shape>& shapes, double x1, double y1, double x2, double y2, double r,
         Rgb colour) {
    shapes.push_back({Shape::Box, x1, y1, x2, y2, r, colour});
}

// The outlined body: everything that gets the dark contour.
std::vector<Shape> bodyShapes(const Look& look, const Pose& p) {
    std::vector<Shape> s;
    const Rgb backShirt = kit::scale(look.shirt, 0.72), backPants = kit::scale(look.pants, 0.72);
    const Rgb backSkin = kit::scale(look.skin, 0.8);
    // Far arm and leg first, a little darker.
    limb(s, p.shoulder, p.elbow[1], 2.3, backShirt);
    limb(s, p.elbow[1], p.hand[1], 2.0, look.head == Look::Robot ? backShirt : backSkin);
    limb(s, p.hip, p.knee[1], 2.8, backPants);
    limb(s, p.knee[1], p.foot[1], 2.5, backPants);
    limb(s, p.foot[1], {p.foot[1].x + 3.0, p.foot[1].y + 0.6}, 2.2, kit::scale(look.shoes, 0.75));
    // Torso.
    limb(s, p.shoulder, p.hip, 5.2, look.shirt);
    // Near leg.
    limb(s, p.hip, p.knee[0], 2.9, look.pants);
    limb(s, p.knee[0], p.foot[0], 2.6, look.pants);
    limb(s, p.foot[0], {p.foot[0].x + 3.2, p.foot[0].y + 0.6}, 2.3, look.shoes);
    // Head.
    if (look.head == Look::Robot) {
        box(s, p.head.x - 7.5, p.head.y - 7, p.head.x + 7.5, p.head.y + 7, 2.5, look.skin);
        limb(s, {p.head.x, p.head.y - 7}, {p.head.x - 1, p.head.y - 10.5}, 0.9, look.hair);
        circle(s, {p.head.x - 1, p.head.y - 11}, 1.8, look.accent);
    } else if (look.head == Look::Helmet) {
        circle(s, p.head, 8.8, look.skin);
    } else {
        if (look.head == Look::Ponytail) {
            limb(s, {p.head.x - 6, p.head.y - 3}, {p.head.x - 11, p.head.y + 3}, 2.6, look.hair);
        }
        circle(s, p.head, 7.6, look.skin);
    }
    // Near arm.
    limb(s, p.shoulder, p.elbow[0], 2.4, look.shirt);
    limb(s, p.elbow[0], p.hand[0], 2.1, look.head == Look::Robot ? look.shirt : look.skin);
    return s;
}

// Details drawn over the body without a contour: faces, hair, stripes.
std::vector<Shape> detailShapes(const Look& look, const Pose& p) {
    std::vector<Shape> s;
    const Point h = p.head;
    switch (look.head) {
        case Look::Spiky:
            limb(s, {h.x - 6, h.y - 3}, {h.x + 5, h.y - 5}, 3.2, look.hair);
            limb(s, {h.x - 7, h.y - 4}, {h.x - 10, h.y - 8}, 1.6, look.hair);
            limb(s, {h.x - 3, h.y - 6}, {h.x - 3.5, h.y - 9.5}, 1.6, look.hair);
            limb(s, {h.x + 2, h.y - 6}, {h.x + 3.5, h.y - 9.5}, 1.6, look.hair);
            break;
        case Look::Ponytail:
            limb(s, {h.x - 5, h.y - 4}, {h.x + 5, h.y - 5.5}, 3.0, look.hair);
            break;
        case Look::Headband:
            limb(s, {h.x - 6, h.y - 4.5}, {h.x + 5, h.y - 6}, 2.6, look.hair);
            limb(s, {h.x - 7, h.y - 2}, {h.x + 7, h.y - 2.5}, 1.3, look.accent);
            limb(s, {h.x - 7, h.y - 2}, {h.x - 12, h.y + 1}, 1.0, look.accent);
            limb(s, {h.x - 7, h.y - 2}, {h.x - 11, h.y + 4}, 1.0, look.accent);
            break;
        case Look::Robot:
            box(s, h.x - 2, h.y - 3, h.x + 7, h.y + 1.5, 1.2, look.accent);
            circle(s, {p.shoulder.x + 0.5, p.shoulder.y + 4}, 2.2, look.accent);
            break;
        case Look::Cap:
            limb(s, {h.x - 7, h.y - 3}, {h.x + 5, h.y - 5}, 3.4, look.accent);
            limb(s, {h.x + 3, h.y - 3.5}, {h.x + 10, h.y - 3}, 1.2, kit::scale(look.accent, 0.8));
            limb(s, {h.x - 7, h.y - 1}, {h.x - 6, h.y + 2}, 1.6, look.hair);
            break;
        case Look::Helmet:
            box(s, h.x - 1, h.y - 4.5, h.x + 8, h.y + 3.5, 3.2, look.accent);
            box(s, h.x + 2, h.y - 3.5, h.x + 5, h.y - 2, 0.7, {210, 250, 255});
            limb(s, {p.shoulder.x - 3, p.shoulder.y + 5}, {p.hip.x - 3, p.hip.y - 2}, 1.0,
                 look.accent);
            break;
    }
    if (look.head != Look::Robot && look.head != Look::Helmet) {
        circle(s, {h.x + 3.8, h.y - 0.5}, 1.3, {20, 20, 30});
        limb(s, {h.x + 2.5, h.y + 3.6}, {h.x + 5, h.y + 3.2}, 0.6, {120, 40, 40});
    }
    if (look.head == Look::Spiky || look.head == Look::Ponytail || look.head == Look::Cap) {
        limb(s, {p.shoulder.x - 3.5, p.shoulder.y + 5}, {p.shoulder.x + 3.5, p.shoulder.y + 5}, 0.9,
             look.accent);
    }
    return s;
}

void render(BITMAP* target, const Shape& shape, double grow, double left, double top, double scale,
            Rgb colour, bool hardEdges) {
    const double r = shape.r * scale + grow;
    auto X = [&](double v) { return left + v * scale; };
    auto Y = [&](double v) { return top + v * scale; };
    switch (shape.kind) {
        case Shape::Circle:
            kit::fillCircle(target, X(shape.a), Y(shape.b), r, colour, !hardEdges);
            break;
        case Shape::Capsule:
            kit::fillCapsule(target, X(shape.a), Y(shape.b), X(shape.c), Y(shape.d), r, colour,
                             !hardEdges);
            break;
        case Shape::Box:
            kit::fillRoundedRect(target, X(shape.a) - grow, Y(shape.b) - grow, X(shape.c) + grow,
                                 Y(shape.d) + grow, r, colour, !hardEdges);
            break;
    }
}

}  // namespace

Rgb characterColour(int character) {
    const Look& look = kLooks[character];
    return look.head == Look::Helmet || look.head == Look::Robot ? look.accent : look.shirt;
}

const char* characterName(int character) { return kLooks[character].name; }

void drawCharacter(BITMAP* target, int character, bool grounded, int frame, double left, double top,
                   double scale, bool hardEdges) {
    const Look& look = kLooks[character];
    const Pose pose = grounded ? runningPose(frame) : airbornePose(frame);
    const std::vector<Shape> body = bodyShapes(look, pose);
    const double outline = hardEdges ? 1.0 : std::max(1.0, scale * 0.6);
    for (const Shape& shape : body)
        render(target, shape, outline, left, top, scale, kOutline, hardEdges);
    for (const Shape& shape : body)
        render(target, shape, 0.0, left, top, scale, shape.colour, hardEdges);
    for (const Shape& shape : detailShapes(look, pose))
        render(target, shape, 0.0, left, top, scale, shape.colour, hardEdges);
}

BitmapHandle makeSpriteSheet(int character) {
    BitmapHandle sheet =
        kit::newCanvas(kFrameWidth * kGroundedFrames, kAirborneRowY + kFrameHeight, kit::kMagenta);
    const BitmapHandle cell = kit::newCanvas(kFrameWidth, kFrameHeight, kit::kMagenta);
    for (int row = 0; row < 2; ++row) {
        const bool grounded = row == 0;
        const int frames = grounded ? kGroundedFrames : kAirborneFrames;
        for (int k = 0; k < frames; ++k) {
            clear_to_color(cell.get(), kit::toAllegro(kit::kMagenta));
            drawCharacter(cell.get(), character, grounded, k, 0, 0, 1.0, true);
            blit(cell.get(), sheet.get(), 0, 0, k * kFrameWidth, grounded ? 0 : kAirborneRowY,
                 kFrameWidth, kFrameHeight);
        }
    }
    return sheet;
}
