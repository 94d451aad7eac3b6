#include "processes.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const double SERVER_START_TIMEOUT_SECONDS = 20.0;

// Execs the program, looked up on the PATH, in the child after fork; never returns.
[[noreturn]] void execute(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv(arguments.size() + 1, nullptr);
    std::transform(arguments.begin(), arguments.end(), argv.begin(),
                   [](const std::string& argument) { return const_cast<char*>(argument.c_str()); });
    execvp(program.c_str(), argv.data());
    _exit(127);
}

// How a process ended, from the status waitpid gave.
ProcessEnd decodeWaitStatus(int status, const rusage& usage)
{
    ProcessEnd end;
    end.peakResidentKilobytes = usage.ru_maxrss;
    end.exited = WIFEXITED(status);
    end.exitStatus = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

// Kills the process if it still runs and reaps it.
void stopProcess(pid_t pid)
{
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}

std::string makeTemporaryFile(const std::string& role)
{
    std::string path = "/tmp/curve-viewer-" + role + "-XXXXXX";
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0) {
        throw std::runtime_error("cannot create a temporary file for the " + role);
    }
    close(descriptor);
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void sleepSeconds(double seconds)
{
    const timespec interval = {0, static_cast<long>(seconds * 1e9)};
    nanosleep(&interval, nullptr);
}

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

XvfbServer::XvfbServer()
{
    int displayPipe[2];
    if (pipe(displayPipe) != 0) {
        throw std::runtime_error("cannot create a pipe for Xvfb's display number");
    }
    pid = fork();
    if (pid == 0) {
        close(displayPipe[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execute("Xvfb", {"Xvfb", "-displayfd", std::to_string(displayPipe[1]), "-screen", "0", "1280x1024x24", "-nolisten",
                 "tcp", "-noreset"});
    }
    close(displayPipe[1]);
    std::string number;
    const double deadline = monotonicSeconds() + SERVER_START_TIMEOUT_SECONDS;
    while (monotonicSeconds() < deadline) {
        pollfd reader = {displayPipe[0], POLLIN, 0};
        if (poll(&reader, 1, 100) <= 0) {
            continue;
        }
        char character = 0;
        if (read(displayPipe[0], &character, 1) != 1 || character == '\n') {
            break;
        }
        number += character;
    }
    close(displayPipe[0]);
    if (number.empty()) {
        stopProcess(pid);
        throw std::runtime_error("Xvfb did not start (is it installed and on the PATH?)");
    }
    name = ":" + number;
}

XvfbServer::~XvfbServer()
{
    stopProcess(pid);
}

std::string ProcessEnd::describe() const
{
    if (exited) {
        return "exit status " + std::to_string(exitStatus);
    }
    return "signal " + std::to_string(signal);
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& display, const std::vector<std::string>& environment)
    : outputPath(makeTemporaryFile("test-stdout")), errorPath(makeTemporaryFile("test-stderr")),
      pid(start(program, arguments, display, environment))
{
}

pid_t ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& display, const std::vector<std::string>& environment) const
{
    const pid_t child = fork();
    if (child == 0) {
        const int output = open(outputPath.c_str(), O_WRONLY | O_TRUNC);
        const int error = open(errorPath.c_str(), O_WRONLY | O_TRUNC);
        dup2(output, STDOUT_FILENO);
        dup2(error, STDERR_FILENO);
        if (display.empty()) {
            unsetenv("DISPLAY");
        } else {
            setenv("DISPLAY", display.c_str(), 1);
        }
        for (const std::string& setting : environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        execute(program, arguments);
    }
    return child;
}

ChildProcess::~ChildProcess()
{
    if (!ended) {
        stopProcess(pid);
    }
    std::remove(outputPath.c_str());
    std::remove(errorPath.c_str());
}

bool ChildProcess::running()
{
    if (ended) {
        return false;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, WNOHANG, &usage) == pid) {
        ending = decodeWaitStatus(status, usage);
        ended = true;
    }
    return !ended;
}

bool ChildProcess::waitForEnd(double timeoutSeconds)
{
    const double deadline = monotonicSeconds() + timeoutSeconds;
    while (running() && monotonicSeconds() < deadline) {
        sleepSeconds(POLL_INTERVAL_SECONDS);
    }
    return !running();
}

long ChildProcess::residentKilobytes() const
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string field;
    while (status >> field) {
        if (field == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return -1;
}

std::string ChildProcess::standardOutput() const
{
    return readFile(outputPath);
}

std::string ChildProcess::standardError() const
{
    return readFile(errorPath);
}
