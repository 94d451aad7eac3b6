#include "processes.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

const Timeout SERVER_START_TIMEOUT = std::chrono::seconds(20);
const Timeout SERVER_END_TIMEOUT = std::chrono::seconds(5);

// Forks a child that sends its standard output and error to these files, runs
// the preparation and execs the program, looked up on the PATH, with exactly
// this argument vector. Throws if there is no child.
pid_t spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& outputPath,
            const std::string& errorPath, const std::function<void()>& prepare)
{
    const pid_t child = fork();
    if (child < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot fork to start " + program);
    }
    if (child == 0) {
        dup2(open(outputPath.c_str(), O_WRONLY | O_TRUNC), STDOUT_FILENO);
        dup2(open(errorPath.c_str(), O_WRONLY | O_TRUNC), STDERR_FILENO);
        prepare();
        std::vector<char*> argv(arguments.size() + 1, nullptr);
        std::transform(arguments.begin(), arguments.end(), argv.begin(),
                       [](const std::string& argument) { return const_cast<char*>(argument.c_str()); });
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
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

// Kills the process and reaps it. No pid below 1 is ever signalled: kill()
// would take it for a whole group of processes.
void stopProcess(pid_t pid)
{
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Reads what is ready on the descriptor, up to the end of a line or of the
// stream; true once either is reached.
bool readLine(int descriptor, std::string& line)
{
    pollfd reader = {descriptor, POLLIN, 0};
    while (poll(&reader, 1, 0) > 0) {
        char character = 0;
        if (read(descriptor, &character, 1) != 1 || character == '\n') {
            return true;
        }
        line += character;
    }
    return false;
}

}

bool pollUntil(const std::function<bool()>& done, Timeout timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    return true;
}

std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

TemporaryFile::TemporaryFile(const std::string& role) : filePath(temporaryFolder() + "/curve-viewer-" + role + "-XXXXXX")
{
    const int descriptor = mkstemp(filePath.data());
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot create a temporary file for the " + role);
    }
    close(descriptor);
}

TemporaryFile::~TemporaryFile()
{
    std::remove(filePath.c_str());
}

std::string TemporaryFile::contents() const
{
    std::ifstream file(filePath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

XvfbServer::XvfbServer(const std::vector<std::string>& extraArguments) : errors("xvfb-stderr")
{
    int displayPipe[2];
    if (pipe(displayPipe) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot create a pipe for Xvfb's display number");
    }
    std::vector<std::string> arguments = {"Xvfb",     "-displayfd", std::to_string(displayPipe[1]), "-screen", "0",
                                          "1280x1024x24", "-nolisten", "tcp",                          "-noreset"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    try {
        pid = spawn(XVFB_PATH, arguments, "/dev/null", errors.path(), [&displayPipe] { close(displayPipe[0]); });
    } catch (...) {
        close(displayPipe[0]);
        close(displayPipe[1]);
        throw;
    }
    close(displayPipe[1]);
    std::string number;
    pollUntil([&] { return readLine(displayPipe[0], number); }, SERVER_START_TIMEOUT);
    close(displayPipe[0]);
    if (number.empty()) {
        stopProcess(pid);
        throw std::runtime_error("Xvfb did not start; it said:\n" + errors.contents());
    }
    name = ":" + number;
}

XvfbServer::~XvfbServer()
{
    // Ended, not killed, the server removes its lock file and its socket from /tmp.
    kill(pid, SIGTERM);
    if (!pollUntil([this] { return waitpid(pid, nullptr, WNOHANG) == pid; }, SERVER_END_TIMEOUT)) {
        stopProcess(pid);
    }
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
    : output("test-stdout"), errors("test-stderr")
{
    pid = spawn(program, arguments, output.path(), errors.path(), [&display, &environment] {
        if (display.empty()) {
            unsetenv("DISPLAY");
        } else {
            setenv("DISPLAY", display.c_str(), 1);
        }
        for (const std::string& setting : environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
    });
}

ChildProcess::~ChildProcess()
{
    if (!ended) {
        stopProcess(pid);
    }
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

bool ChildProcess::waitForEnd(Timeout timeout)
{
    return pollUntil([this] { return !running(); }, timeout);
}

void ChildProcess::sendSignal(int signal)
{
    if (running()) {
        kill(pid, signal);
    }
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
    return output.contents();
}

std::string ChildProcess::standardError() const
{
    return errors.contents();
}
