#pragma once

#include <string>
#include <vector>

#include "support/NullContext.h"

namespace fake {

/// A context that draws nothing and remembers what it was asked.
class FakeContext : public qftest::NullContext {
public:
    FakeContext(int width = 640, int height = 480, int platform = gr::PLATFORM_GL2)
        : NullContext(width, height), platform_(platform) {}

    int platform() const override { return platform_; }
    int orientation() const override { return orientation_; }
    bool isReady() const override { return ready; }
    void setOrientation(int orientation) override { orientation_ = orientation; }
    void resize(int width, int height) override {
        NullContext::resize(width, height);
        calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void captureScreen(const std::string& name) override { calls.push_back("capture " + name); }
    /// The fake plug-in reports the window handle it was given here.
    int64_t textureMemory() const override { return memory; }

    bool ready = true;
    int64_t memory = 0;
    std::vector<std::string> calls;

private:
    int platform_;
    int orientation_ = 0;
};

}  // namespace fake
