#include "viewer_fixture.h"

#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace {

// The bare window that shows what the GL driver makes of the viewer's long axes.
const char* const LONG_WIDE_LINES_TITLE = "long-wide-lines";

const char* const NOT_IN_A_BROWSER = "it runs on its own, not as a page in a browser";
const char* const A_PAGE_HAS_NO_COMMAND_LINE = "a page has no command line for GLUT's options, or others, to come from";
const char* const WINE_DRAWS_NO_FRAME = "GLUT for Windows places the Windows frame, which Wine on a bare server does "
                                        "not draw: there only the drawing area is on the screen, inside where the "
                                        "frame would be";

// How close a grid point may come to a line before it no longer counts as off it.
const double CLEARANCE_PIXELS = 6.0;

// Parameter values whose points every probe of a curve looks for.
const double PROBED_PARAMETERS[] = {-4.0, -2.5, -1.2, 0.3, 0.9, 1.7, 3.1, 4.0};

// Straight-line distance between two pixels.
double pixelDistance(PixelPoint a, PixelPoint b)
{
    return std::hypot(a.column - b.column, a.row - b.row);
}

// Whether a pixel is clear of the curve, the axes and the label.
bool clearOfDrawing(const CurveShape& curve, PixelPoint pixel, int width, int height)
{
    if (std::abs(pixel.column - width / 2) < CLEARANCE_PIXELS || std::abs(pixel.row - height / 2) < CLEARANCE_PIXELS ||
        pixel.row < rowBelowLabel(height) + CLEARANCE_PIXELS) {
        return false;
    }
    for (double t = -5.0; t <= 5.0; t += 0.002) {
        if (pixelDistance(pixel, toPixel(curve.at(t), width, height)) < CLEARANCE_PIXELS) {
            return false;
        }
    }
    return true;
}

// The program CURVE_VIEWER names, or else the one built here.
std::string namedProgram()
{
    const char* other = std::getenv("CURVE_VIEWER");
    return other != nullptr ? other : CURVE_VIEWER_PATH;
}

// The words of a command held in an environment variable.
std::vector<std::string> commandWords(const char* command)
{
    std::istringstream words(command);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// Runs the curve-viewer for this system.
ViewerCommand nativeCommand(const char* /*setting*/, bool emptyArgumentVector)
{
    const std::string program = namedProgram();
    return {program, emptyArgumentVector ? std::vector<std::string>{} : std::vector<std::string>{program}};
}

// Runs a curve-viewer built for another processor under the emulator command.
ViewerCommand emulatedCommand(const char* emulator, bool emptyArgumentVector)
{
    const std::string program = namedProgram();
    std::vector<std::string> argv = commandWords(emulator);
    // qemu-user takes the program's argument zero from its option -0.
    argv.insert(argv.end(), {"-0", emptyArgumentVector ? "" : program, program});
    return {argv.front(), argv};
}

// Runs the Windows build under Wine. freeglut for Windows would take DISPLAY
// for a device name: only Wine, not the Windows program, may see it, as on a
// Windows machine. The program is an argument of its own, which Wine quotes
// where its path has spaces, as under Program Files.
ViewerCommand windowsCommand(const char* windowsBuild, bool /*emptyArgumentVector*/)
{
    std::string program = "Z:" + std::string(windowsBuild);
    std::replace(program.begin(), program.end(), '/', '\\');
    return {"wine", {"wine", "cmd", "/c", "set", "DISPLAY=&", program}};
}

// Opens the page in a browser through the launcher command.
ViewerCommand browserCommand(const char* launcher, bool /*emptyArgumentVector*/)
{
    std::vector<std::string> argv = commandWords(launcher);
    argv.push_back(namedProgram());
    return {argv.front(), argv};
}

// In the order they are looked for; the last is chosen when no other is.
const Launcher LAUNCHERS[] = {
    {"CURVE_VIEWER_EXE", windowsCommand, false,
     {{Ability::StartWithoutArguments, "a Windows program gets a command line, never an empty argument vector"},
      {Ability::OpenItsOwnXDisplay,
       "GLUT for Windows opens no X display: under Wine, Wine alone reaches the X server, through DISPLAY"},
      {Ability::BePlacedWhereItAsks, WINE_DRAWS_NO_FRAME},
      {Ability::RunInABrowser, NOT_IN_A_BROWSER}}},
    {"CURVE_VIEWER_BROWSER", browserCommand, true,
     {{Ability::ReadItsCommandLine, A_PAGE_HAS_NO_COMMAND_LINE},
      {Ability::StartWithoutArguments, A_PAGE_HAS_NO_COMMAND_LINE},
      {Ability::OpenItsOwnXDisplay,
       "the browser, not the page, holds the connection to the X server and answers for its loss"},
      {Ability::BePlacedWhereItAsks, "a page cannot place the browser's window"},
      {Ability::HaveItsOwnResidentSize, "the page's memory is the browser's, in processes of its own"},
      {Ability::DrawAtItsWindowsSize,
       "the page's picture keeps its 400x400 CSS pixels, whatever the size of the browser's window"},
      {Ability::HaveTheFunctionKeys,
       "the function keys are the browser's: F5 reloads the page, F1 and F12 open the browser's help and tools"},
      {Ability::TakeKeysBeforeItsFirstPaint,
       "Chromium drops the keys typed into a page before the page's first paint"}}},
    {"CURVE_VIEWER_EMULATOR", emulatedCommand, false,
     {{Ability::HaveItsOwnResidentSize, "an emulator's resident size holds its translations of the program's code"},
      {Ability::RunInABrowser, NOT_IN_A_BROWSER}}},
    {nullptr, nativeCommand, false, {{Ability::RunInABrowser, NOT_IN_A_BROWSER}}},
};

}

