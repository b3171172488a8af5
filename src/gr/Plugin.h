#pragma once

// The entry point every renderer plug-in exports, with C linkage:
//
//   extern "C" gr::Context* createContext(int width, int height, int orientation,
//                                         void* windowHandle, void* deviceContext);
//
// width and height: the window's drawable size in pixels; orientation 0..3;
// windowHandle: the SDL_Window*, made with SDL_WINDOW_OPENGL for the GL plug-ins;
// deviceContext: unused on this platform, null. Returns a new context with no
// owner yet (the caller's lang::Ptr takes it) or null when none can be made;
// it never throws. After a null, "createContextError" (same linkage, no
// arguments) returns why, as a NUL-terminated UTF-8 text.

namespace gr {

class Context;

#define QF_GR_ENTRY_POINT "createContext"
#define QF_GR_ERROR_ENTRY_POINT "createContextError"

extern "C" {
typedef Context* (*CreateContextFunction)(int width, int height, int orientation,
                                          void* windowHandle, void* deviceContext);
typedef const char* (*CreateContextErrorFunction)();
}

}  // namespace gr
