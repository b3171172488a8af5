// Textures, shaders, primitives, counters and capture of the gl2 plug-in.

#include <filesystem>
#include <fstream>
#include <functional>

#include <stb/stb_image_write.h>

#include "gr/Gl2Fixture.h"
#include "gr/GoldenImage.h"
#include "gr/GraphicsException.h"
#include "io/ByteArrayInputStream.h"

namespace grtest {
namespace {

const gr::Quad WHOLE = gr::Quad::rect(0, 0, 1, 1);

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

TEST_F(Gl2Test, ReportsItsPlatformAndSize) {
    makeContext(128, 96);
    EXPECT_EQ(ctx->platform(), gr::PLATFORM_GL2);
    EXPECT_EQ(ctx->orientation(), 0);
    EXPECT_EQ(ctx->width(), 128);
    EXPECT_EQ(ctx->height(), 96);
    EXPECT_TRUE(ctx->isReady());
    ctx->resize(0, 96);
    EXPECT_FALSE(ctx->isReady());
    ctx->resize(64, 32);
    EXPECT_TRUE(ctx->isReady());
    EXPECT_EQ(ctx->width(), 64);
    ctx->setOrientation(3);
    EXPECT_EQ(ctx->width(), 32);
    EXPECT_EQ(ctx->height(), 64);
}

TEST_F(Gl2Test, TexturesFromPngAndJpegStreams) {
    makeContext(64, 64);
    const gr::Image tile = tileImage();
    std::vector<uint8_t> png = gr::encodePng(tile), jpeg;
    ASSERT_TRUE(stbi_write_jpg_to_func(appendBytes, &jpeg, 16, 16, 4, tile.pixels.data(), 95));
    for (const std::vector<uint8_t>* bytes : {&png, &jpeg}) {
        io::ByteArrayInputStream stream(*bytes);
        lang::Ptr<gr::Texture> texture = ctx->createTexture(stream, "tile");
        EXPECT_EQ(texture->width(), 16);
        EXPECT_EQ(texture->height(), 16);
        EXPECT_EQ(texture->name(), "tile");
        ctx->drawTexture(texture.get(), 0, 0, 64, 64, WHOLE);
        const gr::Image image = capture("stream");
        EXPECT_NEAR(image.pixel(16, 16)[0], 255, 8);  // red quarter
        EXPECT_NEAR(image.pixel(48, 48)[1], 255, 8);  // yellow quarter
        EXPECT_NEAR(image.pixel(16, 48)[2], 255, 8);  // blue quarter
    }
}

// Failures inside the plug-in arrive as gr::GraphicsException.
TEST_F(Gl2Test, UnreadableImageThrowsGraphicsException) {
    makeContext(32, 32);
    const char garbage[] = "\x89PNG\r\n\x1a\n but no chunks follow";
    io::ByteArrayInputStream stream(garbage, sizeof garbage);
    EXPECT_THROW(ctx->createTexture(stream, "broken.png"), gr::GraphicsException);
    io::ByteArrayInputStream empty;
    EXPECT_THROW(ctx->createTexture(empty, "empty.png"), gr::GraphicsException);
}

TEST_F(Gl2Test, TextureMemoryCounterFollowsTextures) {
    makeContext(32, 32);
    const int64_t before = ctx->textureMemory();
    lang::Ptr<gr::Texture> a = ctx->createEmptyTexture(16, 8, gr::PIXELFORMAT_A8B8G8R8);
    lang::Ptr<gr::Texture> b = ctx->createEmptyTexture(3, 5, gr::PIXELFORMAT_A8B8G8R8);
    EXPECT_EQ(ctx->textureMemory(), before + 16 * 8 * 4 + 3 * 5 * 4);
    a.reset();
    EXPECT_EQ(ctx->textureMemory(), before + 3 * 5 * 4);
    EXPECT_THROW(ctx->createEmptyTexture(0, 8, gr::PIXELFORMAT_A8B8G8R8), gr::GraphicsException);
    EXPECT_THROW(ctx->createEmptyTexture(8, 8, gr::PIXELFORMAT_UNKNOWN), gr::GraphicsException);
    EXPECT_THROW(ctx->createEmptyTexture(1 << 30, 1, gr::PIXELFORMAT_A8B8G8R8),
                 gr::GraphicsException);
}

// Label textures take pixel rows at an offset; rows beyond the texture are cut.
TEST_F(Gl2Test, SetPixelsWritesClippedRows) {
    makeContext(32, 32);
    lang::Ptr<gr::Texture> texture = ctx->createEmptyTexture(4, 4, gr::PIXELFORMAT_A8B8G8R8);
    std::vector<uint8_t> white(3 * 3 * 4 + 8, 255);  // rows of 3 pixels, pitch 14 bytes
    texture->setPixels(2, 2, white.data(), 14, 3, 3, gr::PIXELFORMAT_A8B8G8R8);
    EXPECT_THROW(texture->setPixels(0, 0, white.data(), 8, 3, 1, gr::PIXELFORMAT_A8B8G8R8),
                 gr::GraphicsException);
    ctx->renderState().scaleX = ctx->renderState().scaleY = 8;
    texture->draw(0, 0, 4, 4, 0, 0, 4, 4);
    const gr::Image image = capture("setpixels");
    EXPECT_EQ(rgba(image, 4, 4), 0x202020ffu);    // transparent over the background
    EXPECT_EQ(rgba(image, 28, 28), 0xffffffffu);  // the written corner
}

TEST_F(Gl2Test, SpritesOfOneTextureShareADrawCall) {
    makeContext(64, 64);
    lang::Ptr<gr::Texture> a = makeTile(), b = makeTile();
    ctx->resetCounters();
    for (int i = 0; i < 10; ++i) {
        ctx->drawTexture(a.get(), static_cast<float>(i), 0, 16, 16, WHOLE);
    }
    ctx->flushDrawing();
    EXPECT_EQ(ctx->counters().drawCalls, 1);
    EXPECT_EQ(ctx->counters().triangles, 20);

    ctx->resetCounters();
    for (int i = 0; i < 10; ++i) {
        ctx->drawTexture(i % 2 ? a.get() : b.get(), 0, 0, 16, 16, WHOLE);
    }
    ctx->flushDrawing();
    EXPECT_EQ(ctx->counters().drawCalls, 10);
    EXPECT_EQ(ctx->counters().textureChanges, 9);

    ctx->resetCounters();
    ctx->fillRect(0, 0, 8, 8, gr::Color());
    ctx->renderState().clip = gr::Rect(0, 0, 4, 4);
    ctx->fillRect(0, 0, 8, 8, gr::Color());
    ctx->renderState().alpha = 0.5f;  // alpha is no state change
    ctx->fillRect(0, 0, 8, 8, gr::Color());
    ctx->endFrame();
    EXPECT_EQ(ctx->counters().drawCalls, 2);
    EXPECT_EQ(ctx->counters().stateChanges, 1);
}

// The batch is drawn before a texture it uses is destroyed or rewritten.
TEST_F(Gl2Test, BatchedDrawingSurvivesTextureChanges) {
    makeContext(32, 32);
    lang::Ptr<gr::Texture> texture = makeTile();
    ctx->drawTexture(texture.get(), 0, 0, 16, 16, WHOLE);
    texture.reset();
    lang::Ptr<gr::Texture> other = makeTile();
    ctx->drawTexture(other.get(), 16, 16, 16, 16, WHOLE);
    const std::vector<uint8_t> black(16 * 16 * 4, 0);
    other->setPixels(0, 0, black.data(), 64, 16, 16, gr::PIXELFORMAT_A8B8G8R8);
    const gr::Image image = capture("survive");
    EXPECT_EQ(rgba(image, 4, 4), 0xff0000ffu);
    EXPECT_EQ(rgba(image, 20, 20), 0xff0000ffu);
}

TEST_F(Gl2Test, ObjectsOutliveTheirContext) {
    makeContext(32, 32);
    lang::Ptr<gr::Texture> texture = makeTile();
    lang::Ptr<gr::Shader> shader = ctx->loadShader(shaderFolder() + "/2d-sprite", 0);
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT2);
    lang::Ptr<gr::Primitive> primitive =
        ctx->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 3, 0);
    ctx.reset();
    EXPECT_EQ(texture->width(), 16);
    texture->draw(0, 0, 16, 16, 0, 0, 16, 16);  // nothing to draw into; no effect
    EXPECT_THROW(shader->beginDraw(), gr::GraphicsException);
    EXPECT_THROW(primitive->render(), gr::GraphicsException);
}

