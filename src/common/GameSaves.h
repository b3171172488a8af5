#pragma once

class GameLua;

/// Saved Lua tables in application data: settings, highscores and play data.
class GameSaves {
public:
    explicit GameSaves(GameLua& world);
    ~GameSaves();

private:
    GameLua& world_;
};