const Launcher& programUnderTest()
{
    static const Launcher& chosen = *std::find_if(std::begin(LAUNCHERS), std::end(LAUNCHERS), [](const Launcher& launcher) {
        return launcher.variable == nullptr || std::getenv(launcher.variable) != nullptr;
    });
    return chosen;
}

const char* cannot(Ability ability)
{
    const auto limit = programUnderTest().limits.find(ability);
    return limit == programUnderTest().limits.end() ? nullptr : limit->second;
}

namespace {

// The command of the program under test's launcher, from its setting.
ViewerCommand launcherCommand(bool emptyArgumentVector)
{
    const Launcher& launcher = programUnderTest();
    return launcher.command(launcher.variable == nullptr ? nullptr : std::getenv(launcher.variable),
                            emptyArgumentVector);
}

}

ViewerCommand viewerCommand(const std::vector<std::string>& arguments)
{
    ViewerCommand command = launcherCommand(false);
    command.argv.insert(command.argv.end(), arguments.begin(), arguments.end());
    return command;
}

bool launcherHas(const std::string& option)
{
    const std::vector<std::string> argv = viewerCommand({}).argv;
    return std::any_of(argv.begin(), argv.end(),
                       [&](const std::string& word) { return word == option || word.rfind(option + "=", 0) == 0; });
}

ViewerCommand viewerCommandWithEmptyArgumentVector()
{
    return launcherCommand(true);
}

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
const std::size_t CURVE_COUNT = sizeof CURVES / sizeof CURVES[0];

std::vector<std::string> viewerEnvironment()
{
    if (!VIEWER_IS_SANITIZED) {
        return {};
    }
    // The GL driver is unloaded at exit before the leak check runs, which then
    // could not tell its leaks from others; preloaded, it stays mapped.
    return {"ASAN_OPTIONS=verify_asan_link_order=0", "UBSAN_OPTIONS=print_stacktrace=1",
            std::string("LSAN_OPTIONS=print_suppressions=0:suppressions=") + LEAK_SUPPRESSIONS_FILE,
            std::string("LD_PRELOAD=") + GL_DRIVER_TO_KEEP_LOADED};
}

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

ViewerOnScreen::ViewerOnScreen(Setting setting)
    : desktop(setting), client(desktop.displayName(), desktop.keyDelivery())
{
    if (programUnderTest().framesAPage) {
        client.captureTopSquareOnly();
    }
}

