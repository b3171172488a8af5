#include "common/GameThemes.h"

#include "common/GameLua.h"

GameThemes::GameThemes(GameLua& world) : world_(world) {}

GameThemes::~GameThemes() = default;
