#pragma once

#include <string>
#include <vector>

namespace framework {

/// Options given after the configuration file argument. The frame acts on the
/// first group; the rest are for the program (the game, its tools) to read
/// through OSInterface::getLaunchOptions().
struct LaunchOptions {
    bool help = false;     // --help: print the usage and exit
    bool version = false;  // --version: print the version and exit

    bool headless = false;  // --headless: no display and no sound device
    int frames = 0;         // --frames N: exit after N frames (0: run until closed)
    float fixedDt = 0;      // --fixed-dt S: every frame advances S seconds
    std::string capture;    // --capture FILE: PNG of the last frame
    int reportEvery = 0;    // --report-every N: log memory and open files every N frames

    bool demo = false;         // --demo: play every level with its recorded shots
    std::string shots;         // --shots DIR: a PNG of each level's end
    std::string stats;         // --stats FILE: one line of timings per frame
    std::string record;        // --record FILE: write the session's input and frame times
    std::string replay;        // --replay FILE: play a recorded session back
    std::string hashLog;       // --hash-log FILE: a hash of the world per frame
    bool listNatives = false;  // --list-natives: print the world's natives and exit
    std::string testDir;       // --test DIR: run the level test scripts in DIR
    std::string sources;       // --sources DIR: the bundle sources the editor and hot reload use

    std::vector<std::string> arguments;  // the command line without these options
    std::string error;                   // why the command line was refused, if it was
};

LaunchOptions parseLaunchOptions(const std::vector<std::string>& commandLine);

/// The usage text: one line per option, for --help and for a refused command line.
std::string launchUsage(const std::string& program);

}  // namespace framework
