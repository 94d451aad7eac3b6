// Preloaded into a GLUT program by the benchmark: notes when each picture
// reaches the X server, asks for the next repaint at once, and ends the
// process after the number of pictures named in CURVE_BENCH_SWAPS, writing the
// times of the first and the last to the file named in CURVE_BENCH_REPORT.
#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

long swaps = 0;
double firstSwapSeconds = 0.0;

// Seconds on the benchmark driver's clock.
double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long requestedSwaps()
{
    const char* setting = std::getenv("CURVE_BENCH_SWAPS");
    return setting != nullptr ? std::atol(setting) : 1;
}

// Writes the report and ends the process without running its exit handlers,
// which are not part of what is measured.
[[noreturn]] void reportAndEnd(double lastSwapSeconds)
{
    const char* path = std::getenv("CURVE_BENCH_REPORT");
    if (path != nullptr) {
        if (FILE* report = std::fopen(path, "w")) {
            std::fprintf(report, "%.9f %.9f %ld\n", firstSwapSeconds, lastSwapSeconds, swaps);
            std::fclose(report);
        }
    }
    _exit(0);
}

}

// Swaps as GLUT would, then waits until the X server has the picture.
extern "C" void glutSwapBuffers()
{
    using SwapFunction = void (*)();
    static const auto realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static const long lastSwap = requestedSwaps();
    realSwap();
    XSync(glXGetCurrentDisplay(), False);
    const double now = steadySeconds();
    if (++swaps == 1) {
        firstSwapSeconds = now;
    }
    if (swaps >= lastSwap) {
        reportAndEnd(now);
    }
    glutPostRedisplay();
}
