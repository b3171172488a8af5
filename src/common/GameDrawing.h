#pragma once

class GameLua;

/// The drawing natives: camera, theme layers, game objects and primitives.
class GameDrawing {
public:
    explicit GameDrawing(GameLua& world);
    ~GameDrawing();

private:
    GameLua& world_;
};
