#include <gtest/gtest.h>

#include <string>

#include "gr/GraphicsException.h"
#include "gr/ShaderSource.h"

namespace {

std::vector<gr::ShaderPass> parse(const std::string& text) {
    return gr::parseShaderSource(text.data(), text.size(), "test");
}

TEST(ShaderSource, SinglePassWithHeaderComment) {
    const auto passes = parse("a comment\n@vertex\nV1\nV2\n@fragment\r\nF\n");
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].vertex, "V1\nV2\n");
    EXPECT_EQ(passes[0].fragment, "F\n");
    EXPECT_EQ(passes[0].blend, gr::BLEND_PREMULTIPLIED);
}

TEST(ShaderSource, LaterPassesTakeTheVertexStageAndTheirOwnBlend) {
    const auto passes = parse(
        "@vertex\nV\n@fragment\nF0\n@pass\n@blend additive\n@fragment\nF1\n"
        "@pass\n@blend  none \n@vertex\nW\n@fragment\nF2");
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[1].vertex, "V\n");
    EXPECT_EQ(passes[1].fragment, "F1\n");
    EXPECT_EQ(passes[1].blend, gr::BLEND_ADDITIVE);
    EXPECT_EQ(passes[2].vertex, "W\n");
    EXPECT_EQ(passes[2].fragment, "F2");
    EXPECT_EQ(passes[2].blend, gr::BLEND_NONE);
}

TEST(ShaderSource, MalformedFilesNameTheLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "line 1: no shader stages"},
        {"only a comment\n", "no shader stages"},
        {"@vertex\nV\n", "no fragment stage"},
        {"@fragment\nF\n", "no vertex stage"},
        {"@vertex\nV\n@fragment\nF\n@bogus\n", "line 5: unknown directive @bogus"},
        {"@blend sideways\n", "unknown blend mode \"sideways\""},
        {"@vertex\nA\n@vertex\nB\n", "line 3: second vertex stage"},
        {"@vertex\nV\n@fragment\nF\n@pass\n", "no fragment stage"},
    };
    for (const Case& c : cases) {
        try {
            parse(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const gr::GraphicsException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << e.what() << " lacks " << c.message;
        }
    }
}

TEST(ShaderSource, RefusesNulBytesAndTooManyPasses) {
    const std::string nul("@vertex\nV\0\n@fragment\nF\n", 24);
    EXPECT_THROW(parse(nul), gr::GraphicsException);
    std::string many = "@vertex\nV\n@fragment\nF\n";
    for (int i = 0; i < gr::MAX_SHADER_PASSES; ++i) {
        many += "@pass\n@fragment\nF\n";
    }
    EXPECT_THROW(parse(many), gr::GraphicsException);
}

}  // namespace
