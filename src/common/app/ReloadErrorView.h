#pragma once

#include <string>
#include <vector>

namespace gr {
class Context;
}

/// The error of a failed reload over the running game, in the debug views'
/// own font, until a reload succeeds.
class ReloadErrorView {
public:
    void show(const std::string& text) { text_ = text; }
    void clear() { text_.clear(); }
    bool shown() const { return !text_.empty(); }
    const std::string& text() const { return text_; }

    void draw(gr::Context& context) const;

    /// text broken into lines of at most columns characters: at its own line
    /// ends, else at the last space that fits, else mid-word; tabs become
    /// spaces. At most maxLines lines; when more would follow, the last ends
    /// in "...".
    static std::vector<std::string> wrap(const std::string& text, size_t columns, size_t maxLines);

private:
    std::string text_;
};
