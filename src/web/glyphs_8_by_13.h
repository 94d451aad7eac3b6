// GLUT's fixed 8 by 13 pixel font, as freeglut draws it: for each character
// code, its rows from the top, each byte a row with the leftmost pixel in its
// highest bit. tools/read_glut_font writes the table from what freeglut draws.
#ifndef GLYPHS_8_BY_13_H
#define GLYPHS_8_BY_13_H

namespace web {

const int GLYPH_CODES = 256;
const int GLYPH_ROWS = 13;

// Where the raster position lies in a glyph's bitmap, in pixels from its
// lower left corner, and how far the glyph moves it on.
extern const int GLYPH_X_ORIGIN;
extern const int GLYPH_Y_ORIGIN;
extern const int GLYPH_ADVANCE;

// NOLINTNEXTLINE(readability-identifier-naming): a table, named as one
extern const unsigned char GLYPHS_8_BY_13[GLYPH_CODES][GLYPH_ROWS];

}

#endif
