#include "framework/Input.h"

#include <cmath>
#include <limits>

#include "framework/Events.h"
#include "framework/Replay.h"
#include "gr/Context.h"
#include "pf/TextInput.h"

namespace framework {

namespace {

// A recording sees every input exactly as the application gets it.
void observe(InputEvent::Kind kind, int a, int b = 0, int c = 0) {
    if (ReplaySession* session = activeReplaySession()) {
        session->observe(InputEvent{kind, a, b, c});
    }
}

}  // namespace

void dispatchKey(int code, bool down) {
    observe(InputEvent::KEY, code, down ? 1 : 0);
    App* app = App::current;
    if (!app) {
        return;
    }
    const bool wasDown = app->isKeyDown(code);
    if (down && !wasDown) {
        app->keyDown(code);
        lang::event::emit(onKeyDown, code);
    } else if (!down && wasDown) {
        app->keyUp(code);
        lang::event::emit(onKeyUp, code);
    }
    // A handler may have replaced or deleted the application.
    if (App::current) {
        App::current->setKeyState(code, down);
    }
}

void dispatchKeyUp(int code) {
    observe(InputEvent::KEY_RELEASE, code);
    App* app = App::current;
    if (app && app->isKeyDown(code)) {
        app->keyUp(code);
        lang::event::emit(onKeyUp, code);
    }
    if (App::current) {
        App::current->setKeyState(code, false);
    }
}

void dispatchMouseMove(int x, int y) {
    observe(InputEvent::MOVE, x, y);
    if (App* app = App::current) {
        app->mouseMoved(x, y);
        lang::event::emit(onMouseMove, x, y);
    }
}

void dispatchWheel(int notches) {
    observe(InputEvent::WHEEL, notches);
    if (App* app = App::current) {
        app->mouseWheel(notches);
        lang::event::emit(onMouseWheel, notches);
    }
}

void dispatchTouchBegan(const Touch& touch) {
    observe(InputEvent::TOUCH_BEGAN, touch.id, touch.x, touch.y);
    if (App* app = App::current) {
        app->touchBegan(touch);
        lang::event::emit(onTouchBegan, touch);
    }
}

void dispatchTouchMoved(const Touch& touch) {
    observe(InputEvent::TOUCH_MOVED, touch.id, touch.x, touch.y);
    if (App* app = App::current) {
        app->touchMoved(touch);
        lang::event::emit(onTouchMoved, touch);
    }
}

void dispatchTouchEnded(const Touch& touch) {
    observe(InputEvent::TOUCH_ENDED, touch.id, touch.x, touch.y);
    if (App* app = App::current) {
        app->touchEnded(touch);
        lang::event::emit(onTouchEnded, touch);
    }
}

void dispatchActive(bool active) {
    observe(InputEvent::ACTIVE, active ? 1 : 0);
    App* app = App::current;
    if (!app) {
        return;
    }
    app->setActive(active);
    lang::event::emit(onActiveChanged, active);
    app->setAudioActive(active);
    lang::event::emit(onAudioActiveChanged, active);
}

void dispatchText(uint32_t codePoint) {
    observe(InputEvent::TEXT, static_cast<int>(codePoint));
    pf::TextInput::deliver(codePoint);
}

void dispatchResize(gr::Context* ctx, int width, int height) {
    if (!ctx || width <= 0 || height <= 0) {
        return;
    }
    ctx->resize(width, height);
    if (App* app = App::current) {
        app->screenResized();
        lang::event::emit(onResized);
        app->update(0, ctx, 1);
    }
}

int wheelNotches(int delta) {
    return delta / WHEEL_DELTA;
}

int wheelDelta(float notches) {
    const float delta = std::round(notches * WHEEL_DELTA);
    // The wheel never moves this far; clamping keeps the conversion defined.
    const float limit = static_cast<float>(std::numeric_limits<int>::max() / 2);
    if (!(delta > -limit)) {
        return delta != delta ? 0 : -static_cast<int>(limit);
    }
    return delta < limit ? static_cast<int>(delta) : static_cast<int>(limit);
}

Point transformPoint(int orientation, int width, int height, Point p) {
    switch (orientation) {
        case 1:
            return {p.y, height - p.x};
        case 2:
            return {width - p.x, height - p.y};
        case 3:
            return {width - p.y, p.x};
        default:
            return p;
    }
}

Point fingerPoint(float x, float y, int width, int height) {
    // Touches may stray a little outside the window; anything beyond is noise.
    auto scale = [](float f, int size) {
        f = f == f ? f : 0;
        f = f < -1 ? -1 : (f > 2 ? 2 : f);
        return static_cast<int>(f * static_cast<float>(size));
    };
    return Point{scale(x, width), scale(y, height)};
}

Point relativeToCentre(Point p, int clientWidth, int clientHeight) {
    return {p.x - clientWidth / 2, p.y - clientHeight / 2};
}

}  // namespace framework
