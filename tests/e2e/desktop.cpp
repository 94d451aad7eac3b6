#include "desktop.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

const Timeout DESKTOP_START_TIMEOUT = std::chrono::seconds(20);
const Timeout COMPOSITOR_END_TIMEOUT = std::chrono::seconds(5);
const char* const XWAYLAND_DISPLAY_NOTE = "xserver listening on display ";
const std::string READY_NOTE = "curve-viewer-desktop-ready";

}

void PrintTo(DesktopKind kind, std::ostream* out)
{
    *out << desktopName(kind);
}

std::string desktopName(DesktopKind kind)
{
    switch (kind) {
    case DesktopKind::BareX:
        return "BareX";
    case DesktopKind::Openbox:
        return "Openbox";
    case DesktopKind::Weston:
        return "Weston";
    }
    return "unknown";
}

Desktop::Desktop(DesktopKind kind) : desktopKind(kind)
{
    if (kind == DesktopKind::Weston) {
        startCompositor();
    } else {
        xvfb = std::make_unique<XvfbServer>();
        name = xvfb->displayName();
        if (kind == DesktopKind::Openbox) {
            startWindowManager();
        }
    }
}

Desktop::~Desktop()
{
    if (shell && desktopKind == DesktopKind::Weston) {
        // Asked to end, weston ends XWayland and its own helpers with it.
        shell->sendSignal(SIGTERM);
        shell->waitForEnd(COMPOSITOR_END_TIMEOUT);
    }
    shell.reset();
    if (!runtimeDirectory.empty()) {
        std::filesystem::remove_all(runtimeDirectory);
    }
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
    std::string directory = "/tmp/curve-viewer-wayland-XXXXXX";
    if (mkdtemp(directory.data()) == nullptr) {
        throw std::runtime_error("cannot create a runtime directory for weston");
    }
    runtimeDirectory = directory;
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
