#include "glyphs_8_by_13.h"
#include "immediate_mode.h"

#include <GL/glut.h>
#include <emscripten/emscripten.h>

// The page around the canvas, in page.js.
extern "C" {
void pageOpen(const char* title, int width, int height, void (*frame)(int, int, int), void (*key)(int, int, int));
void pageRequestFrame();
void pageSetLabel(const char* text);
}

namespace {

// GLUT's size for a window whose program asks for none.
const int DEFAULT_WINDOW_SIZE = 300;
// The longest text of a frame that the page names the picture by.
const int LABEL_CAPACITY = 256;

// The one window: its size in window pixels, its callbacks and the text its
// current frame has written.
struct Window {
    int width = DEFAULT_WINDOW_SIZE;
    int height = DEFAULT_WINDOW_SIZE;
    void (*display)() = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    char label[LABEL_CAPACITY] = {};
    int labelLength = 0;
};

Window window;

// Paints a frame in a drawing buffer of this many device pixels, with WebGL
// or in software, then names the picture by the text it wrote.
void paintFrame(int width, int height, int inSoftware)
{
    if (window.display == nullptr) {
        return;
    }
    web::beginFrame(width, height, static_cast<double>(width) / window.width, inSoftware != 0);
    window.labelLength = 0;
    window.display();
    window.label[window.labelLength] = '\0';
    pageSetLabel(window.label);
}

// Hands a key the page reports to the keyboard callback.
void deliverKey(int key, int x, int y)
{
    if (window.keyboard != nullptr) {
        window.keyboard(static_cast<unsigned char>(key), x, y);
    }
}

}

// The page has no command line to read options from.
void glutInit(int* /*argcp*/, char** /*argv*/) {}

// Every WebGL canvas the page makes is RGBA and double-buffered.
void glutInitDisplayMode(unsigned int /*mode*/) {}

void glutInitWindowSize(int width, int height)
{
    window.width = width;
    window.height = height;
}

// The canvas sits where the page lays it out.
void glutInitWindowPosition(int /*x*/, int /*y*/) {}

int glutCreateWindow(const char* title)
{
    // Without WebGL or a 2D canvas the page says so, and the program's drawing goes nowhere.
    pageOpen(title, window.width, window.height, paintFrame, deliverKey);
    return 1;
}

void glutDisplayFunc(void (*callback)(void))
{
    window.display = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y))
{
    window.keyboard = callback;
}

// Shows the first picture, then leaves the page's events to call the program.
void glutMainLoop(void)
{
    glutPostRedisplay();
    emscripten_exit_with_live_runtime();
}

void glutPostRedisplay(void)
{
    pageRequestFrame();
}

// The browser shows the frame once the callback that drew it returns.
void glutSwapBuffers(void)
{
    web::finishFrame();
}

// cppcheck-suppress [constParameter, constParameterPointer] ; GLUT's own signature
void glutBitmapCharacter(void* font, int character)
{
    if (font != GLUT_BITMAP_8_BY_13 || character < 1 || character >= web::GLYPH_CODES) {
        return;
    }
    web::drawBitmap(web::GLYPHS_8_BY_13[character], web::GLYPH_ROWS, web::GLYPH_X_ORIGIN, web::GLYPH_Y_ORIGIN,
                    web::GLYPH_ADVANCE);
    if (window.labelLength < LABEL_CAPACITY - 1) {
        window.label[window.labelLength++] = static_cast<char>(character);
    }
}
