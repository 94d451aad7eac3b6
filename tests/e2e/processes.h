// Private X servers and child processes whose ending and output can be
// examined, for tests and benchmarks that run the real program.
#ifndef PROCESSES_H
#define PROCESSES_H

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

using Clock = std::chrono::steady_clock;
using Timeout = std::chrono::milliseconds;

// How long waits sleep between two looks.
const Timeout POLL_INTERVAL{20};

// Looks until done() holds or the timeout has passed; whether it held at the last look.
bool pollUntil(const std::function<bool()>& done, Timeout timeout);

// A file of its own in the temporary folder, named after its role, removed on destruction.
// The folder for temporary files: TMPDIR, or /tmp where it is unset.
std::string temporaryFolder();

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& role);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return filePath; }
    // The whole contents of the file, empty if it cannot be read.
    std::string contents() const;

private:
    std::string filePath;
};

// An Xvfb server on a display number of its own choosing, ended on destruction.
// The extra arguments go to Xvfb after the harness's own.
class XvfbServer {
public:
    explicit XvfbServer(const std::vector<std::string>& extraArguments = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The DISPLAY value that reaches this server, such as ":3".
    const std::string& displayName() const { return name; }

private:
    TemporaryFile errors;
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
    // Waits up to the timeout for the process to end; false if it is still running.
    bool waitForEnd(Timeout timeout);
    // Sends the signal, unless the process has already ended.
    void sendSignal(int signal);
    // Resident memory in KiB, from /proc.
    long residentKilobytes() const;
    const ProcessEnd& end() const { return ending; }
    std::string standardOutput() const;
    std::string standardError() const;

private:
    TemporaryFile output;
    TemporaryFile errors;
    pid_t pid = -1;
    ProcessEnd ending;
    bool ended = false;
};

#endif
