#include "common/GameDrawing.h"

#include "common/GameLua.h"

GameDrawing::GameDrawing(GameLua& world) : world_(world) {}

GameDrawing::~GameDrawing() = default;
