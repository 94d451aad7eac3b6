#include "x_client.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <stdexcept>

XClient::XClient(const std::string& displayName) : display(XOpenDisplay(displayName.c_str()))
{
    if (display == nullptr) {
        throw std::runtime_error("cannot connect to the test's X server " + displayName);
    }
}

XClient::~XClient()
{
    XCloseDisplay(display);
}

Window XClient::waitForWindow(const std::string& title)
{
    Window found = None;
    pollUntil([&] { return (found = findViewableWindow(title)) != None; }, WINDOW_TIMEOUT);
    return found;
}

Window XClient::findViewableWindow(const std::string& title)
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        char* name = nullptr;
        const bool titled = XFetchName(display, children[i], &name) != 0 && name != nullptr && title == name;
        XFree(name);
        if (titled && attributes(children[i]).map_state == IsViewable) {
            found = children[i];
        }
    }
    XFree(children);
    return found;
}

XWindowAttributes XClient::attributes(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return attributes;
}

Picture XClient::capture(Window window)
{
    const XWindowAttributes size = attributes(window);
    Picture picture;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned int>(size.width),
                              static_cast<unsigned int>(size.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    picture.width = size.width;
    picture.height = size.height;
    picture.pixels.reserve(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    for (int row = 0; row < size.height; ++row) {
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

void XClient::typeKeys(Window window, const std::vector<KeySym>& keys)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const KeySym key : keys) {
        const KeyCode code = XKeysymToKeycode(display, key);
        const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != key;
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
        PICTURE_TIMEOUT);
    if (passed) {
        return ::testing::AssertionSuccess();
    }
    const double waited = std::chrono::duration<double>(PICTURE_TIMEOUT).count();
    ::testing::AssertionResult verdict = check(settled);
    if (verdict) {
        return samePicture(previous, settled) << " between the last two captures: still repainting after " << waited
                                              << " s";
    }
    return verdict << " (after waiting " << waited << " s for it)";
}
