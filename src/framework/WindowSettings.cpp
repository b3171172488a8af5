#include "framework/WindowSettings.h"

namespace framework {

void WindowSettings::setBeforeReading() {
    *this = WindowSettings();
    width = 800;
    height = 600;
    framerate = 0;
    fullscreen = false;
    showCursor = true;
}

WindowSettings& WindowSettings::current() {
    static WindowSettings settings;
    return settings;
}

}  // namespace framework