TEST_F(Gl2Test, ShaderFilesThatFail) {
    makeContext(32, 32);
    EXPECT_THROW(ctx->loadShader(shaderFolder() + "/no-such-shader", 0), gr::GraphicsException);
    const std::string path = outputDir() + "/broken.glsl";
    std::ofstream(path) << "@vertex\n#version 120\nvoid main() { gl_Position = vec4(0.0); }\n"
                           "@fragment\n#version 120\nvoid main() { gl_FragColor = oops; }\n";
    try {
        ctx->loadShader(path, 0);
        ADD_FAILURE() << "a fragment stage that does not compile was accepted";
    } catch (const gr::GraphicsException& e) {
        EXPECT_NE(std::string(e.what()).find("fragment"), std::string::npos) << e.what();
    }
}

// Two passes: the second adds a colour over the first.
TEST_F(Gl2Test, ShaderPassesDrawInTurn) {
    makeContext(32, 32);
    const std::string path = outputDir() + "/two-pass.glsl";
    std::ofstream(path) << "@vertex\n#version 120\nattribute vec4 POSITION;\n"
                           "uniform mat4 WORLDVIEWPROJ_MATRIX;\n"
                           "void main() { gl_Position = WORLDVIEWPROJ_MATRIX * POSITION; }\n"
                           "@fragment\n#version 120\nuniform vec4 TINT;\n"
                           "void main() { gl_FragColor = TINT; }\n"
                           "@pass\n@blend additive\n@fragment\n#version 120\n"
                           "uniform float GAIN;\n"
                           "void main() { gl_FragColor = vec4(0.0, GAIN, 0.0, 0.0); }\n";
    lang::Ptr<gr::Shader> shader = ctx->loadShader(path, 0);
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT2);
    lang::Ptr<gr::Primitive> quad = ctx->createPrimitive(gr::PRIMITIVE_TRIANGLEFAN, format, 4, 0);
    const math::float4 corners[4] = {{0, 0, 0, 0}, {16, 0, 0, 0}, {16, 16, 0, 0}, {0, 16, 0, 0}};
    quad->lock(gr::LOCK_WRITE);
    quad->setPositions(0, corners, 4);
    quad->unlock();
    quad->setShader(shader.get());
    shader->setMatrix(gr::MATRIX_WORLDVIEWPROJECT, ctx->projectionMatrix() * ctx->viewMatrix());
    shader->setVector("TINT", math::float4(1, 0, 0, 1));
    shader->setFloat("GAIN", 1);
    const int passes = shader->beginDraw();
    ASSERT_EQ(passes, 2);
    for (int i = 0; i < passes; ++i) {
        shader->beginPass(i);
        quad->render();
        shader->endPass();
    }
    shader->endDraw();
    const gr::Image image = capture("passes");
    EXPECT_EQ(rgba(image, 8, 8), 0xffff00ffu);
    EXPECT_EQ(rgba(image, 24, 24), 0x202020ffu);
}

