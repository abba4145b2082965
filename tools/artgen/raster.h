// A small RGBA canvas with anti-aliased shape filling (by supersampling a shape test), and the
// writers of the two picture formats the resources need: a 24-bit BMP and a 16-colour ICO.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t);  // t = 0 gives a, t = 1 gives b

struct Pixel {
    double r = 0, g = 0, b = 0, a = 0;  // straight colour, coverage in a
};

// Whether the point (x, y), in pixel units with (0, 0) the top-left corner, lies in a shape.
using Shape = std::function<bool(double x, double y)>;

class Canvas {
  public:
    Canvas(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    const Pixel& at(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }

    // Paints every pixel with the colour the function gives for its centre.
    void FillWith(const std::function<Rgb(double x, double y)>& colour);
    // Paints the shape over what is there, edges blended by their coverage (4 x 4 samples).
    void Fill(const Shape& shape, Rgb colour, double opacity = 1.0);
    void Fill(const Shape& shape, const std::function<Rgb(double x, double y)>& colour,
              double opacity = 1.0);

  private:
    void Blend(int x, int y, Rgb colour, double amount);
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

// Shapes.
Shape Disc(double cx, double cy, double radius);
// The part of a ring between two radii that lies between two angles (degrees, counter-clockwise
// from the positive x axis, with y growing downwards as on screen).
Shape Arc(double cx, double cy, double innerRadius, double outerRadius, double fromDegrees,
          double toDegrees);
Shape RoundedRect(double left, double top, double right, double bottom, double radius);

// A fully opaque 24-bit bottom-up BMP file (rows padded to 4 bytes).
std::vector<std::uint8_t> EncodeBmp24(const Canvas& canvas);
// A one-image ICO file, 4 bits per pixel with the given palette; each pixel takes the nearest
// palette colour, and pixels less than half covered are transparent (AND mask set).
std::vector<std::uint8_t> EncodeIco4(const Canvas& canvas, const std::array<Rgb, 16>& palette);

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace artgen
