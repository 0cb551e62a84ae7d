// Draws the dialogs' pictures and the program icon from our jet:
//   make_pictures <aircraft.bmp> <about_background.png> <icon32.png> <icon16.png>
// aircraft: 144 x 88, 256 colours, the jet climbing through a sky; about background:
// 220 x 220, a round sky disc with clouds and the jet; icons: 32 x 32 and 16 x 16 in the
// classic 16 colours with transparency, a small jet on a blue roundel.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "canvas.h"
#include "image_io.h"
#include "jet.h"
#include "quantise.h"
#include "random.h"

using namespace tools;

namespace {

Vec2 Heading(double degrees) {  // 0 = right, 90 = up (y grows downwards)
    double r = degrees * M_PI / 180;
    return {std::cos(r), -std::sin(r)};
}

// A soft cloud: a cluster of overlapping round puffs, lit from above.
void DrawCloud(SuperCanvas& canvas, Vec2 centre, double size, double opacity, Random& random) {
    for (int i = 0; i < 7; ++i) {
        Vec2 at = centre + Vec2{random.Range(-1.3, 1.3) * size, random.Range(-0.35, 0.25) * size};
        double r = size * random.Range(0.45, 0.8);
        canvas.Fill(Ellipse(at, r, r * 0.62, 40), [=](Vec2 p) {
            double d = Length({(p.x - at.x) / r, (p.y - at.y) / (r * 0.62)});
            double lit = 0.82 + 0.18 * Clamp01((at.y - p.y) / (r * 0.62) + 0.5);
            return Rgba{lit, lit, std::min(1.0, lit * 1.03), opacity * Clamp01((1 - d) * 2.5)};
        });
    }
}

// A faint bright streak behind the jet.
void DrawContrail(SuperCanvas& canvas, const JetPose& pose, double length) {
    Vec2 tail = pose.Place(-80, 0);
    Vec2 back = pose.heading * -1.0;
    Vec2 side{-back.y, back.x};
    double w = 5 * pose.scale;
    Polygon trail = {tail + side * w * 0.5, tail + back * length + side * w * 1.6,
                     tail + back * length - side * w * 1.6, tail - side * w * 0.5};
    canvas.Fill(trail, [=](Vec2 p) {
        double t = Clamp01(Dot(p - tail, back) / length);
        return Rgba{1, 1, 1, 0.55 * (1 - t)};
    });
}

void DrawFlame(SuperCanvas& canvas, const JetPose& pose) {
    canvas.Fill(ExhaustFlame(pose), FromBytes(255, 150, 40));
}

struct Cloud {
    Vec2 centre;
    double size, opacity;
};

// The scene of both dialog pictures: three clouds shaped by `seed`, then the jet at `pose`
// trailing its contrail and flame.
void DrawJetInClouds(SuperCanvas& canvas, std::uint64_t seed, const Cloud (&clouds)[3],
                     const JetPose& pose) {
    Random random(seed);
    for (const Cloud& cloud : clouds)
        DrawCloud(canvas, cloud.centre, cloud.size, cloud.opacity, random);
    DrawContrail(canvas, pose, 60);
    DrawFlame(canvas, pose);
    DrawJet(canvas, pose);
}

std::vector<Rgb8> ToBytes(const Picture& picture) {
    std::vector<Rgb8> out;
    for (const Rgba& c : picture.colour) out.push_back({ToByte(c.r), ToByte(c.g), ToByte(c.b)});
    return out;
}

bool MakeAircraft(const std::string& path) {
    const int w = 144, h = 88;
    SuperCanvas canvas(w, h, 4);
    canvas.FillAll([=](Vec2 p) {
        double t = p.y / h;
        Rgba sky = Mix(FromBytes(22, 58, 140), FromBytes(150, 196, 238), t);
        double sun = std::exp(-Length(p - Vec2{118, 14}) / 16.0);
        return Mix(sky, FromBytes(255, 246, 214), 0.8 * sun);
    });
    DrawJetInClouds(canvas, 0x51C0FFEEu,
                    {{{30, 78}, 14, 0.9}, {{112, 84}, 18, 0.95}, {{76, 92}, 12, 0.8}},
                    JetPose{{70, 46}, Heading(35), 0.42});
    std::vector<Rgb8> pixels = ToBytes(canvas.Resolve());
    Palette palette = BuildPalette(pixels, {{0, 0, 0}, {255, 255, 255}});
    std::vector<std::uint8_t> indices;
    for (const Rgb8& c : pixels) indices.push_back(Nearest(palette, c));
    return WriteBmp8(path, w, h, palette, indices);
}

bool MakeAboutBackground(const std::string& path) {
    const int size = 220;
    const Vec2 centre{size / 2.0, size / 2.0};
    SuperCanvas canvas(size, size, 3);
    canvas.FillAll([](Vec2) { return FromBytes(8, 14, 40); });
    // Deep blue sky disc, lighter towards the middle so the texts above it read well.
    canvas.Fill(Ellipse(centre, 110, 110, 128), [=](Vec2 p) {
        double r = Length(p - centre) / 110;
        return Mix(FromBytes(44, 92, 170), FromBytes(12, 26, 78), r * r);
    });
    DrawJetInClouds(canvas, 0xAB07u,
                    {{{64, 168}, 20, 0.45}, {{150, 180}, 24, 0.5}, {{110, 196}, 16, 0.4}},
                    JetPose{{70, 150}, Heading(50), 0.36});
    // Nothing reaches past the disc; a bright rim runs just inside its edge.
    canvas.FillAll([=](Vec2 p) {
        Rgba outside = FromBytes(8, 14, 40);
        outside.a = Clamp01(Length(p - centre) - 109.5);
        return outside;
    });
    canvas.Outline(Ellipse(centre, 106.5, 106.5, 128), 2.0, FromBytes(150, 200, 255));

    std::vector<std::uint8_t> rgb;
    for (const Rgb8& c : ToBytes(canvas.Resolve())) rgb.insert(rgb.end(), {c.r, c.g, c.b});
    return WritePng(path, size, size, 3, rgb);
}

bool MakeIcon(const std::string& path, int size) {
    SuperCanvas roundel(size, size, 8);
    const Vec2 centre{size / 2.0, size / 2.0};
    const double r = size / 2.0 - 0.8;
    roundel.Fill(Ellipse(centre, r, r, 64), FromBytes(0, 0, 128));
    roundel.Fill(Ellipse(centre, r * 0.8, r * 0.8, 64), FromBytes(0, 0, 255));
    Picture disc = roundel.Resolve();

    SuperCanvas plane(size, size, 8);
    JetPose pose{centre + Vec2{0, size * 0.04}, Heading(90), size * 0.82 / 172.0};
    DrawJet(plane, pose);
    Picture jet = plane.Resolve();

    const Palette& classic = ClassicPalette16();
    std::vector<std::uint8_t> rgba;
    for (size_t i = 0; i < disc.colour.size(); ++i) {
        // At this size the jet is a white silhouette with an aqua canopy.
        Rgba c = disc.colour[i];
        double cover = disc.coverage[i];
        if (jet.coverage[i] >= 0.45) {
            Rgba j = Scale(jet.colour[i], 1.0 / jet.coverage[i]);
            c = j.b > j.r + 0.25 ? FromBytes(0, 255, 255) : Rgba{1, 1, 1, 1};
            cover = 1;
        } else if (cover > 0) {
            c = Scale(c, 1.0 / cover);
        }
        const bool opaque = cover >= 0.5;
        Rgb8 q = classic[Nearest(classic, {ToByte(c.r), ToByte(c.g), ToByte(c.b)})];
        if (!opaque) q = {0, 0, 0};
        rgba.insert(rgba.end(), {q.r, q.g, q.b, std::uint8_t(opaque ? 255 : 0)});
    }
    return WritePng(path, size, size, 4, rgba);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <aircraft.bmp> <about.png> <icon32.png> <icon16.png>\n",
                     argv[0]);
        return 2;
    }
    const bool ok = MakeAircraft(argv[1]) && MakeAboutBackground(argv[2]) &&
                    MakeIcon(argv[3], 32) && MakeIcon(argv[4], 16);
    if (!ok) std::fprintf(stderr, "make_pictures: cannot write the pictures\n");
    return ok ? 0 : 1;
}