TEST_F(Gl2Test, PrimitiveMisuseThrows) {
    makeContext(32, 32);
    lang::Ptr<gr::Shader> shader = ctx->loadShader(shaderFolder() + "/2d-vertexcolor", 0);
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT4);
    const math::float4 data[4];
    struct Case {
        const char* what;
        std::function<void(gr::Primitive&)> run;
    };
    const Case cases[] = {
        {"write without a lock", [&](gr::Primitive& p) { p.setPositions(0, data, 3); }},
        {"write past the end",
         [&](gr::Primitive& p) {
             p.lock(gr::LOCK_WRITE);
             p.setPositions(1, data, 3);
         }},
        {"negative first",
         [&](gr::Primitive& p) {
             p.lock(gr::LOCK_WRITE);
             p.setPositions(-1, data, 1);
         }},
        {"missing component",
         [&](gr::Primitive& p) {
             p.lock(gr::LOCK_WRITE);
             p.setTexCoords(0, 0, data, 1);
         }},
        {"lock twice",
         [&](gr::Primitive& p) {
             p.lock(gr::LOCK_WRITE);
             p.lock(gr::LOCK_WRITE);
         }},
        {"render without a pass",
         [&](gr::Primitive& p) {
             p.setShader(shader.get());
             p.render();
         }},
        {"render while locked",
         [&](gr::Primitive& p) {
             p.setShader(shader.get());
             shader->beginDraw();
             shader->beginPass(0);
             p.lock(gr::LOCK_WRITE);
             p.render();
         }},
        {"range past the end",
         [&](gr::Primitive& p) {
             p.setShader(shader.get());
             p.setFirstVertex(2);
             shader->beginDraw();
             shader->beginPass(0);
             p.render();
         }},
    };
    for (const Case& c : cases) {
        lang::Ptr<gr::Primitive> p = ctx->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 3, 0);
        EXPECT_THROW(c.run(*p), gr::GraphicsException) << c.what;
        shader->endPass();
        shader->endDraw();
    }
    gr::VertexFormat noPosition;
    noPosition.addColor(gr::DF_FLOAT4);
    EXPECT_THROW(ctx->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, noPosition, 3, 0),
                 gr::GraphicsException);
    EXPECT_THROW(ctx->createPrimitive(9, format, 3, 0), gr::GraphicsException);
    EXPECT_THROW(ctx->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 0, 0),
                 gr::GraphicsException);
    EXPECT_THROW(shader->setMatrix(8, math::float4x4()), gr::GraphicsException);
}

