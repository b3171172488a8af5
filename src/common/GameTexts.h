#pragma once

class GameLua;

/// Interface texts and boxes drawn by the scripts.
class GameTexts {
public:
    explicit GameTexts(GameLua& world);
    ~GameTexts();

private:
    GameLua& world_;
};
