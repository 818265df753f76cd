// Palette reduction: median cut for a start, then k-means refinement, both
// over the distinct colours weighted by how often they occur.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

#include "can_picture.h"

namespace zv::canpic {
namespace {

struct Sample {
    std::array<int, 3> rgb;
    uint32_t count;
};

// The eye is most sensitive to green and least to blue.
constexpr std::array<int, 3> kWeights = {3, 4, 2};
constexpr int kDitherAmplitude = 3;

int Distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    int d = 0;
    for (int c = 0; c < 3; ++c)
        d += kWeights[c] * (a[c] - b[c]) * (a[c] - b[c]);
    return d;
}

std::array<int, 3> Channels(uint32_t rgb) {
    return {static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
            static_cast<int>(rgb & 0xFF)};
}

struct Box {
    std::vector<Sample> samples;
    uint64_t weight = 0;
    int widestChannel = 0;
    int range = 0;

    void Measure() {
        weight = 0;
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (const Sample& s : samples) {
            weight += s.count;
            for (int c = 0; c < 3; ++c)
                lo[c] = std::min(lo[c], s.rgb[c]), hi[c] = std::max(hi[c], s.rgb[c]);
        }
        range = -1;
        for (int c = 0; c < 3; ++c)
            if (kWeights[c] * (hi[c] - lo[c]) > range)
                range = kWeights[c] * (hi[c] - lo[c]), widestChannel = c;
    }
};

std::array<int, 3> Mean(const std::vector<Sample>& samples,
                        const std::vector<int>* members = nullptr) {
    std::array<uint64_t, 3> sum{};
    uint64_t weight = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (members && (*members)[i] < 0)
            continue;
        for (int c = 0; c < 3; ++c)
            sum[c] += uint64_t{samples[i].count} * samples[i].rgb[c];
        weight += samples[i].count;
    }
    std::array<int, 3> mean{};
    for (int c = 0; c < 3; ++c)
        mean[c] = static_cast<int>((sum[c] + weight / 2) / weight);
    return mean;
}

std::vector<std::array<int, 3>> MedianCut(std::vector<Sample> samples, int colours) {
    std::vector<Box> boxes(1);
    boxes[0].samples = std::move(samples);
    boxes[0].Measure();
    while (static_cast<int>(boxes.size()) < colours) {
        // Split where a wide range meets many pixels.
        auto score = [](const Box& b) {
            return b.samples.size() < 2 ? 0.0 : b.range * std::sqrt(double(b.weight));
        };
        auto widest = std::max_element(boxes.begin(), boxes.end(), [&](const Box& a, const Box& b) {
            return score(a) < score(b);
        });
        if (score(*widest) == 0)
            break;
        const int c = widest->widestChannel;
        std::sort(widest->samples.begin(), widest->samples.end(),
                  [c](const Sample& a, const Sample& b) { return a.rgb[c] < b.rgb[c]; });
        uint64_t half = 0;
        size_t cut = 1;
        while (cut < widest->samples.size() - 1 &&
               (half += widest->samples[cut - 1].count) < widest->weight / 2)
            ++cut;
        Box upper;
        upper.samples.assign(widest->samples.begin() + cut, widest->samples.end());
        widest->samples.resize(cut);
        widest->Measure();
        upper.Measure();
        boxes.push_back(std::move(upper));
    }
    std::vector<std::array<int, 3>> palette;
    for (const Box& b : boxes)
        palette.push_back(Mean(b.samples));
    return palette;
}

size_t Nearest(const std::vector<std::array<int, 3>>& palette, const std::array<int, 3>& rgb) {
    size_t best = 0;
    int bestDistance = Distance(palette[0], rgb);
    for (size_t i = 1; i < palette.size() && bestDistance > 0; ++i) {
        const int d = Distance(palette[i], rgb);
        if (d < bestDistance)
            best = i, bestDistance = d;
    }
    return best;
}

void Refine(std::vector<std::array<int, 3>>& palette, const std::vector<Sample>& samples,
            int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::array<uint64_t, 4>> sums(palette.size());
        for (const Sample& s : samples) {
            auto& sum = sums[Nearest(palette, s.rgb)];
            for (int c = 0; c < 3; ++c)
                sum[c] += uint64_t{s.count} * s.rgb[c];
            sum[3] += s.count;
        }
        for (size_t i = 0; i < palette.size(); ++i)
            if (sums[i][3] > 0)
                for (int c = 0; c < 3; ++c)
                    palette[i][c] = static_cast<int>((sums[i][c] + sums[i][3] / 2) / sums[i][3]);
    }
}

} // namespace

bmp::BmpPicture Palettise(const bmp::BmpPicture& trueColour, int colours) {
    if (trueColour.indexed() || colours < 1 || colours > 256)
        throw std::invalid_argument("cannot palettise");
    std::map<uint32_t, uint32_t> counts;
    for (uint32_t rgb : trueColour.pixels)
        ++counts[rgb];
    std::vector<Sample> samples;
    for (const auto& [rgb, count] : counts)
        samples.push_back({Channels(rgb), count});

    std::vector<std::array<int, 3>> palette = MedianCut(samples, colours);
    Refine(palette, samples, 12);
    // Dark to light, so neighbouring indices look alike.
    std::sort(palette.begin(), palette.end(), [](const auto& a, const auto& b) {
        const int la = 3 * a[0] + 6 * a[1] + a[2], lb = 3 * b[0] + 6 * b[1] + b[2];
        return la != lb ? la < lb : a < b;
    });

    bmp::BmpPicture indexed{trueColour.width, trueColour.height, {}, {}};
    for (const auto& p : palette)
        indexed.palette.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]));
    // A light ordered dither breaks up the steps in the smooth gradients
    // without adding visible noise to flat areas.
    constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < trueColour.height; ++y)
        for (int x = 0; x < trueColour.width; ++x) {
            std::array<int, 3> rgb = Channels(trueColour.at(x, y));
            const int offset = (kBayer[y % 4][x % 4] * 2 - 15) * kDitherAmplitude / 15;
            for (int& c : rgb)
                c = std::clamp(c + offset, 0, 255);
            indexed.pixels.push_back(static_cast<uint32_t>(Nearest(palette, rgb)));
        }
    return indexed;
}

std::vector<uint8_t> CanBitmapFile() {
    const bmp::BmpPicture picture = Palettise(DrawCanPicture(), 256);
    return bmp::EncodeBmp(picture, {.bitsPerPixel = 8, .colorsUsed = 256});
}

} // namespace zv::canpic
