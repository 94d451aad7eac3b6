#include "x_client.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace {

// Windows come and go while the harness looks at them (a window manager's
// frames, a destroyed viewer window): requests about a window that has just
// gone fail, and the harness sees that in what they return.
XErrorHandler defaultErrorHandler = nullptr;

int ignoreVanishedWindows(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable || error->error_code == BadMatch) {
        return 0;
    }
    return defaultErrorHandler(display, error);
}

// How far a cover reaches beyond the window, over any frame around it.
const int COVER_MARGIN = 64;

}

XClient::XClient(const std::string& displayName, KeyDelivery keyDelivery)
    : display(XOpenDisplay(displayName.c_str())), delivery(keyDelivery)
{
    if (display == nullptr) {
        throw std::runtime_error("cannot connect to the test's X server " + displayName);
    }
    const XErrorHandler previous = XSetErrorHandler(ignoreVanishedWindows);
    if (previous != ignoreVanishedWindows) {
        defaultErrorHandler = previous;
    }
}

XClient::~XClient()
{
    disconnect();
}

void XClient::disconnect()
{
    if (display != nullptr) {
        XCloseDisplay(display);
        display = nullptr;
    }
}

Window XClient::waitForWindow(const std::string& title, TitleMatch match)
{
    Window found = None;
    pollUntil([&] { return (found = findViewableWindow(DefaultRootWindow(display), title, match)) != None; },
              WINDOW_TIMEOUT);
    return found;
}

Window XClient::findViewableWindow(Window top, const std::string& title, TitleMatch match)
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, top, &root, &parent, &children, &count) == 0) {
        return None;
    }
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        const std::string name = windowTitle(children[i]);
        const bool titled = match == TitleMatch::Exact ? name == title : name.find(title) != std::string::npos;
        found = titled && viewable(children[i]) ? children[i] : findViewableWindow(children[i], title, match);
    }
    XFree(children);
    return found;
}

std::string XClient::windowTitle(Window window)
{
    // Browsers name their windows in UTF-8, which XFetchName does not read.
    XTextProperty name{};
    std::string title;
    if (XGetWMName(display, window, &name) != 0 && name.value != nullptr) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display, &name, &list, &count) >= Success && list != nullptr) {
            title = count > 0 ? list[0] : "";
            XFreeStringList(list);
        }
    }
    XFree(name.value);
    return title;
}

XWindowAttributes XClient::attributes(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return attributes;
}

bool XClient::viewable(Window window)
{
    return attributes(window).map_state == IsViewable;
}

std::vector<long> XClient::property(Window window, const char* name, Atom type, long length)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, length, False, type, &actualType,
                           &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        // Xlib hands 32-bit values over as longs.
        const auto* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    XFree(data);
    return values;
}

ScreenPoint XClient::frameOrigin(Window window)
{
    ScreenPoint origin{0, 0};
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &origin.x, &origin.y, &child);
    // Left, right, top and bottom widths of the frame the window manager drew.
    const std::vector<long> extents = property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
    if (extents.size() == 4) {
        origin.x -= static_cast<int>(extents[0]);
        origin.y -= static_cast<int>(extents[2]);
    }
    return origin;
}

bool XClient::hasWindowManager()
{
    return property(DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1).size() == 1;
}

Picture XClient::capture(Window window)
{
    const XWindowAttributes size = attributes(window);
    const int height = topSquareOnly ? std::min(size.height, size.width) : size.height;
    Picture picture;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned int>(size.width),
                              static_cast<unsigned int>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    picture.width = size.width;
    picture.height = height;
    picture.pixels.reserve(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < size.width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            picture.pixels.push_back(Rgb{static_cast<int>((pixel & image->red_mask) >> 16),
                                         static_cast<int>((pixel & image->green_mask) >> 8),
                                         static_cast<int>(pixel & image->blue_mask)});
        }
    }
    XDestroyImage(image);
    return picture;
}

