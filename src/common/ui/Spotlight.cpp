#include "common/ui/Spotlight.h"

#include "common/ui/OverlayShading.h"
#include "gr/Context.h"
#include "math/random.h"

Spotlight::Spotlight(gr::Context* context, RandomSource random)
    : context_(context), random_(random ? random : &math::random) {
    const int platform = context_ ? context_->platform() : -1;
    if (platform == gr::PLATFORM_GLES2 || platform == gr::PLATFORM_GL2) {
        shader_ = overlay::loadShader(*context_, "composite-spotlight", "Spotlight::Spotlight");
    }
}

Spotlight::~Spotlight() = default;

void Spotlight::setPosition(int x, int y) {
    if (!context_) {
        return;
    }
    const int hw = context_->width() / 2;
    const int hh = context_->height() / 2;
    // A screen too small to halve keeps the spot where it is.
    if (hw > 0) {
        position_.x = static_cast<float>(x - hw) / static_cast<float>(hw);
    }
    if (hh > 0) {
        position_.y = static_cast<float>(y - hh) / static_cast<float>(hh);
    }
}

void Spotlight::update(float dt) {
    updateAxis(0, position_.x, dt);
    updateAxis(1, position_.y, dt);
}

void Spotlight::updateAxis(int axis, float& position, float dt) {
    position += dt * velocity_[axis];
    velocity_[axis] += dt * acceleration_[axis];
    const float r = static_cast<float>(random_());
    const bool outwards =
        (position > 0.5f && velocity_[axis] > 0) || (position < -0.5f && velocity_[axis] < 0);
    acceleration_[axis] = outwards ? r - 0.5f - position : r - 0.5f;
}

void Spotlight::draw() {
    if (!context_ || !shader_) {
        return;
    }
    overlay::setMatrices(*context_, *shader_);
    shader_->setVector("SPOTLIGHT_POSITION", position_);
    overlay::ShaderDraw draw(*shader_);
    gr::VertexFormat format;
    format.addPosition(gr::DF_FLOAT2);
    lang::Ptr<gr::Primitive> quad =
        context_->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 6, 0);
    if (!quad) {
        return;
    }
    const float w = static_cast<float>(context_->width());
    const float h = static_cast<float>(context_->height());
    const math::float4 corners[6] = {{-w, -h, 0, 0}, {-w, h, 0, 0}, {w, -h, 0, 0},
                                     {w, -h, 0, 0},  {-w, h, 0, 0}, {w, h, 0, 0}};
    quad->lock(gr::LOCK_WRITE);
    quad->setPositions(0, corners, 6);
    quad->setFirstVertex(0);
    quad->setVertexCount(6);
    quad->unlock();
    quad->setShader(shader_.get());
    draw.render(*quad);
}
