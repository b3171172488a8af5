#include "common/GameTexts.h"

#include "common/GameLua.h"

GameTexts::GameTexts(GameLua& world) : world_(world) {}

GameTexts::~GameTexts() = default;
