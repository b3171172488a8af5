#include "game/FakeContext.h"

#include "gr/Image.h"
#include "io/InputStream.h"

namespace gametest {

lang::Ptr<gr::Texture> FakeContext::createTexture(io::InputStream& stream,
                                                  const std::string& name) {
    std::vector<uint8_t> bytes = io::readAll(stream);
    gr::Image image = gr::decodeImage(bytes.data(), bytes.size(), name);
    loaded.push_back(name);
    return new FakeTexture(image.width, image.height, name);
}

lang::Ptr<gr::Texture> FakeContext::captureFrame(gr::Texture* target) {
    ++captures;
    if (target && target->width() == width() && target->height() == height()) {
        return target;
    }
    return new FakeTexture(width(), height(), "capture");
}

}  // namespace gametest
