// The plug-in's exported entry points.

#include <SDL.h>

#include <exception>
#include <string>

#include "gr/Plugin.h"
#include "gr/gl2/GL2Context.h"

namespace {

std::string lastError;

}  // namespace

extern "C" __attribute__((visibility("default"))) gr::Context* createContext(
    int width, int height, int orientation, void* windowHandle, void* /*deviceContext*/) {
    try {
        lastError.clear();
        return new gr::gl2::GL2Context(width, height, orientation,
                                       static_cast<SDL_Window*>(windowHandle));
    } catch (const std::exception& e) {
        lastError = e.what();
    } catch (...) {
        lastError = "unknown failure";
    }
    return nullptr;
}

extern "C" __attribute__((visibility("default"))) const char* createContextError() {
    return lastError.c_str();
}
