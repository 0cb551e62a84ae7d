#include "jet.h"

#include <cmath>

namespace tools {
namespace {

// Right-hand halves (v >= 0) of the symmetric parts, listed from front to back.
const Polygon kFuselageHalf = {{78, 0},     {73, 1.8},   {66, 3.6},   {56, 5.6},  {44, 7.4},
                               {32, 8.8},   {20, 10.6},  {4, 11.4},   {-30, 11.4}, {-50, 10.6},
                               {-60, 9.4},  {-66, 8.4}};
const Polygon kWing = {{34, 9.0}, {16, 13.0}, {-20, 55.0}, {-23, 57.5}, {-31, 57.5},
                       {-34, 55.0}, {-37, 11.0}};
const Polygon kTailplane = {{-48, 10.5}, {-63, 29.0}, {-65, 31.0}, {-72, 31.0}, {-71, 9.0}};
const Polygon kWingtipMissile = {{-3, 58.2},  {-7, 56.7},  {-37, 56.7}, {-42, 54.6},
                                 {-43, 54.6}, {-43, 61.8}, {-42, 61.8}, {-37, 59.7},
                                 {-7, 59.7}};
const Polygon kFin = {{-40, -1.3}, {-40, 1.3}, {-75, 1.6}, {-75, -1.6}};
const Polygon kNozzleHalf = {{-62, 8.8}, {-66, 8.4}, {-74, 6.6}};
const Polygon kFlameHalf = {{-73, 5.4}, {-77, 5.8}, {-81, 3.8}, {-85, 0}};

Polygon Mirror(const Polygon& half) {
    Polygon full = half;
    for (auto it = half.rbegin(); it != half.rend(); ++it)
        if (it->y != 0) full.push_back({it->x, -it->y});
    return full;
}
Polygon Flip(const Polygon& right) {
    Polygon left;
    for (auto it = right.rbegin(); it != right.rend(); ++it) left.push_back({it->x, -it->y});
    return left;
}

// Two-tone grey camouflage: soft-edged blotches fixed to the airframe.
double Camouflage(double u, double v) {
    double f = std::sin(u * 0.105 + v * 0.071) + std::sin(v * 0.137 - u * 0.052 + 1.3) +
               0.6 * std::sin(u * 0.213 + std::abs(v) * 0.23 + 0.4);
    return Clamp01((f - 0.35) * 3.0);
}

const Rgba kLightGrey = FromBytes(158, 168, 182);
const Rgba kDarkGrey = FromBytes(104, 116, 134);
const Rgba kOutline = FromBytes(34, 38, 48);
const Rgba kPanelLine = FromBytes(78, 86, 100);

Rgba Skin(double u, double v, double light) {
    return Scale(Mix(kLightGrey, kDarkGrey, Camouflage(u, v)), light);
}

// Local frame coordinates of a pixel position.
Vec2 ToLocal(const JetPose& pose, Vec2 p) {
    Vec2 right{-pose.heading.y, pose.heading.x};
    Vec2 d = p - pose.centre;
    return {Dot(d, pose.heading) / pose.scale, Dot(d, right) / pose.scale};
}

}  // namespace

Vec2 JetPose::Place(double u, double v) const {
    Vec2 right{-heading.y, heading.x};
    return centre + heading * (u * scale) + right * (v * scale);
}

Polygon JetPose::Place(const Polygon& local) const {
    Polygon out;
    for (const Vec2& p : local) out.push_back(Place(p.x, p.y));
    return out;
}

void DrawJet(SuperCanvas& canvas, const JetPose& pose) {
    const double line = std::max(0.6, 1.3 * pose.scale);
    const double fine = std::max(0.35, 0.6 * pose.scale);
    auto local = [&pose](Vec2 p) { return ToLocal(pose, p); };

    // Flat surfaces get lighter towards the leading edge.
    Shader wing_skin = [&](Vec2 p) {
        Vec2 l = local(p);
        return Skin(l.x, l.y, 0.88 + 0.004 * (l.x + 30));
    };
    // The fuselage is round: bright along its spine, darker at its sides.
    Shader body_skin = [&](Vec2 p) {
        Vec2 l = local(p);
        double side = std::min(1.0, std::abs(l.y) / 11.4);
        return Skin(l.x, l.y, 1.12 - 0.38 * side * side);
    };

    for (const Polygon* half : {&kTailplane, &kWing}) {
        for (const Polygon& part : {*half, Flip(*half)}) {
            Polygon placed = pose.Place(part);
            canvas.Fill(placed, wing_skin);
            canvas.Outline(placed, line, kOutline);
        }
    }
    for (const Polygon& missile : {kWingtipMissile, Flip(kWingtipMissile)}) {
        Polygon placed = pose.Place(missile);
        canvas.Fill(placed, FromBytes(205, 210, 216));
        canvas.Outline(placed, fine, kOutline);
    }
    // Flaps and ailerons: a hinge line near each wing's trailing edge.
    for (double side : {1.0, -1.0}) {
        canvas.Stroke(pose.Place(-30, side * 13), pose.Place(-28, side * 50), fine, kPanelLine);
        canvas.Stroke(pose.Place(-63, side * 12), pose.Place(-66, side * 28), fine, kPanelLine);
    }

    Polygon body = pose.Place(Mirror(kFuselageHalf));
    canvas.Fill(body, body_skin);
    canvas.Outline(body, line, kOutline);
    Polygon nozzle = pose.Place(Mirror(kNozzleHalf));
    canvas.Fill(nozzle, FromBytes(86, 84, 82));
    canvas.Outline(nozzle, fine, kOutline);
    // Radome: a slightly darker nose cone.
    canvas.Fill(pose.Place({{78, 0}, {73, 1.8}, {66, 3.6}, {64, 0}, {66, -3.6}, {73, -1.8}}),
                FromBytes(118, 126, 138));

    Polygon fin = pose.Place(kFin);
    canvas.Fill(fin, FromBytes(96, 106, 122));
    canvas.Outline(fin, fine, kOutline);

    // Canopy: bright glass with a highlight, framed.
    Polygon canopy;
    for (const Vec2& p : Ellipse({47, 0}, 14, 4.4, 32)) canopy.push_back(pose.Place(p.x, p.y));
    canvas.Fill(canopy, [&](Vec2 p) {
        Vec2 l = local(p);
        double glint = std::exp(-std::pow((l.x - 51) / 4.0, 2) - std::pow((l.y + 1.2) / 1.4, 2));
        return Mix(FromBytes(120, 196, 250), FromBytes(245, 252, 255), Clamp01(glint));
    });
    canvas.Outline(canopy, fine, kOutline);
    canvas.Stroke(pose.Place(41, -4.2), pose.Place(41, 4.2), fine, kOutline);
    // Panel line from the canopy to the fin along the spine.
    canvas.Stroke(pose.Place(33, 0), pose.Place(-40, 0), fine, kPanelLine);
}

Polygon ExhaustFlame(const JetPose& pose) { return pose.Place(Mirror(kFlameHalf)); }

}  // namespace tools
