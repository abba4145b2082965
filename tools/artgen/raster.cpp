// Canvas, shapes and the BMP and ICO writers; see raster.h.
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace artgen {

namespace {

constexpr int kSamples = 4;  // per axis
constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// BITMAPINFOHEADER.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitCount,
                   std::uint32_t imageSize, std::uint32_t coloursUsed) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<unsigned>(bitCount));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{ToByte(a.r + (b.r - a.r) * t), ToByte(a.g + (b.g - a.g) * t),
               ToByte(a.b + (b.b - a.b) * t)};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width * height)) {}

void Canvas::FillWith(const std::function<Rgb(double, double)>& colour) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Rgb c = colour(x + 0.5, y + 0.5);
            pixels_[static_cast<size_t>(y * width_ + x)] =
                Pixel{double(c.r), double(c.g), double(c.b), 1.0};
        }
    }
}

void Canvas::Blend(int x, int y, Rgb colour, double amount) {
    Pixel& p = pixels_[static_cast<size_t>(y * width_ + x)];
    // "Over" compositing with straight (not premultiplied) colour.
    const double outA = amount + p.a * (1.0 - amount);
    if (outA <= 0.0) {
        return;
    }
    const double keep = p.a * (1.0 - amount);
    p.r = (colour.r * amount + p.r * keep) / outA;
    p.g = (colour.g * amount + p.g * keep) / outA;
    p.b = (colour.b * amount + p.b * keep) / outA;
    p.a = outA;
}

void Canvas::Fill(const Shape& shape, Rgb colour, double opacity) {
    Fill(
        shape, [colour](double, double) { return colour; }, opacity);
}

void Canvas::Fill(const Shape& shape, const std::function<Rgb(double, double)>& colour,
                  double opacity) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) {
                        ++inside;
                    }
                }
            }
            if (inside > 0) {
                Blend(x, y, colour(x + 0.5, y + 0.5), opacity * inside / (kSamples * kSamples));
            }
        }
    }
}

Shape Disc(double cx, double cy, double radius) {
    return [=](double x, double y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape Arc(double cx, double cy, double innerRadius, double outerRadius, double fromDegrees,
          double toDegrees) {
    return [=](double x, double y) {
        const double dx = x - cx;
        const double dy = cy - y;  // screen y grows downwards
        const double r2 = dx * dx + dy * dy;
        if (r2 < innerRadius * innerRadius || r2 > outerRadius * outerRadius) {
            return false;
        }
        double angle = std::atan2(dy, dx) * 180.0 / kPi;
        if (angle < 0) {
            angle += 360.0;
        }
        return angle >= fromDegrees && angle <= toDegrees;
    };
}

Shape RoundedRect(double left, double top, double right, double bottom, double radius) {
    return [=](double x, double y) {
        if (x < left || x > right || y < top || y > bottom) {
            return false;
        }
        const double nx = std::clamp(x, left + radius, right - radius);
        const double ny = std::clamp(y, top + radius, bottom - radius);
        return (x - nx) * (x - nx) + (y - ny) * (y - ny) <= radius * radius;
    };
}

std::vector<std::uint8_t> EncodeBmp24(const Canvas& canvas) {
    const int rowBytes = (canvas.width() * 3 + 3) / 4 * 4;
    const auto imageSize = static_cast<std::uint32_t>(rowBytes * canvas.height());
    std::vector<std::uint8_t> out;
    // BITMAPFILEHEADER.
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, canvas.width(), canvas.height(), 24, imageSize, 0);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < canvas.width(); ++x) {
            const Pixel& p = canvas.at(x, y);
            out.push_back(ToByte(p.b * p.a));
            out.push_back(ToByte(p.g * p.a));
            out.push_back(ToByte(p.r * p.a));
        }
        out.resize(rowStart + static_cast<size_t>(rowBytes), 0);
    }
    return out;
}

std::vector<std::uint8_t> EncodeIco4(const Canvas& canvas, const std::array<Rgb, 16>& palette) {
    const int width = canvas.width();
    const int height = canvas.height();
    const int colourRow = (width * 4 / 8 + 3) / 4 * 4;
    const int maskRow = ((width + 7) / 8 + 3) / 4 * 4;
    const auto imageSize = static_cast<std::uint32_t>((colourRow + maskRow) * height);
    const std::uint32_t dibSize = 40 + 16 * 4 + imageSize;

    std::vector<std::uint8_t> out;
    // ICONDIR and its one ICONDIRENTRY.
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(width));
    out.push_back(static_cast<std::uint8_t>(height));
    out.push_back(16);  // colours
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, 4);  // bits per pixel
    Put32(out, dibSize);
    Put32(out, 6 + 16);

    // The DIB: its height counts the colour image and the mask.
    PutInfoHeader(out, width, height * 2, 4, imageSize, 16);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    std::vector<std::uint8_t> mask;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> colours(static_cast<size_t>(colourRow), 0);
        std::vector<std::uint8_t> maskBits(static_cast<size_t>(maskRow), 0);
        for (int x = 0; x < width; ++x) {
            const Pixel& p = canvas.at(x, y);
            int index = 0;
            if (p.a < 0.5) {
                maskBits[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            } else {
                double best = 1e30;
                for (int i = 0; i < 16; ++i) {
                    const double dr = p.r - palette[static_cast<size_t>(i)].r;
                    const double dg = p.g - palette[static_cast<size_t>(i)].g;
                    const double db = p.b - palette[static_cast<size_t>(i)].b;
                    // Weighted towards green, as the eye is.
                    const double d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < best) {
                        best = d;
                        index = i;
                    }
                }
            }
            colours[static_cast<size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), colours.begin(), colours.end());
        mask.insert(mask.end(), maskBits.begin(), maskBits.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace artgen
