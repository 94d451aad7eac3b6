// Runs the real curve-viewer on a private Xvfb server and saves each of its
// six pictures as DIRECTORY/curve-0.png to DIRECTORY/curve-5.png.
//
// Usage: capture_gallery DIRECTORY
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <stb_image_write.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

const int RGB_CHANNELS = 3;

// Writes the picture as an 8-bit RGB PNG file; false if it cannot.
bool savePng(const Picture& picture, const std::string& path)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(picture.pixels.size() * RGB_CHANNELS);
    for (const Rgb& pixel : picture.pixels) {
        bytes.insert(bytes.end(), {static_cast<unsigned char>(pixel.red), static_cast<unsigned char>(pixel.green),
                                   static_cast<unsigned char>(pixel.blue)});
    }
    return stbi_write_png(path.c_str(), picture.width, picture.height, RGB_CHANNELS, bytes.data(),
                          picture.width * RGB_CHANNELS) != 0;
}

}

// Shows each curve in turn and saves what the window shows.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: capture_gallery DIRECTORY\n";
        return 2;
    }
    const std::string directory = argv[1];
    const XvfbServer server;
    ChildProcess viewer(CURVE_VIEWER_PATH, {CURVE_VIEWER_PATH}, server.displayName());
    XClient client(server.displayName());
    const Window window = client.waitForWindow("foo!");
    if (window == None) {
        std::cerr << "capture_gallery: curve-viewer opened no window\n";
        return 1;
    }
    for (std::size_t kind = 0; kind < CURVE_COUNT; ++kind) {
        const std::string label = CURVES[kind].label;
        const std::string path = directory + "/curve-" + std::to_string(kind) + ".png";
        Picture picture;
        const ::testing::AssertionResult shown = client.waitForSettledPicture(
            window, [&label](const Picture& candidate) { return probeLabel(candidate, label); }, picture);
        if (!shown || !savePng(picture, path)) {
            std::cerr << "capture_gallery: could not capture \"" << label << "\" as " << path << ": "
                      << shown.message() << '\n';
            return 1;
        }
        std::cout << path << '\n';
        client.typeKeys(window, {XK_space});
    }
    client.typeKeys(window, {XK_Escape});
    viewer.waitForEnd(WINDOW_TIMEOUT);
    return 0;
}
