#pragma once

class GameLua;

/// The current theme, its natives and the drifting of its sprites.
class GameThemes {
public:
    explicit GameThemes(GameLua& world);
    ~GameThemes();

private:
    GameLua& world_;
};
