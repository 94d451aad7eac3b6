// Runs the real curve-viewer on a private Xvfb server and checks the pixels it shows.
#include "picture.h"
#include "x_session.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

const double WINDOW_TIMEOUT_SECONDS = 30.0;
const double PICTURE_TIMEOUT_SECONDS = 10.0;
const int WINDOW_SIZE = 400;

// How close a grid point may come to a line before it no longer counts as off it.
const double CLEARANCE_PIXELS = 6.0;

struct CurveShape {
    const char* label;
    PlanePoint (*at)(double t);
};

// The six curves in the order the keyboard steps through them.
const CurveShape CURVES[] = {
    {"X=t, Y=sin(t)", [](double t) { return PlanePoint{t, std::sin(t)}; }},
    {"X=t, Y=sin(t*2)", [](double t) { return PlanePoint{t, std::sin(2.0 * t)}; }},
    {"X=cos(t), Y=sin(t)", [](double t) { return PlanePoint{std::cos(t), std::sin(t)}; }},
    {"X=2*cos(t), Y=2*sin(t)", [](double t) { return PlanePoint{2.0 * std::cos(t), 2.0 * std::sin(t)}; }},
    {"X=t, Y=2+sin(6*t)", [](double t) { return PlanePoint{t, 2.0 + std::sin(6.0 * t)}; }},
    {"X=(2+sin(6*t))*cos(t), Y=(2+sin(6*t))*sin(t)",
     [](double t) {
         const double radius = 2.0 + std::sin(6.0 * t);
         return PlanePoint{radius * std::cos(t), radius * std::sin(t)};
     }},
};
const CurveShape& FIRST_CURVE = CURVES[0];
const std::size_t CURVE_COUNT = sizeof CURVES / sizeof CURVES[0];

// Parameter values whose points every probe of a curve looks for.
const double PROBED_PARAMETERS[] = {-4.0, -2.5, -1.2, 0.3, 0.9, 1.7, 3.1, 4.0};

double pixelDistance(PixelPoint a, PixelPoint b)
{
    return std::hypot(a.column - b.column, a.row - b.row);
}

// Whether a pixel is clear of the curve, the axes and the label.
bool clearOfDrawing(const CurveShape& curve, PixelPoint pixel, int width, int height)
{
    if (std::abs(pixel.column - width / 2) < CLEARANCE_PIXELS || std::abs(pixel.row - height / 2) < CLEARANCE_PIXELS ||
        pixel.row < 40) {
        return false;
    }
    for (double t = -5.0; t <= 5.0; t += 0.002) {
        if (pixelDistance(pixel, toPixel(curve.at(t), width, height)) < CLEARANCE_PIXELS) {
            return false;
        }
    }
    return true;
}

// Checks that the picture shows this curve: white where it passes, background
// on a grid of points it does not come near.
void expectCurve(const Picture& picture, const CurveShape& curve)
{
    for (const double t : PROBED_PARAMETERS) {
        const PlanePoint point = curve.at(t);
        const PixelPoint pixel = toPixel(point, picture.width, picture.height);
        if (pixel.column < 1 || pixel.row < 1 || pixel.column >= picture.width - 1 || pixel.row >= picture.height - 1) {
            continue;
        }
        EXPECT_TRUE(probeWhiteNear(picture, pixel, 1))
            << "curve \"" << curve.label << "\" at t = " << t << ", plane (" << point.x << ", " << point.y << ")";
    }
    for (double x = -3.75; x < 4.0; x += 0.5) {
        for (double y = -3.75; y < 4.0; y += 0.5) {
            const PixelPoint pixel = toPixel(PlanePoint{x, y}, picture.width, picture.height);
            if (clearOfDrawing(curve, pixel, picture.width, picture.height)) {
                EXPECT_TRUE(probeRect(picture, pixel.column - 1, pixel.row - 1, 3, 3, BACKGROUND))
                    << "off the curve \"" << curve.label << "\" at plane (" << x << ", " << y << ")";
            }
        }
    }
}

// The viewer started on a private X server; every test also checks that it
// wrote nothing to standard output or standard error.
class ViewerOnScreen : public ::testing::Test {
protected:
    ViewerOnScreen() : client(server.displayName()) {}

    void TearDown() override
    {
        if (viewer) {
            EXPECT_EQ("", viewer->standardOutput()) << "standard output of curve-viewer";
            EXPECT_EQ("", viewer->standardError()) << "standard error of curve-viewer";
        }
    }

