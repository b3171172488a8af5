#pragma once

#include <cstdint>
#include <string>

#include "lang/Object.h"

namespace gr {

enum PixelFormat {
    PIXELFORMAT_UNKNOWN = 0,
    /// 32 bits a pixel, bytes red, green, blue, alpha in memory, premultiplied.
    PIXELFORMAT_A8B8G8R8 = 1,
};

/// Bytes a pixel of the format takes; 0 for an unknown format.
int bytesPerPixel(PixelFormat format);

/// A texture made by a gr::Context. Loaded textures hold premultiplied alpha.
/// A texture may outlive its context; it then draws nothing and takes no pixels.
class Texture : public lang::Object {
public:
    /// Size in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual PixelFormat format() const = 0;
    /// The name given at creation (a stream's name), or empty.
    virtual const std::string& name() const = 0;

    /// Replaces the pixels of the area (x, y, width, height) with rows of `pitch`
    /// bytes from `pixels`. The area is clipped to the texture; a format other than
    /// the texture's throws gr::GraphicsException.
    virtual void setPixels(int x, int y, const void* pixels, int pitch, int width, int height,
                           PixelFormat format) = 0;

    /// Draws the source rectangle (sx, sy, sw, sh) of this texture, in pixels, into
    /// (x, y, w, h) through the owning context and its render state.
    virtual void draw(float sx, float sy, float sw, float sh, float x, float y, float w,
                      float h) = 0;
};

}  // namespace gr
