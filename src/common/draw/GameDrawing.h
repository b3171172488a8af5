#pragma once

#include <cstdint>
#include <string>

#include "lang/Ptr.h"

class DrawUtils;
class GameLua;
class GameObject;
struct Theme;
struct ThemeLayer;
namespace gr {
class Context;
struct RenderState;
}  // namespace gr
namespace lua {
class LuaState;
}

/// The drawing natives: camera, theme layers, game objects and primitives.
class GameDrawing {
public:
    explicit GameDrawing(GameLua& world);
    ~GameDrawing();

    /// 0xRRGGBB, the colour the application clears the screen with.
    uint32_t clearColor() const { return clearColor_; }
    /// Coloured sprite drawing, made at first use; null without a renderer.
    DrawUtils* drawUtils();
    /// The camera's top left in world pixels, as the scripts last set it.
    float cameraX() const { return cameraX_; }
    float cameraY() const { return cameraY_; }

private:
    void registerNatives();
    gr::Context* context() const;
    Theme* theme() const;

    // Camera and primitives (GameDrawing.cpp).
    void setCameraViewport(float x, float y, float ignored1, float ignored2);
    int getCameraTopLeft(lua::LuaState* state);
    void setBGColor(float r, float g, float b);
    void setAlpha(float alpha);
    int setRenderState(lua::LuaState* state);
    void drawRect(float r, float g, float b, float a, float x1, float y1, float x2, float y2,
                  bool keepState);
    void drawLine2D(float x1, float y1, float x2, float y2, float width, float r, float g, float b,
                    float a);
    void drawRectLines(float x1, float y1, float x2, float y2, float width, float r, float g,
                       float b, float a);
    void drawTexturedRect(std::string texture, float x, float y, float w, float h, bool flag);

    // Game objects (GameDrawingObjects.cpp).
    void drawGameNative();
    void drawKey(int key, bool& trailsDrawn);
    void drawObject(GameObject& object, bool& trailsDrawn);
    void drawTrails();
    void drawObjectSprite(const GameObject& object, float x, float y);

    // Theme layers (GameDrawingTheme.cpp).
    void drawBackgroundNative();
    void drawBackgroundLayers();
    void drawForegroundNative();
    void drawLayer(float index);
    void drawBackgroundLayer(ThemeLayer& layer);
    void drawForegroundLayer(ThemeLayer& layer);
    void drawFullLayer(const ThemeLayer& layer, float y, float groundLine);
    void drawThemeSprites(const ThemeLayer& layer, float parallax);
    void fillGround(const float colour[3], float alpha, float groundLine);
    float groundLine(const Theme& theme) const;

    // The slingshot (GameDrawingSling.cpp).
    void drawSlingScopeNative(float vx, float vy, float lift);
    void drawRubberband(float x1, float y1, float x2, float y2, float width, std::string sprite);

    GameLua& world_;
    float cameraX_ = 0;
    float cameraY_ = 0;
    uint32_t clearColor_ = 0;
    lang::Ptr<DrawUtils> drawUtils_;
};

/// Resets the render state's transform and alpha, keeping its clip rectangle.
void resetTransform(gr::RenderState& state);
