#pragma once

#include <string>
#include <vector>

namespace framework {

/// The window keys of the configuration script.
struct WindowSettings {
    std::string name;
    int width = 0;
    int height = 0;
    int bits = 16;
    bool fullscreen = true;
    bool showCursor = true;
    bool depthbuffer = false;
    bool stencilbuffer = false;
    bool captureMouse = false;
    int iconResourceID = 0;
    bool debugMemoryAllocs = false;
    int orientation = 0;  // 0..3 for 0, 90, 180 and 270 degrees
    std::vector<int> autoOrientations;
    int framerate = 60;  // <= 0: uncapped
    std::string publisher;
    std::string product;
    std::string dllPath;
    std::vector<int> renderer;  // renderer platform indices, in the order to try
    bool singleton = false;

    /// The values the entry point sets before the configuration script is read.
    void setBeforeReading();

    /// The process-wide record.
    static WindowSettings& current();
};

}  // namespace framework
