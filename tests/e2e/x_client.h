// A client connection to a test's X server: finds the viewer's window, looks
// at it, types into it and resizes it.
#ifndef X_CLIENT_H
#define X_CLIENT_H

#include "picture.h"
#include "processes.h"

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

const Timeout WINDOW_TIMEOUT = std::chrono::seconds(30);
const Timeout PICTURE_TIMEOUT = std::chrono::seconds(30);

// A verdict on a captured picture that says what is wrong when it fails.
using PictureCheck = std::function<::testing::AssertionResult(const Picture&)>;

// A client connection to the test's X server, to find and inspect windows.
class XClient {
public:
    explicit XClient(const std::string& displayName);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // The top-level window with this title, once it is viewable; None on timeout.
    Window waitForWindow(const std::string& title);
    // The window's size and its position on the screen.
    XWindowAttributes attributes(Window window);
    // What the window shows now.
    Picture capture(Window window);
    // Captures the window until a picture passes the check and a second
    // capture shows the same pixels, so that no repaint is under way, or until
    // the timeout. Leaves the last picture seen in `settled` and returns the
    // check's verdict on it.
    ::testing::AssertionResult waitForSettledPicture(Window window, const PictureCheck& check, Picture& settled);
    // Asks for a new size of the window's drawing area.
    void resize(Window window, int width, int height);
    // Gives the window the keyboard focus and types the keys in one burst, as
    // the keyboard would: press and release each, with Shift where the key needs it.
    void typeKeys(Window window, const std::vector<KeySym>& keys);

private:
    // The top-level window with this title if it is viewable now, else None.
    Window findViewableWindow(const std::string& title);

    Display* display;
};

#endif
