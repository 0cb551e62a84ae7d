#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace tools {
namespace {

// Calls span(row, first, last) for each run of sample columns inside the polygon on each
// sample row; sample (i, j) sits at ((i + 0.5) / scale, (j + 0.5) / scale).
template <typename SpanFn>
void ScanPolygon(const Polygon& polygon, int columns, int rows, double scale, SpanFn span) {
    if (polygon.size() < 3) return;
    double min_y = polygon[0].y, max_y = polygon[0].y;
    for (const Vec2& p : polygon) {
        min_y = std::min(min_y, p.y);
        max_y = std::max(max_y, p.y);
    }
    int first_row = std::max(0, static_cast<int>(std::floor(min_y * scale - 0.5)));
    int last_row = std::min(rows - 1, static_cast<int>(std::ceil(max_y * scale - 0.5)));
    std::vector<double> crossings;
    for (int j = first_row; j <= last_row; ++j) {
        double y = (j + 0.5) / scale;
        crossings.clear();
        for (size_t k = 0; k < polygon.size(); ++k) {
            Vec2 a = polygon[k], b = polygon[(k + 1) % polygon.size()];
            if ((a.y <= y && y < b.y) || (b.y <= y && y < a.y))
                crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            int first = std::max(0, static_cast<int>(std::ceil(crossings[k] * scale - 0.5)));
            int last = std::min(columns - 1,
                                static_cast<int>(std::ceil(crossings[k + 1] * scale - 0.5)) - 1);
            if (first <= last) span(j, first, last);
        }
    }
}

}  // namespace

SuperCanvas::SuperCanvas(int width, int height, int samples_per_axis)
    : width_(width), height_(height), samples_(samples_per_axis),
      colour_(static_cast<size_t>(width) * height * samples_per_axis * samples_per_axis),
      covered_(colour_.size(), 0.0f) {}

void SuperCanvas::Paint(size_t index, Vec2 at, const Shader& shade) {
    Rgba c = shade(at);
    Rgba& dst = colour_[index];
    dst = Mix(dst, c, c.a);
    covered_[index] = static_cast<float>(covered_[index] + (1 - covered_[index]) * c.a);
}

void SuperCanvas::Fill(const Polygon& polygon, const Shader& shade) {
    const int columns = width_ * samples_, rows = height_ * samples_;
    ScanPolygon(polygon, columns, rows, samples_, [&](int j, int first, int last) {
        for (int i = first; i <= last; ++i) {
            size_t index = static_cast<size_t>(j) * columns + i;
            Paint(index, {(i + 0.5) / samples_, (j + 0.5) / samples_}, shade);
        }
    });
}

void SuperCanvas::Fill(const Polygon& polygon, Rgba colour) {
    Fill(polygon, [colour](Vec2) { return colour; });
}

void SuperCanvas::FillAll(const Shader& shade) {
    const int columns = width_ * samples_, rows = height_ * samples_;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            Paint(static_cast<size_t>(j) * columns + i,
                  {(i + 0.5) / samples_, (j + 0.5) / samples_}, shade);
}

void SuperCanvas::Stroke(Vec2 a, Vec2 b, double width, Rgba colour) {
    Vec2 d = b - a;
    double len = Length(d);
    if (len <= 0) return;
    Vec2 along = d * (width / 2 / len);
    Vec2 across{-along.y, along.x};
    Fill({a - along + across, b + along + across, b + along - across, a - along - across},
         colour);
}

void SuperCanvas::Outline(const Polygon& polygon, double width, Rgba colour) {
    for (size_t k = 0; k < polygon.size(); ++k)
        Stroke(polygon[k], polygon[(k + 1) % polygon.size()], width, colour);
}

Picture SuperCanvas::Resolve() const {
    Picture out;
    out.width = width_;
    out.height = height_;
    out.colour.assign(static_cast<size_t>(width_) * height_, Rgba{0, 0, 0, 1});
    out.coverage.assign(out.colour.size(), 0.0);
    const int columns = width_ * samples_;
    const double per_pixel = 1.0 / (samples_ * samples_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgba sum{0, 0, 0, 1};
            double cover = 0;
            for (int j = 0; j < samples_; ++j) {
                for (int i = 0; i < samples_; ++i) {
                    size_t index = static_cast<size_t>(y * samples_ + j) * columns +
                                   static_cast<size_t>(x * samples_ + i);
                    // Samples hold colour premultiplied by their coverage.
                    sum.r += colour_[index].r;
                    sum.g += colour_[index].g;
                    sum.b += colour_[index].b;
                    cover += covered_[index];
                }
            }
            size_t p = static_cast<size_t>(y) * width_ + x;
            out.colour[p] = Rgba{sum.r * per_pixel, sum.g * per_pixel, sum.b * per_pixel, 1};
            out.coverage[p] = cover * per_pixel;
        }
    }
    return out;
}

std::vector<bool> HardMask(int width, int height, const Polygon& polygon) {
    std::vector<bool> mask(static_cast<size_t>(width) * height, false);
    ScanPolygon(polygon, width, height, 1.0, [&](int y, int first, int last) {
        for (int x = first; x <= last; ++x) mask[static_cast<size_t>(y) * width + x] = true;
    });
    return mask;
}

}  // namespace tools
