#pragma once

#include <memory>
#include <string>

#include "common/level/Theme.h"

class GameLua;

/// The current theme, its natives and the drifting of its sprites.
class GameThemes {
public:
    explicit GameThemes(GameLua& world);
    ~GameThemes();

    /// The current theme, or null before the first setTheme.
    const Theme* current() const { return theme_.get(); }
    Theme* current() { return theme_.get(); }

    /// Moves the drifting sprites of the background layers by dt seconds and
    /// wraps those that left the view to its other side.
    void scroll(float dt);

private:
    // Natives.
    void setTheme(std::string name);
    void setThemeTintColour(float r, float g, float b);
    void setThemeRectColour(float layer, float r, float g, float b, float a);
    void setThemeLayerTintColour(float layer, float r, float g, float b, float a);
    void setThemeForegroundOffsetY(float layer, float y);
    void createThemeSprite(std::string id, std::string sprite, float x, float y, float speed,
                           float scaleX, float scaleY, float angle, float layer);
    void modifyThemeSprite(std::string id, float x, float y, float scaleX, float scaleY,
                           float angle, float layer);
    void removeThemeSprite(std::string id, float layer);

    Theme& requireTheme(const char* native);
    /// Background layer number layer.
    ThemeLayer& backgroundLayer(const char* native, float layer);
    ThemeLayer& foregroundLayer(const char* native, float layer);
    /// One index over both lists, background layers first.
    ThemeLayer& anyLayer(const char* native, float layer);
    [[noreturn]] void badLayer(const char* native, float layer) const;
    void driftLayer(ThemeLayer& layer, float dt, float screenWidth);

    GameLua& world_;
    std::unique_ptr<Theme> theme_;
};
