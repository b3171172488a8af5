#pragma once

#include <string>

namespace game {
class Resources;
}

/// The sounds the world plays by clip name: rolling loops and one-shot effects.
class GameSounds {
public:
    virtual ~GameSounds() = default;

    virtual bool isPlaying(const std::string& name) = 0;
    virtual void play(const std::string& name, float volume, bool loop) = 0;
    virtual void setVolume(const std::string& name, float volume) = 0;
    virtual void stop(const std::string& name) = 0;
};

/// Plays the clips of a resource registry on track 0. Without an audio output
/// nothing plays and the first attempt logs a warning.
class ResourceSounds : public GameSounds {
public:
    explicit ResourceSounds(game::Resources& resources) : resources_(resources) {}

    bool isPlaying(const std::string& name) override;
    void play(const std::string& name, float volume, bool loop) override;
    void setVolume(const std::string& name, float volume) override;
    void stop(const std::string& name) override;

private:
    bool hasOutput();

    game::Resources& resources_;
    bool warned_ = false;
};