void ViewerOnScreen::TearDown()
{
    if (viewer) {
        expectNothingWritten();
    }
    if (!notCheckedForTheDriver.empty()) {
        GTEST_SKIP() << "not checked:" << notCheckedForTheDriver << " the GL driver (" << renderer
                     << ") draws no line that long at that size, even alone in a bare window "
                        "(docs/README-debian.md, Known issues)";
    }
}

void ViewerOnScreen::expectNothingWritten() const
{
    EXPECT_EQ("", viewer->standardOutput()) << "standard output of curve-viewer";
    EXPECT_EQ("", viewer->standardError()) << "standard error of curve-viewer";
}

void ViewerOnScreen::startViewer(const std::vector<std::string>& arguments)
{
    const ViewerCommand command = viewerCommand(arguments);
    startAndWaitForWindow(command.program, command.argv);
}

void ViewerOnScreen::launchViewer(const std::string& program, const std::vector<std::string>& argv, bool setDisplay)
{
    std::vector<std::string> environment = viewerEnvironment();
    const std::vector<std::string> rendering = desktop.rendererEnvironment();
    environment.insert(environment.end(), rendering.begin(), rendering.end());
    viewer = std::make_unique<ChildProcess>(program, argv, setDisplay ? desktop.displayName() : "", environment);
}

void ViewerOnScreen::startAndWaitForWindow(const std::string& program, const std::vector<std::string>& argv,
                                           bool setDisplay)
{
    launchViewer(program, argv, setDisplay);
    window = client.waitForWindow("foo!", programUnderTest().framesAPage ? TitleMatch::AmongWords : TitleMatch::Exact);
    ASSERT_NE(None, window) << "no viewable window titled \"foo!\" appeared; the program "
                            << (viewer->running() ? "still runs" : "ended with " + viewer->end().describe())
                            << ", its standard error: " << viewer->standardError();
    if (cannot(Ability::TakeKeysBeforeItsFirstPaint) != nullptr) {
        // The page's first paint shows the clear colour in the corner, which
        // nothing drawn reaches, as its canvas's own background.
        Picture painted;
        ASSERT_TRUE(client.waitForSettledPicture(
            window, [](const Picture& candidate) { return probeRect(candidate, 0, 0, 2, 2, BACKGROUND); }, painted));
    }
}

void ViewerOnScreen::quitViewer()
{
    typeKeys({XK_Escape});
    ASSERT_TRUE(viewer->waitForEnd(WINDOW_TIMEOUT)) << "curve-viewer still runs after Escape";
    EXPECT_EQ("exit status 1", viewer->end().describe());
    expectNothingWritten();
    viewer.reset();
    window = None;
}

void ViewerOnScreen::typeKeys(const std::vector<KeySym>& keys)
{
    client.typeKeys(window, keys);
}

Picture ViewerOnScreen::waitForPicture(const std::string& label)
{
    Picture picture;
    EXPECT_TRUE(client.waitForSettledPicture(
        window, [&label](const Picture& candidate) { return probeLabel(candidate, label); }, picture));
    return picture;
}

PictureCheck paintedAtSize(int width, int height, Axes axes)
{
    return [width, height, axes](const Picture& candidate) {
        if (candidate.width != width || candidate.height != height) {
            return ::testing::AssertionFailure() << "window size: expected " << width << "x" << height
                                                 << ", observed " << candidate.width << "x" << candidate.height;
        }
        ::testing::AssertionResult corner = probeRect(candidate, 0, 0, 2, 2, BACKGROUND);
        return corner ? probeAxes(candidate, axes) : corner;
    };
}

Picture ViewerOnScreen::waitForSize(int width, int height)
{
    const Axes drawable = axesTheDriverDraws(width, height);
    const std::string size = " at " + std::to_string(width) + "x" + std::to_string(height);
    notCheckedForTheDriver += drawable.horizontal ? "" : " the horizontal axis" + size + ";";
    notCheckedForTheDriver += drawable.vertical ? "" : " the vertical axis" + size + ";";
    Picture picture;
    EXPECT_TRUE(client.waitForSettledPicture(window, paintedAtSize(width, height, drawable), picture));
    return picture;
}

