#include "common/draw/DrawUtils.h"

#include "game/Anchor.h"
#include "game/CompoSprite.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "game/SpriteSheet.h"
#include "gr/Context.h"
#include "gr/GraphicsException.h"
#include "lang/Log.h"

namespace {

const char* const SHADER_NAMES[3] = {"2d-sprite-modulate-inverted", "2d-sprite-alpha",
                                     "2d-sprite-fill"};

bool takesShaders(int platform) {
    return platform == gr::PLATFORM_DX11 || platform == gr::PLATFORM_GLES2 ||
           platform == gr::PLATFORM_GL2;
}

}  // namespace

DrawUtils::DrawUtils(game::Resources* resources, const lang::Ptr<gr::Context>& context)
    : resources_(resources), context_(context), supported_(false) {
    supported_ = context_ && takesShaders(context_->platform());
    if (supported_) {
        loadShaders();
    }
}

DrawUtils::~DrawUtils() = default;

void DrawUtils::loadShaders() {
    const std::string& folder = context_->shaderFolder();
    for (int i = 0; i < 3; ++i) {
        const std::string path = folder.empty() ? SHADER_NAMES[i] : folder + "/" + SHADER_NAMES[i];
        // A missing shader leaves its sprites untinted rather than stopping the game.
        try {
            shaders_[i] = context_->loadShader(path, 0);
        } catch (const lang::Exception& e) {
            lang::log::write("", __FILE__, "DrawUtils::DrawUtils", __LINE__, lang::log::WARNING,
                             "%s", e.what());
        }
    }
}

gr::Shader* DrawUtils::shader(ShaderKind kind) const {
    return kind >= 0 && kind < 3 ? shaders_[kind].get() : nullptr;
}

void DrawUtils::drawSprite(const std::string& name, float x, float y, float scale,
                           const math::float4& colour, ShaderKind kind) {
    const game::Resources::IndexEntry* entry =
        resources_ ? resources_->findDrawable(name) : nullptr;
    if (!entry) {
        return;
    }
    if (entry->kind == game::Resources::KIND_SPRITE) {
        drawSprite(*entry->sprite, x, y, scale, colour, kind);
    } else {
        drawCompoSprite(*entry->compo, x, y, scale, colour, kind);
    }
}

void DrawUtils::drawCompoSprite(const game::CompoSprite& compo, float x, float y, float scale,
                                const math::float4& colour, ShaderKind kind) {
    for (int i = 0; i < compo.getEntryCount(); ++i) {
        const game::CompoSprite::Entry* part = compo.getSpriteEntry(i);
        if (part && part->visible && part->getSprite()) {
            drawSprite(*part->getSprite(), x + part->x * scale, y + part->y * scale, scale, colour,
                       kind);
        }
    }
}

void DrawUtils::drawSprite(const game::Sprite& sprite, float x, float y, float scale,
                           const math::float4& colour, ShaderKind kind) {
    if (!context_) {
        return;
    }
    const float left = x - sprite.getPivotX() * scale;
    const float top = y - sprite.getPivotY() * scale;
    const float width = sprite.getWidth() * scale;
    const float height = sprite.getHeight() * scale;
    gr::Shader* s = shader(kind);
    if (!s) {
        sprite.draw(context_.get(), left, top, width, height, game::ANCHOR_TOP, game::ANCHOR_LEFT);
        return;
    }
    drawShaded(*s, sprite, left, top, width, height, colour);
}

void DrawUtils::drawShaded(gr::Shader& shader, const game::Sprite& sprite, float left, float top,
                           float width, float height, const math::float4& colour) {
    gr::Texture* texture = sprite.getSheet() ? sprite.getSheet()->getTexture() : nullptr;
    if (!texture) {
        return;
    }
    if (!quad_) {
        gr::VertexFormat format;
        format.addPosition(gr::DF_FLOAT4).addTexCoord(gr::DF_FLOAT2);
        quad_ = context_->createPrimitive(gr::PRIMITIVE_TRIANGLESTRIP, format, 4, 0);
    }
    // The render state is applied here, as a batched draw at the top-left would.
    const gr::RenderState& state = context_->renderState();
    const gr::Quad corners = gr::Quad::rect(left, top, left + width, top + height);
    math::float4 positions[4];
    math::float4 uv[4];
    for (int i = 0; i < 4; ++i) {
        const gr::Point p = state.apply(left, top, corners.p[i].x, corners.p[i].y);
        positions[i] = math::float4(p.x, p.y, 0, 1);
        uv[i] = math::float4(sprite.getTexCoords().p[i].x, sprite.getTexCoords().p[i].y, 0, 0);
    }
    quad_->lock(gr::LOCK_WRITE);
    quad_->setPositions(0, positions, 4);
    quad_->setTexCoords(0, 0, uv, 4);
    quad_->unlock();
    quad_->setShader(&shader);
    const math::float4x4 view = context_->viewMatrix();
    const math::float4x4 projection = context_->projectionMatrix();
    shader.setMatrix(gr::MATRIX_WORLD, math::float4x4());
    shader.setMatrix(gr::MATRIX_VIEW, view);
    shader.setMatrix(gr::MATRIX_PROJECTION, projection);
    shader.setMatrix(gr::MATRIX_WORLDVIEWPROJECT, projection * view);
    shader.bindTexture("BASEMAP", texture);
    shader.setVector("TINT", colour);
    const int passes = shader.beginDraw();
    for (int i = 0; i < passes; ++i) {
        shader.beginPass(i);
        quad_->render();
        shader.endPass();
    }
    shader.endDraw();
}
