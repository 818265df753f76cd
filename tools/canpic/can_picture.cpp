#include "can_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "lettering.h"

namespace zv::canpic {
namespace {

constexpr double kPi = std::numbers::pi;

struct Colour {
    double r, g, b;
};

constexpr Colour Hex(uint32_t rgb) {
    return {(rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Colour Scale(Colour c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}
Colour Add(Colour c, double v) {
    return {c.r + v, c.g + v, c.b + v};
}

double Smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Palette of the scene.
constexpr Colour kSkyInner = Hex(0x4FA8EE), kSkyOuter = Hex(0x0A2A5C);
constexpr Colour kRayInner = Hex(0x7CC4F7), kRayOuter = Hex(0x143F7E);
constexpr Colour kCanRed = Hex(0xD0142C);
constexpr Colour kGold = Hex(0xF6BE1A);
constexpr Colour kWhite = Hex(0xFFFFFF);
constexpr Colour kNavy = Hex(0x0D1B3D);
constexpr Colour kSilver = Hex(0xC9CED6);
constexpr Colour kShadowRed = Hex(0x6E0714);

// Can geometry, in pixels. Seen slightly from above, every horizontal ring
// of the can appears as an ellipse whose height is kTilt times its width.
constexpr double kCentreX = 125;
constexpr double kRadius = 64;
constexpr double kTilt = 0.2;
constexpr double kLidY = 42;    // ring at the top of the neck
constexpr double kNeckEnd = 60; // full radius from here down
constexpr double kTaperStart = 208;
constexpr double kBaseY = 222; // ring at the bottom

double RadiusAt(double ringY) {
    if (ringY < kNeckEnd)
        return kRadius * (0.84 + 0.16 * Smoothstep(kLidY, kNeckEnd, ringY));
    if (ringY > kTaperStart)
        return kRadius * (1.0 - 0.08 * Smoothstep(kTaperStart, kBaseY, ringY));
    return kRadius;
}

Colour Background(double x, double y) {
    const double dx = x - kCentreX, dy = y - 118;
    const double fade = std::min(1.0, std::hypot(dx, dy) / 190);
    const double turns = (std::atan2(dy, dx) / (2 * kPi) + 1) * 16;
    const bool ray = std::fmod(turns, 1.0) < 0.5;
    Colour c = ray ? Mix(kRayInner, kRayOuter, fade) : Mix(kSkyInner, kSkyOuter, fade);
    // Soft shadow of the can on the ground.
    const double sx = (x - kCentreX - 8) / 82, sy = (y - kBaseY - 6) / 13;
    const double shadow = 0.55 * (1 - Smoothstep(0.55, 1.0, std::hypot(sx, sy)));
    return Scale(c, 1 - shadow);
}

struct Bubble {
    double x, y, r;
};
constexpr Bubble kBubbles[] = {
    {28, 58, 10}, {48, 104, 5},  {20, 150, 7},  {40, 196, 4},
    {212, 46, 6}, {228, 98, 11}, {206, 152, 5}, {230, 192, 7},
};

Colour Bubbles(Colour c, double x, double y) {
    for (const Bubble& b : kBubbles) {
        const double d = std::hypot(x - b.x, y - b.y);
        if (d > b.r)
            continue;
        c = Mix(c, kWhite, 0.18);
        if (d > b.r - 1.6)
            c = Mix(c, kWhite, 0.75);
        if (std::hypot(x - (b.x - b.r * 0.4), y - (b.y - b.r * 0.4)) < b.r * 0.28)
            c = kWhite;
    }
    return c;
}

// Brushed metal with the can's lighting: a broad sheen and a hard highlight.
Colour Metal(double theta, double ringY) {
    const double diffuse = 0.45 + 0.55 * std::max(0.0, std::cos(theta + 0.7));
    const double highlight = std::pow(std::max(0.0, std::cos(theta + 0.45)), 40);
    const double ridge = 0.9 + 0.1 * std::sin(ringY * 1.7);
    return Add(Scale(kSilver, diffuse * ridge), 0.5 * highlight);
}

// Painted label, in surface coordinates: u along the circumference from the
// front centre, v down the can.
Colour Label(double u, double v, const StrokeText& word) {
    if (v < 66)
        return kGold;
    if (v < 68.5)
        return kNavy;
    // Brand name: white with a navy outline over a dark drop shadow.
    constexpr double textTop = 86, capHeight = 38;
    const double tx = u + word.width() / 2, ty = v - (textTop + capHeight);
    const double half = word.penWidth() / 2;
    const double d = word.Distance(tx, ty);
    if (d < half)
        return kWhite;
    if (d < half + 2.2)
        return kNavy;
    Colour c = kCanRed;
    if (word.Distance(tx - 3, ty - 3) < half + 2.2)
        c = kShadowRed;
    // Star above the name.
    const double sx = u, sy = v - 76;
    const double r = std::hypot(sx, sy), a = std::atan2(sx, -sy);
    const double spoke = std::fmod(a / (2 * kPi) * 5 + 5.5, 1.0) - 0.5;
    if (r < 7.5 - 9.0 * std::abs(spoke) * (r > 3 ? 1 : 0))
        return kGold;
    // White wave under the name.
    const double wave = 140 + 5 * std::sin(u / 14);
    if (v > wave && v < wave + 8)
        return kWhite;
    if (v > wave + 10 && v < wave + 12)
        return kGold;
    // Diagonal stripes.
    if (v > 164 && v < 186)
        return std::fmod((u + v + 400) / 11, 1.0) < 0.5 ? kGold : kShadowRed;
    if (v > 190 && v < 197)
        return kWhite;
    if (v > 197 && v < 199)
        return kNavy;
    return c;
}

Colour Can(Colour background, double x, double y, const StrokeText& word) {
    // Lid: the top ring seen from above.
    const double lidRadius = RadiusAt(kLidY);
    const double lx = (x - kCentreX) / lidRadius, ly = (y - kLidY) / (kTilt * lidRadius);
    const double lr = std::hypot(lx, ly);
    if (lr <= 1.0) {
        const double shade = 0.75 + 0.25 * Smoothstep(1.0, -1.0, lx + ly);
        if (lr > 0.86)
            return Add(Scale(kSilver, shade), 0.12);
        Colour c = Scale(kSilver, shade * 0.8);
        const double ox = lx / 0.24, oy = (ly - 0.5) / 0.2;
        if (std::hypot(ox, oy) < 1)
            return Scale(kNavy, 0.8); // opening
        const double tx = std::abs(lx) / 0.2, ty = (ly + 0.18) / 0.42;
        if (std::max(tx, std::abs(ty)) < 1) { // pull tab with its finger hole
            if (std::hypot(lx / 0.1, (ly + 0.3) / 0.16) < 1)
                return Scale(c, 0.7);
            return Add(Scale(kSilver, shade), 0.08);
        }
        return c;
    }
    // Body: find the ring this pixel lies on, refining the ring's radius.
    double ringY = y, radius = kRadius, s = 0;
    for (int i = 0; i < 4; ++i) {
        s = (x - kCentreX) / radius;
        if (std::abs(s) >= 1)
            return background;
        ringY = y - kTilt * radius * std::sqrt(1 - s * s);
        radius = RadiusAt(ringY);
    }
    if (ringY < kLidY || ringY > kBaseY)
        return background;
    const double theta = std::asin(s);
    if (ringY < kNeckEnd + 2 || ringY > kTaperStart)
        return Metal(theta, ringY);
    const Colour paint = Label(theta * kRadius, ringY, word);
    const double diffuse = 0.38 + 0.62 * std::max(0.0, std::cos(theta + 0.6));
    const double highlight = std::pow(std::max(0.0, std::cos(theta + 0.42)), 80);
    const double rim = 0.22 * std::pow(std::max(0.0, std::cos(theta - 1.0)), 24);
    return Add(Scale(paint, diffuse), 0.8 * highlight + rim);
}

uint32_t Pack(Colour c) {
    auto channel = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

} // namespace

bmp::BmpPicture DrawCanPicture() {
    const StrokeText word("Zevra", 38, 8.5, 0.2);
    constexpr int kSamples = 4; // per axis
    bmp::BmpPicture picture{kCanPictureSize, kCanPictureSize, {}, {}};
    picture.pixels.reserve(kCanPictureSize * kCanPictureSize);
    for (int py = 0; py < kCanPictureSize; ++py)
        for (int px = 0; px < kCanPictureSize; ++px) {
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = px + (sx + 0.5) / kSamples, y = py + (sy + 0.5) / kSamples;
                    Colour c = Bubbles(Background(x, y), x, y);
                    c = Can(c, x, y, word);
                    sum = {sum.r + std::clamp(c.r, 0.0, 1.0), sum.g + std::clamp(c.g, 0.0, 1.0),
                           sum.b + std::clamp(c.b, 0.0, 1.0)};
                }
            picture.pixels.push_back(Pack(Scale(sum, 1.0 / (kSamples * kSamples))));
        }
    return picture;
}

} // namespace zv::canpic
