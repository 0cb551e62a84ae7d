// Small value types shared by the picture generators: points, colours, polygons.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace tools {

struct Vec2 {
    double x = 0, y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double s) { return {a.x * s, a.y * s}; }
inline double Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double Length(Vec2 a) { return std::sqrt(Dot(a, a)); }

using Polygon = std::vector<Vec2>;

// Colour with components in 0..1; alpha is used only while blending.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

inline Rgba Mix(Rgba from, Rgba to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}
inline Rgba Scale(Rgba c, double s) { return {c.r * s, c.g * s, c.b * s, c.a}; }
inline Rgba FromBytes(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1}; }
inline double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline unsigned char ToByte(double v) {
    return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0));
}

// An ellipse as a polygon with the given number of corners.
inline Polygon Ellipse(Vec2 centre, double rx, double ry, int corners = 48) {
    Polygon p;
    for (int i = 0; i < corners; ++i) {
        double t = 2 * M_PI * i / corners;
        p.push_back({centre.x + rx * std::cos(t), centre.y + ry * std::sin(t)});
    }
    return p;
}

}  // namespace tools
