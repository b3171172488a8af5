#pragma once

#include <map>
#include <string>
#include <vector>

#include "gr/Shader.h"
#include "gr/ShaderSource.h"
#include "gr/gl2/Device.h"
#include "gr/gl2/GL.h"
#include "lang/Ptr.h"

namespace gr {
namespace gl2 {

/// Attribute locations every program is linked with.
enum AttributeLocation {
    ATTRIB_POSITION = 0,
    ATTRIB_COLOR = 1,
    ATTRIB_TEXCOORD0 = 2,  // up to ATTRIB_TEXCOORD0 + 3
    ATTRIB_COUNT = 6,
};

class GL2Shader : public Shader {
public:
    /// Compiles and links every pass; throws gr::GraphicsException with the
    /// compiler's log.
    GL2Shader(Device* device, const std::string& name, const std::vector<ShaderPass>& passes);
    ~GL2Shader() override;

    void bindTexture(const std::string& name, Texture* texture) override;
    void setMatrix(int index, const math::float4x4& matrix) override;
    void setVector(const std::string& name, const math::float4& value) override;
    void setFloat(const std::string& name, float value) override;
    int beginDraw() override;
    void beginPass(int pass) override;
    void endPass() override;
    void endDraw() override;
    const std::string& name() const override { return name_; }

    /// The pass being drawn, or -1.
    int activePass() const { return activePass_; }
    Device* device() const { return device_.get(); }
    /// Makes pass 0 current with its blend mode and parameters, for the context's
    /// own drawing; no beginDraw needed.
    void usePass(int pass);

private:
    struct Uniform {
        GLint location;
        GLenum type;
    };
    struct Pass {
        GLuint program = 0;
        BlendMode blend = BLEND_PREMULTIPLIED;
        std::map<std::string, Uniform> uniforms;
    };

    void link(Pass& pass, const ShaderPass& source);
    void upload(const Pass& pass) const;
    void deletePrograms();

    lang::Ptr<Device> device_;
    std::string name_;
    std::vector<Pass> passes_;
    std::map<std::string, std::vector<float>> values_;  // 1, 4 or 16 floats (rows)
    std::map<std::string, lang::Ptr<Texture>> textures_;
    bool drawing_ = false;
    int activePass_ = -1;
};

}  // namespace gl2
}  // namespace gr
