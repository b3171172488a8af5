#include "common/ui/GameTexts.h"

#include <algorithm>
#include <cmath>

#include "common/draw/DrawUtils.h"
#include "common/draw/GameDrawing.h"
#include "common/world/GameLua.h"
#include "game/Anchor.h"
#include "game/BitmapFont.h"
#include "game/IFont.h"
#include "game/Resources.h"
#include "gr/Context.h"
#include "lang/Exception.h"
#include "lang/Format.h"
#include "lang/String.h"
#include "lua/LuaState.h"
#include "lua/LuaTable.h"
#include "lua/ScriptValues.h"
#include "lua/StackGuard.h"

namespace {

const char32_t LINE_FEED = 10;
const char32_t SPACE = 32;
const char32_t HYPHEN = 45;
const char32_t ZERO_WIDTH_SPACE = 0x200B;

bool isBreak(char32_t c) {
    return c == LINE_FEED || c == SPACE || c == HYPHEN || c == ZERO_WIDTH_SPACE;
}

// Greedy line breaking over code points.
class Wrapper {
public:
    Wrapper(game::IFont& font, const std::string& text, float width)
        : font_(font), text_(lang::toUTF32(text)), width_(width) {}

    WrappedText run();

private:
    int measure(size_t from, size_t to) const {
        return font_.getStringWidth(lang::toUTF8(text_.substr(from, to - from)), 0,
                                    game::IFont::WHOLE_TEXT);
    }
    bool fits(size_t from, size_t to) const { return measure(from, to) < width_; }
    // The end of the word at cur: the next break, or one past a hyphen.
    size_t wordEnd(size_t cur) const;
    size_t skipSpaces(size_t pos) const;
    // The line from lineStart; pos ends where the next line's scan starts.
    size_t buildLine(size_t lineStart, size_t& pos) const;

    game::IFont& font_;
    std::u32string text_;
    float width_;
};

size_t Wrapper::wordEnd(size_t cur) const {
    for (size_t i = cur; i < text_.size(); ++i) {
        if (isBreak(text_[i])) {
            return text_[i] == HYPHEN ? i + 1 : i;
        }
    }
    return text_.size();
}

size_t Wrapper::skipSpaces(size_t pos) const {
    while (pos < text_.size() && (text_[pos] == SPACE || text_[pos] == ZERO_WIDTH_SPACE)) {
        ++pos;
    }
    return pos;
}

size_t Wrapper::buildLine(size_t lineStart, size_t& pos) const {
    const size_t n = text_.size();
    size_t lineEnd = n;
    bool anyWord = false;
    for (;;) {
        size_t end = wordEnd(pos);
        if (!fits(lineStart, end)) {
            if (anyWord) {
                return lineEnd;
            }
            // A word wider than the line is cut; every line takes at least
            // one character, or the text would never be used up.
            size_t cut = lineStart + 1;
            while (cut < end && fits(lineStart, cut + 1)) {
                ++cut;
            }
            pos = cut;
            return cut;
        }
        anyWord = true;
        lineEnd = pos = end;
        if (lineEnd == n || text_[lineEnd] == LINE_FEED) {
            return lineEnd;
        }
        pos = skipSpaces(pos);
        if (pos == n) {
            return lineEnd;
        }
    }
}

WrappedText Wrapper::run() {
    WrappedText out;
    if (!(width_ > 0)) {
        out.lines.emplace_back();
        return out;
    }
    size_t pos = 0;
    while (pos < text_.size()) {
        size_t lineStart = pos;
        size_t lineEnd = buildLine(lineStart, pos);
        out.widestLine = std::max(out.widestLine, measure(lineStart, lineEnd));
        out.lines.push_back(lang::toUTF8(text_.substr(lineStart, lineEnd - lineStart)));
        if (pos < text_.size() && text_[pos] == LINE_FEED) {
            ++pos;  // the line feed belongs to no line
        }
    }
    return out;
}

// Only a Lua string names a box part.
bool holdsString(const lua::LuaTable& table, const char* key) {
    lua_State* L = table.getState()->getLua();
    lua::StackGuard guard(L);
    table.pushField(key);
    return lua_type(L, -1) == LUA_TSTRING;
}

DrawUtils::ShaderKind shaderFor(const lua::LuaTable& t) {
    if (t.isString("colorMode") && t.getString("colorMode") == "fill") {
        return DrawUtils::FILL;
    }
    if (lua::isTrue(t, "invertedColors")) {
        return DrawUtils::MODULATE_INVERTED;
    }
    return DrawUtils::ALPHA;
}

// The renderer alpha and the font's glyph drawer of one text, put back however
// the drawing ends.
class TextStyle {
public:
    explicit TextStyle(gr::RenderState& state) : state_(state) {}
    ~TextStyle() {
        if (alphaSet_) {
            state_.alpha = 1;
        }
        if (font_) {
            font_->setGlyphDrawer(game::BitmapFont::GlyphDrawer());
        }
    }
    TextStyle(const TextStyle&) = delete;
    TextStyle& operator=(const TextStyle&) = delete;

