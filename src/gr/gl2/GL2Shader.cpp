#include "gr/gl2/GL2Shader.h"

#include "gr/GraphicsException.h"
#include "gr/gl2/GL2Context.h"
#include "gr/gl2/GL2Texture.h"

namespace gr {
namespace gl2 {
namespace {

std::string infoLog(GLuint object, bool program) {
    GLint length = 0;
    if (program) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::string log(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    if (program) {
        glGetProgramInfoLog(object, length, nullptr, &log[0]);
    } else {
        glGetShaderInfoLog(object, length, nullptr, &log[0]);
    }
    log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
    return log;
}

GLuint compile(GLenum stage, const std::string& source, const std::string& name) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        const std::string log = infoLog(shader, false);
        glDeleteShader(shader);
        throw GraphicsException(lang::Format("Compiling the {0} stage of shader {1} failed: {2}",
                                             stage == GL_VERTEX_SHADER ? "vertex" : "fragment",
                                             name, log));
    }
    return shader;
}

void applyBlend(BlendMode mode) {
    if (mode == BLEND_NONE) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    switch (mode) {
        case BLEND_ALPHA:
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case BLEND_ADDITIVE:
            glBlendFunc(GL_ONE, GL_ONE);
            break;
        case BLEND_MULTIPLY:
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            break;
        default:
            glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            break;
    }
}

}  // namespace

GL2Shader::GL2Shader(Device* device, const std::string& name, const std::vector<ShaderPass>& passes)
    : device_(device), name_(name) {
    try {
        for (const ShaderPass& source : passes) {
            passes_.emplace_back();
            passes_.back().blend = source.blend;
            link(passes_.back(), source);
        }
    } catch (...) {
        deletePrograms();
        throw;
    }
}

GL2Shader::~GL2Shader() {
    if (device_->context) {
        deletePrograms();
    }
}

void GL2Shader::deletePrograms() {
    for (Pass& pass : passes_) {
        if (pass.program) {
            glDeleteProgram(pass.program);
        }
    }
    passes_.clear();
}

void GL2Shader::link(Pass& pass, const ShaderPass& source) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, source.vertex, name_);
    GLuint fragment = 0;
    try {
        fragment = compile(GL_FRAGMENT_SHADER, source.fragment, name_);
    } catch (...) {
        glDeleteShader(vertex);
        throw;
    }
    pass.program = glCreateProgram();
    glAttachShader(pass.program, vertex);
    glAttachShader(pass.program, fragment);
    glBindAttribLocation(pass.program, ATTRIB_POSITION, "POSITION");
    glBindAttribLocation(pass.program, ATTRIB_COLOR, "COLOR");
    static const char* const texCoords[] = {"TEXCOORD0", "TEXCOORD1", "TEXCOORD2", "TEXCOORD3"};
    for (int i = 0; i < 4; ++i) {
        glBindAttribLocation(pass.program, ATTRIB_TEXCOORD0 + i, texCoords[i]);
    }
    glLinkProgram(pass.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(pass.program, GL_LINK_STATUS, &ok);
    if (!ok) {
        throw GraphicsException(
            lang::Format("Linking shader {0} failed: {1}", name_, infoLog(pass.program, true)));
    }
    GLint count = 0;
    glGetProgramiv(pass.program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char uniformName[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(pass.program, static_cast<GLuint>(i), sizeof uniformName, nullptr, &size,
                           &type, uniformName);
        pass.uniforms[uniformName] = Uniform{glGetUniformLocation(pass.program, uniformName), type};
    }
}

void GL2Shader::bindTexture(const std::string& name, Texture* texture) {
    if (texture) {
        textures_[name] = texture;
    } else {
        textures_.erase(name);
    }
}

void GL2Shader::setMatrix(int index, const math::float4x4& matrix) {
    const char* name = matrixParameterName(index);
    if (!name) {
        throw GraphicsException(lang::Format("Shader {0}: no matrix index {1}", name_, index));
    }
    values_[name].assign(&matrix.m[0][0], &matrix.m[0][0] + 16);
}

void GL2Shader::setVector(const std::string& name, const math::float4& value) {
    values_[name] = {value.x, value.y, value.z, value.w};
}

void GL2Shader::setFloat(const std::string& name, float value) {
    values_[name] = {value};
}

int GL2Shader::beginDraw() {
    if (!device_->context) {
        throw GraphicsException(lang::Format("Shader {0} outlived its context", name_));
    }
    if (drawing_) {
        throw GraphicsException(lang::Format("Shader {0}: beginDraw inside a draw", name_));
    }
    device_->context->flushDrawing();
    drawing_ = true;
    return static_cast<int>(passes_.size());
}

void GL2Shader::beginPass(int pass) {
    if (!drawing_ || activePass_ >= 0 || pass < 0 || pass >= static_cast<int>(passes_.size())) {
        throw GraphicsException(
            lang::Format("Shader {0}: pass {1} cannot begin here", name_, pass));
    }
    usePass(pass);
    device_->context->applyScissor();
    activePass_ = pass;
}

void GL2Shader::usePass(int index) {
    const Pass& pass = passes_[static_cast<size_t>(index)];
    glUseProgram(pass.program);
    applyBlend(pass.blend);
    upload(pass);
}

void GL2Shader::upload(const Pass& pass) const {
    for (const auto& entry : values_) {
        auto it = pass.uniforms.find(entry.first);
        if (it == pass.uniforms.end()) {
            continue;
        }
        const std::vector<float>& v = entry.second;
        float x[4] = {v[0], v.size() > 1 ? v[1] : 0.f, v.size() > 2 ? v[2] : 0.f,
                      v.size() > 3 ? v[3] : 0.f};
        switch (it->second.type) {
            case GL_FLOAT:
                glUniform1f(it->second.location, x[0]);
                break;
            case GL_FLOAT_VEC2:
                glUniform2fv(it->second.location, 1, x);
                break;
            case GL_FLOAT_VEC3:
                glUniform3fv(it->second.location, 1, x);
                break;
            case GL_FLOAT_VEC4:
                glUniform4fv(it->second.location, 1, x);
                break;
            case GL_FLOAT_MAT4:
                if (v.size() == 16) {
                    glUniformMatrix4fv(it->second.location, 1, GL_TRUE, v.data());
                }
                break;
            default:
                break;
        }
    }
    GLint unit = 0;
    for (const auto& entry : textures_) {
        auto it = pass.uniforms.find(entry.first);
        auto* texture = dynamic_cast<GL2Texture*>(entry.second.get());
        if (it == pass.uniforms.end() || it->second.type != GL_SAMPLER_2D || !texture ||
            texture->device() != device_.get()) {
            continue;
        }
        glActiveTexture(GL_TEXTURE0 + unit);
        texture->bind(GL_REPEAT);
        glUniform1i(it->second.location, unit);
        ++unit;
    }
    glActiveTexture(GL_TEXTURE0);
}

void GL2Shader::endPass() {
    activePass_ = -1;
}

void GL2Shader::endDraw() {
    activePass_ = -1;
    drawing_ = false;
}

}  // namespace gl2
}  // namespace gr
