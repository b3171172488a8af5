#include "gr/gl2/GL2Context.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "gr/GraphicsException.h"
#include "gr/ShaderSource.h"
#include "gr/gl2/BuiltinShaders.h"
#include "gr/gl2/GL2Primitive.h"
#include "gr/gl2/GL2Shader.h"
#include "gr/gl2/GL2Texture.h"

namespace gr {
namespace gl2 {
namespace {

// Image files larger than this are refused before decoding.
const size_t MAX_IMAGE_FILE = 256u * 1024 * 1024;

uint8_t toByte(float value) {
    return static_cast<uint8_t>(std::clamp(value, 0.f, 1.f) * 255.f + 0.5f);
}

bool hasExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)) != nullptr; at += length) {
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

lang::Ptr<GL2Shader> builtinShader(Device* device, const char* name, const char* source) {
    return new GL2Shader(device, name, parseShaderSource(source, std::strlen(source), name));
}

}  // namespace

GL2Context::GL2Context(int width, int height, int orientation, SDL_Window* window)
    : window_(window) {
    try {
        init(width, height, orientation);
    } catch (...) {
        teardown();
        throw;
    }
}

GL2Context::~GL2Context() {
    teardown();
}

void GL2Context::init(int width, int height, int orientation) {
    if (!window_) {
        throw GraphicsException(lang::Format("No window to draw into"));
    }
    gl_ = SDL_GL_CreateContext(window_);
    if (!gl_ || SDL_GL_MakeCurrent(window_, gl_) != 0) {
        throw GraphicsException(
            lang::Format("Creating an OpenGL context failed: {0}", SDL_GetError()));
    }
    checkVersion();
    // Without a display (SDL's offscreen driver) the swap of the window's
    // surface does not end a frame for the software rasteriser, which then
    // keeps every frame's commands binned: there the frames are drawn into the
    // target and copied to the window at present.
    const char* driver = SDL_GetCurrentVideoDriver();
    drawsIntoTarget_ = driver && std::strcmp(driver, "offscreen") == 0;
    device_ = new Device();
    device_->context = this;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &device_->maxTextureSize);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    screen_.orientation = orientation >= 0 && orientation <= 3 ? orientation : 0;
    spriteShader_ = builtinShader(device_.get(), "2d-sprite", SPRITE_SHADER);
    colorShader_ = builtinShader(device_.get(), "2d-vertexcolor", COLOR_SHADER);
    batcher_.init(this, spriteShader_.get(), colorShader_.get());
    resize(width, height);
    if (!isReady()) {
        throw GraphicsException(lang::Format("No drawable of {0}x{1} pixels", width, height));
    }
    clear(0xff000000u, true, false, false);
}

void GL2Context::teardown() {
    if (gl_) {
        SDL_GL_MakeCurrent(window_, gl_);
        batcher_.destroy();
        spriteShader_.reset();
        colorShader_.reset();
        if (target_) {
            glDeleteFramebuffers(1, &target_);
            glDeleteTextures(1, &targetTexture_);
        }
        if (device_) {
            device_->context = nullptr;
        }
        SDL_GL_DeleteContext(gl_);
        gl_ = nullptr;
    }
}

void GL2Context::checkVersion() const {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* glsl = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    int major = 0, minor = 0, glslMajor = 0, glslMinor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2 || !glsl ||
        std::sscanf(glsl, "%d.%d", &glslMajor, &glslMinor) != 2) {
        throw GraphicsException(lang::Format("The OpenGL version cannot be read"));
    }
    if (major * 100 + minor < 201 || glslMajor * 100 + glslMinor < 120) {
        throw GraphicsException(
            lang::Format("OpenGL 2.1 with GLSL 1.20 is needed, the driver offers {0}", version));
    }
    if (major < 3 && !hasExtension("GL_ARB_framebuffer_object")) {
        throw GraphicsException(lang::Format("OpenGL framebuffer objects are not supported"));
    }
}

