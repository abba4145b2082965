// The glyph tables of the two faces and the text drawing; see pixel_font.h.
#include "pixel_font.h"

#include <cstring>
#include <vector>

namespace artgen {

namespace {

struct Glyph {
    char ch;
    const char* rows[7];  // '#' is ink; every row of a glyph has the same width
};

// Title face: 5 x 7 cells, capitals and ascenders on the full height, small letters on the
// lower five rows.
const Glyph kTitleGlyphs[] = {
    {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".####"}},
    {'t', {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
    {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
};

// Small capitals: 5 rows, widths vary per letter (rows 5 and 6 unused).
const Glyph kSmallGlyphs[] = {
    {'C', {".###", "#...", "#...", "#...", ".###", "", ""}},
    {'D', {"###.", "#..#", "#..#", "#..#", "###.", "", ""}},
    {'E', {"###", "#..", "##.", "#..", "###", "", ""}},
    {'F', {"###", "#..", "##.", "#..", "#..", "", ""}},
    {'I', {"###", ".#.", ".#.", ".#.", "###", "", ""}},
    {'K', {"#..#", "#.#.", "##..", "#.#.", "#..#", "", ""}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#", "", ""}},
    {'O', {".##.", "#..#", "#..#", "#..#", ".##.", "", ""}},
    {'R', {"###.", "#..#", "###.", "#.#.", "#..#", "", ""}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#.", "", ""}},
    {'V', {"#...#", "#...#", ".#.#.", ".#.#.", "..#..", "", ""}},
    {'W', {"#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", "", ""}},
};

const Glyph* Find(Face face, char ch) {
    if (face == Face::Title) {
        for (const Glyph& g : kTitleGlyphs) {
            if (g.ch == ch) {
                return &g;
            }
        }
    } else {
        for (const Glyph& g : kSmallGlyphs) {
            if (g.ch == ch) {
                return &g;
            }
        }
    }
    return nullptr;
}

constexpr int kSpacing = 1;  // font pixels between two glyphs

int SpaceWidth(Face face) {
    return face == Face::Title ? 3 : 2;
}

int GlyphWidth(Face face, char ch) {
    const Glyph* g = Find(face, ch);
    return g == nullptr ? SpaceWidth(face) : static_cast<int>(std::strlen(g->rows[0]));
}

}  // namespace

int FaceHeight(Face face) {
    return face == Face::Title ? 7 : 5;
}

int TextWidth(Face face, const std::string& text, int scale) {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        width += GlyphWidth(face, text[i]);
        if (i + 1 < text.size()) {
            width += kSpacing;
        }
    }
    return width * scale;
}

void DrawText(Canvas& canvas, Face face, const std::string& text, double left, double top,
              int scale, const std::function<Rgb(double x, double y)>& colour) {
    double x = left;
    for (char ch : text) {
        if (const Glyph* g = Find(face, ch)) {
            std::vector<std::pair<int, int>> ink;
            for (int row = 0; row < FaceHeight(face); ++row) {
                for (int col = 0; g->rows[row][col] != '\0'; ++col) {
                    if (g->rows[row][col] == '#') {
                        ink.emplace_back(col, row);
                    }
                }
            }
            const double gx = x;
            canvas.Fill(
                [&ink, gx, top, scale](double px, double py) {
                    const int col = static_cast<int>((px - gx) / scale + 16) - 16;
                    const int row = static_cast<int>((py - top) / scale + 16) - 16;
                    for (const auto& cell : ink) {
                        if (cell.first == col && cell.second == row) {
                            return true;
                        }
                    }
                    return false;
                },
                colour);
        }
        x += (GlyphWidth(face, ch) + kSpacing) * scale;
    }
}

}  // namespace artgen