    // Starts curve-viewer with these arguments after its name and waits for its window.
    void startViewer(const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> commandLine = {CURVE_VIEWER_PATH};
        commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
        viewer = std::make_unique<ChildProcess>(commandLine, server.displayName());
        window = client.waitForWindow("foo!", WINDOW_TIMEOUT_SECONDS);
        ASSERT_NE(None, window) << "no viewable window titled \"foo!\" appeared";
    }

    // Waits until the window shows the label, and returns what it shows then.
    Picture waitForPicture(const std::string& label)
    {
        const double deadline = monotonicSeconds() + PICTURE_TIMEOUT_SECONDS;
        Picture picture = client.capture(window);
        while (!probeLabel(picture, label) && monotonicSeconds() < deadline) {
            picture = client.capture(window);
        }
        EXPECT_TRUE(probeLabel(picture, label));
        return picture;
    }

    XvfbServer server;
    XClient client;
    std::unique_ptr<ChildProcess> viewer;
    Window window = None;
};

TEST_F(ViewerOnScreen, OpensOneWindowTitledFooOf400By400At100_100)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const XWindowAttributes attributes = client.attributes(window);
    EXPECT_EQ(WINDOW_SIZE, attributes.width);
    EXPECT_EQ(WINDOW_SIZE, attributes.height);
    EXPECT_EQ(100, attributes.x);
    EXPECT_EQ(100, attributes.y);
}

TEST_F(ViewerOnScreen, FirstPictureShowsAxesSineWaveAndLabelOnTheClearColour)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture picture = waitForPicture(FIRST_CURVE.label);

    const int centre = WINDOW_SIZE / 2;
    const int cornerProbes[][2] = {{0, 0}, {WINDOW_SIZE - 10, 0}, {0, WINDOW_SIZE - 10},
                                   {WINDOW_SIZE - 10, WINDOW_SIZE - 10}};
    for (const auto& corner : cornerProbes) {
        EXPECT_TRUE(probeRect(picture, corner[0], corner[1], 10, 10, BACKGROUND)) << "background in a corner";
    }
    // The axes are two pixels wide, on either side of the centre lines.
    for (const int along : {5, 60, 130, 270, 340, 394}) {
        EXPECT_TRUE(probeRect(picture, centre - 1, along, 2, 1, WHITE)) << "vertical axis";
        EXPECT_TRUE(probeRect(picture, along, centre - 1, 1, 2, WHITE)) << "horizontal axis";
    }
    expectCurve(picture, FIRST_CURVE);
}


TEST_F(ViewerOnScreen, EachKeyShowsTheNextCurveAndSixKeysBringBackTheFirstPicture)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture first = waitForPicture(FIRST_CURVE.label);
    for (std::size_t step = 1; step <= CURVE_COUNT; ++step) {
        client.typeKeys(window, {XK_space});
        const CurveShape& curve = CURVES[step % CURVE_COUNT];
        SCOPED_TRACE(std::string("after ") + std::to_string(step) + " key presses");
        const Picture picture = waitForPicture(curve.label);
        expectCurve(picture, curve);
        if (step == CURVE_COUNT) {
            EXPECT_TRUE(samePicture(first, picture)) << "six key presses should bring back the first picture";
        }
    }
}

TEST_F(ViewerOnScreen, KeysInOneBurstAdvanceOnceEach)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(FIRST_CURVE.label);
    // Letters of either case, a digit, space, Enter, Tab and Backspace.
    client.typeKeys(window, {XK_a, XK_Q, XK_7, XK_space, XK_Return, XK_Tab, XK_BackSpace});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

TEST_F(ViewerOnScreen, ArrowAndFunctionKeysChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(FIRST_CURVE.label);
    // The one key that counts comes last: once it shows, the others have been handled.
    client.typeKeys(window, {XK_Left, XK_Right, XK_Up, XK_Down, XK_F1, XK_F5, XK_F12, XK_Home, XK_Page_Down,
                             XK_Insert, XK_x});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

TEST_F(ViewerOnScreen, EscapeEndsTheProcessWithStatusOne)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    client.typeKeys(window, {XK_space, XK_space});
    waitForPicture(CURVES[2].label);
    client.typeKeys(window, {XK_Escape});
    ASSERT_TRUE(viewer->waitForEnd(PICTURE_TIMEOUT_SECONDS)) << "curve-viewer still runs after Escape";
    EXPECT_EQ("exit status 1", viewer->end().describe());
}

}
