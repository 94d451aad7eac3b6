// A private X server with the viewer running on it, for tests that look at
// the real program's window.
#ifndef X_SESSION_H
#define X_SESSION_H

#include "picture.h"

#include <X11/Xlib.h>

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

    pid_t id() const { return pid; }
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

// A client connection to the test's X server, to find and inspect windows.
class XClient {
public:
    explicit XClient(const std::string& displayName);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // The top-level window with this title, once it is viewable; None on timeout.
    Window waitForWindow(const std::string& title, double timeoutSeconds);
    // The window's size and its position on the screen.
    XWindowAttributes attributes(Window window);
    // What the window shows now.
    Picture capture(Window window);
    // Asks for a new size of the window's drawing area.
    void resize(Window window, int width, int height);
    // Gives the window the keyboard focus and types the keys in one burst, as
    // the keyboard would: press and release each, with Shift where the key needs it.
    void typeKeys(Window window, const std::vector<KeySym>& keys);

private:
    Display* display;
};

// Seconds since an arbitrary fixed moment, for timeouts.
double monotonicSeconds();

#endif
