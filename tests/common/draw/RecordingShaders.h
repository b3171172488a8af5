#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/draw/RecordingContext.h"
#include "gr/Primitive.h"
#include "gr/Shader.h"

namespace worldtest {

// One log of what shaders, primitives and the context were asked to do, in order.
using CallLog = std::shared_ptr<std::vector<std::string>>;

class RecordingShader : public gr::Shader {
public:
    RecordingShader(const std::string& name, int passes, CallLog log)
        : name_(name), passes_(passes), log_(log) {}
    void bindTexture(const std::string& name, gr::Texture* texture) override {
        textures.push_back({name, texture});
        log_->push_back("bindTexture " + name);
    }
    void setMatrix(int index, const math::float4x4& matrix) override {
        matrices[index] = matrix;
        log_->push_back("setMatrix " + std::to_string(index));
    }
    void setVector(const std::string& name, const math::float4& value) override {
        vectors.push_back({name, value});
        log_->push_back("setVector " + name);
    }
    void setFloat(const std::string& name, float value) override {
        floats.push_back({name, value});
        log_->push_back("setFloat " + name);
    }
    int beginDraw() override {
        log_->push_back("beginDraw");
        return passes_;
    }
    void beginPass(int pass) override { log_->push_back("beginPass " + std::to_string(pass)); }
    void endPass() override { log_->push_back("endPass"); }
    void endDraw() override { log_->push_back("endDraw"); }
    const std::string& name() const override { return name_; }

    std::vector<std::pair<std::string, gr::Texture*>> textures;
    math::float4x4 matrices[gr::MATRIX_COUNT];
    std::vector<std::pair<std::string, math::float4>> vectors;
    std::vector<std::pair<std::string, float>> floats;

private:
    std::string name_;
    int passes_;
    CallLog log_;
};

// Keeps what was written into it; render() logs the range drawn.
class RecordingPrimitive : public gr::Primitive {
public:
    RecordingPrimitive(int type, const gr::VertexFormat& format, int count, CallLog log)
        : type_(static_cast<gr::PrimitiveType>(type)), format_(format), count_(count), log_(log) {
        positions.resize(static_cast<size_t>(count));
        texCoords.assign(2, std::vector<math::float4>(static_cast<size_t>(count)));
    }
    void lock(int mode) override { lockMode = mode; }
    void unlock() override { lockMode = 0; }
    void setShader(gr::Shader* s) override { shader = s; }
    void setPositions(int first, const math::float4* data, int count) override {
        write(positions, first, data, count);
    }
    void setTexCoords(int first, int set, const math::float4* data, int count) override {
        write(texCoords.at(static_cast<size_t>(set)), first, data, count);
    }
    void render() override {
        log_->push_back(lockMode ? "render while locked"
                                 : "render " + std::to_string(first) + "+" +
                                       std::to_string(vertexCount));
    }
    void setFirstVertex(int f) override { first = f; }
    void setVertexCount(int c) override { vertexCount = c; }
    void setColors(int, const math::float4*, int) override {}
    gr::PrimitiveType type() const override { return type_; }
    const gr::VertexFormat& vertexFormat() const override { return format_; }
    int maxVertices() const override { return count_; }

    int lockMode = 0;
    int first = -1;
    int vertexCount = -1;
    gr::Shader* shader = nullptr;
    std::vector<math::float4> positions;
    std::vector<std::vector<math::float4>> texCoords;

private:
    void write(std::vector<math::float4>& to, int first, const math::float4* data, int count) {
        ASSERT_EQ(lockMode, gr::LOCK_WRITE) << "written without a write lock";
        ASSERT_LE(first + count, count_);
        std::copy(data, data + count, to.begin() + first);
    }

    gr::PrimitiveType type_;
    gr::VertexFormat format_;
    int count_;
    CallLog log_;
};

// A recording context of a chosen platform that makes recording shaders and
// primitives, with non-trivial view and projection matrices.
class ShaderRecordingContext : public RecordingContext {
public:
    explicit ShaderRecordingContext(int platform = gr::PLATFORM_GL2, int passes = 1)
        : log(std::make_shared<std::vector<std::string>>()), platform_(platform), passes_(passes) {
        setShaderFolder("shaders");
    }
    lang::Ptr<gr::Shader> loadShader(const std::string& path, int) override {
        loaded.push_back(path);
        shaders.push_back(new RecordingShader(path, passes_, log));
        return shaders.back();
    }
    lang::Ptr<gr::Primitive> createPrimitive(int type, const gr::VertexFormat& format, int count,
                                             int) override {
        log->push_back("createPrimitive");
        primitives.push_back(new RecordingPrimitive(type, format, count, log));
        return primitives.back();
    }
    void flushDrawing() override { log->push_back("flushDrawing"); }
    math::float4x4 projectionMatrix() const override {
        return math::float4x4::scaling(2.f / width(), -2.f / height(), 1) *
               math::float4x4::translation(-1, 1, 0);
    }
    math::float4x4 viewMatrix() const override { return math::float4x4::translation(3, 5, 0); }
    int platform() const override { return platform_; }

    CallLog log;
    std::vector<std::string> loaded;
    std::vector<lang::Ptr<RecordingShader>> shaders;
    std::vector<lang::Ptr<RecordingPrimitive>> primitives;

private:
    int platform_;
    int passes_;
};

}  // namespace worldtest
