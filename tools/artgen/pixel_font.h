// Two tiny bitmap fonts for the banner: a bold title face for the program's name and a small
// capitals face for the tag line. Glyphs are drawn as anti-aliased scaled squares on a canvas.
#pragma once

#include <string>

#include "raster.h"

namespace artgen {

enum class Face { Title, SmallCaps };

// Width in pixels of the text at the given scale, spacing included (no trailing space).
int TextWidth(Face face, const std::string& text, int scale);

// Draws the text with its top-left corner at (left, top); characters the face lacks are skipped
// as spaces. `colour` may vary over the canvas (a gradient).
void DrawText(Canvas& canvas, Face face, const std::string& text, double left, double top,
              int scale, const std::function<Rgb(double x, double y)>& colour);

// Height of the face's cell in font pixels.
int FaceHeight(Face face);

}  // namespace artgen
