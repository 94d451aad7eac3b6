// A client connection to a test's X server: finds the viewer's window, looks
// at it, types into it, and does to it what a user and a desktop do.
#ifndef X_CLIENT_H
#define X_CLIENT_H

#include "picture.h"
#include "processes.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

const Timeout WINDOW_TIMEOUT = std::chrono::seconds(30);
const Timeout PICTURE_TIMEOUT = std::chrono::seconds(30);

// A verdict on a captured picture that says what is wrong when it fails.
using PictureCheck = std::function<::testing::AssertionResult(const Picture&)>;

// How typed keys reach a window.
enum class KeyDelivery : std::uint8_t {
    // Through XTest, as from the keyboard, once the window has the focus.
    XTest,
    // As events sent to the window, where the server takes no XTest input.
    SendEvent,
};

// How a window's title names what it shows: exactly, or among words of its
// own, as a browser's window names the page in it.
enum class TitleMatch : std::uint8_t {
    Exact,
    AmongWords,
};

// A point on the screen.
struct ScreenPoint {
    int x;
    int y;
};

// A client connection to the test's X server, to find and inspect windows.
class XClient {
public:
    explicit XClient(const std::string& displayName, KeyDelivery keyDelivery = KeyDelivery::XTest);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // The window with this title, once it is viewable; None on timeout.
    Window waitForWindow(const std::string& title, TitleMatch match = TitleMatch::Exact);
    // The window's size and its position in its parent.
    XWindowAttributes attributes(Window window);
    // Whether the window and all its ancestors are mapped.
    bool viewable(Window window);
    // Where the window's frame, or the window itself when it has none, starts on the screen.
    ScreenPoint frameOrigin(Window window);
    // Whether a window manager runs on the server.
    bool hasWindowManager();
    // What the window shows now.
    Picture capture(Window window);
    // From now on captures only the top square of a window taller than
    // wide: a page's picture, without its words below.
    void captureTopSquareOnly() { topSquareOnly = true; }
    // Captures the window until a picture passes the check and a second
    // capture shows the same pixels, so that no repaint is under way, or until
    // the timeout. Leaves the last picture seen in `settled` and returns the
    // check's verdict on it.
    ::testing::AssertionResult waitForSettledPicture(Window window, const PictureCheck& check, Picture& settled);
    // How long waitForSettledPicture waits at most: PICTURE_TIMEOUT, unless set.
    void setPictureTimeout(Timeout timeout) { pictureTimeout = timeout; }
    // Asks for a new size of the window's drawing area.
    void resize(Window window, int width, int height);
    // Types the keys in one burst, as the keyboard would: press and release
    // each, with Shift where the key needs it. A key the keyboard map lacks,
    // as a Cyrillic letter on the server's US map, is put on a free keycode first.
    void typeKeys(Window window, const std::vector<KeySym>& keys);
    // Clicks the first mouse button at this point of the window, as the mouse does.
    void click(Window window, int x, int y);
    // Gives the window the focus: through the window manager, as a click on
    // it or its task bar entry would, or directly where there is none.
    void activate(Window window);
    // Asks the window manager to iconify the window.
    void iconify(Window window);
    // Asks the window manager to close the window, as its close button does.
    void closeThroughWindowManager(Window window);
    // Maps a black window of another client over the window; returns it.
    Window cover(Window window);
    // Destroys a window, the viewer's or one of this client's.
    void destroy(Window window);
    // Closes the connection ahead of its server going away, which Xlib
    // would otherwise take for a fatal error at the next request.
    void disconnect();

private:
    // The window's title, as a window manager reads it; empty if it has none.
    std::string windowTitle(Window window);
    // The window with this title below the given one if it is viewable now, else None.
    Window findViewableWindow(Window top, const std::string& title, TitleMatch match);
    // The first values of a window's property of 32-bit items; none if it has no such property.
    std::vector<long> property(Window window, const char* name, Atom type, long length);
    // The keycode that types the key: its own, or a free one it is put on.
    KeyCode keycodeFor(KeySym key);
    // Sends a window manager request about the window to the root window.
    void askWindowManager(Window window, const char* request, long argument);

    Display* display;
    KeyDelivery delivery;
    Timeout pictureTimeout = PICTURE_TIMEOUT;
    bool topSquareOnly = false;
};

#endif
