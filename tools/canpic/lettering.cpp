#include "lettering.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace zv::canpic {
namespace {

using Polyline = std::vector<Point>;

struct Glyph {
    double advance; // in cap heights, pen not included
    std::vector<Polyline> strokes;
};

constexpr double kXHeight = 0.74;

// Arc around (cx, cy) from angle a0 to a1 (radians, counter-clockwise, y up).
Polyline Arc(double cx, double cy, double rx, double ry, double a0, double a1) {
    Polyline line;
    const int steps = std::max(8, static_cast<int>(std::abs(a1 - a0) * 12));
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        line.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return line;
}

// Glyph outlines in cap-height units, baseline at 0, y up.
Glyph GlyphFor(char c) {
    constexpr double pi = std::numbers::pi;
    const double h = kXHeight, half = kXHeight / 2;
    switch (c) {
    case 'Z':
        return {0.58, {{{0.02, 1.0}, {0.56, 1.0}, {0.02, 0.0}, {0.58, 0.0}}}};
    case 'e': {
        Polyline bowl = Arc(0.29, half, 0.29, half, 0.0, 2 * pi - 0.75);
        return {0.58, {{{0.0, half}, {0.58, half}}, bowl}};
    }
    case 'v':
        return {0.56, {{{0.0, h}, {0.28, 0.0}, {0.56, h}}}};
    case 'r':
        return {0.42, {{{0.0, 0.0}, {0.0, h}}, Arc(0.3, h - 0.28, 0.3, 0.28, pi, pi * 0.36)}};
    case 'a':
        return {0.6, {Arc(0.28, half, 0.28, half, 0.0, 2 * pi), {{0.58, h}, {0.58, 0.0}}}};
    default:
        throw std::invalid_argument("no glyph for this character");
    }
}

double SegmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

} // namespace

StrokeText::StrokeText(std::string_view word, double capHeight, double penWidth, double slant)
    : penWidth_(penWidth) {
    const double spacing = 0.14;
    double pen = penWidth / 2 / capHeight; // so the first stroke's edge sits at x = 0
    for (char c : word) {
        const Glyph glyph = GlyphFor(c);
        for (const Polyline& line : glyph.strokes)
            for (size_t i = 1; i < line.size(); ++i) {
                auto place = [&](Point q) {
                    return Point{(pen + q.x + slant * q.y) * capHeight, -q.y * capHeight};
                };
                segments_.push_back({place(line[i - 1]), place(line[i])});
            }
        pen += glyph.advance + spacing;
    }
    width_ = (pen - spacing) * capHeight + penWidth / 2 + slant * capHeight;
    minX_ = minY_ = std::numeric_limits<double>::max();
    maxX_ = maxY_ = std::numeric_limits<double>::lowest();
    for (const Segment& s : segments_)
        for (Point q : {s.a, s.b}) {
            minX_ = std::min(minX_, q.x), maxX_ = std::max(maxX_, q.x);
            minY_ = std::min(minY_, q.y), maxY_ = std::max(maxY_, q.y);
        }
}

double StrokeText::Distance(double x, double y) const {
    // Far from the word the exact distance does not matter, only that it is large.
    const double outside = std::max({minX_ - x, x - maxX_, minY_ - y, y - maxY_, 0.0});
    if (outside > 2 * penWidth_)
        return outside;
    double best = std::numeric_limits<double>::max();
    for (const Segment& s : segments_)
        best = std::min(best, SegmentDistance({x, y}, s.a, s.b));
    return best;
}

} // namespace zv::canpic
