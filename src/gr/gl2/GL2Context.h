#pragma once

#include <string>
#include <vector>

#include "gr/Context.h"
#include "gr/Image.h"
#include "gr/gl2/Batcher.h"
#include "gr/gl2/Device.h"
#include "gr/gl2/GL.h"
#include "gr/gl2/Screen.h"

struct SDL_Window;

namespace gr {
namespace gl2 {

class GL2Shader;
class GL2Texture;

/// The OpenGL 2.1 context. Frames are drawn straight into the window; a frame
/// that is to stay readable after its present (keepNextFrame, keepFrames) is
/// copied into an offscreen target just before the swap, and captureScreen and
/// captureFrame read that copy until the next frame begins. Without a display
/// every frame is drawn into the target and copied to the window at present.
class GL2Context : public Context {
public:
    /// Makes an OpenGL context for the window; throws gr::GraphicsException.
    GL2Context(int width, int height, int orientation, SDL_Window* window);
    ~GL2Context() override;

    lang::Ptr<Shader> loadShader(const std::string& path, int flags) override;
    lang::Ptr<Texture> createTexture(io::InputStream& stream, const std::string& name) override;
    lang::Ptr<Texture> createEmptyTexture(int width, int height, PixelFormat format) override;
    lang::Ptr<Primitive> createPrimitive(int type, const VertexFormat& format, int vertexCount,
                                         int flags) override;
    void drawLine(float x0, float y0, float x1, float y1, float width, const Color& color) override;
    void fillRect(float x0, float y0, float x1, float y1, const Color& color) override;
    void drawTexture(Texture* texture, float x, float y, float w, float h, const Quad& uv) override;
    void drawTextureQuad(Texture* texture, const Quad& corners, const Quad& uv) override;
    void drawTextureRun(Texture* texture, const Point* points, int count, float dx, float dy,
                        float w, float h, const Quad& uv) override;
    int width() const override { return screen_.width(); }
    int height() const override { return screen_.height(); }
    math::float4x4 projectionMatrix() const override { return screen_.projection(); }
    math::float4x4 viewMatrix() const override { return screen_.view(); }
    int platform() const override { return PLATFORM_GL2; }
    int orientation() const override { return screen_.orientation; }
    bool isReady() const override;
    void setViewport(const Rect& rect) override;
    void setOrientation(int orientation) override;
    void flushDrawing() override;
    void resize(int width, int height) override;
    void beginFrame() override;
    void endFrame() override;
    void present() override;
    void keepNextFrame() override { keepNext_ = true; }
    void keepFrames(bool keep) override { keepAll_ = keep; }
    void clear(uint32_t argb, bool color, bool depth, bool stencil) override;
    void captureScreen(const std::string& name) override;
    lang::Ptr<Texture> captureFrame(Texture* target) override;
    int64_t textureMemory() const override { return device_->textureMemory; }

    /// For the objects of this context.
    void countDraw(int triangles);
    void applyScissor();
    void countChange(bool texture);
    /// The texture is going away: draw what still uses it.
    void forgetTexture(GL2Texture* texture) { batcher_.forget(texture); }

private:
    void init(int width, int height, int orientation);
    void teardown();
    void checkVersion() const;
    void makeTarget();
    /// Draws into the window's framebuffer over the whole drawable.
    void bindWindow();
    /// Copies the window's picture into the target, before the swap discards it.
    void keepPicture();
    /// Copies the target, which holds the frame when drawsIntoTarget_, to the window.
    void showTarget();
    /// Something is drawn: the frame is no longer the one kept at present.
    void markDrawn() {
        drawn_ = true;
        showingKept_ = false;
    }
    void addQuad(GL2Texture* texture, const Point (&corners)[4], const Quad& uv,
                 const Color& color);
    static void writeQuad(Batcher::Vertex* out, const Point (&corners)[4], const Quad& uv,
                          const uint8_t (&rgba)[4]);
    GL2Texture* ownTexture(Texture* texture) const;
    /// The scissor for the current clip rectangle, remembered while the clip
    /// and the screen stay the same.
    const Rect& scissor();
    void screenChanged() { scissorValid_ = false; }
    /// The frame's pixels, rows from the top, as the window shows them: the kept
    /// copy after a present that kept it, otherwise the window's picture.
    Image readFrame();

    SDL_Window* window_;
    void* gl_ = nullptr;  // SDL_GLContext
    lang::Ptr<Device> device_;
    Screen screen_;
    GLuint target_ = 0;         // framebuffer object for kept frames, made on first use
    GLuint targetTexture_ = 0;  // its colour buffer
    int targetWidth_ = 0, targetHeight_ = 0;
    bool keepNext_ = false;
    bool keepAll_ = false;
    bool showingKept_ = false;      // the target holds the frame presented last
    bool drawn_ = false;            // something was drawn since the last present
    bool drawsIntoTarget_ = false;  // no display: every frame is drawn into the target
    lang::Ptr<GL2Shader> spriteShader_;
    lang::Ptr<GL2Shader> colorShader_;
    Batcher batcher_;
    Rect scissorClip_;
    Rect scissor_;
    bool scissorValid_ = false;
};

}  // namespace gl2
}  // namespace gr
