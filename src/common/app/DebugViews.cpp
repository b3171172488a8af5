#include "common/app/DebugViews.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "box2d/box2d.h"
#include "common/draw/GameDrawing.h"
#include "common/world/GameLua.h"
#include "gr/Context.h"
#include "gr/RenderState.h"

namespace {

const float PIXELS_PER_UNIT = 20;

// A 3x5 font: each glyph is five rows of three cells, top row first.
struct Glyph {
    char c;
    const char* rows;
};
const Glyph GLYPHS[] = {
    {'0', "111101101101111"}, {'1', "010110010010111"}, {'2', "111001111100111"},
    {'3', "111001111001111"}, {'4', "101101111001001"}, {'5', "111100111001111"},
    {'6', "111100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"},
    {'9', "111101111001111"}, {'A', "010101111101101"}, {'B', "110101110101110"},
    {'C', "011100100100011"}, {'D', "110101101101110"}, {'E', "111100110100111"},
    {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
    {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"},
    {'L', "100100100100111"}, {'M', "101111111101101"}, {'N', "110101101101101"},
    {'O', "010101101101010"}, {'P', "110101110100100"}, {'Q', "010101101110011"},
    {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
    {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"},
    {'X', "101101010101101"}, {'Y', "101101010010010"}, {'Z', "111001010100111"},
    {'.', "000000000000010"}, {':', "000010000010000"}, {'/', "001001010100100"},
    {'-', "000000111000000"}, {'%', "101001010100101"}, {'(', "010100100100010"},
    {')', "010001001001010"},
};
// The other signs of script error messages, which hot reload shows.
const Glyph SIGNS[] = {
    {'\'', "010010000000000"}, {'"', "101101000000000"}, {'=', "000111000111000"},
    {'_', "000000000000111"},  {',', "000000000010100"}, {'[', "110100100100110"},
    {']', "011001001001011"},  {'<', "001010100010001"}, {'>', "100010001010100"},
    {'+', "000010111010000"},  {'!', "010010010000010"}, {'?', "111001010000010"},
    {'#', "101111101111101"},  {'*', "000101010101000"}, {'{', "011010110010011"},
    {'}', "110010011010110"},
};

const char* glyphRows(char c) {
    for (const Glyph& glyph : GLYPHS) {
        if (glyph.c == c) {
            return glyph.rows;
        }
    }
    for (const Glyph& glyph : SIGNS) {
        if (glyph.c == c) {
            return glyph.rows;
        }
    }
    return nullptr;
}

gr::Color colour(uint32_t rgba) {
    return gr::Color::fromBytes(static_cast<int>(rgba >> 24), static_cast<int>((rgba >> 16) & 255),
                                static_cast<int>((rgba >> 8) & 255), static_cast<int>(rgba & 255));
}

// World units to screen pixels, as the game's own drawing places objects.
struct View {
    float cameraX, cameraY, scale;
    b2Vec2 toScreen(const b2Vec2& p) const {
        return b2Vec2((p.x * PIXELS_PER_UNIT - cameraX) * scale,
                      (p.y * PIXELS_PER_UNIT - cameraY) * scale);
    }
};

void line(gr::Context& context, const View& view, const b2Vec2& a, const b2Vec2& b,
          const gr::Color& c, float width = 1.5f) {
    const b2Vec2 p = view.toScreen(a), q = view.toScreen(b);
    context.drawLine(p.x, p.y, q.x, q.y, width, c);
}

gr::Color bodyColour(const b2Body& body) {
    if (!body.IsAwake() && body.GetType() != b2_staticBody) {
        return gr::Color(0.6f, 0.6f, 0.6f, 0.9f);  // sleeping: greyed
    }
    switch (body.GetType()) {
        case b2_staticBody:
            return gr::Color(0.45f, 0.9f, 0.45f, 0.9f);
        case b2_kinematicBody:
            return gr::Color(0.45f, 0.6f, 1.0f, 0.9f);
        default:
            return gr::Color(1.0f, 0.65f, 0.2f, 0.95f);
    }
}

void drawShape(gr::Context& context, const View& view, const b2Body& body, const b2Shape& shape,
               const gr::Color& c) {
    const b2Transform& xf = body.GetTransform();
    if (shape.GetType() == b2Shape::e_circle) {
        const auto& circle = static_cast<const b2CircleShape&>(shape);
        const b2Vec2 centre = b2Mul(xf, circle.m_p);
        const int segments = 20;
        b2Vec2 previous = centre + b2Vec2(circle.m_radius, 0);
        for (int i = 1; i <= segments; ++i) {
            const float a = 2 * b2_pi * static_cast<float>(i) / segments;
            const b2Vec2 next = centre + circle.m_radius * b2Vec2(std::cos(a), std::sin(a));
            line(context, view, previous, next, c);
            previous = next;
        }
        // A spoke shows the rotation.
        line(context, view, centre, centre + circle.m_radius * xf.q.GetXAxis(), c);
    } else if (shape.GetType() == b2Shape::e_polygon) {
        const auto& polygon = static_cast<const b2PolygonShape&>(shape);
        for (int i = 0; i < polygon.m_count; ++i) {
            line(context, view, b2Mul(xf, polygon.m_vertices[i]),
                 b2Mul(xf, polygon.m_vertices[(i + 1) % polygon.m_count]), c);
        }
    } else if (shape.GetType() == b2Shape::e_edge) {
        const auto& edge = static_cast<const b2EdgeShape&>(shape);
        line(context, view, b2Mul(xf, edge.m_vertex1), b2Mul(xf, edge.m_vertex2), c);
    }
}

std::string millis(float value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
    return text;
}

}  // namespace

bool DebugViews::keyDown(int code) {
    switch (code) {
        case KEY_OVERLAY:
            overlay_ = !overlay_;
            return true;
        case KEY_PHYSICS:
            physics_ = !physics_;
            return true;
        case KEY_PAUSE:
            paused_ = !paused_;
            stepPending_ = false;
            return true;
        case KEY_STEP:
            paused_ = true;
            stepPending_ = true;
            return true;
        case KEY_SLOW:
            slowdown_ = slowdown_ >= 4 ? 1 : slowdown_ * 2;
            return true;
        default:
            return false;
    }
}

float DebugViews::worldTime(float dt, float physicsStep) {
    if (paused_) {
        // The world keeps no remainder below a step, so one step's time is one step.
        const float step = stepPending_ ? physicsStep : 0;
        stepPending_ = false;
        return step;
    }
    return dt / static_cast<float>(slowdown_);
}

void DebugViews::record(const DebugCounters& stats) {
    last_ = stats;
    if (frameMillis_.size() < GRAPH_FRAMES) {
        frameMillis_.push_back(stats.frameMillis);
    } else {
        frameMillis_[next_] = stats.frameMillis;
    }
    next_ = (next_ + 1) % GRAPH_FRAMES;
}

void DebugViews::drawText(gr::Context& context, const std::string& text, float x, float y,
                          float pixel, uint32_t rgba) {
    const gr::Color c = colour(rgba);
    for (char ch : text) {
        const char* rows =
            glyphRows(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
        for (int cell = 0; rows && cell < 15; ++cell) {
            if (rows[cell] == '1') {
                const float cx = x + static_cast<float>(cell % 3) * pixel;
                const float cy = y + static_cast<float>(cell / 3) * pixel;
                context.fillRect(cx, cy, cx + pixel, cy + pixel, c);
            }
        }
        x += 4 * pixel;
    }
}

void DebugViews::draw(gr::Context& context, GameLua& world) const {
    gr::RenderState& state = context.renderState();
    resetTransform(state);
    if (physics_) {
        drawPhysics(context, world);
    }
    if (overlay_) {
        drawOverlay(context);
    }
    if (paused_ || slowdown_ > 1) {
        const std::string mode =
            paused_ ? "PAUSED (F3 GO ON, F4 STEP)" : "SLOW MOTION 1/" + std::to_string(slowdown_);
        const float width = static_cast<float>(mode.size()) * 8;
        const float x = (static_cast<float>(context.width()) - width) / 2;
        const float y = static_cast<float>(context.height()) - 26;
        context.fillRect(x - 6, y - 2, x + width + 4, y + 16, colour(0x000000a0));
        drawText(context, mode, x, y, 2, 0xffe066ff);
    }
}

void DebugViews::drawOverlay(gr::Context& context) const {
    const DebugCounters& s = last_;
    const std::string lines[] = {
        "FRAME " + millis(s.frameMillis) + " MS",
        "PHYSICS " + millis(s.physicsMillis) + " MS  SCRIPT " + millis(s.scriptMillis) + " MS",
        "DRAW CALLS " + std::to_string(s.drawCalls),
        "BODIES " + std::to_string(s.bodies) + "  CONTACTS " + std::to_string(s.contacts) +
            "  JOINTS " + std::to_string(s.joints),
        "PARTICLES " + std::to_string(s.particles) + "  VOICES " + std::to_string(s.voices),
    };
    const float x = 8, top = 8, lineHeight = 14;
    const float graphTop = top + lineHeight * 5 + 6, graphHeight = 40;
    context.fillRect(x - 4, top - 4, x + 4 + 2 * GRAPH_FRAMES, graphTop + graphHeight + 4,
                     colour(0x000000a8));
    float y = top;
    for (const std::string& text : lines) {
        drawText(context, text, x, y, 2, 0xffffffff);
        y += lineHeight;
    }
    // Frame times, newest on the right; 50 ms fills the graph, the line is 60 Hz.
    const float bottom = graphTop + graphHeight;
    const size_t count = frameMillis_.size();
    for (size_t i = 0; i < count; ++i) {
        const size_t index = (next_ + GRAPH_FRAMES - count + i) % GRAPH_FRAMES;
        const float ms = frameMillis_[index % count];
        const float h = std::min(ms / 50.0f, 1.0f) * graphHeight;
        const float bx = x + 2 * static_cast<float>(GRAPH_FRAMES - count + i);
        context.fillRect(bx, bottom - h, bx + 1.5f, bottom,
                         colour(ms > 1000.0f / 30 ? 0xff5040ff : 0x60e060ff));
    }
    const float sixty = bottom - (1000.0f / 60 / 50) * graphHeight;
    context.fillRect(x, sixty, x + 2 * GRAPH_FRAMES, sixty + 1, colour(0xffffff80));
}

void DebugViews::drawPhysics(gr::Context& context, GameLua& world) const {
    const View view{world.drawing().cameraX(), world.drawing().cameraY(), world.getWorldScale()};
    b2World& physics = world.physicsWorld();
    const gr::Color aabbColour(1.0f, 1.0f, 0.3f, 0.35f);
    for (const b2Body* body = physics.GetBodyList(); body; body = body->GetNext()) {
        const gr::Color c = bodyColour(*body);
        for (const b2Fixture* fixture = body->GetFixtureList(); fixture;
             fixture = fixture->GetNext()) {
            drawShape(context, view, *body, *fixture->GetShape(), c);
            for (int child = 0; child < fixture->GetShape()->GetChildCount(); ++child) {
                const b2AABB& box = fixture->GetAABB(child);
                const b2Vec2 corners[] = {
                    box.lowerBound, b2Vec2(box.upperBound.x, box.lowerBound.y), box.upperBound,
                    b2Vec2(box.lowerBound.x, box.upperBound.y)};
                for (int i = 0; i < 4; ++i) {
                    line(context, view, corners[i], corners[(i + 1) % 4], aabbColour, 1);
                }
            }
        }
    }
    const gr::Color jointColour(0.3f, 0.9f, 1.0f, 0.9f);
    for (b2Joint* joint = physics.GetJointList(); joint; joint = joint->GetNext()) {
        const b2Vec2 a = joint->GetAnchorA(), b = joint->GetAnchorB();
        line(context, view, joint->GetBodyA()->GetPosition(), a, jointColour);
        line(context, view, a, b, jointColour, 2);
        line(context, view, b, joint->GetBodyB()->GetPosition(), jointColour);
    }
    const gr::Color contactColour(1.0f, 0.2f, 0.2f, 1.0f);
    for (const b2Contact* contact = physics.GetContactList(); contact;
         contact = contact->GetNext()) {
        if (!contact->IsTouching()) {
            continue;
        }
        b2WorldManifold manifold;
        contact->GetWorldManifold(&manifold);
        for (int i = 0; i < contact->GetManifold()->pointCount; ++i) {
            const b2Vec2 p = view.toScreen(manifold.points[i]);
            context.fillRect(p.x - 2, p.y - 2, p.x + 2, p.y + 2, contactColour);
            line(context, view, manifold.points[i], manifold.points[i] + 0.6f * manifold.normal,
                 contactColour);
        }
    }
}
