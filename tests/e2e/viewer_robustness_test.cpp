// Pushes the real curve-viewer hard: long key bursts, resizes and bad
// start-up input.
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

const int KEY_BURST_LENGTH = 3000;
const long MEMORY_GROWTH_LIMIT_KILOBYTES = 1024;

TEST_F(ViewerOnScreen, SurvivesAKeyBurstOf3000WithoutGrowing)
{
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture first = waitForPicture(CURVES[0].label);
    const long residentBefore = viewer->residentKilobytes();

    typeKeys(std::vector<KeySym>(KEY_BURST_LENGTH, XK_space));
    // Keys are handled in order, so once one more key shows the second curve,
    // all of the burst has been handled, each key once (3001 is 1 modulo 6).
    typeKeys({XK_space});
    expectCurve(waitForPicture(CURVES[1].label), CURVES[1]);
    ASSERT_TRUE(viewer->running()) << "curve-viewer ended: " << viewer->end().describe();
    typeKeys(std::vector<KeySym>(CURVE_COUNT - 1, XK_space));
    EXPECT_TRUE(samePicture(first, waitForPicture(CURVES[0].label)));

    // AddressSanitizer holds freed memory back in quarantine, so there the
    // resident size says nothing about the program's own use.
    if (!VIEWER_IS_SANITIZED && cannot(Ability::HaveItsOwnResidentSize) == nullptr) {
        const long growth = viewer->residentKilobytes() - residentBefore;
        EXPECT_LT(growth, MEMORY_GROWTH_LIMIT_KILOBYTES)
            << "resident memory grew from " << residentBefore << " KiB by " << growth << " KiB";
    }
}

TEST_F(ViewerOnScreen, ResizesBackTo400By400RestoreTheFirstPicture)
{
    if (const char* why = cannot(Ability::DrawAtItsWindowsSize)) {
        GTEST_SKIP() << why;
    }
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture first = waitForPicture(CURVES[0].label);
    const int sizes[][2] = {{200, 200}, {1000, 300}, {300, 900}, {123, 77}, {WINDOW_SIZE, WINDOW_SIZE}};
    for (const auto& size : sizes) {
        client.resize(window, size[0], size[1]);
        waitForSize(size[0], size[1]);
    }
    EXPECT_TRUE(samePicture(first, waitForPicture(CURVES[0].label)));
}

TEST_F(ViewerOnScreen, IgnoresArgumentsThatAreNotGlutOptions)
{
    if (const char* why = cannot(Ability::ReadItsCommandLine)) {
        GTEST_SKIP() << why;
    }
    ASSERT_NO_FATAL_FAILURE(startViewer());
    const Picture plain = waitForPicture(CURVES[0].label);
    ASSERT_NO_FATAL_FAILURE(quitViewer());

    ASSERT_NO_FATAL_FAILURE(startViewer({"--help", "foo", "-x", "42", "-", ""}));
    EXPECT_TRUE(samePicture(plain, waitForPicture(CURVES[0].label)));
}

TEST_F(ViewerOnScreen, GlutDisplayOptionChoosesTheServer)
{
    if (const char* why = cannot(Ability::OpenItsOwnXDisplay)) {
        GTEST_SKIP() << why;
    }
    const ViewerCommand command = viewerCommand({"-display", desktop.displayName()});
    ASSERT_NO_FATAL_FAILURE(startAndWaitForWindow(command.program, command.argv, false));
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
}

TEST_F(ViewerOnScreen, WindowSizeAndPlaceSetAfterGlutInitOutweighGeometryOption)
{
    if (const char* why = cannot(Ability::ReadItsCommandLine)) {
        GTEST_SKIP() << why;
    }
    // GLUT takes -geometry as its initial window size and place, and the
    // viewer sets its own right after GLUT's initialisation.
    ASSERT_NO_FATAL_FAILURE(startViewer({"-geometry", "600x600+10+10"}));
    EXPECT_TRUE(hasRequestedSizeAndPlace());
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
}

TEST_F(ViewerOnScreen, StartsWithAnEmptyArgumentVector)
{
    if (const char* why = cannot(Ability::StartWithoutArguments)) {
        GTEST_SKIP() << why;
    }
    const ViewerCommand command = viewerCommandWithEmptyArgumentVector();
    ASSERT_NO_FATAL_FAILURE(startAndWaitForWindow(command.program, command.argv));
    expectCurve(waitForPicture(CURVES[0].label), CURVES[0]);
}

struct BadStart {
    const char* name = "";
    std::vector<std::string> arguments;
    bool withDisplay = true;
    const char* glutMessage = "";
    // Whether the case is about opening the X display.
    bool opensTheXDisplay = false;
};

// Names the case in GoogleTest's output; GoogleTest looks for this name.
void PrintTo(const BadStart& start, std::ostream* out) // NOLINT(readability-identifier-naming)
{
    *out << start.name;
}

class ViewerBadStart : public ::testing::TestWithParam<BadStart> {
protected:
    XvfbServer server;
};

TEST_P(ViewerBadStart, EndsWithGlutsMessageAndAFailureStatus)
{
    const BadStart& start = GetParam();
    if (const char* why = cannot(start.opensTheXDisplay ? Ability::OpenItsOwnXDisplay : Ability::ReadItsCommandLine)) {
        GTEST_SKIP() << why;
    }
    const ViewerCommand command = viewerCommand(start.arguments);
    ChildProcess viewer(command.program, command.argv, start.withDisplay ? server.displayName() : "",
                        viewerEnvironment());
    ASSERT_TRUE(viewer.waitForEnd(WINDOW_TIMEOUT)) << "curve-viewer still runs";
    EXPECT_TRUE(viewer.end().exited) << "curve-viewer ended by " << viewer.end().describe();
    EXPECT_NE(0, viewer.end().exitStatus);
    EXPECT_NE(std::string::npos, viewer.standardError().find(start.glutMessage))
        << "standard error: " << viewer.standardError();
    EXPECT_EQ("", viewer.standardOutput());
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, ViewerBadStart,
    ::testing::Values(BadStart{"GeometryWithoutValue", {"-geometry"}, true, "-geometry parameter must be followed"},
                      BadStart{"DisplayWithoutValue", {"-display"}, true, "-display parameter must be followed"},
                      BadStart{"UnreachableDisplay", {"-display", ":9999"}, true, "failed to open display ':9999'", true},
                      BadStart{"NoDisplay", {}, false, "failed to open display", true}),
    [](const ::testing::TestParamInfo<BadStart>& info) { return std::string(info.param.name); });

}