    void setAlpha(float alpha) {
        state_.alpha = alpha;
        alphaSet_ = true;
    }
    void tint(game::BitmapFont& font, DrawUtils& utils, const math::float4& colour,
              DrawUtils::ShaderKind kind) {
        font_ = &font;
        DrawUtils* drawer = &utils;
        font.setGlyphDrawer(
            [drawer, colour, kind](gr::Context*, game::Sprite* glyph, float x, float y) {
                drawer->drawSprite(*glyph, x, y, 1, colour, kind);
            });
    }

private:
    gr::RenderState& state_;
    bool alphaSet_ = false;
    game::BitmapFont* font_ = nullptr;
};

int spriteHeight(game::Resources& resources, const lua::LuaTable& box, const char* key) {
    int width = 0, height = 0;
    if (holdsString(box, key)) {
        resources.getSpriteBounds(box.getString(key), width, height);
    }
    return height;
}

int spriteWidth(game::Resources& resources, const lua::LuaTable& box, const char* key) {
    int width = 0, height = 0;
    if (holdsString(box, key)) {
        resources.getSpriteBounds(box.getString(key), width, height);
    }
    return width;
}

}  // namespace

WrappedText wrapText(game::IFont& font, const std::string& text, float width) {
    return Wrapper(font, text, width).run();
}

GameTexts::GameTexts(GameLua& world) : world_(world) {
    if (!world_.isTable("clippedText")) {
        lua::LuaTable clipped(*world_.getState());
        world_.set("clippedText", &clipped);
    }
    world_.bindMethod("clipText", this, &GameTexts::clipText);
    world_.addMethod("drawBoxNative", this, &GameTexts::drawBoxNative,
                     "(t, n, n, n, n, s, s, [t])");
    world_.addMethod("drawUITextNative", this, &GameTexts::drawUITextNative,
                     "(t, n, n, [n, n], [n], [n])");
}

GameTexts::~GameTexts() = default;

game::Resources* GameTexts::resources() const {
    return world_.services().resources;
}

gr::Context* GameTexts::context() const {
    return world_.services().context.get();
}

void GameTexts::clipText(std::string group, std::string key, float width) {
    WrappedText wrapped;
    if (width > 0) {
        game::Resources* res = resources();
        game::IFont* font = res ? res->getCurrentFont() : nullptr;
        if (!font) {
            throw lang::Exception(lang::Format("No font is set while trying to get string width"));
        }
        wrapped = wrapText(*font, res->getString(group, key), width);
    } else {
        wrapped.lines.emplace_back();
    }
    lua::LuaState& state = *world_.getState();
    lua::LuaTable lines(state);
    for (size_t i = 0; i < wrapped.lines.size(); ++i) {
        lines.set(static_cast<int>(i + 1), wrapped.lines[i]);
    }
    if (!world_.isTable("clippedText")) {
        lua::LuaTable clipped(state);
        world_.set("clippedText", &clipped);
    }
    lua::LuaTable clipped = world_.getTable("clippedText");
    clipped.set("widestLine", static_cast<float>(wrapped.widestLine));
    clipped.set("lines", &lines);
}

int GameTexts::drawUITextNative(lua::LuaState* state) {
    lua::LuaTable t = state->toTable(1);
    float x = state->toNumber(2);
    float y = state->toNumber(3);
    int top = state->getTop();
    float sx = top >= 5 ? state->toNumber(4) : 1;
    float sy = top >= 5 ? state->toNumber(5) : 1;
    float angle = top >= 6 ? state->toNumber(6) : 0;
    float s = top >= 7 ? state->toNumber(7) : 1;
    if (t.getBoolean("visible") && resources() && context()) {
        drawTextTable(t, x, y, sx, sy, angle, s);
    }
    return 0;
}