void GL2Context::makeTarget() {
    if (!target_) {
        glGenFramebuffers(1, &target_);
        glGenTextures(1, &targetTexture_);
    }
    glBindTexture(GL_TEXTURE_2D, targetTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screen_.physicalWidth, screen_.physicalHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, target_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        throw GraphicsException(
            lang::Format("The drawing target of {0}x{1} pixels is not supported",
                         screen_.physicalWidth, screen_.physicalHeight));
    }
    targetWidth_ = screen_.physicalWidth;
    targetHeight_ = screen_.physicalHeight;
}

void GL2Context::bindWindow() {
    if (drawsIntoTarget_) {
        if (targetWidth_ != screen_.physicalWidth || targetHeight_ != screen_.physicalHeight) {
            makeTarget();
        }
        glBindFramebuffer(GL_FRAMEBUFFER, target_);
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    glViewport(0, 0, screen_.physicalWidth, screen_.physicalHeight);
}

void GL2Context::showTarget() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, targetWidth_, targetHeight_, 0, 0, targetWidth_, targetHeight_,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    screenChanged();
}

void GL2Context::keepPicture() {
    if (targetWidth_ != screen_.physicalWidth || targetHeight_ != screen_.physicalHeight) {
        makeTarget();
    }
    // A plain copy: the software rasteriser does it as a memory copy.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target_);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, targetWidth_, targetHeight_, 0, 0, targetWidth_, targetHeight_,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool GL2Context::isReady() const {
    return screen_.physicalWidth > 0 && screen_.physicalHeight > 0;
}

void GL2Context::resize(int width, int height) {
    flushDrawing();
    screenChanged();
    if (width <= 0 || height <= 0) {
        screen_.physicalWidth = screen_.physicalHeight = 0;
        screen_.resetViewport();
        return;
    }
    screen_.physicalWidth = width;
    screen_.physicalHeight = height;
    screen_.resetViewport();
    showingKept_ = false;
    bindWindow();
}

void GL2Context::setViewport(const Rect& rect) {
    flushDrawing();
    screenChanged();
    screen_.viewport = rect;
}

void GL2Context::setOrientation(int orientation) {
    flushDrawing();
    screenChanged();
    screen_.orientation = orientation >= 0 && orientation <= 3 ? orientation : 0;
    screen_.resetViewport();
}

void GL2Context::flushDrawing() {
    batcher_.flush();
}

void GL2Context::beginFrame() {
    SDL_GL_MakeCurrent(window_, gl_);
    bindWindow();
    markDrawn();
}

void GL2Context::endFrame() {
    flushDrawing();
}

void GL2Context::present() {
    flushDrawing();
    // Nothing new since the last present: the window still shows that frame,
    // and a swap could bring up a picture the driver has discarded.
    if (!isReady() || !drawn_) {
        return;
    }
    const bool keep = keepNext_ || keepAll_ || drawsIntoTarget_;
    keepNext_ = false;
    if (drawsIntoTarget_) {
        showTarget();
    } else if (keep) {
        keepPicture();
    }
    SDL_GL_SwapWindow(window_);
    drawn_ = false;
    showingKept_ = keep;
    if (drawsIntoTarget_) {
        bindWindow();
    }
}

void GL2Context::clear(uint32_t argb, bool color, bool, bool) {
    flushDrawing();
    if (!color) {
        return;
    }
    markDrawn();
    const Color c = Color::fromARGB(argb);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(c.r, c.g, c.b, c.a);
    glClear(GL_COLOR_BUFFER_BIT);
}

const Rect& GL2Context::scissor() {
    const Rect& clip = renderState().clip;
    if (!scissorValid_ || clip != scissorClip_) {
        scissorClip_ = clip;
        scissor_ = screen_.scissor(clip);
        scissorValid_ = true;
    }
    return scissor_;
}

void GL2Context::applyScissor() {
    const Rect& s = scissor();
    glEnable(GL_SCISSOR_TEST);
    glScissor(s.x0, s.y0, s.width(), s.height());
}

void GL2Context::countDraw(int triangles) {
    markDrawn();
    ++counters_.drawCalls;
    counters_.triangles += triangles;
}

