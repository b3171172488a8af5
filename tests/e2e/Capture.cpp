#include "Capture.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

namespace e2e {

Image loadPng(const std::string& path) {
    Image image;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (data) {
        image.rgb.assign(data, data + static_cast<size_t>(image.width) * image.height * 3);
        stbi_image_free(data);
    }
    return image;
}

}  // namespace e2e
