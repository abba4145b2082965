// Draws Netsonde's icon (32 x 32, 16 colours) and banner (169 x 43, 24-bit) and writes them as
// netsonde.ico and banner.bmp into the folder given on the command line (normally res/).
// The emblem is a sounding probe: a dot sending three waves towards the upper right.
#include <cstdio>
#include <string>

#include "pixel_font.h"
#include "raster.h"

namespace artgen {
namespace {

constexpr Rgb kNight{0x0b, 0x25, 0x45};
constexpr Rgb kDeepBlue{0x15, 0x46, 0x7c};
constexpr Rgb kIconTop{0x2a, 0x6c, 0xb0};
constexpr Rgb kIconTile{0x17, 0x4a, 0x82};
constexpr Rgb kWave{0x5a, 0xd1, 0xff};
constexpr Rgb kProbe{0xff, 0xb3, 0x47};
constexpr Rgb kWhite{0xff, 0xff, 0xff};
constexpr Rgb kSonde{0x8f, 0xe0, 0xff};
constexpr Rgb kTagLine{0xa8, 0xc0, 0xdc};
constexpr Rgb kShadow{0x03, 0x10, 0x22};

// The emblem with its probe at (cx, cy): waves of the given width, `step` apart.
void DrawEmblem(Canvas& canvas, double cx, double cy, double probeRadius, double firstRadius,
                double step, double width, const Shape& clip) {
    const double opacities[] = {1.0, 0.85, 0.7};
    for (int i = 0; i < 3; ++i) {
        const double inner = firstRadius + i * step;
        const Shape wave = Arc(cx, cy, inner, inner + width, 0.0, 90.0);
        canvas.Fill([&](double x, double y) { return clip(x, y) && wave(x, y); }, kWave,
                    opacities[i]);
    }
    canvas.Fill(Disc(cx, cy, probeRadius + 1.2), kNight, 0.6);  // a dark halo sets it apart
    canvas.Fill(Disc(cx, cy, probeRadius), kProbe);
}

Canvas DrawBanner() {
    Canvas canvas(169, 43);
    canvas.FillWith([&](double, double y) { return Mix(kNight, kDeepBlue, y / 43.0); });
    // A faint large wave behind everything gives the banner some depth.
    canvas.Fill(Arc(11, 33, 40, 43, 0, 90), kWave, 0.12);
    canvas.Fill(Arc(11, 33, 52, 55, 0, 90), kWave, 0.07);
    const Shape all = [](double, double) { return true; };
    DrawEmblem(canvas, 11, 33, 4.0, 8.0, 7.0, 3.2, all);

    const int scale = 2;
    const double left = 54;
    const double top = 7;
    const auto solid = [](Rgb c) { return [c](double, double) { return c; }; };
    const std::string first = "Net";
    const std::string rest = "sonde";
    const double restLeft =
        left + TextWidth(Face::Title, first + "s", scale) - TextWidth(Face::Title, "s", scale);
    for (const auto& [dx, colourFirst, colourRest] :
         {std::tuple{1.0, kShadow, kShadow}, std::tuple{0.0, kWhite, kSonde}}) {
        DrawText(canvas, Face::Title, first, left + dx, top + dx, scale, solid(colourFirst));
        DrawText(canvas, Face::Title, rest, restLeft + dx, top + dx, scale, solid(colourRest));
    }
    const double titleWidth = TextWidth(Face::Title, first + rest, scale);
    canvas.Fill([&](double x,
                    double y) { return x >= left && x <= left + titleWidth && y >= 25 && y < 26; },
                kWave, 0.45);
    DrawText(canvas, Face::SmallCaps, "NETWORK DEVICE FINDER", left, 29, 1, solid(kTagLine));
    return canvas;
}

Canvas DrawIcon() {
    Canvas canvas(32, 32);
    const Shape tile = RoundedRect(0.5, 0.5, 31.5, 31.5, 6.0);
    canvas.Fill(tile, kIconTile);
    // A lighter rim along the top edge and a darker one along the bottom give the tile relief.
    canvas.Fill([&](double x, double y) { return tile(x, y) && !tile(x, y - 1.5); }, kIconTop);
    canvas.Fill([&](double x, double y) { return tile(x, y) && !tile(x, y + 1.5); }, kNight);
    DrawEmblem(canvas, 9, 23, 3.4, 6.5, 6.0, 3.0, tile);
    return canvas;
}

// The icon's 16 colours: its own shades and the blends its anti-aliased edges need.
std::array<Rgb, 16> IconPalette() {
    return {Rgb{0, 0, 0},
            kNight,
            Mix(kIconTile, kNight, 0.5),
            kIconTile,
            Mix(kIconTile, kIconTop, 0.5),
            kIconTop,
            Mix(kIconTile, kWave, 0.3),
            Mix(kIconTile, kWave, 0.55),
            Mix(kIconTile, kWave, 0.8),
            kWave,
            Mix(kNight, kProbe, 0.35),
            Mix(kNight, kProbe, 0.7),
            kProbe,
            Mix(kIconTop, kWave, 0.5),
            Mix(kNight, kWave, 0.5),
            kWhite};
}

}  // namespace
}  // namespace artgen

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok =
        artgen::WriteFile(folder + "/banner.bmp", artgen::EncodeBmp24(artgen::DrawBanner())) &&
        artgen::WriteFile(folder + "/netsonde.ico",
                          artgen::EncodeIco4(artgen::DrawIcon(), artgen::IconPalette()));
    if (!ok) {
        std::fprintf(stderr, "artgen: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
