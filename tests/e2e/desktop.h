// The desktops the viewer is tried on: a bare X server, one with a window
// manager, and a Wayland compositor that runs X programs through XWayland.
#ifndef DESKTOP_H
#define DESKTOP_H

#include "processes.h"
#include "x_client.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class DesktopKind : std::uint8_t {
    BareX,
    Openbox,
    Weston,
};

// Mesa's OpenGL implementations the viewer is tried on: its two Gallium
// software rasterizers, and zink, OpenGL over Vulkan, on the lavapipe driver.
enum class Renderer : std::uint8_t {
    Llvmpipe,
    Softpipe,
    Zink,
};

// A desktop and the OpenGL implementation programs draw with on it.
struct Setting {
    DesktopKind desktop = DesktopKind::BareX;
    Renderer renderer = Renderer::Llvmpipe;
};

// Names the setting in test names and messages; GoogleTest looks for this name.
void PrintTo(const Setting& setting, std::ostream* out); // NOLINT(readability-identifier-naming)
std::string desktopName(DesktopKind kind);
// How the GL renderer names itself, at the start of its GL_RENDERER string.
std::string rendererName(Renderer renderer);

// A private desktop of its kind, ready for windows when constructed and gone on destruction.
class Desktop {
public:
    explicit Desktop(Setting setting);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    DesktopKind kind() const { return desktopKind; }
    Renderer renderer() const { return glRenderer; }
    // What a program's environment needs to draw with the renderer there.
    std::vector<std::string> rendererEnvironment() const;
    // The DISPLAY value of its X server.
    const std::string& displayName() const { return name; }
    // Whether a window lands where it asks to be (its frame, under a window manager).
    bool honoursPlacement() const { return desktopKind != DesktopKind::Weston; }
    // How keys reach a window there: the compositor's headless output has no
    // seat, so XWayland takes no XTest input.
    KeyDelivery keyDelivery() const;
    // Takes the X server away from its clients at once, as a crash would.
    void killServer();

private:
    // Starts openbox on the X server and waits until it manages windows.
    void startWindowManager();
    // Starts weston with XWayland and reads XWayland's display from its log.
    void startCompositor();

    DesktopKind desktopKind;
    Renderer glRenderer;
    std::unique_ptr<XvfbServer> xvfb;
    // The window manager or the compositor.
    std::unique_ptr<ChildProcess> shell;
    std::string runtimeDirectory;
    std::string name;
};

#endif