::testing::AssertionResult ViewerOnScreen::showBareLines(int width, int height, Picture& picture)
{
    ChildProcess lines(LONG_WIDE_LINES_PATH, {LONG_WIDE_LINES_PATH, std::to_string(width), std::to_string(height)},
                       desktop.displayName(), desktop.rendererEnvironment());
    const Window linesWindow = client.waitForWindow(LONG_WIDE_LINES_TITLE);
    ::testing::AssertionResult painted =
        linesWindow == None ? ::testing::AssertionFailure() << "no window titled " << LONG_WIDE_LINES_TITLE
                            : client.waitForSettledPicture(linesWindow, paintedAtSize(width, height, Axes{false, false}),
                                                           picture);
    renderer = lines.standardOutput();
    renderer.erase(renderer.find_last_not_of('\n') + 1);
    lines.sendSignal(SIGTERM);
    lines.waitForEnd(WINDOW_TIMEOUT);
    return painted ? painted : painted << "; it wrote: " << lines.standardError();
}

Axes ViewerOnScreen::axesTheDriverDraws(int width, int height)
{
    Picture picture;
    const ::testing::AssertionResult painted = showBareLines(width, height, picture);
    if (!painted) {
        ADD_FAILURE() << "the bare window with the two long lines showed no picture: " << painted.message();
        return Axes{};
    }
    return Axes{probeAxes(picture, Axes{true, false}), probeAxes(picture, Axes{false, true})};
}

::testing::AssertionResult ViewerOnScreen::drawsWithTheRequestedRenderer()
{
    Picture picture;
    const ::testing::AssertionResult painted = showBareLines(WINDOW_SIZE, WINDOW_SIZE, picture);
    const std::string requested = rendererName(desktop.renderer());
    if (painted && renderer.rfind(requested, 0) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "GL renderer: requested " << requested << ", obtained "
                                         << (renderer.empty() ? "none" : renderer)
                                         << (painted ? "" : std::string(" (") + painted.message() + ")");
}

::testing::AssertionResult ViewerOnScreen::hasRequestedSizeAndPlace()
{
    const XWindowAttributes size = client.attributes(window);
    const ScreenPoint origin = client.frameOrigin(window);
    const bool placeShown = desktop.honoursPlacement() && cannot(Ability::BePlacedWhereItAsks) == nullptr;
    const bool placed = !placeShown || (origin.x == WINDOW_X && origin.y == WINDOW_Y);
    const bool roomForWords = programUnderTest().framesAPage && size.height > WINDOW_SIZE;
    if (size.width == WINDOW_SIZE && (size.height == WINDOW_SIZE || roomForWords) && placed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "window: expected " << WINDOW_SIZE << "x" << WINDOW_SIZE << " at ("
                                         << WINDOW_X << ", " << WINDOW_Y << "), observed " << size.width << "x"
                                         << size.height << " at (" << origin.x << ", " << origin.y << ")";
}

std::string settingTestName(const ::testing::TestParamInfo<Setting>& info)
{
    const Renderer renderer = info.param.renderer;
    return desktopName(info.param.desktop) + (renderer == Renderer::Llvmpipe ? "" : "_" + rendererName(renderer));
}

void ViewerOnScreen::killServer()
{
    client.disconnect();
    desktop.killServer();
}

void ViewerOnScreen::expectEndWithoutServer()
{
    ASSERT_TRUE(viewer->waitForEnd(std::chrono::seconds(5))) << "curve-viewer still runs without its X server";
    EXPECT_EQ("exit status 1", viewer->end().describe());
    EXPECT_EQ("", viewer->standardOutput()) << "standard output of curve-viewer";
    // Xlib's lost-connection message, then at times remarks of its own on
    // replies that were under way.
    std::istringstream error(viewer->standardError());
    std::string line;
    std::getline(error, line);
    const std::string lostConnection = "X connection to " + desktop.displayName() + " broken";
    EXPECT_EQ(0U, line.find(lostConnection)) << "first line on standard error: " << line;
    while (std::getline(error, line)) {
        EXPECT_EQ(0U, line.find("Xlib: ")) << "standard error of curve-viewer: " << viewer->standardError();
    }
    viewer.reset();
}
