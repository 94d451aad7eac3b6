// Measures curve-viewer against a bare GLUT window on a private Xvfb server:
// time from process start to the first picture, the cost of one display pass,
// and peak resident memory. Prints medians, ratios and the targets.
//
// Usage: run_benchmark CURVE_VIEWER BARE_WINDOW SWAP_PROBE_LIBRARY
#include "processes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const int FIRST_PICTURE_RUNS = 31;
const int REPAINT_RUNS = 5;
const long REPAINTS_PER_RUN = 1000;
const Timeout RUN_TIMEOUT = std::chrono::minutes(2);

const double FIRST_PICTURE_TARGET_RATIO = 1.25;
const double DISPLAY_PASS_TARGET_RATIO = 3.0;
const double PEAK_MEMORY_TARGET_EXTRA_MIB = 20.0;

struct Program {
    std::string name;
    std::string path;
    std::vector<double> firstPictureSeconds;
    std::vector<double> displayPassSeconds;
    std::vector<double> peakMebibytes;
};

struct Run {
    double startToFirstSwap;
    double firstToLastSwap;
    long swaps;
    double peakMebibytes;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Starts the program with the swap probe preloaded, lets it show the given
// number of pictures, and reads back what the probe noted.
Run runOnce(const Program& program, const std::string& display, const std::string& probe, long pictures)
{
    const TemporaryFile reportFile("bench-report");
    const std::vector<std::string> environment = {"LD_PRELOAD=" + probe, "CURVE_BENCH_REPORT=" + reportFile.path(),
                                                  "CURVE_BENCH_SWAPS=" + std::to_string(pictures)};
    // The probe notes its times on the same clock, in seconds since its epoch.
    const double start = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    ChildProcess process(program.path, {program.path}, display, environment);
    if (!process.waitForEnd(RUN_TIMEOUT) || !process.end().exited || process.end().exitStatus != 0) {
        throw std::runtime_error(program.name + " did not end as the probe asks: " + process.end().describe());
    }
    std::istringstream report(reportFile.contents());
    double firstSwap = 0.0;
    double lastSwap = 0.0;
    long swaps = 0;
    report >> firstSwap >> lastSwap >> swaps;
    if (swaps != pictures) {
        throw std::runtime_error(program.name + ": the probe saw " + std::to_string(swaps) + " pictures, not " +
                                 std::to_string(pictures));
    }
    return Run{firstSwap - start, lastSwap - firstSwap, swaps,
               static_cast<double>(process.end().peakResidentKilobytes) / 1024.0};
}

// Prints one row of the table and says whether its target holds.
bool printRow(const char* figure, const char* unit, double scale, double viewer, double baseline, bool ratioTarget,
              double target)
{
    const double comparison = ratioTarget ? viewer / baseline : viewer - baseline;
    const bool met = comparison <= target;
    std::printf("| %-21s | %9.3f %-3s | %9.3f %-3s |", figure, viewer * scale, unit, baseline * scale, unit);
    if (ratioTarget) {
        std::printf(" %10.2fx | at most %5.2fx    | %-6s |\n", comparison, target, met ? "met" : "MISSED");
    } else {
        std::printf(" %+7.1f MiB | at most %+5.0f MiB | %-6s |\n", comparison, target, met ? "met" : "MISSED");
    }
    return met;
}

}

// Runs both programs alternately and prints the table.
int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: run_benchmark CURVE_VIEWER BARE_WINDOW SWAP_PROBE_LIBRARY\n";
        return 2;
    }
    Program viewer{"curve-viewer", argv[1], {}, {}, {}};
    Program baseline{"bare window", argv[2], {}, {}, {}};
    const std::string probe = argv[3];
    try {
        const XvfbServer server;
        for (int round = 0; round < FIRST_PICTURE_RUNS; ++round) {
            for (Program* program : {&viewer, &baseline}) {
                program->firstPictureSeconds.push_back(runOnce(*program, server.displayName(), probe, 1).startToFirstSwap);
            }
        }
        for (int round = 0; round < REPAINT_RUNS; ++round) {
            for (Program* program : {&viewer, &baseline}) {
                const Run run = runOnce(*program, server.displayName(), probe, REPAINTS_PER_RUN + 1);
                program->displayPassSeconds.push_back(run.firstToLastSwap / static_cast<double>(run.swaps - 1));
                program->peakMebibytes.push_back(run.peakMebibytes);
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "run_benchmark: " << error.what() << '\n';
        return 2;
    }

    std::printf("Medians of %d starts and of %d runs of %ld repaints each, the programs alternating.\n\n",
                FIRST_PICTURE_RUNS, REPAINT_RUNS, REPAINTS_PER_RUN);
    std::printf("| %-21s | %-13s | %-13s | %-11s | %-17s | %-6s |\n", "figure (median)", "curve-viewer", "bare window",
                "against it", "target", "");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(23, '-').c_str(), std::string(15, '-').c_str(),
                std::string(15, '-').c_str(), std::string(13, '-').c_str(), std::string(19, '-').c_str(),
                std::string(8, '-').c_str());
    bool allMet = printRow("time to first picture", "ms", 1e3, median(viewer.firstPictureSeconds),
                           median(baseline.firstPictureSeconds), true, FIRST_PICTURE_TARGET_RATIO);
    allMet = printRow("one display pass", "ms", 1e3, median(viewer.displayPassSeconds),
                      median(baseline.displayPassSeconds), true, DISPLAY_PASS_TARGET_RATIO) && allMet;
    allMet = printRow("peak resident memory", "MiB", 1.0, median(viewer.peakMebibytes), median(baseline.peakMebibytes),
                      false, PEAK_MEMORY_TARGET_EXTRA_MIB) && allMet;
    return allMet ? 0 : 1;
}