// A kept frame stays readable after present; captureFrame gives the oriented
// screen as a texture and reuses a texture of the right size.
TEST_F(Gl2Test, CaptureAfterPresent) {
    makeContext(48, 32, 1);
    ctx->fillRect(0, 0, 8, 8, gr::Color(1, 0, 0));
    ctx->endFrame();
    ctx->keepNextFrame();
    ctx->present();
    const std::string path = outputDir() + "/present.png";
    ctx->captureScreen(path);
    const gr::Image screen = readPng(path);
    ASSERT_EQ(screen.width, 48);
    EXPECT_EQ(rgba(screen, 44, 4), 0xff0000ffu);  // the oriented top-left is the window's top-right
    ctx->present();  // nothing new drawn: the kept frame is still the one shown
    EXPECT_EQ(rgba(capture("present-again"), 44, 4), 0xff0000ffu);

    lang::Ptr<gr::Texture> frame = ctx->captureFrame(nullptr);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width(), 32);
    EXPECT_EQ(frame->height(), 48);
    EXPECT_EQ(ctx->captureFrame(frame.get()), frame);
    EXPECT_THROW(ctx->captureScreen(outputDir() + "/no/such/folder/x.png"), gr::GraphicsException);
}

// Once a new frame begins, captures read it and not the copy kept of the last
// one; keepFrames keeps every frame until it is turned off.
TEST_F(Gl2Test, CaptureReadsTheFrameBeingDrawnAfterAKeptOne) {
    makeContext(32, 32);
    ctx->keepFrames(true);
    const uint32_t colors[] = {0xffff0000u, 0xff00ff00u, 0xff0000ffu};
    const uint32_t seen[] = {0xff0000ffu, 0x00ff00ffu, 0x0000ffffu};
    for (int i = 0; i < 3; ++i) {
        ctx->beginFrame();
        ctx->clear(colors[i], true, false, false);
        EXPECT_EQ(rgba(capture("frame-drawn"), 5, 5), seen[i]) << "while drawing frame " << i;
        ctx->present();
        EXPECT_EQ(rgba(capture("frame-kept"), 5, 5), seen[i]) << "after presenting frame " << i;
    }
    ctx->keepFrames(false);
    ctx->beginFrame();
    ctx->fillRect(0, 0, 4, 4, gr::Color(1, 1, 1));
    EXPECT_EQ(rgba(capture("frame-unkept"), 1, 1), 0xffffffffu);
}

}  // namespace
}  // namespace grtest
