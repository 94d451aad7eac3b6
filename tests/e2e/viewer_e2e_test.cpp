// Runs the real curve-viewer on each private desktop and checks the pixels it
// shows and what the keys do.
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window manager puts the frame at (100, 100), the drawing area inside it.
TEST_P(ViewerOnEachDesktop, OpensOneWindowTitledFooOf400By400At100_100)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    EXPECT_TRUE(hasRequestedSizeAndPlace());
}

TEST_P(ViewerOnEachDesktop, FirstPictureShowsAxesSineWaveAndLabelOnTheClearColour)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture picture = waitForPicture(CURVES[0].label);

    const int centre = WINDOW_SIZE / 2;
    const PixelPoint corners[] = {{0, 0}, {WINDOW_SIZE - 10, 0}, {0, WINDOW_SIZE - 10},
                                  {WINDOW_SIZE - 10, WINDOW_SIZE - 10}};
    for (const PixelPoint corner : corners) {
        EXPECT_TRUE(probeRect(picture, corner.column, corner.row, 10, 10, BACKGROUND)) << "background in a corner";
    }
    // The axes are two pixels wide, on either side of the centre lines.
    for (const int along : {5, 60, 130, 270, 340, 394}) {
        EXPECT_TRUE(probeRect(picture, centre - 1, along, 2, 1, WHITE)) << "vertical axis";
        EXPECT_TRUE(probeRect(picture, along, centre - 1, 1, 2, WHITE)) << "horizontal axis";
    }
    expectCurve(picture, CURVES[0]);
}

TEST_P(ViewerOnEachDesktop, EachKeyShowsTheNextCurveAndSixKeysBringBackTheFirstPicture)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture first = waitForPicture(CURVES[0].label);
    for (std::size_t step = 1; step <= CURVE_COUNT; ++step) {
        typeKeys({XK_space});
        const CurveShape& curve = CURVES[step % CURVE_COUNT];
        SCOPED_TRACE(std::string("after ") + std::to_string(step) + " key presses");
        const Picture picture = waitForPicture(curve.label);
        expectCurve(picture, curve);
        if (step == CURVE_COUNT) {
            EXPECT_TRUE(samePicture(first, picture)) << "six key presses should bring back the first picture";
        }
    }
}

TEST_P(ViewerOnEachDesktop, KeysInOneBurstAdvanceOnceEach)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(CURVES[0].label);
    // Letters of either case, a digit, space, Enter, Tab and Backspace.
    typeKeys({XK_a, XK_Q, XK_7, XK_space, XK_Return, XK_Tab, XK_BackSpace});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

// Nor does a letter outside Latin-1, as a Russian keyboard types: GLUT
// reports it to neither of its keyboard callbacks.
TEST_P(ViewerOnEachDesktop, ArrowAndFunctionKeysChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(CURVES[0].label);
    std::vector<KeySym> keys = {XK_Left, XK_Right, XK_Up, XK_Down, XK_Home, XK_Page_Down, XK_Insert, XK_Cyrillic_ef};
    if (cannot(Ability::HaveTheFunctionKeys) == nullptr) {
        keys.insert(keys.end(), {XK_F1, XK_F5, XK_F12});
    }
    // The one key that counts comes last: once it shows, the others have been handled.
    keys.push_back(XK_x);
    typeKeys(keys);
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
}

TEST_P(ViewerOnEachDesktop, EscapeEndsTheProcessWithStatusOne)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    typeKeys({XK_space, XK_space});
    waitForPicture(CURVES[2].label);
    quitViewer();
}

// The checks of this file on each desktop with llvmpipe, and on the bare
// server with the two other renderers.
INSTANTIATE_TEST_SUITE_P(Desktops, ViewerOnEachDesktop,
                         ::testing::Values(Setting{DesktopKind::BareX}, Setting{DesktopKind::Openbox},
                                           Setting{DesktopKind::Weston},
                                           Setting{DesktopKind::BareX, Renderer::Softpipe},
                                           Setting{DesktopKind::BareX, Renderer::Zink}),
                         settingTestName);

}
