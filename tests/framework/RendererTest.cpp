#include <gtest/gtest.h>

#include <string>

#include "FakeContext.h"
#include "framework/Renderer.h"
#include "framework/sdl/PosixLibraryLoader.h"
#include "gr/GraphicsException.h"
#include "support/LogCapture.h"

namespace {

using framework::createRenderer;

const std::string PLUGINS = FAKE_PLUGIN_DIR;

std::string failure(const std::vector<int>& platforms, const std::string& dir) {
    framework::sdl::PosixLibraryLoader loader;
    try {
        createRenderer(platforms, dir, {64, 32, 0, nullptr, nullptr}, loader);
    } catch (const gr::GraphicsException& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(RendererPlatforms, NamesAndIndices) {
    const char* shortNames[] = {"gles1", "gles2", "gl1", "gl2", "dx11", "xna"};
    const char* displayNames[] = {"OpenGL ES 1.1", "OpenGL ES 2.0", "OpenGL 1.4",
                                  "OpenGL 2.0",    "DirectX 11",    "XNA (interop)"};
    for (int i = 0; i < framework::RENDERER_PLATFORM_COUNT; ++i) {
        EXPECT_STREQ(shortNames[i], framework::RENDERER_PLATFORMS[i].shortName);
        EXPECT_STREQ(displayNames[i], framework::RENDERER_PLATFORMS[i].displayName);
        EXPECT_EQ(i, framework::findRendererPlatform(shortNames[i]));
    }
    EXPECT_EQ(-1, framework::findRendererPlatform("GL2"));
    EXPECT_EQ(-1, framework::findRendererPlatform(""));
}

TEST(RendererPlatforms, LibraryPath) {
    EXPECT_EQ("grgl2.so", framework::rendererLibraryPath("", "gl2", ".so"));
    EXPECT_EQ("lib/grgl2.so", framework::rendererLibraryPath("lib", "gl2", ".so"));
    EXPECT_EQ("lib/grgl2.so", framework::rendererLibraryPath("lib/", "gl2", ".so"));
    EXPECT_EQ("lib\\grdx11.dll", framework::rendererLibraryPath("lib\\", "dx11", ".dll"));
}

TEST(RendererLoading, EmptyListIsAnError) {
    EXPECT_EQ("No renderer defined!", failure({}, PLUGINS + "/ok"));
}

TEST(RendererLoading, MissingLibrariesAreReportedPerPlatform) {
    qftest::LogCapture log;
    const std::string dir = PLUGINS + "/none";
    // Each line gives the loader's reason, which names the file.
    const std::string message = failure({4, 5}, dir);
    EXPECT_EQ(0u, message.find("DirectX 11 renderer not supported! Renderer for platform dx11 (" +
                               dir + "/grdx11.so) not found! " + dir + "/grdx11.so: "))
        << message;
    EXPECT_NE(std::string::npos,
              message.find("\nXNA (interop) renderer not supported! Renderer for platform xna"));
    EXPECT_TRUE(log.contains("Renderer for platform dx11 (" + dir + "/grdx11.so) not found!"));
    EXPECT_TRUE(log.contains("Renderer for platform xna (" + dir + "/grxna.so) not found!"));
}

TEST(RendererLoading, LibraryWithoutEntryPoint) {
    qftest::LogCapture log;
    const std::string dir = PLUGINS + "/noentry";
    EXPECT_EQ("OpenGL 2.0 renderer not supported! Renderer " + dir +
                  "/grgl2.so was missing entrypoint \"createContext\"\n",
              failure({3}, dir));
    EXPECT_TRUE(
        log.contains("Renderer " + dir + "/grgl2.so was missing entrypoint \"createContext\""));
}

TEST(RendererLoading, EntryPointMakingNoContext) {
    qftest::LogCapture log;
    EXPECT_EQ("OpenGL 2.0 renderer not supported!\n", failure({3}, PLUGINS + "/null"));
    EXPECT_TRUE(log.contains("the fake device is switched off"));
}

TEST(RendererLoading, FirstWorkingPlatformInListOrderWins) {
    qftest::LogCapture log;
    framework::sdl::PosixLibraryLoader loader;
    int window = 0;
    const framework::RendererTarget target = {320, 200, 2, &window, nullptr};
    lang::Ptr<gr::Context> ctx = createRenderer({0, 3, 1}, PLUGINS + "/ok/", target, loader);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(3, ctx->platform());
    EXPECT_EQ(320, ctx->width());
    EXPECT_EQ(200, ctx->height());
    EXPECT_EQ(2, ctx->orientation());
    EXPECT_EQ(reinterpret_cast<intptr_t>(&window), ctx->textureMemory());
    EXPECT_TRUE(log.contains("Renderer for platform gles1"));

    ctx = createRenderer({1, 3}, PLUGINS + "/ok", target, loader);
    EXPECT_EQ(1, ctx->platform());
    ctx.reset();  // destroyed by the plug-in's own code, which stays loaded
}

}  // namespace
