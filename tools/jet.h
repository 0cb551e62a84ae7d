// Our fighter jet, seen from above, as vector polygons in its own frame: u runs from the
// tail to the nose, v from the left wing to the right wing (1 unit = 1 pixel at scale 1).
// The nose is at u = 78, the end of the exhaust flame at u = -85 and the wing tips at
// v = +-58, so the whole aircraft fits inside a circle of radius 85 about its origin.
#pragma once

#include "canvas.h"
#include "geometry.h"

namespace tools {

struct JetPose {
    Vec2 centre;          // where the jet's origin lands, in pixels
    Vec2 heading{0, -1};  // unit vector along which the nose points (y grows downwards)
    double scale = 1.0;

    Vec2 Place(double u, double v) const;  // a point of the jet's frame, in pixels
    Polygon Place(const Polygon& local) const;
};

// Extent of the jet from its origin in pixels at scale 1 (nose, flame, wing tips included).
constexpr double kJetRadius = 86.0;

// Draws the aircraft's body, wings, tail and canopy, shaded and outlined, without the
// exhaust flame.
void DrawJet(SuperCanvas& canvas, const JetPose& pose);

// The exhaust flame behind the nozzle, in pixels.
Polygon ExhaustFlame(const JetPose& pose);

}  // namespace tools