void GameTexts::drawTextTable(const lua::LuaTable& t, float x, float y, float sx, float sy,
                              float angle, float s) {
    float kx = t.getNumber("scaleX") * s * sx;
    float ky = t.getNumber("scaleY") * s * sy;
    if (lua::isTrue(t, "clipped")) {
        drawLines(t, x, y, kx, ky, angle, s);
        return;
    }
    Placement place{kx,
                    ky,
                    angle,
                    t.getNumber("x") * s + x,
                    t.getNumber("y") * s + y,
                    t.getString("group"),
                    t.getString("text"),
                    game::ANCHOR_TOP,
                    game::ANCHOR_LEFT};
    game::applyAnchor(t.getString("hanchor"), place.vertical, place.horizontal);
    game::applyAnchor(t.getString("vanchor"), place.vertical, place.horizontal);
    drawText(t, place);
}

void GameTexts::drawLines(const lua::LuaTable& t, float x, float y, float kx, float ky, float angle,
                          float s) {
    lua::LuaTable lines = t.getTable("lines");
    float ox = t.getNumber("x");
    float oy = t.getNumber("y");
    std::string group = t.getString("group");
    for (int i = 1; !lines.isNil(i); ++i) {
        lua::LuaTable e = lines.getTable(i);
        Placement place{kx * e.getNumber("scaleX"),
                        ky * e.getNumber("scaleY"),
                        angle,
                        (e.getNumber("x") + ox) * s + x,
                        (e.getNumber("y") + oy) * s + y,
                        group,
                        e.getString("text"),
                        game::ANCHOR_TOP,
                        game::ANCHOR_LEFT};
        game::applyAnchor(e.getString("hanchor"), place.vertical, place.horizontal);
        game::applyAnchor(e.getString("vanchor"), place.vertical, place.horizontal);
        // Culled with the font current now; drawText switches to the line's
        // own font only for a line that is drawn.
        if (lineOnScreen(place.vertical, place.y, ky)) {
            drawText(e, place);
        }
    }
}

bool GameTexts::lineOnScreen(int vertical, float top, float ky) {
    // Before any font is current there is nothing to measure with; the line is
    // drawn, which makes its own font current for the lines after it.
    if (!resources()->getCurrentFont()) {
        return true;
    }
    float ascent = static_cast<float>(resources()->getFontMaxAscending());
    float descent = static_cast<float>(resources()->getFontMaxDescending());
    if (vertical == game::ANCHOR_BOTTOM) {
        top -= (ascent + descent) * ky;
    } else if (vertical == game::ANCHOR_VCENTER) {
        top -= ascent * ky;
    }
    float bottom = top + (ascent + descent) * ky;
    return top < static_cast<float>(context()->height()) && bottom >= 0;
}

void GameTexts::drawText(const lua::LuaTable& t, const Placement& place) {
    game::Resources& res = *resources();
    res.useFont(t.isString("font") ? t.getString("font") : "FONT_BASIC");
    lua::LuaTable colour = t.isNil("color") ? lua::LuaTable() : t.getTable("color");
    if (place.kx == 0 || place.ky == 0) {
        return;  // nothing would show, and positions are divided by the scales
    }
    gr::RenderState& rs = context()->renderState();
    TextStyle style(rs);
    DrawUtils* utils = world_.drawing().drawUtils();
    auto* bitmap = dynamic_cast<game::BitmapFont*>(res.getCurrentFont());
    if (!colour.isEmpty() && utils && utils->isSupported() && bitmap) {
        math::float4 c(colour.getNumber(1), colour.getNumber(2), colour.getNumber(3),
                       colour.getNumber(4));
        style.tint(*bitmap, *utils, c, shaderFor(t));
    }
    float px = place.x / place.kx;
    float py = place.y / place.ky;
    if (t.getBoolean("floorCoordinates")) {
        px = std::floor(px);
        py = std::floor(py);
    }
    if (t.isNumber("alpha") && t.getNumber("alpha") < 1) {
        style.setAlpha(t.getNumber("alpha"));
    }
    rs.scaleX = place.kx;
    rs.scaleY = place.ky;
    rs.setAngle(place.angle);
    bool pivot = t.isNumber("rotationPivotX") && t.isNumber("rotationPivotY");
    rs.pivotX = pivot ? t.getNumber("rotationPivotX") : 0;
    rs.pivotY = pivot ? t.getNumber("rotationPivotY") : 0;
    res.drawString(place.group, place.key, px, py, place.vertical, place.horizontal);
}

