#pragma once

#include <string>
#include <vector>

class GameLua;
namespace game {
class IFont;
class Resources;
}  // namespace game
namespace gr {
class Context;
}
namespace lua {
class LuaState;
class LuaTable;
}  // namespace lua

/// A text broken into lines that each measure less than a width.
struct WrappedText {
    std::vector<std::string> lines;
    int widestLine = 0;
};

/// Breaks text at line feeds, and at spaces, hyphens (kept on the first line)
/// and zero-width spaces where a line would not fit; a word wider than the
/// width is cut, at least one character per line. A width of 0 or less gives
/// one empty line.
WrappedText wrapText(game::IFont& font, const std::string& text, float width);

/// Interface texts and boxes drawn by the scripts: text tables, wrapped text
/// in the global `clippedText`, and nine-part boxes.
class GameTexts {
public:
    /// Registers the natives and creates `clippedText`.
    explicit GameTexts(GameLua& world);
    ~GameTexts();

private:
    // Where and how one text is drawn.
    struct Placement {
        float kx, ky, angle;
        float x, y;
        std::string group, key;
        int vertical, horizontal;
    };

    int drawUITextNative(lua::LuaState* state);
    void clipText(std::string group, std::string key, float width);
    int drawBoxNative(lua::LuaState* state);

    void drawTextTable(const lua::LuaTable& t, float x, float y, float sx, float sy, float angle,
                       float s);
    void drawLines(const lua::LuaTable& t, float x, float y, float kx, float ky, float angle,
                   float s);
    bool lineOnScreen(int vertical, float top, float ky);
    void drawText(const lua::LuaTable& style, const Placement& place);
    void drawBox(const lua::LuaTable& box, float x, float y, float w, float h,
                 const std::string& hAnchor, const std::string& vAnchor,
                 const lua::LuaTable* colour);
    void drawBoxEdges(const lua::LuaTable& box, float x, float y, float w, float h, float top);
    void drawBoxInside(const lua::LuaTable& box, float x, float y, float w, float h,
                       const lua::LuaTable* colour);

    game::Resources* resources() const;
    gr::Context* context() const;

    GameLua& world_;
};
