#include "common/GameSaves.h"

#include "common/GameLua.h"

GameSaves::GameSaves(GameLua& world) : world_(world) {}

GameSaves::~GameSaves() = default;
