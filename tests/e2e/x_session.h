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
    ChildProcess(const std::vector<std::string>& arguments, const std::string& display);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t id() const { return pid; }
    // Whether the process has not ended yet.
    bool running();
    // Waits up to timeoutSeconds for the process to end; false if it is still running.
    bool waitForEnd(double timeoutSeconds);
    const ProcessEnd& end() const { return ending; }
    std::string standardOutput() const;
    std::string standardError() const;

private:
    pid_t pid = -1;
    ProcessEnd ending;
    bool ended = false;
    std::string outputPath;
    std::string errorPath;
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
    // Gives the window the keyboard focus and types the keys in one burst, as
    // the keyboard would: press and release each, with Shift where the key needs it.
    void typeKeys(Window window, const std::vector<KeySym>& keys);

private:
    Display* display;
};

// Seconds since an arbitrary fixed moment, for timeouts.
double monotonicSeconds();

#endif
