// libpng's write path with its longjmp error handling kept inside one function.
#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "HostError.h"

namespace hostsupport {

namespace {

// Called from a function that owns no C++ objects across setjmp, so the
// longjmp of libpng's error path skips no destructor.
bool WriteRows(FILE* file, uint32_t width, uint32_t height, png_bytep* rows, char* message, size_t messageSize)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        std::snprintf(message, messageSize, "libpng cannot start");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        std::snprintf(message, messageSize, "libpng failed while writing");
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void WritePng(const std::string& path, const Image& image)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(image.width) * image.height * 3);
    std::vector<png_bytep> rows(image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint8_t* source = image.Row(y);
        uint8_t* target = rgb.data() + static_cast<size_t>(y) * image.width * 3;
        for (uint32_t x = 0; x < image.width; ++x) {
            target[x * 3] = source[x * 4];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
        }
        rows[y] = target;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw HostError("cannot write " + path + ": " + std::strerror(errno));
    char message[128] = {};
    const bool written = WriteRows(file, image.width, image.height, rows.data(), message, sizeof message);
    const bool closed = std::fclose(file) == 0;
    if (!written)
        throw HostError("cannot write " + path + ": " + message);
    if (!closed)
        throw HostError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace hostsupport