void GL2Context::countChange(bool texture) {
    ++(texture ? counters_.textureChanges : counters_.stateChanges);
}

// Resources

lang::Ptr<Shader> GL2Context::loadShader(const std::string& path, int) {
    const bool hasSuffix = path.size() >= 5 && path.compare(path.size() - 5, 5, ".glsl") == 0;
    const std::string file = hasSuffix ? path : path + ".glsl";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw GraphicsException(lang::Format("Shader file {0} not found", file));
    }
    std::string text;
    text.resize(MAX_SHADER_FILE + 1);
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    const std::vector<ShaderPass> passes = parseShaderSource(text.data(), text.size(), file);
    return new GL2Shader(device_.get(), path, passes);
}

lang::Ptr<Texture> GL2Context::createTexture(io::InputStream& stream, const std::string& name) {
    const std::vector<uint8_t> bytes = readStream(stream, MAX_IMAGE_FILE);
    const Image image = decodeImage(bytes.data(), bytes.size(), name);
    return new GL2Texture(device_.get(), image.width, image.height, image.pixels.data(), name);
}

lang::Ptr<Texture> GL2Context::createEmptyTexture(int width, int height, PixelFormat format) {
    if (format != PIXELFORMAT_A8B8G8R8) {
        throw GraphicsException(
            lang::Format("Unsupported texture format {0}", static_cast<int>(format)));
    }
    return new GL2Texture(device_.get(), width, height, nullptr, std::string());
}

lang::Ptr<Primitive> GL2Context::createPrimitive(int type, const VertexFormat& format,
                                                 int vertexCount, int) {
    return new GL2Primitive(device_.get(), type, format, vertexCount);
}

// Drawing

GL2Texture* GL2Context::ownTexture(Texture* texture) const {
    if (!texture) {
        return nullptr;
    }
    auto* own = dynamic_cast<GL2Texture*>(texture);
    if (!own || own->device() != device_.get()) {
        throw GraphicsException(
            lang::Format("Texture {0} belongs to another context", texture->name()));
    }
    return own;
}

void GL2Context::addQuad(GL2Texture* texture, const Point (&corners)[4], const Quad& uv,
                         const Color& color) {
    const float alpha = color.a * renderState().alpha;
    if (!(alpha > 0)) {
        return;
    }
    const uint8_t rgba[4] = {toByte(color.r), toByte(color.g), toByte(color.b), toByte(alpha)};
    writeQuad(batcher_.addQuad(texture, scissor()), corners, uv, rgba);
}

void GL2Context::writeQuad(Batcher::Vertex* out, const Point (&corners)[4], const Quad& uv,
                           const uint8_t (&rgba)[4]) {
    for (int i : Batcher::quadOrder) {
        *out++ = Batcher::Vertex{
            corners[i].x, corners[i].y, uv.p[i].x, uv.p[i].y, {rgba[0], rgba[1], rgba[2], rgba[3]}};
    }
}

void GL2Context::fillRect(float x0, float y0, float x1, float y1, const Color& color) {
    const RenderState& rs = renderState();
    const Point corners[4] = {rs.apply(x0, y0, x0, y0), rs.apply(x0, y0, x1, y0),
                              rs.apply(x0, y0, x0, y1), rs.apply(x0, y0, x1, y1)};
    addQuad(nullptr, corners, Quad(), color);
}

void GL2Context::drawLine(float x0, float y0, float x1, float y1, float width, const Color& color) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0)) {
        return;
    }
    // Half the width across the line; thinner than a pixel is drawn one pixel wide.
    const float k = std::max(width, 1.f) * 0.5f / length;
    const float nx = -dy * k, ny = dx * k;
    const RenderState& rs = renderState();
    const Point corners[4] = {
        rs.apply(x0, y0, x0 - nx, y0 - ny), rs.apply(x0, y0, x1 - nx, y1 - ny),
        rs.apply(x0, y0, x0 + nx, y0 + ny), rs.apply(x0, y0, x1 + nx, y1 + ny)};
    addQuad(nullptr, corners, Quad(), color);
}

