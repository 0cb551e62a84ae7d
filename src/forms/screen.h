// The Screen object: the size of the screen in twips and the twips per pixel.
#pragma once

namespace forms {

class ScreenObject {
public:
    float Width();   // twips
    float Height();  // twips
    float TwipsPerPixelX() { return 15.0f; }
    float TwipsPerPixelY() { return 15.0f; }
};

inline ScreenObject Screen;

}  // namespace forms
