// Reads GLUT's fixed 8 by 13 pixel font back, pixel by pixel, from what
// freeglut draws on a private Xvfb server, and writes it as the table the
// browser's GLUT draws its labels with.
//
// Usage: read_glut_font > src/web/glyphs_8_by_13.cpp
#include "processes.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const int CODES = 256;
const int COLUMNS = 8;
const int ROWS = 13;
// Each glyph is drawn alone at this raster position of a window this size,
// with room around it on every side.
const int AREA = 64;
const int RASTER = 24;

struct Ink {
    int x;
    int y;
};

// What each character code draws, in pixels from the raster position, and
// how far it moves the raster position on.
struct Glyph {
    std::vector<Ink> ink;
    int advance = 0;
};

std::array<Glyph, CODES> glyphs;

// Draws one glyph white on black at the raster position and reads it back.
Glyph readGlyph(int code)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2i(RASTER, RASTER);
    glutBitmapCharacter(GLUT_BITMAP_8_BY_13, code);
    GLdouble raster[4] = {};
    glGetDoublev(GL_CURRENT_RASTER_POSITION, raster);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(AREA) * AREA);
    glReadPixels(0, 0, AREA, AREA, GL_RED, GL_UNSIGNED_BYTE, pixels.data());
    Glyph glyph;
    glyph.advance = static_cast<int>(raster[0]) - RASTER;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (pixels[at] > 127) {
            const int x = static_cast<int>(at % AREA);
            const int y = static_cast<int>(at / AREA);
            glyph.ink.push_back(Ink{x - RASTER, y - RASTER});
        }
    }
    return glyph;
}

// The lowest and the highest place any glyph has ink at.
std::pair<Ink, Ink> inkBounds()
{
    Ink lowest{0, 0};
    Ink highest{0, 0};
    for (const Glyph& glyph : glyphs) {
        for (const Ink& ink : glyph.ink) {
            lowest = Ink{std::min(lowest.x, ink.x), std::min(lowest.y, ink.y)};
            highest = Ink{std::max(highest.x, ink.x), std::max(highest.y, ink.y)};
        }
    }
    return {lowest, highest};
}

// Prints the rows of one glyph, in a cell whose lower left corner is at lowest.
void printGlyph(int code, Ink lowest)
{
    std::array<unsigned, ROWS> rows{};
    for (const Ink& ink : glyphs[static_cast<std::size_t>(code)].ink) {
        rows[static_cast<std::size_t>(ROWS - 1 - (ink.y - lowest.y))] |= 0x80U >> (ink.x - lowest.x);
    }
    std::printf("    {");
    for (int row = 0; row < ROWS; ++row) {
        std::printf("0x%02x%s", rows[static_cast<std::size_t>(row)], row + 1 < ROWS ? ", " : "},");
    }
    if (code > ' ' && code < 127) {
        std::printf(" // '%s%c'", code == '\\' || code == '\'' ? "\\" : "", code);
    }
    std::printf("\n");
}

// Prints the table: the glyphs in a cell of 8 by 13 pixels at the same place
// for all of them, around all the ink any of them has.
int printTable()
{
    const auto [lowest, highest] = inkBounds();
    if (highest.x - lowest.x >= COLUMNS || highest.y - lowest.y >= ROWS) {
        std::fprintf(stderr, "read_glut_font: the ink spans %dx%d pixels, more than the %dx%d of the font\n",
                     highest.x - lowest.x + 1, highest.y - lowest.y + 1, COLUMNS, ROWS);
        return 1;
    }
    std::printf("// GLUT's fixed 8 by 13 pixel font, as freeglut draws it. Written by\n"
                "// tools/read_glut_font from what freeglut draws: run it again rather than\n"
                "// edit this.\n"
                "#include \"glyphs_8_by_13.h\"\n\n"
                "namespace web {\n\n"
                "const int GLYPH_X_ORIGIN = %d;\n"
                "const int GLYPH_Y_ORIGIN = %d;\n"
                "const int GLYPH_ADVANCE = %d;\n\n"
                "const unsigned char GLYPHS_8_BY_13[GLYPH_CODES][GLYPH_ROWS] = {\n",
                -lowest.x, -lowest.y, COLUMNS);
    for (int code = 0; code < CODES; ++code) {
        printGlyph(code, lowest);
    }
    std::printf("};\n\n}\n");
    return 0;
}

// Reads every glyph from the back buffer of a window of its own, where no
// other window can cover it; false if one moves the raster position on by
// other than the font's width.
bool readFont()
{
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(AREA, AREA);
    glutCreateWindow("read_glut_font");
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, AREA, 0.0, AREA, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glReadBuffer(GL_BACK);
    for (int code = 1; code < CODES; ++code) {
        Glyph& glyph = glyphs[static_cast<std::size_t>(code)];
        glyph = readGlyph(code);
        if (glyph.advance != COLUMNS) {
            std::fprintf(stderr, "read_glut_font: character %d moves the raster position by %d pixels, not %d\n",
                         code, glyph.advance, COLUMNS);
            return false;
        }
    }
    return true;
}

}

// Reads the font on a private X server, which outlives GLUT's connection to
// it, and prints the table.
int main(int argc, char** argv)
{
    const XvfbServer server;
    setenv("DISPLAY", server.displayName().c_str(), 1);
    glutInit(&argc, argv);
    const bool read = readFont();
    glutExit();
    return read ? printTable() : 1;
}
