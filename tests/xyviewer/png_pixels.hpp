#pragma once
// A PNG that xyviewer wrote, decoded to plain pixels for the tests to count.

#include <png.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace xyviewer_test {

struct Image {
    unsigned width = 0, height = 0;
    unsigned channels = 3;           // 3 for PNG_FORMAT_RGB, 1 for PNG_FORMAT_GRAY
    std::vector<unsigned char> rgb;  // row by row, `channels` bytes a pixel
    bool ok = false;
    std::string error;

    unsigned char at(unsigned x, unsigned y, int c) const { return rgb[(std::size_t(y) * width + x) * channels + c]; }
};

inline Image decode_png(const std::filesystem::path& path, png_uint_32 format = PNG_FORMAT_RGB) {
    Image image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        image.error = png.message;
        return image;
    }
    png.format = format;
    image.width = png.width;
    image.height = png.height;
    image.channels = PNG_IMAGE_PIXEL_CHANNELS(format);
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        image.error = png.message;
        png_image_free(&png);
        return image;
    }
    image.ok = true;
    return image;
}

}  // namespace xyviewer_test
