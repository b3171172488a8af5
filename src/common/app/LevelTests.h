#pragma once

#include <functional>
#include <ostream>
#include <string>

class GameApp;

/// How the level tests drive the game: make a fresh application, run one
/// frame of it, and end it.
struct LevelTestDriver {
    std::function<GameApp*()> start;
    std::function<void(float dt)> frame;
    std::function<void()> stop;
};

/// Runs the Lua test scripts (*.lua, in name order) in folder. Each
/// `test(name, function)` of a script runs in a game of its own, started as
/// the player would see it, with the world's globals and natives and these:
/// step(frames), press(x, y), moveTo(x, y), release(), drag(x0, y0, x1, y1,
/// frames), key(name), expect(condition, message). Writes a line per test
/// and the closing "N passed, M failed"; returns the number failed.
int runLevelTests(const std::string& folder, const LevelTestDriver& driver, std::ostream& out);
