#include "framework/FrameTick.h"

#include "framework/App.h"
#include "framework/Events.h"
#include "gr/Context.h"
#include "lang/Event.h"

namespace framework {

float clampFrameTime(float dt) {
    if (!(dt > 0)) {
        return 0;  // a clock that stepped back, or NaN
    }
    return dt < 0.1f ? dt : 0.1f;
}

namespace {

void updateMouseCapture(FrameHost& host, gr::Context* ctx, App& app) {
    if (!host.isMouseCaptured()) {
        return;
    }
    if (!ctx->isReady() || app.isExitRequested()) {
        host.releaseMouse();
    } else {
        host.captureMouse();
    }
}

}  // namespace

void frameTick(FrameHost& host, gr::Context* ctx, float dt) {
    App* app = App::current;
    if (!app || !ctx) {
        return;
    }
    updateMouseCapture(host, ctx, *app);
    if (!ctx->isReady()) {
        return;
    }
    dt = clampFrameTime(dt);
    ctx->setTime(ctx->getTime() + dt);
    lang::event::update(dt);
    // A posted call may have ended the application.
    if (!(app = App::current)) {
        return;
    }
    app->update(dt, ctx, 3);
    lang::event::emit(onFrame, dt, ctx);
    host.frameFinished(ctx);
    if ((app = App::current) && app->isExitRequested()) {
        host.releaseMouse();
        host.postQuit(app->getExitCode());
    }
}

FramePacer::FramePacer(FrameClock& clock, int framerate, float fixedDt)
    : clock_(clock), budget_(frameBudgetMicros(framerate)), fixedDt_(fixedDt), frameStart_(0) {}

int64_t FramePacer::frameBudgetMicros(int framerate) {
    return framerate > 0 ? 1000000 / framerate : 0;
}

void FramePacer::start() {
    frameStart_ = clock_.nowMicros();
}

float FramePacer::beginFrame() {
    const int64_t now = clock_.nowMicros();
    const float dt = static_cast<float>(now - frameStart_) * 0.000001f;
    frameStart_ = now;
    return fixedDt_ > 0 ? fixedDt_ : dt;
}

void FramePacer::waitForNextFrame() {
    while (budget_ > 0 && clock_.nowMicros() - frameStart_ < budget_) {
        clock_.sleepMillis(1);
    }
}

}  // namespace framework
