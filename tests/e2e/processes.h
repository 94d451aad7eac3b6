// Private X servers and child processes whose ending and output can be
// examined, for tests and benchmarks that run the real program.
#ifndef PROCESSES_H
#define PROCESSES_H

#include <string>
#include <sys/types.h>
#include <vector>

// An Xvfb server on a display number of its own choosing, ended on destruction.
class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The DISPLAY value that reaches this server, such as ":3".
    const std::string& displayName() const { return name; }

private:
    pid_t pid = -1;
    std::string name;
};

// How a child process ended: by exit with a status, or by a signal.
struct ProcessEnd {
    bool exited = false;
    int exitStatus = -1;
    int signal = 0;
    // The most resident memory the process ever had, in KiB.
    long peakResidentKilobytes = 0;
    std::string describe() const;
};

// A program started with its standard output and error captured in files.
class ChildProcess {
public:
    // Runs the program with exactly this argument vector, which may even be
    // empty, on the given display (an empty one leaves DISPLAY unset), with
    // these NAME=VALUE settings added to its environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& display,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Whether the process has not ended yet.
    bool running();
    // Waits up to timeoutSeconds for the process to end; false if it is still running.
    bool waitForEnd(double timeoutSeconds);
    // Resident memory in KiB, from /proc.
    long residentKilobytes() const;
    const ProcessEnd& end() const { return ending; }
    std::string standardOutput() const;
    std::string standardError() const;

private:
    // Forks and execs the program with its output going to the two files.
    pid_t start(const std::string& program, const std::vector<std::string>& arguments, const std::string& display,
                const std::vector<std::string>& environment) const;

    std::string outputPath;
    std::string errorPath;
    pid_t pid;
    ProcessEnd ending;
    bool ended = false;
};

// How long waits sleep between two looks.
const double POLL_INTERVAL_SECONDS = 0.02;

// Seconds since an arbitrary fixed moment, for timeouts.
double monotonicSeconds();

// Sleeps for the given fraction of a second.
void sleepSeconds(double seconds);

// Creates an empty file of its own under /tmp, named after its role, and returns its path.
std::string makeTemporaryFile(const std::string& role);

// The whole contents of a file, empty if it cannot be read.
std::string readFile(const std::string& path);

#endif
