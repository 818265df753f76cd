// A stroke font of our own for the can's brand name: each glyph is a set of
// polylines drawn with round caps at one pen width, so shapes are defined by
// their distance to the pen path and any scale stays crisp.
#pragma once

#include <string_view>
#include <vector>

namespace zv::canpic {

struct Point {
    double x;
    double y;
};

class StrokeText {
public:
    // Lays out `word` (the glyphs Z, e, v, r, a) with its baseline at y = 0 and
    // its left edge at x = 0, y growing downwards, cap height `capHeight`;
    // `slant` shears it to the right (0.2 = 0.2 units across per unit up).
    StrokeText(std::string_view word, double capHeight, double penWidth, double slant);

    double width() const { return width_; }
    double penWidth() const { return penWidth_; }
    // Distance from (x, y) to the pen's centre line.
    double Distance(double x, double y) const;

private:
    struct Segment {
        Point a;
        Point b;
    };
    std::vector<Segment> segments_;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    double width_ = 0;
    double penWidth_;
};

} // namespace zv::canpic
