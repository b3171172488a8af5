// A renderer plug-in for the loader's tests. FAKE_BEHAVIOUR picks what it does:
// 1 makes a context, 2 makes none and says why, 3 lacks the entry point.
#include <cstdint>

#include "FakeContext.h"

#if FAKE_BEHAVIOUR == 3
extern "C" __attribute__((visibility("default"))) int notTheEntryPoint() {
    return 0;
}
#else
extern "C" __attribute__((visibility("default"))) gr::Context* createContext(int width, int height,
                                                                             int orientation,
                                                                             void* window,
                                                                             void* deviceContext) {
#if FAKE_BEHAVIOUR == 1
    (void)deviceContext;
    fake::FakeContext* ctx = new fake::FakeContext(width, height, FAKE_PLATFORM);
    ctx->setOrientation(orientation);
    ctx->memory = static_cast<int64_t>(reinterpret_cast<intptr_t>(window));
    return ctx;
#else
    (void)width;
    (void)height;
    (void)orientation;
    (void)window;
    (void)deviceContext;
    return nullptr;
#endif
}

extern "C" __attribute__((visibility("default"))) const char* createContextError() {
    return "the fake device is switched off";
}
#endif
