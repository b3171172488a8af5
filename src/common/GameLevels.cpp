#include "common/GameLevels.h"

#include "common/GameLua.h"

GameLevels::GameLevels(GameLua& world) : world_(world) {}

GameLevels::~GameLevels() = default;
