#pragma once

#include <string>
#include <vector>

namespace framework {

/// Options for unattended runs, given after the configuration file argument.
struct LaunchOptions {
    bool headless = false;               // --headless: no display and no sound device
    int frames = 0;                      // --frames N: exit after N frames (0: run until closed)
    float fixedDt = 0;                   // --fixed-dt S: every frame advances S seconds
    std::string capture;                 // --capture FILE: PNG of the last frame
    bool demo = false;                   // --demo: the game plays itself
    std::string shots;                   // --shots DIR: where the demo leaves its pictures
    std::vector<std::string> arguments;  // the command line without these options
    std::string error;                   // why the command line was refused, if it was
};

LaunchOptions parseLaunchOptions(const std::vector<std::string>& commandLine);

}  // namespace framework
