#include "gr/ShaderSource.h"

#include <cstring>

#include "gr/GraphicsException.h"

namespace gr {
namespace {

struct Parser {
    explicit Parser(const std::string& n) : name(n) {}

    const std::string& name;
    std::vector<ShaderPass> passes;
    std::string* section = nullptr;  // where text lines go; null before the first stage
    int line = 0;

    [[noreturn]] void fail(const std::string& what) const {
        throw GraphicsException(lang::Format("Shader {0}, line {1}: {2}", name, line, what));
    }

    ShaderPass& current() {
        if (passes.empty()) {
            passes.emplace_back();
        }
        return passes.back();
    }

    void startStage(std::string& stage, const char* label) {
        if (!stage.empty()) {
            fail(std::string("second ") + label + " stage in one pass");
        }
        section = &stage;
    }

    void directive(const std::string& text) {
        const size_t space = text.find_first_of(" \t");
        const std::string word = text.substr(0, space);
        std::string arg = space == std::string::npos ? "" : text.substr(space + 1);
        arg.erase(0, arg.find_first_not_of(" \t"));
        arg.erase(arg.find_last_not_of(" \t\r") + 1);
        if (word == "@vertex") {
            startStage(current().vertex, "vertex");
        } else if (word == "@fragment") {
            startStage(current().fragment, "fragment");
        } else if (word == "@blend") {
            current().blend = blendMode(arg);
        } else if (word == "@pass") {
            endPass();
            if (passes.size() >= MAX_SHADER_PASSES) {
                fail("too many passes");
            }
            passes.emplace_back();
            section = nullptr;
        } else {
            fail("unknown directive " + word);
        }
    }

    BlendMode blendMode(const std::string& mode) const {
        static const char* const names[] = {"premultiplied", "alpha", "additive", "multiply",
                                            "none"};
        for (int i = 0; i < 5; ++i) {
            if (mode == names[i]) {
                return static_cast<BlendMode>(i);
            }
        }
        fail("unknown blend mode \"" + mode + "\"");
    }

    // Checks the pass just finished.
    void endPass() {
        if (passes.empty()) {
            return;
        }
        ShaderPass& pass = passes.back();
        if (pass.vertex.empty()) {
            if (passes.size() < 2) {
                fail("the first pass has no vertex stage");
            }
            pass.vertex = passes[passes.size() - 2].vertex;
        }
        if (pass.fragment.empty()) {
            fail("a pass has no fragment stage");
        }
    }
};

}  // namespace

std::vector<ShaderPass> parseShaderSource(const char* data, size_t size, const std::string& name) {
    Parser parser(name);
    if (size > MAX_SHADER_FILE) {
        parser.fail("the file is larger than " + std::to_string(MAX_SHADER_FILE) + " bytes");
    }
    if (size > 0 && std::memchr(data, 0, size)) {
        parser.fail("the file holds a NUL byte");
    }
    size_t pos = 0;
    while (pos < size) {
        const char* end = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
        const size_t next = end ? static_cast<size_t>(end - data) + 1 : size;
        const std::string text(data + pos, next - pos);
        ++parser.line;
        if (text[0] == '@') {
            parser.directive(text.substr(0, text.find_last_not_of("\r\n") + 1));
        } else if (parser.section) {
            *parser.section += text;
        }
        pos = next;
    }
    ++parser.line;
    if (parser.passes.empty()) {
        parser.fail("no shader stages");
    }
    parser.endPass();
    return parser.passes;
}

}  // namespace gr
