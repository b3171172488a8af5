#pragma once

class GameLua;

/// Loading, saving and removing levels, and the start-up step that reads the block catalogue.
class GameLevels {
public:
    explicit GameLevels(GameLua& world);
    ~GameLevels();

private:
    GameLua& world_;
};
