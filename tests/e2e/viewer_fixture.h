// The curves as their formulas say they look, and a test fixture that runs
// curve-viewer on a private X server.
#ifndef VIEWER_FIXTURE_H
#define VIEWER_FIXTURE_H

#include "desktop.h"
#include "picture.h"
#include "processes.h"
#include "x_client.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

const int WINDOW_SIZE = 400;
// Where the viewer asks for its window to be placed on the screen.
const int WINDOW_X = 100;
const int WINDOW_Y = 100;

// Whether curve-viewer was built with the sanitizers.
const bool VIEWER_IS_SANITIZED = CURVE_VIEWER_SANITIZED;

// What the tests add to curve-viewer's environment: in a sanitized build, the
// sanitizers' options and what their leak check needs.
std::vector<std::string> viewerEnvironment();

struct CurveShape {
    const char* label;
    PlanePoint (*at)(double t);
};

// The six curves in the order the keyboard steps through them.
extern const CurveShape CURVES[];
extern const std::size_t CURVE_COUNT;

// The program to execute and the whole argument vector that start the program under test.
struct ViewerCommand {
    std::string program;
    std::vector<std::string> argv;
};

// What a check may need the program under test to do.
enum class Ability : std::uint8_t {
    // Take GLUT's options, and others, from its command line.
    ReadItsCommandLine,
    // Start with an empty argument vector.
    StartWithoutArguments,
    // Hold its own connection to the X server, whose loss Xlib reports.
    OpenItsOwnXDisplay,
    // Have its window placed where it asks, where the desktop honours that.
    BePlacedWhereItAsks,
    // Have a resident size that is its own use of memory.
    HaveItsOwnResidentSize,
    // Draw its picture at the size its window is given.
    DrawAtItsWindowsSize,
    // Run as a page in a browser.
    RunInABrowser,
    // Have the function keys to itself.
    HaveTheFunctionKeys,
    // Take the keys typed into its window before the window's first paint.
    TakeKeysBeforeItsFirstPaint,
};

// How a kind of program under test is started, and what it cannot do.
struct Launcher {
    // The environment variable whose setting chooses this launcher, and which
    // the command is built from; none for the program built here.
    const char* variable;
    // The program and the argument vector that start it, from that setting,
    // with its name as argument zero or with no argument at all.
    ViewerCommand (*command)(const char* setting, bool emptyArgumentVector);
    // Whether its window is a browser's that frames a page: titled with the
    // program's title among words of its own, and with the page's words
    // below the picture, which is the window's top square.
    bool framesAPage;
    // What it cannot do, and why.
    std::map<Ability, const char*> limits;
};

// How the program under test is started, chosen once from the environment:
// the Windows build CURVE_VIEWER_EXE names, under Wine; the page CURVE_VIEWER
// names, in the browser the launcher command CURVE_VIEWER_BROWSER opens; the
// program CURVE_VIEWER names, such as one built for another processor, under
// the qemu-user command in CURVE_VIEWER_EMULATOR; else the curve-viewer
// CURVE_VIEWER names, or the one built here.
const Launcher& programUnderTest();
// Why the program under test cannot do this, or nothing when it can.
const char* cannot(Ability ability);

// Starts the program under test with these arguments after its name.
ViewerCommand viewerCommand(const std::vector<std::string>& arguments);
// Whether the command that starts the program under test has this option
// of its launcher's, with a value or without.
bool launcherHas(const std::string& option);
// Starts the program under test with an empty argument vector. Linux hands
// such a program one empty argument, and so does the emulator.
ViewerCommand viewerCommandWithEmptyArgumentVector();

// Checks that the picture shows this curve: white where it passes, background
// on a grid of points it does not come near.
void expectCurve(const Picture& picture, const CurveShape& curve);

// Checks that a picture has this size and has been painted at it: the clear
// colour in the corner, which nothing drawn reaches, and the axes asked for.
PictureCheck paintedAtSize(int width, int height, Axes axes = {});

// The viewer started on a private desktop, a bare X server unless a test
// asks for another; every test also checks that it wrote nothing to standard
// output or standard error.
class ViewerOnScreen : public ::testing::Test {
protected:
    explicit ViewerOnScreen(Setting setting = {});
    void TearDown() override;

    // Starts the program under test with these arguments after its name and
    // waits for its window.
    void startViewer(const std::vector<std::string>& arguments = {});
    // Starts a program with exactly this argument vector, with DISPLAY set to
    // the test's server or unset, without waiting for a window.
    void launchViewer(const std::string& program, const std::vector<std::string>& argv, bool setDisplay = true);
    // Starts a program as launchViewer does and waits for the viewer's window.
    void startAndWaitForWindow(const std::string& program, const std::vector<std::string>& argv,
                               bool setDisplay = true);
    // Ends the viewer with Escape, expecting exit status 1 and silence.
    void quitViewer();
    // Types the keys into the viewer's window in one burst.
    void typeKeys(const std::vector<KeySym>& keys);
    // Waits until the repainted window shows this label, and returns what it shows then.
    Picture waitForPicture(const std::string& label);
    // Waits until the window has this size and has been repainted at it,
    // with the axes the GL driver draws at that size.
    Picture waitForSize(int width, int height);
    // The bare window's GL context is of the renderer the desktop asks for.
    ::testing::AssertionResult drawsWithTheRequestedRenderer();
    // The window's drawing area is 400x400 and, where the desktop honours
    // it, the window (its frame, under a window manager) sits where the viewer asks.
    ::testing::AssertionResult hasRequestedSizeAndPlace();
    // Takes the X server away while the viewer runs.
    void killServer();
    // Expects the viewer to end soon after its server has gone: by exit with
    // status 1, not by a signal, and with only the X library's own words on
    // standard error.
    void expectEndWithoutServer();

    Desktop desktop;
    XClient client;
    std::unique_ptr<ChildProcess> viewer;
    Window window = None;

private:
    // Checks that the viewer has written nothing to standard output or error.
    void expectNothingWritten() const;
    // Shows the bare window that draws only the viewer's two long axes at
    // this size; leaves its settled picture, and the renderer it names.
    ::testing::AssertionResult showBareLines(int width, int height, Picture& picture);
    // Which of the viewer's two long axes the GL driver draws in a window of
    // this size, seen in the bare window.
    Axes axesTheDriverDraws(int width, int height);

    // What a fault of the GL driver kept the test from checking, and the driver.
    std::string notCheckedForTheDriver;
    std::string renderer;
};

// The viewer on each desktop and renderer, for what must hold on all of
// them; each test first makes sure the renderer is the one asked for.
class ViewerOnEachDesktop : public ViewerOnScreen, public ::testing::WithParamInterface<Setting> {
protected:
    ViewerOnEachDesktop() : ViewerOnScreen(GetParam()) {}
    void SetUp() override { ASSERT_TRUE(drawsWithTheRequestedRenderer()); }
};

// Names a test after its desktop, and its renderer unless that is llvmpipe.
std::string settingTestName(const ::testing::TestParamInfo<Setting>& info);

// What desktops do to the viewer's window, on each desktop.
class ViewerTreatedByEachDesktop : public ViewerOnEachDesktop {};

// The viewer under desktops whose window manager iconifies and closes windows.
class ViewerUnderWindowManager : public ViewerOnEachDesktop {};

#endif
