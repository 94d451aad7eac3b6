// Runs the real curve-viewer under valgrind's memcheck through a short
// session: start, all six curves, Escape.
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const char* const CLEAN_SUMMARY = "ERROR SUMMARY: 0 errors";
// Under memcheck, the driver's first frame alone takes some 10 to 20 s on an
// idle machine, and several times that on a loaded one.
const Timeout MEMCHECK_PICTURE_TIMEOUT = std::chrono::minutes(2);

TEST_F(ViewerOnScreen, MemcheckFindsNoErrorsThroughAllSixCurvesAndEscape)
{
    client.setPictureTimeout(MEMCHECK_PICTURE_TIMEOUT);
    const TemporaryFile log("memcheck-log");
    ASSERT_NO_FATAL_FAILURE(startAndWaitForWindow(
        VALGRIND_PATH, {VALGRIND_PATH, "--tool=memcheck", "--track-origins=yes", "--num-callers=40",
                        std::string("--suppressions=") + VALGRIND_SUPPRESSIONS_FILE, "--log-file=" + log.path(),
                        CURVE_VIEWER_PATH}));
    waitForPicture(CURVES[0].label);
    for (std::size_t step = 1; step <= CURVE_COUNT; ++step) {
        typeKeys({XK_space});
        waitForPicture(CURVES[step % CURVE_COUNT].label);
    }
    quitViewer();

    const std::string report = log.contents();
    EXPECT_NE(std::string::npos, report.find(CLEAN_SUMMARY)) << "memcheck's report:\n" << report;
}

}
