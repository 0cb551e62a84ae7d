// Supersampled drawing surface: polygons are filled at several samples per pixel and
// resolved to one colour and one coverage value per pixel.
#pragma once

#include <functional>
#include <vector>

#include "geometry.h"

namespace tools {

// A resolved picture: colour premultiplied by coverage (as if over black) and coverage.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgba> colour;      // alpha unused
    std::vector<double> coverage;  // 0..1
    Rgba& At(int x, int y) { return colour[static_cast<size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return colour[static_cast<size_t>(y) * width + x]; }
    double CoverageAt(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

using Shader = std::function<Rgba(Vec2)>;

class SuperCanvas {
public:
    SuperCanvas(int width, int height, int samples_per_axis);

    int width() const { return width_; }
    int height() const { return height_; }

    // Fills the polygon (pixel coordinates, even-odd rule). The shader's alpha blends the
    // colour over what is already there.
    void Fill(const Polygon& polygon, const Shader& shade);
    void Fill(const Polygon& polygon, Rgba colour);
    // Every sample of the canvas.
    void FillAll(const Shader& shade);
    // A straight stroke of the given width between two points.
    void Stroke(Vec2 a, Vec2 b, double width, Rgba colour);
    // The closed outline of a polygon.
    void Outline(const Polygon& polygon, double width, Rgba colour);

    Picture Resolve() const;

private:
    void Paint(size_t index, Vec2 at, const Shader& shade);

    int width_, height_, samples_;
    std::vector<Rgba> colour_;
    std::vector<float> covered_;
};

// Pixels whose centre lies inside the polygon (no supersampling): exact, hard-edged areas.
std::vector<bool> HardMask(int width, int height, const Polygon& polygon);

}  // namespace tools
