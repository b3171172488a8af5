#pragma once

/// What the cloud client reads from the game world.
class CloudGameState {
public:
    /// Whether the game window is active; read on any thread.
    virtual bool isGameActive() const = 0;

protected:
    ~CloudGameState() = default;
};