KeyCode XClient::keycodeFor(KeySym key)
{
    const KeyCode own = XKeysymToKeycode(display, key);
    if (own != 0) {
        return own;
    }
    int first = 0;
    int last = 0;
    XDisplayKeycodes(display, &first, &last);
    int perKeycode = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKeycode);
    const auto hasSymbols = [&](int code) {
        const KeySym* symbols = map + static_cast<std::ptrdiff_t>(code - first) * perKeycode;
        return std::any_of(symbols, symbols + perKeycode, [](KeySym symbol) { return symbol != NoSymbol; });
    };
    int free = last;
    while (free >= first && hasSymbols(free)) {
        --free;
    }
    XFree(map);
    if (free < first) {
        throw std::runtime_error("no free keycode to type the keysym " + std::to_string(key) + " with");
    }
    KeySym both[] = {key, key};
    XChangeKeyboardMapping(display, free, 2, both, 1);
    XSync(display, False);
    return static_cast<KeyCode>(free);
}

void XClient::typeKeys(Window window, const std::vector<KeySym>& keys)
{
    if (delivery == KeyDelivery::XTest) {
        activate(window);
    }
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const KeySym key : keys) {
        const KeyCode code = keycodeFor(key);
        const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != key;
        if (delivery == KeyDelivery::SendEvent) {
            XKeyEvent event{};
            event.display = display;
            event.window = window;
            event.root = DefaultRootWindow(display);
            event.same_screen = True;
            event.keycode = code;
            event.state = shifted ? ShiftMask : 0;
            for (const int type : {KeyPress, KeyRelease}) {
                event.type = type;
                XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                           reinterpret_cast<XEvent*>(&event));
            }
            continue;
        }
        if (shifted) {
            XTestFakeKeyEvent(display, shift, True, CurrentTime);
        }
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shifted) {
            XTestFakeKeyEvent(display, shift, False, CurrentTime);
        }
    }
    XSync(display, False);
}

void XClient::click(Window window, int x, int y)
{
    XWarpPointer(display, None, window, 0, 0, 0, 0, x, y);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XSync(display, False);
}

void XClient::activate(Window window)
{
    if (!hasWindowManager()) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        return;
    }
    // Source 2: a pager or task bar, on the user's behalf.
    askWindowManager(window, "_NET_ACTIVE_WINDOW", 2);
    pollUntil(
        [&] {
            Window focus = None;
            int revert = 0;
            XGetInputFocus(display, &focus, &revert);
            return focus == window;
        },
        WINDOW_TIMEOUT);
}

void XClient::iconify(Window window)
{
    XIconifyWindow(display, window, DefaultScreen(display));
    XSync(display, False);
}

void XClient::closeThroughWindowManager(Window window)
{
    askWindowManager(window, "_NET_CLOSE_WINDOW", CurrentTime);
}

Window XClient::cover(Window window)
{
    const ScreenPoint origin = frameOrigin(window);
    const XWindowAttributes size = attributes(window);
    XSetWindowAttributes settings{};
    settings.override_redirect = True;
    settings.background_pixel = BlackPixel(display, DefaultScreen(display));
    const Window cover = XCreateWindow(display, DefaultRootWindow(display), origin.x, origin.y,
                                       static_cast<unsigned int>(size.width + COVER_MARGIN),
                                       static_cast<unsigned int>(size.height + COVER_MARGIN), 0, CopyFromParent,
                                       InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &settings);
    XMapRaised(display, cover);
    XSync(display, False);
    return cover;
}

void XClient::destroy(Window window)
{
    XDestroyWindow(display, window);
    XSync(display, False);
}

void XClient::askWindowManager(Window window, const char* request, long argument)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, request, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = argument;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
}

void XClient::resize(Window window, int width, int height)
{
    XResizeWindow(display, window, static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    XSync(display, False);
}

::testing::AssertionResult XClient::waitForSettledPicture(Window window, const PictureCheck& check, Picture& settled)
{
    Picture previous;
    const bool passed = pollUntil(
        [&] {
            previous = std::move(settled);
            settled = capture(window);
            return check(settled) && samePicture(previous, settled);
        },
        pictureTimeout);
    if (passed) {
        return ::testing::AssertionSuccess();
    }
    const double waited = std::chrono::duration<double>(pictureTimeout).count();
    ::testing::AssertionResult verdict = check(settled);
    if (verdict) {
        return samePicture(previous, settled) << " between the last two captures: still repainting after " << waited
                                              << " s";
    }
    return verdict << " (after waiting " << waited << " s for it)";
}
