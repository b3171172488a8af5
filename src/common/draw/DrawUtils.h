#pragma once

#include <string>

#include "gr/MathTypes.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {
class CompoSprite;
class Resources;
class Sprite;
}  // namespace game
namespace gr {
class Context;
class Primitive;
class Shader;
}  // namespace gr

/// Sprites drawn with a colour through the renderer's sprite shaders. On a
/// renderer without shaders (or when they fail to load) the sprites are drawn
/// plain, without the colour.
class DrawUtils : public lang::Object {
public:
    enum ShaderKind { MODULATE_INVERTED = 0, ALPHA = 1, FILL = 2 };

    /// Loads the shaders when the renderer kind takes them (gles2, gl2, dx11).
    DrawUtils(game::Resources* resources, const lang::Ptr<gr::Context>& context);
    ~DrawUtils() override;

    /// The renderer kind takes shaders.
    bool isSupported() const { return supported_; }
    /// Null when not loaded.
    gr::Shader* shader(ShaderKind kind) const;

    /// Draws the sprite or every part of the composite sprite `name` (each at
    /// its offset) with its pivot at (x, y), `scale` times its size, under the
    /// context's render state. colour (r, g, b, a; 0 to 1, straight alpha)
    /// goes to the shader unchanged. An unknown name draws nothing.
    void drawSprite(const std::string& name, float x, float y, float scale,
                    const math::float4& colour, ShaderKind kind = ALPHA);
    void drawSprite(const game::Sprite& sprite, float x, float y, float scale,
                    const math::float4& colour, ShaderKind kind = ALPHA);
    void drawCompoSprite(const game::CompoSprite& compo, float x, float y, float scale,
                         const math::float4& colour, ShaderKind kind = ALPHA);

private:
    void loadShaders();
    void drawShaded(gr::Shader& shader, const game::Sprite& sprite, float left, float top,
                    float width, float height, const math::float4& colour);

    lang::Ptr<gr::Shader> shaders_[3];
    game::Resources* resources_;
    lang::Ptr<gr::Context> context_;
    bool supported_;
    lang::Ptr<gr::Primitive> quad_;
};
