#include "desktop.h"

#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

const Timeout DESKTOP_START_TIMEOUT = std::chrono::seconds(20);
const Timeout COMPOSITOR_END_TIMEOUT = std::chrono::seconds(5);
const char* const XWAYLAND_DISPLAY_NOTE = "xserver listening on display ";
const std::string READY_NOTE = "curve-viewer-desktop-ready";
// In the order of the enumerations, as test names and messages give them.
const char* const DESKTOP_NAMES[] = {"BareX", "Openbox", "Weston"};
const char* const RENDERER_NAMES[] = {"llvmpipe", "softpipe", "zink"};

}

void PrintTo(const Setting& setting, std::ostream* out)
{
    *out << desktopName(setting.desktop) << " with " << rendererName(setting.renderer);
}

std::string desktopName(DesktopKind kind)
{
    return DESKTOP_NAMES[static_cast<std::size_t>(kind)];
}

std::string rendererName(Renderer renderer)
{
    return RENDERER_NAMES[static_cast<std::size_t>(renderer)];
}

Desktop::Desktop(Setting setting) : desktopKind(setting.desktop), glRenderer(setting.renderer)
{
    // A runtime folder of its own, as a desktop session has one, for weston and Vulkan's loader.
    std::string directory = temporaryFolder() + "/curve-viewer-runtime-XXXXXX";
    if (mkdtemp(directory.data()) == nullptr) {
        throw std::runtime_error("cannot create a runtime directory for the desktop");
    }
    runtimeDirectory = directory;
    if (desktopKind == DesktopKind::Weston) {
        startCompositor();
    } else {
        xvfb = std::make_unique<XvfbServer>();
        name = xvfb->displayName();
        if (desktopKind == DesktopKind::Openbox) {
            startWindowManager();
        }
    }
}

std::vector<std::string> Desktop::rendererEnvironment() const
{
    if (glRenderer == Renderer::Zink) {
        return {"MESA_LOADER_DRIVER_OVERRIDE=zink", "LIBGL_ALWAYS_SOFTWARE=1", "XDG_RUNTIME_DIR=" + runtimeDirectory};
    }
    return {"GALLIUM_DRIVER=" + rendererName(glRenderer)};
}

Desktop::~Desktop()
{
    if (shell && desktopKind == DesktopKind::Weston) {
        // Asked to end, weston ends XWayland and its own helpers with it.
        shell->sendSignal(SIGTERM);
        shell->waitForEnd(COMPOSITOR_END_TIMEOUT);
    }
    shell.reset();
    if (desktopKind == DesktopKind::Weston && !name.empty()) {
        // Weston leaves the lock file and the socket it made for XWayland,
        // which no server holds once weston has ended.
        const std::string number = name.substr(1);
        std::filesystem::remove("/tmp/.X" + number + "-lock");
        std::filesystem::remove("/tmp/.X11-unix/X" + number);
    }
    std::filesystem::remove_all(runtimeDirectory);
}

KeyDelivery Desktop::keyDelivery() const
{
    return desktopKind == DesktopKind::Weston ? KeyDelivery::SendEvent : KeyDelivery::XTest;
}

void Desktop::killServer()
{
    if (xvfb) {
        xvfb.reset();
    } else {
        shell->sendSignal(SIGKILL);
    }
}

void Desktop::startWindowManager()
{
    // Openbox runs the startup command once it manages windows; a window
    // mapped before then, while it loads its theme, may never be managed.
    shell = std::make_unique<ChildProcess>(OPENBOX_PATH,
                                           std::vector<std::string>{OPENBOX_PATH, "--startup", "echo " + READY_NOTE},
                                           name);
    if (!pollUntil([this] { return shell->standardOutput().find(READY_NOTE) != std::string::npos || !shell->running(); },
                   DESKTOP_START_TIMEOUT) ||
        !shell->running()) {
        throw std::runtime_error("openbox did not start on " + name + "; it said:\n" + shell->standardError());
    }
}

void Desktop::startCompositor()
{
    shell = std::make_unique<ChildProcess>(
        WESTON_PATH,
        std::vector<std::string>{WESTON_PATH, "--backend=headless-backend.so", "--use-pixman", "--xwayland",
                                 "--width=1280", "--height=1024", "--idle-time=0"},
        "", std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtimeDirectory});
    pollUntil(
        [this] {
            const std::string log = shell->standardError();
            const std::size_t note = log.find(XWAYLAND_DISPLAY_NOTE);
            if (note == std::string::npos) {
                return !shell->running();
            }
            const std::size_t start = note + std::string(XWAYLAND_DISPLAY_NOTE).size();
            const std::size_t end = log.find('\n', start);
            if (end == std::string::npos) {
                return false;
            }
            name = log.substr(start, end - start);
            return true;
        },
        DESKTOP_START_TIMEOUT);
    if (name.empty()) {
        throw std::runtime_error("weston started no XWayland; it said:\n" + shell->standardError());
    }
    // XWayland starts at the first connection, and weston's window manager after it.
    XClient probe(name);
    if (!pollUntil([&probe] { return probe.hasWindowManager(); }, DESKTOP_START_TIMEOUT)) {
        throw std::runtime_error("weston did not start managing X windows on " + name + "; it said:\n" +
                                 shell->standardError());
    }
}
