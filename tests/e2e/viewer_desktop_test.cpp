// What desktops do to the viewer's window: resize, cover, iconify and close
// it, destroy it, and take its X server away.
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Long enough for a process that was going to end to have ended.
const Timeout GRACE = std::chrono::seconds(2);

struct Extent {
    int width;
    int height;
};

// The size of the box around all white pixels below the label and clear of
// the axes' two-pixel bands.
Extent whiteExtentOffTheAxes(const Picture& picture)
{
    int left = picture.width;
    int right = -1;
    int top = picture.height;
    int bottom = -1;
    for (int row = rowBelowLabel(picture.height); row < picture.height; ++row) {
        for (int column = 0; column < picture.width; ++column) {
            const bool onAxis = std::abs(2 * column + 1 - picture.width) <= 4 || std::abs(2 * row + 1 - picture.height) <= 4;
            if (!onAxis && matches(picture.at(column, row), WHITE)) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
        }
    }
    return Extent{right - left + 1, bottom - top + 1};
}

TEST_P(ViewerTreatedByEachDesktop, WideWindowStretchesTheCircleIntoAnEllipse)
{
    if (const char* why = cannot(Ability::DrawAtItsWindowsSize)) {
        GTEST_SKIP() << why;
    }
    ASSERT_NO_FATAL_FAILURE(startViewer());
    typeKeys({XK_space, XK_space});
    waitForPicture(CURVES[2].label);
    client.resize(window, 2 * WINDOW_SIZE, WINDOW_SIZE);
    const Picture wide = waitForSize(2 * WINDOW_SIZE, WINDOW_SIZE);
    // The projection stays square while the viewport doubles in width: the
    // unit circle becomes an ellipse twice as wide as it is tall.
    expectCurve(wide, CURVES[2]);
    const Extent circle = whiteExtentOffTheAxes(wide);
    EXPECT_NEAR(2.0, static_cast<double>(circle.width) / circle.height, 0.05)
        << "the circle spans " << circle.width << " by " << circle.height << " pixels";
}

TEST_P(ViewerTreatedByEachDesktop, CoveredAndUncoveredWindowShowsTheSamePicture)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture before = waitForPicture(CURVES[0].label);
    const Window cover = client.cover(window);
    ASSERT_TRUE(client.viewable(cover)) << "the cover is not on the screen";
    client.destroy(cover);
    EXPECT_TRUE(samePicture(before, waitForPicture(CURVES[0].label)));
}

TEST_P(ViewerTreatedByEachDesktop, EndsByExitWhenTheServerGoesAway)
{
    if (const char* why = cannot(Ability::OpenItsOwnXDisplay)) {
        GTEST_SKIP() << why;
    }
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(CURVES[0].label);
    killServer();
    expectEndWithoutServer();
}

// GLUT ends the process only when the server goes, not when the window does.
TEST_P(ViewerTreatedByEachDesktop, OutlivesItsWindowDestroyedByAnotherClientUntilTheServerGoes)
{
    if (const char* why = cannot(Ability::OpenItsOwnXDisplay)) {
        GTEST_SKIP() << why;
    }
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(CURVES[0].label);
    client.destroy(window);
    EXPECT_FALSE(viewer->waitForEnd(GRACE)) << "curve-viewer ended: " << viewer->end().describe();
    killServer();
    expectEndWithoutServer();
}

TEST_P(ViewerUnderWindowManager, IconifiedAndRestoredWindowShowsTheSamePicture)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture before = waitForPicture(CURVES[0].label);
    client.iconify(window);
    ASSERT_TRUE(pollUntil([this] { return !client.viewable(window); }, WINDOW_TIMEOUT)) << "the window stays on screen";
    client.activate(window);
    ASSERT_TRUE(pollUntil([this] { return client.viewable(window); }, WINDOW_TIMEOUT)) << "the window stays iconified";
    EXPECT_TRUE(samePicture(before, waitForPicture(CURVES[0].label)));
}

// GLUT answers the window manager's WM_DELETE_WINDOW by ending the process
// with status 0, saying nothing.
TEST_P(ViewerUnderWindowManager, ClosedThroughTheWindowManagerEndsWithStatusZero)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    waitForPicture(CURVES[0].label);
    client.closeThroughWindowManager(window);
    ASSERT_TRUE(viewer->waitForEnd(GRACE)) << "curve-viewer still runs after its window was closed";
    EXPECT_EQ("exit status 0", viewer->end().describe());
}

INSTANTIATE_TEST_SUITE_P(Desktops, ViewerTreatedByEachDesktop,
                         ::testing::Values(Setting{DesktopKind::BareX}, Setting{DesktopKind::Openbox},
                                           Setting{DesktopKind::Weston}),
                         settingTestName);
// Weston has no iconifying, and closes windows only through its close button.
INSTANTIATE_TEST_SUITE_P(Desktops, ViewerUnderWindowManager, ::testing::Values(Setting{DesktopKind::Openbox}),
                         settingTestName);

}
