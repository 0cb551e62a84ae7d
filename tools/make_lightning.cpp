// Draws the lightning picture: a blue branching bolt with a soft glow on pure black,
// grown by random midpoint displacement from a fixed seed. Usage: make_lightning <out.png>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "geometry.h"
#include "image_io.h"
#include "random.h"

using namespace tools;

namespace {

constexpr int kWidth = 638;
constexpr int kHeight = 389;
constexpr double kGlowRadius = 7.0;  // Gaussian radius of the halo, pixels
constexpr double kGlowReach = 3.2 * kGlowRadius;

struct Segment {
    Vec2 a, b;
    double width;       // core thickness
    double brightness;  // 0..1
};

// Displaces midpoints sideways until the pieces are short; returns the points a..b.
std::vector<Vec2> Jagged(Vec2 a, Vec2 b, double roughness, Random& random) {
    std::vector<Vec2> points{a, b};
    for (bool again = true; again;) {
        again = false;
        std::vector<Vec2> finer{points.front()};
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            Vec2 p = points[i], q = points[i + 1];
            double len = Length(q - p);
            if (len > 3.0) {
                Vec2 normal{-(q.y - p.y) / len, (q.x - p.x) / len};
                Vec2 mid = (p + q) * 0.5 + normal * (random.Range(-0.5, 0.5) * roughness * len);
                finer.push_back(mid);
                again = true;
            }
            finer.push_back(q);
        }
        points = std::move(finer);
    }
    return points;
}

// A bolt from `from` along `direction` for `length` pixels; it forks `depth` more times.
void Grow(Vec2 from, Vec2 direction, double length, double width, double brightness, int depth,
          Random& random, std::vector<Segment>& out) {
    Vec2 to = from + direction * length;
    std::vector<Vec2> path = Jagged(from, to, 0.55, random);
    const size_t n = path.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        double t = double(i) / double(n - 1);
        // Branches thin and fade towards their tips; the main channel stays bright.
        double fade = depth >= 2 ? 1.0 : 1.0 - 0.75 * t;
        out.push_back({path[i], path[i + 1], width * (0.5 + 0.5 * fade), brightness * fade});
    }
    if (depth == 0) return;
    const int forks = depth >= 2 ? 7 : 3;
    for (int f = 0; f < forks; ++f) {
        size_t at = static_cast<size_t>(random.Range(0.08, 0.8) * double(n - 1));
        double side = random.Unit() < 0.5 ? -1.0 : 1.0;
        double angle = side * random.Range(0.35, 0.95);
        Vec2 d{direction.x * std::cos(angle) - direction.y * std::sin(angle),
               direction.x * std::sin(angle) + direction.y * std::cos(angle)};
        double remaining = length * (1.0 - double(at) / double(n - 1));
        Grow(path[at], d, remaining * random.Range(0.25, 0.55), width * 0.55,
             brightness * 0.7, depth - 1, random, out);
    }
}

double DistanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    Vec2 ab = b - a;
    double t = std::clamp(Dot(p - a, ab) / std::max(1e-9, Dot(ab, ab)), 0.0, 1.0);
    return Length(p - (a + ab * t));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <lightning.png>\n", argv[0]);
        return 2;
    }
    Random random(0x7A5F0B17u);
    std::vector<Segment> segments;
    Vec2 start{kWidth * 0.46, -4};
    Vec2 end{kWidth * 0.58, kHeight * 0.97};
    Vec2 direction = (end - start) * (1.0 / Length(end - start));
    Grow(start, direction, Length(end - start), 2.6, 1.0, 2, random, segments);

    // Per pixel, the strongest core and glow over all segments (a weighted distance field).
    std::vector<double> core(kWidth * kHeight, 0.0), glow(kWidth * kHeight, 0.0);
    for (const Segment& s : segments) {
        int x0 = std::max(0, int(std::floor(std::min(s.a.x, s.b.x) - kGlowReach)));
        int x1 = std::min(kWidth - 1, int(std::ceil(std::max(s.a.x, s.b.x) + kGlowReach)));
        int y0 = std::max(0, int(std::floor(std::min(s.a.y, s.b.y) - kGlowReach)));
        int y1 = std::min(kHeight - 1, int(std::ceil(std::max(s.a.y, s.b.y) + kGlowReach)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                double d = DistanceToSegment({x + 0.5, y + 0.5}, s.a, s.b);
                if (d > kGlowReach) continue;
                size_t i = static_cast<size_t>(y) * kWidth + x;
                double c = s.brightness * Clamp01(s.width / 2 + 0.5 - d);
                double g = s.brightness * std::exp(-d * d / (2 * kGlowRadius * kGlowRadius));
                core[i] = std::max(core[i], c);
                glow[i] = std::max(glow[i], g);
            }
        }
    }

    std::vector<std::uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3, 0);
    for (size_t i = 0; i < core.size(); ++i) {
        double c = core[i], g = 0.75 * glow[i];
        // Below a visible level the glow ends, so the black around the bolt stays pure.
        if (c < 0.02 && g < 0.02) continue;
        rgb[3 * i + 0] = ToByte(0.78 * c + 0.10 * g * g);
        rgb[3 * i + 1] = ToByte(0.86 * c + 0.32 * g);
        rgb[3 * i + 2] = ToByte(1.00 * c + 1.00 * g);
    }
    if (!WritePng(argv[1], kWidth, kHeight, 3, rgb)) {
        std::fprintf(stderr, "make_lightning: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
