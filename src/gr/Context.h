#pragma once

#include <cstdint>
#include <string>

#include "gr/MathTypes.h"
#include "gr/Primitive.h"
#include "gr/RenderState.h"
#include "gr/Shader.h"
#include "gr/Texture.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace io {
class InputStream;
}

namespace gr {

/// Renderer platforms, by index.
enum Platform {
    PLATFORM_GLES1 = 0,
    PLATFORM_GLES2 = 1,
    PLATFORM_GL1 = 2,
    PLATFORM_GL2 = 3,
    PLATFORM_DX11 = 4,
    PLATFORM_XNA = 5,
};

/// What the context did since the counters were last reset (once a frame,
/// after present).
struct FrameCounters {
    int drawCalls = 0;       // batches and primitives sent to the device
    int triangles = 0;       // triangles in them
    int textureChanges = 0;  // batches ended by a change of texture
    int stateChanges = 0;    // batches ended by a change of clip, shader or target
};

/// The rendering context made by a renderer plug-in. Every drawing operation
/// goes through the render state (renderState()) and is batched: it reaches the
/// target no later than flushDrawing(), endFrame() or a shader's beginDraw().
///
/// Coordinates are screen pixels of the oriented screen: (0, 0) is the top-left,
/// y grows downwards, and width() and height() are swapped for orientations 1
/// and 3. All calls belong to the thread that made the context.
class Context : public lang::Object {
public:
    ~Context() override = default;

    /// Loads a shader from the file `path` + ".glsl" (or `path` itself when it
    /// already ends in ".glsl"). flags: 0. Throws gr::GraphicsException.
    virtual lang::Ptr<Shader> loadShader(const std::string& path, int flags) = 0;
    /// Decodes a PNG or JPEG image from the stream (read to its end) into a
    /// texture with premultiplied alpha. `name` names it in messages. Throws
    /// gr::GraphicsException on data that is no supported image.
    virtual lang::Ptr<Texture> createTexture(io::InputStream& stream, const std::string& name) = 0;
    /// An empty (transparent) texture of exactly width x height pixels.
    virtual lang::Ptr<Texture> createEmptyTexture(int width, int height, PixelFormat format) = 0;
    /// type: PrimitiveType; vertexCount > 0; flags: 0.
    virtual lang::Ptr<Primitive> createPrimitive(int type, const VertexFormat& format,
                                                 int vertexCount, int flags) = 0;

    /// A line of the given width from (x0, y0) to (x1, y1), centred on it.
    virtual void drawLine(float x0, float y0, float x1, float y1, float width,
                          const Color& color) = 0;
    /// Fills the rectangle with corners (x0, y0) and (x1, y1).
    virtual void fillRect(float x0, float y0, float x1, float y1, const Color& color) = 0;
    /// Draws the texture area `uv` (texture coordinates of the corners) as the
    /// axis-aligned rectangle (x, y, w, h).
    virtual void drawTexture(Texture* texture, float x, float y, float w, float h,
                             const Quad& uv) = 0;
    /// Draws the texture area `uv` onto the four corners of `corners`; the
    /// origin of the draw (for the pivot) is (0, 0).
    virtual void drawTextureQuad(Texture* texture, const Quad& corners, const Quad& uv) = 0;
    /// Draws the texture rectangle uv, w x h, with its top-left corner at each
    /// of the points moved by (dx, dy): the same as a drawTexture call for each
    /// point, made at once.
    virtual void drawTextureRun(Texture* texture, const Point* points, int count, float dx,
                                float dy, float w, float h, const Quad& uv) {
        for (int i = 0; i < count; ++i) {
            drawTexture(texture, points[i].x + dx, points[i].y + dy, w, h, uv);
        }
    }

    RenderState& renderState() { return renderState_; }

    /// Drawable size in pixels, oriented.
    virtual int width() const = 0;
    virtual int height() const = 0;

    /// Frame clock in seconds, advanced by the main loop.
    double getTime() const { return time_; }

    /// For shader drawing: V maps drawing coordinates to the window's pixels
    /// (the viewport's offset, then the orientation); P maps the window's pixels
    /// to clip space. P * V * R places a point drawn under the render state R.
    virtual math::float4x4 projectionMatrix() const = 0;
    virtual math::float4x4 viewMatrix() const = 0;

    virtual int platform() const = 0;
    /// 0..3: 0, 90, 180, 270 degrees.
    virtual int orientation() const = 0;
    /// False when no frame can be drawn now (for instance a zero-sized window).
    virtual bool isReady() const = 0;
    const std::string& shaderFolder() const { return shaderFolder_; }

    /// Restricts drawing to the rectangle (oriented screen pixels) and maps the
    /// drawing coordinates (0, 0)..(width, height) of the rectangle onto it.
    /// resize() resets it to the whole drawable.
    virtual void setViewport(const Rect& rect) = 0;
    virtual void setOrientation(int orientation) = 0;
    /// Sends everything batched so far to the target.
    virtual void flushDrawing() = 0;

    void setTime(double seconds) { time_ = seconds; }
    void setShaderFolder(const std::string& path) { shaderFolder_ = path; }

    /// The window's drawable is now width x height (unoriented) pixels.
    virtual void resize(int width, int height) = 0;
    virtual void beginFrame() = 0;
    virtual void endFrame() = 0;
    virtual void present() = 0;
    /// Clears the whole drawable, whatever the clip and the viewport; there is
    /// no depth or stencil buffer. argb: alpha << 24 | red << 16 | green << 8 | blue.
    virtual void clear(uint32_t argb, bool color, bool depth, bool stencil) = 0;
    /// The next frame presented stays readable for captureScreen and captureFrame
    /// after its present. A context may draw straight into the window, whose
    /// picture the driver is free to discard at present; keeping the frame
    /// costs a copy, so only frames that are read after their present ask.
    virtual void keepNextFrame() {}
    /// Every frame presented stays readable (keepNextFrame for each), or no longer.
    virtual void keepFrames(bool) {}
    /// Writes the last frame drawn to the PNG file `name`: after present, the
    /// one presented when it was kept. Throws gr::GraphicsException when it
    /// cannot be written.
    virtual void captureScreen(const std::string& name) = 0;
    /// Copies the last frame drawn into `target` when it has the screen's size,
    /// otherwise into a new texture, and returns that texture.
    virtual lang::Ptr<Texture> captureFrame(Texture* target) = 0;

    /// Bytes of pixel data held by the live textures of this context.
    virtual int64_t textureMemory() const = 0;

    const FrameCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = FrameCounters(); }

protected:
    FrameCounters counters_;

private:
    RenderState renderState_;
    double time_ = 0;
    std::string shaderFolder_;
};

}  // namespace gr
