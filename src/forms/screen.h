// The Screen object: the size of the screen in twips and the twips per pixel.
#pragma once

#include "forms/metrics.h"

namespace forms {

class ScreenObject {
public:
    float Width();   // twips
    float Height();  // twips
    float TwipsPerPixelX() { return TwipsPerPixel; }
    float TwipsPerPixelY() { return TwipsPerPixel; }
};

inline ScreenObject Screen;

}  // namespace forms
