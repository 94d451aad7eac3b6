// Runs the real curve-viewer on a private Xvfb server and saves each of its
// six pictures as DIRECTORY/curve-0.png to DIRECTORY/curve-5.png.
//
// Usage: capture_gallery DIRECTORY
#include "viewer_fixture.h"

#include <X11/keysym.h>
#include <png.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

const double TIMEOUT_SECONDS = 30.0;

// Writes the picture as an 8-bit RGB PNG file; false if it cannot.
bool savePng(const Picture& picture, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(writer);
    if (setjmp(png_jmpbuf(writer)) != 0) {
        png_destroy_write_struct(&writer, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(writer, file);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer, info);
    std::vector<png_byte> row(static_cast<std::size_t>(picture.width) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb& pixel = picture.at(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(pixel.red);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(pixel.green);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(pixel.blue);
        }
        png_write_row(writer, row.data());
    }
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return std::fclose(file) == 0;
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
    const Window window = client.waitForWindow("foo!", TIMEOUT_SECONDS);
    if (window == None) {
        std::cerr << "capture_gallery: curve-viewer opened no window\n";
        return 1;
    }
    for (std::size_t kind = 0; kind < CURVE_COUNT; ++kind) {
        const std::string label = CURVES[kind].label;
        const Picture picture = client.waitForSettledPicture(
            window, [&label](const Picture& candidate) { return static_cast<bool>(probeLabel(candidate, label)); },
            TIMEOUT_SECONDS);
        const std::string path = directory + "/curve-" + std::to_string(kind) + ".png";
        if (!probeLabel(picture, label) || !savePng(picture, path)) {
            std::cerr << "capture_gallery: could not capture \"" << label << "\" as " << path << '\n';
            return 1;
        }
        std::cout << path << '\n';
        client.typeKeys(window, {XK_space});
    }
    client.typeKeys(window, {XK_Escape});
    viewer.waitForEnd(TIMEOUT_SECONDS);
    return 0;
}