int GameTexts::drawBoxNative(lua::LuaState* state) {
    lua::LuaTable box = state->toTable(1);
    float x = state->toNumber(2);
    float y = state->toNumber(3);
    float w = state->toNumber(4);
    float h = state->toNumber(5);
    std::string hAnchor = state->toString(6);
    std::string vAnchor = state->toString(7);
    lua::LuaTable colour = state->isTable(8) ? state->toTable(8) : lua::LuaTable();
    if (resources() && context()) {
        drawBox(box, x, y, w, h, hAnchor, vAnchor, colour.isEmpty() ? nullptr : &colour);
    }
    return 0;
}

void GameTexts::drawBox(const lua::LuaTable& box, float x, float y, float w, float h,
                        const std::string& hAnchor, const std::string& vAnchor,
                        const lua::LuaTable* colour) {
    gr::RenderState& rs = context()->renderState();
    rs.translateX = rs.translateY = 0;
    rs.scaleX = rs.scaleY = 1;
    rs.setAngle(0);
    game::Resources& res = *resources();
    float topH = static_cast<float>(spriteHeight(res, box, "topMiddle"));
    float bottomH = static_cast<float>(spriteHeight(res, box, "bottomMiddle"));
    float dx = hAnchor == "HCENTER" ? -w / 2 : hAnchor == "RIGHT" ? -w : 0;
    float dy = vAnchor == "VCENTER" ? -h / 2 : vAnchor == "BOTTOM" ? -h : 0;
    float top = std::floor(y - topH + dy);
    if (top > static_cast<float>(context()->height()) || std::floor(y + h + dy + bottomH) < 0) {
        return;
    }
    drawBoxEdges(box, x + dx, y + dy, w, h, top);
    drawBoxInside(box, x + dx, y + dy, w, h, colour);
}

// (x, y) is the inner rectangle's top-left corner, anchors applied.
void GameTexts::drawBoxEdges(const lua::LuaTable& box, float x, float y, float w, float h,
                             float top) {
    game::Resources& res = *resources();
    float topH = static_cast<float>(spriteHeight(res, box, "topMiddle"));
    float bottomH = static_cast<float>(spriteHeight(res, box, "bottomMiddle"));
    float leftW = static_cast<float>(spriteWidth(res, box, "left"));
    float rightW = static_cast<float>(spriteWidth(res, box, "right"));
    struct Edge {
        const char* key;
        float x, y, width, height;
    };
    const Edge edges[] = {
        {"topMiddle", x, top, std::floor(w), std::floor(topH)},
        {"bottomMiddle", x, y + h, std::floor(w), std::floor(bottomH)},
        {"left", x - leftW, y, std::floor(leftW), std::floor(h)},
        {"right", x + w, y, std::floor(rightW), std::floor(h)},
    };
    for (const Edge& e : edges) {
        if (holdsString(box, e.key)) {
            res.drawSprite(box.getString(e.key), std::floor(e.x), std::floor(e.y), game::ANCHOR_TOP,
                           game::ANCHOR_LEFT, e.width, e.height);
        }
    }
    struct Corner {
        const char* key;
        float x, y;
        int vertical, horizontal;
    };
    const Corner corners[] = {
        {"topLeft", x, y, game::ANCHOR_BOTTOM, game::ANCHOR_RIGHT},
        {"topRight", x + w, y, game::ANCHOR_BOTTOM, game::ANCHOR_LEFT},
        {"bottomLeft", x, y + h, game::ANCHOR_TOP, game::ANCHOR_RIGHT},
        {"bottomRight", x + w, y + h, game::ANCHOR_TOP, game::ANCHOR_LEFT},
    };
    for (const Corner& c : corners) {
        if (holdsString(box, c.key)) {
            res.drawSprite(box.getString(c.key), std::floor(c.x), std::floor(c.y), c.vertical,
                           c.horizontal);
        }
    }
}

void GameTexts::drawBoxInside(const lua::LuaTable& box, float x, float y, float w, float h,
                              const lua::LuaTable* colour) {
    if (colour) {
        gr::Color c;  // white, opaque
        const struct {
            const char* key;
            float* component;
        } parts[] = {{"red", &c.r}, {"green", &c.g}, {"blue", &c.b}, {"alpha", &c.a}};
        for (const auto& part : parts) {
            if (colour->isNumber(part.key)) {
                *part.component = colour->getNumber(part.key);
            }
        }
        // The renderer's far corner is exclusive: fill the whole inside.
        context()->fillRect(std::floor(x), std::floor(y), std::floor(x + w), std::floor(y + h), c);
    } else if (holdsString(box, "center")) {
        resources()->drawSprite(box.getString("center"), std::floor(x), std::floor(y),
                                game::ANCHOR_TOP, game::ANCHOR_LEFT, w, h);
    }
}
