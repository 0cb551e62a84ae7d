// The classic grey 3-D look, drawn through the graphics services: solid fills, raised and
// sunken bevels, captions with access keys, etched (disabled) text.
#pragma once

#include <string_view>

#include "os/surface.h"
#include "os/types.h"

namespace forms {

void FillSolid(os::HDC dc, const os::Rect& r, os::COLORREF color);
// A raised 2-pixel edge: white outer and light grey inner on the top and left, black outer
// and dark grey inner on the bottom and right. With `pressed` the edge is a flat dark grey
// frame inside a black one, as a button held down looks.
void DrawRaisedEdge(os::HDC dc, const os::Rect& r, bool pressed);
// A sunken 2-pixel edge: dark grey outer and black inner on the top and left, white outer
// and light grey inner on the bottom and right.
void DrawSunkenEdge(os::HDC dc, const os::Rect& r);
// A caption with its access key underlined; when `etched` it is drawn disabled: a white
// copy one pixel down and right, then the text in dark grey.
void DrawCaption(os::HDC dc, int x, int y, std::string_view caption, os::COLORREF color,
                 bool etched);

}  // namespace forms