void GL2Context::drawTexture(Texture* texture, float x, float y, float w, float h, const Quad& uv) {
    GL2Texture* own = ownTexture(texture);
    if (!own) {
        return;
    }
    const RenderState& rs = renderState();
    const Point corners[4] = {rs.apply(x, y, x, y), rs.apply(x, y, x + w, y),
                              rs.apply(x, y, x, y + h), rs.apply(x, y, x + w, y + h)};
    addQuad(own, corners, uv, Color());
}

void GL2Context::drawTextureRun(Texture* texture, const Point* points, int count, float dx,
                                float dy, float w, float h, const Quad& uv) {
    GL2Texture* own = ownTexture(texture);
    const RenderState& rs = renderState();
    // What addQuad takes from an opaque white colour, worked out once for the run.
    if (!own || !(rs.alpha > 0)) {
        return;
    }
    const uint8_t rgba[4] = {255, 255, 255, toByte(rs.alpha)};
    const Rect clip = scissor();
    for (int i = 0; i < count; ++i) {
        const float x = points[i].x + dx, y = points[i].y + dy;
        const Point corners[4] = {rs.apply(x, y, x, y), rs.apply(x, y, x + w, y),
                                  rs.apply(x, y, x, y + h), rs.apply(x, y, x + w, y + h)};
        writeQuad(batcher_.addQuad(own, clip), corners, uv, rgba);
    }
}

void GL2Context::drawTextureQuad(Texture* texture, const Quad& corners, const Quad& uv) {
    GL2Texture* own = ownTexture(texture);
    if (!own) {
        return;
    }
    const RenderState& rs = renderState();
    Point mapped[4];
    for (int i = 0; i < 4; ++i) {
        mapped[i] = rs.apply(0, 0, corners.p[i].x, corners.p[i].y);
    }
    addQuad(own, mapped, uv, Color());
}

// Capture

Image GL2Context::readFrame() {
    flushDrawing();
    if (!isReady()) {
        throw GraphicsException(lang::Format("There is no frame to capture"));
    }
    const int width = screen_.physicalWidth, height = screen_.physicalHeight;
    Image image(width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, showingKept_ || drawsIntoTarget_ ? target_ : 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    bindWindow();
    // GL rows run from the bottom; the screen is opaque.
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height / 2; ++y) {
        std::swap_ranges(image.pixel(0, y), image.pixel(0, y) + row,
                         image.pixel(0, height - 1 - y));
    }
    for (size_t i = 3; i < image.pixels.size(); i += 4) {
        image.pixels[i] = 255;
    }
    return image;
}

void GL2Context::captureScreen(const std::string& name) {
    writePng(name, readFrame());
}

lang::Ptr<Texture> GL2Context::captureFrame(Texture* target) {
    const Image physical = readFrame();
    // Turn the window's picture into the oriented screen's.
    const math::float4x4 toPhysical =
        Screen{physical.width, physical.height, screen_.orientation, Rect()}.view();
    const int w = screen_.orientation & 1 ? physical.height : physical.width;
    const int h = screen_.orientation & 1 ? physical.width : physical.height;
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const math::float4 p = toPhysical * math::float4(x + 0.5f, y + 0.5f, 0, 1);
            const int px = std::clamp(static_cast<int>(std::floor(p.x)), 0, physical.width - 1);
            const int py = std::clamp(static_cast<int>(std::floor(p.y)), 0, physical.height - 1);
            std::memcpy(image.pixel(x, y), physical.pixel(px, py), 4);
        }
    }
    GL2Texture* own = target ? dynamic_cast<GL2Texture*>(target) : nullptr;
    if (own && own->device() == device_.get() && own->width() == w && own->height() == h) {
        own->setPixels(0, 0, image.pixels.data(), w * 4, w, h, PIXELFORMAT_A8B8G8R8);
        return own;
    }
    return new GL2Texture(device_.get(), w, h, image.pixels.data(), "capture");
}

}  // namespace gl2
}  // namespace gr
