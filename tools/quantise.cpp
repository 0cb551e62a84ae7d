#include "quantise.h"

#include <algorithm>
#include <array>
#include <limits>
#include <cmath>
#include <map>

namespace tools {
namespace {

struct Weighted {
    Rgb8 colour;
    std::uint32_t count;
};

int Channel(const Rgb8& c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

struct Box {
    std::vector<Weighted> colours;
    int axis = 0;
    int spread = 0;
    std::uint64_t weight = 0;

    void Measure() {
        weight = 0;
        spread = -1;
        for (int a = 0; a < 3; ++a) {
            int lo = 255, hi = 0;
            for (const Weighted& w : colours) {
                lo = std::min(lo, Channel(w.colour, a));
                hi = std::max(hi, Channel(w.colour, a));
            }
            if (hi - lo > spread) {
                spread = hi - lo;
                axis = a;
            }
        }
        for (const Weighted& w : colours) weight += w.count;
    }
    Rgb8 Mean() const {
        double r = 0, g = 0, b = 0;
        for (const Weighted& w : colours) {
            r += w.colour.r * double(w.count);
            g += w.colour.g * double(w.count);
            b += w.colour.b * double(w.count);
        }
        double n = static_cast<double>(weight);
        return {static_cast<std::uint8_t>(r / n + 0.5), static_cast<std::uint8_t>(g / n + 0.5),
                static_cast<std::uint8_t>(b / n + 0.5)};
    }
};

}  // namespace

Palette BuildPalette(const std::vector<Rgb8>& samples, const Palette& reserved) {
    Palette palette = reserved;
    const size_t free_entries = reserved.size() < 256 ? 256 - reserved.size() : 0;
    std::map<std::uint32_t, std::uint32_t> histogram;
    for (const Rgb8& c : samples) ++histogram[(c.r << 16) | (c.g << 8) | c.b];
    if (histogram.empty() || free_entries == 0) return palette;

    std::vector<Box> boxes(1);
    for (const auto& [key, count] : histogram)
        boxes[0].colours.push_back({{static_cast<std::uint8_t>(key >> 16),
                                     static_cast<std::uint8_t>(key >> 8),
                                     static_cast<std::uint8_t>(key)},
                                    count});
    boxes[0].Measure();
    while (boxes.size() < free_entries) {
        // Split the box whose colours are most spread out, favouring well-used boxes.
        auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            auto score = [](const Box& x) {
                return x.colours.size() < 2 ? -1.0 : x.spread * std::sqrt(double(x.weight));
            };
            return score(a) < score(b);
        });
        if (worst->colours.size() < 2) break;
        Box& box = *worst;
        const int axis = box.axis;
        std::sort(box.colours.begin(), box.colours.end(), [axis](const Weighted& a, const Weighted& b) {
            return Channel(a.colour, axis) < Channel(b.colour, axis);
        });
        std::uint64_t half = box.weight / 2, running = 0;
        size_t cut = 1;
        for (; cut < box.colours.size() - 1; ++cut) {
            running += box.colours[cut - 1].count;
            if (running >= half) break;
        }
        Box upper;
        upper.colours.assign(box.colours.begin() + static_cast<std::ptrdiff_t>(cut), box.colours.end());
        box.colours.resize(cut);
        box.Measure();
        upper.Measure();
        boxes.push_back(std::move(upper));
    }
    for (const Box& box : boxes) palette.push_back(box.Mean());
    return palette;
}

std::uint8_t Nearest(const Palette& palette, Rgb8 colour, size_t first) {
    size_t best = first;
    int best_distance = std::numeric_limits<int>::max();
    for (size_t i = first; i < palette.size(); ++i) {
        int dr = palette[i].r - colour.r, dg = palette[i].g - colour.g, db = palette[i].b - colour.b;
        // Weighted towards green, to which the eye is most sensitive.
        int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

const Palette& ClassicPalette16() {
    static const Palette palette = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    return palette;
}

}  // namespace tools
