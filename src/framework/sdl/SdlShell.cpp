#include "framework/sdl/SdlShell.h"

#include <cstdio>
#include <cstring>

#include "framework/Input.h"
#include "framework/KeyCodes.h"
#include "framework/Shell.h"
#include "framework/WindowSettings.h"
#include "framework/sdl/SdlCursor.h"
#include "framework/sdl/SdlKeyMap.h"
#include "gr/Context.h"
#include "lang/Log.h"
#include "pf/TextInput.h"

namespace framework {
namespace sdl {

SdlShell::SdlShell(const std::vector<std::string>& arguments, bool headless)
    : OSInterface(arguments), headless_(headless) {}

SdlShell::~SdlShell() {
    teardown();
    for (auto& entry : cursorTable_) {
        if (entry.second.cursor) {
            SDL_FreeCursor(entry.second.cursor);
        }
    }
}

void SdlShell::registerCursors(bool showCursor) {
    cursorTable_["EMPTY"] = Cursor{nullptr, false};
    // Null where the video driver has no pointer; the entry stays visible.
    cursorTable_["DEFAULT"] = Cursor{SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW), true};
    currentCursor_ = showCursor ? cursorTable_["DEFAULT"] : Cursor{nullptr, false};
}

void SdlShell::setInitialFlags(bool fullscreen, bool mouseCaptured) {
    fullscreen_ = fullscreen;
    mouseCaptured_ = mouseCaptured;
}

bool SdlShell::createWindow(const std::string& title, int width, int height, bool depth,
                            bool stencil) {
    // The renderer plug-in stays loaded for the whole run and keeps pointers
    // into the GL library, so that library must stay loaded as long: this extra
    // load is never undone.
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        QF_LOG("Framework", lang::log::WARNING, "SDL_GL_LoadLibrary: %s", SDL_GetError());
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth ? 24 : 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil ? 8 : 0);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    if (fullscreen_) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               width, height, flags);
    if (!window_) {
        QF_LOG("Framework", lang::log::ERROR, "SDL_CreateWindow: %s", SDL_GetError());
        return false;
    }
    // Activation before the application exists only sets the flag.
    updateActivation();
    applyGrab();
    applyCursor();
    return true;
}

void SdlShell::drawableSize(int& width, int& height) const {
    width = height = 0;
    if (window_) {
        SDL_GetWindowSizeInPixels(window_, &width, &height);
    }
}

void SdlShell::setContext(gr::Context* ctx) {
    context_ = ctx;
}

gr::Context* SdlShell::context() const {
    return context_.get();
}

void SdlShell::setApplication(App* app) {
    app_ = app;
}

void SdlShell::setWindowTitle(const std::string& name) {
    title_ = name;
    int width, height;
    drawableSize(width, height);
    SDL_SetWindowTitle(window_, windowTitle(name, width, height).c_str());
}

void SdlShell::reportPointer() {
    if (mouseCaptured_ || !window_) {
        return;
    }
    int gx, gy, wx, wy;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(window_, &wx, &wy);
    Point p = toPixels(gx - wx, gy - wy);
    if (context_ && context_->platform() <= gr::PLATFORM_GL2) {
        p = orient(p);
    }
    dispatchMouseMove(p.x, p.y);
}

void SdlShell::replayActivation() {
    dispatchActive(active_);
}

int SdlShell::runMainLoop(FrameClock& clock, int framerate, float fixedDt, int frames) {
    framesLeft_ = frames;
    FramePacer pacer(clock, framerate, fixedDt);
    pacer.start();
    SDL_Event event;
    for (;;) {
        if (active_ || isReplaying()) {
            if (SDL_PollEvent(&event)) {
                handleEvent(event);
                continue;
            }
            if (quitPosted_) {
                break;
            }
            float dt = pacer.beginFrame();
            if (!beginReplayFrame(dt)) {
                break;
            }
            frameTick(*this, context_.get(), dt);
            endReplayFrame();
            pacer.waitForNextFrame();
        } else {
            if (quitPosted_) {
                break;
            }
            if (SDL_WaitEvent(&event)) {
                handleEvent(event);
            }
        }
    }
    return exitCode_;
}

bool SdlShell::isReplaying() const {
    return replay_ && replay_->isReplaying();
}

void SdlShell::setReplaySession(ReplaySession* session) {
    replay_ = session;
    setActiveReplaySession(session);
}

bool SdlShell::beginReplayFrame(float& dt) {
    if (!replay_) {
        return true;
    }
    const bool more = replay_->beginFrame(dt, [](const InputEvent& event) { deliver(event); });
    if (!more) {
        std::fprintf(stderr, "Replay matched all %d frames\n", replay_->frame());
    }
    return more;
}

void SdlShell::endReplayFrame() {
    if (!replay_) {
        return;
    }
    StateDigest digest;
    if (App::current) {
        App::current->digestState(digest);
    }
    if (!replay_->endFrame(digest)) {
        std::fprintf(stderr, "%s\n", replay_->failure().c_str());
        postQuit(REPLAY_DIVERGED);
    }
}

void SdlShell::deliver(const InputEvent& event) {
    switch (event.kind) {
        case InputEvent::KEY:
            dispatchKey(event.a, event.b != 0);
            break;
        case InputEvent::KEY_RELEASE:
            dispatchKeyUp(event.a);
            break;
        case InputEvent::MOVE:
            dispatchMouseMove(event.a, event.b);
            break;
        case InputEvent::WHEEL:
            dispatchWheel(event.a);
            break;
        case InputEvent::TOUCH_BEGAN:
            dispatchTouchBegan(Touch{event.a, event.b, event.c});
            break;
        case InputEvent::TOUCH_MOVED:
            dispatchTouchMoved(Touch{event.a, event.b, event.c});
            break;
        case InputEvent::TOUCH_ENDED:
            dispatchTouchEnded(Touch{event.a, event.b, event.c});
            break;
        case InputEvent::TEXT:
            dispatchText(static_cast<uint32_t>(event.a));
            break;
        case InputEvent::ACTIVE:
            dispatchActive(event.a != 0);
            break;
    }
}

void SdlShell::enterFailingState() {
    failing_ = true;
    if (window_) {
        if (fullscreen_) {
            SDL_SetWindowFullscreen(window_, 0);
        }
        SDL_SetWindowGrab(window_, SDL_FALSE);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlShell::teardown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    if (window_) {
        SDL_SetWindowGrab(window_, SDL_FALSE);
    }
    WindowSettings::current() = WindowSettings();
    app_.reset();
    context_.reset();
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
}

Uint32 SdlShell::raiseEventType() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void SdlShell::setWindowSize(int width, int height) {
    if (window_) {
        SDL_SetWindowSize(window_, width, height);
    }
}

void SdlShell::setOrientation(int orientation) {
    if (context_) {
        context_->setOrientation(orientation);
    }
    if (App* app = App::current) {
        app->orientationChanged();
        app->screenResized();
    }
}

void SdlShell::activate() {
    active_ = true;
    dispatchActive(true);
}

void SdlShell::deactivate() {
    active_ = false;
    dispatchActive(false);
}

void SdlShell::setFullscreen(bool wanted) {
    if (!window_ || wanted == fullscreen_) {
        return;
    }
    if (SDL_SetWindowFullscreen(window_, wanted ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        QF_LOG("Framework", lang::log::WARNING, "SDL_SetWindowFullscreen: %s", SDL_GetError());
        return;
    }
    fullscreen_ = wanted;
    applyGrab();
}

bool SdlShell::setMouseCaptured(bool captured) {
    mouseCaptured_ = captured;
    // Capturing happens in the next frame; releasing at once, so that the
    // pointer is never left confined.
    if (!captured) {
        releaseMouse();
    }
    applyCursor();
    return true;
}

bool SdlShell::setMousePosition(int x, int y) {
    (void)x;
    (void)y;
    return false;
}

std::string SdlShell::getClipboardText() const {
    if (!SDL_HasClipboardText()) {
        return std::string();
    }
    char* text = SDL_GetClipboardText();
    std::string result = text ? text : "";
    SDL_free(text);
    return result;
}

void SdlShell::setCursor(const std::string& name) {
    auto found = cursorTable_.find(name);
    if (found == cursorTable_.end()) {
        found = cursorTable_.emplace(name, Cursor{loadCursorImage(name), true}).first;
    }
    currentCursor_ = found->second;
    applyCursor();
}

void SdlShell::captureMouse() {
    if (!window_) {
        return;
    }
    int width, height;
    SDL_GetWindowSize(window_, &width, &height);
    SDL_SetWindowGrab(window_, SDL_TRUE);
    SDL_WarpMouseInWindow(window_, width / 2, height / 2);
}

void SdlShell::releaseMouse() {
    if (window_) {
        // Full screen keeps the pointer on its screen while active.
        SDL_SetWindowGrab(window_, fullscreen_ && active_ ? SDL_TRUE : SDL_FALSE);
    }
}

void SdlShell::postQuit(int exitCode) {
    quitPosted_ = true;
    exitCode_ = exitCode;
}

void SdlShell::frameFinished(gr::Context* ctx) {
    (void)ctx;
    if (framesLeft_ > 0 && --framesLeft_ == 0) {
        App* app = App::current;
        if (app && !app->isExitRequested()) {
            app->requestExit(0);
        }
    }
}

void SdlShell::handleEvent(const SDL_Event& event) {
    if (isReplaying() && event.type != SDL_QUIT) {
        return;  // the recording is the only input, and the window stays as recorded
    }
    switch (event.type) {
        case SDL_QUIT:
            postQuit(0);
            break;
        case SDL_WINDOWEVENT:
            handleWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
            handleKeyDown(event.key);
            break;
        case SDL_KEYUP:
            handleKeyUp(event.key);
            break;
        case SDL_MOUSEMOTION:
            handleMouseMotion(event.motion);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (int code = mouseButtonCode(event.button.button)) {
                dispatchKey(code, event.type == SDL_MOUSEBUTTONDOWN);
            }
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(event.wheel);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            handleFinger(event.tfinger);
            break;
        case SDL_TEXTINPUT:
            handleText(event.text);
            break;
        default:
            if (event.type == raiseEventType() && window_) {
                SDL_RestoreWindow(window_);
                SDL_RaiseWindow(window_);
            }
            break;
    }
}

void SdlShell::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            handleResize();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_HIDDEN:
            updateActivation();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            releaseMouseButtons();
            break;
        default:
            break;
    }
}

void SdlShell::handleKeyDown(const SDL_KeyboardEvent& event) {
    const SDL_Keycode key = event.keysym.sym;
    if (key == SDLK_LALT || key == SDLK_RALT) {
        dispatchKey(KEY_ALT, true);
        return;
    }
    if (event.keysym.mod & KMOD_ALT) {
        // Keys pressed with Alt held are the shell's, not the game's.
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
            setFullscreen(!fullscreen_);
        } else if (key == SDLK_F4) {
            postQuit(0);
        }
        return;
    }
    if (int code = keyCodeFor(key)) {
        dispatchKey(code, true);
    }
    if (int control = textControlCode(key)) {
        dispatchText(static_cast<uint32_t>(control));
    }
}

void SdlShell::handleKeyUp(const SDL_KeyboardEvent& event) {
    // Releases are reported with or without Alt, so that no key stays down.
    if (int code = keyCodeFor(event.keysym.sym)) {
        dispatchKey(code, false);
    }
}

void SdlShell::releaseMouseButtons() {
    dispatchKeyUp(KEY_LBUTTON);
    dispatchKeyUp(KEY_MBUTTON);
    dispatchKeyUp(KEY_RBUTTON);
}

void SdlShell::handleMouseMotion(const SDL_MouseMotionEvent& event) {
    // SDL captures the mouse while a button is held, so a drag past the edge
    // brings no leave event until the release; the first motion outside the
    // window stands for it.
    if (window_ && !mouseCaptured_) {
        int width = 0, height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        if (event.x < 0 || event.y < 0 || event.x >= width || event.y >= height) {
            releaseMouseButtons();
        }
    }
    Point p = toPixels(event.x, event.y);
    if (mouseCaptured_) {
        int width, height;
        drawableSize(width, height);
        p = relativeToCentre(p, width, height);
    }
    if (context_ && context_->platform() <= gr::PLATFORM_GL2) {
        p = orient(p);
    }
    dispatchMouseMove(p.x, p.y);
}

void SdlShell::handleWheel(const SDL_MouseWheelEvent& event) {
    if (event.preciseY == 0 && event.y == 0) {
        return;  // a sideways movement only
    }
    float steps = event.preciseY != 0 ? event.preciseY : static_cast<float>(event.y);
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) {
        steps = -steps;
    }
    dispatchWheel(wheelNotches(wheelDelta(steps)));
}

void SdlShell::handleFinger(const SDL_TouchFingerEvent& event) {
    int width, height;
    drawableSize(width, height);
    const Point p = orient(fingerPoint(event.x, event.y, width, height));
    const Touch touch = {static_cast<int>(event.fingerId), p.x, p.y};
    if (event.type == SDL_FINGERDOWN) {
        dispatchTouchBegan(touch);
    } else if (event.type == SDL_FINGERMOTION) {
        dispatchTouchMoved(touch);
    } else {
        dispatchTouchEnded(touch);
    }
}

void SdlShell::handleText(const SDL_TextInputEvent& event) {
    decodeTypedText(event.text, strnlen(event.text, sizeof(event.text)), joiner_,
                    [](uint32_t codePoint) { dispatchText(codePoint); });
}

void SdlShell::handleResize() {
    if (!context_ || failing_) {
        return;
    }
    int width, height;
    drawableSize(width, height);
    if (width > 0 && height > 0) {
        dispatchResize(context_.get(), width, height);
        setWindowTitle(title_);
    }
}

void SdlShell::updateActivation() {
    if (headless_) {
        // Nothing gives an offscreen window the focus; it is always active.
        setActiveState(true);
        return;
    }
    const Uint32 flags = window_ ? SDL_GetWindowFlags(window_) : 0;
    setActiveState((flags & SDL_WINDOW_INPUT_FOCUS) && !(flags & SDL_WINDOW_MINIMIZED));
}

void SdlShell::setActiveState(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    if (failing_) {
        return;
    }
    if (fullscreen_ && window_) {
        if (active) {
            SDL_RestoreWindow(window_);
        } else {
            SDL_MinimizeWindow(window_);
        }
    }
    applyGrab();
    applyCursor();
    dispatchActive(active);
}

void SdlShell::applyCursor() {
    const bool visible = currentCursor_.visible && !(mouseCaptured_ && active_);
    if (visible && currentCursor_.cursor) {
        SDL_SetCursor(currentCursor_.cursor);
    }
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlShell::applyGrab() {
    if (window_ && !failing_) {
        SDL_SetWindowGrab(window_, active_ && fullscreen_ ? SDL_TRUE : SDL_FALSE);
    }
}

Point SdlShell::toPixels(int x, int y) const {
    int windowWidth = 0, windowHeight = 0, width, height;
    if (window_) {
        SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
    }
    drawableSize(width, height);
    if (windowWidth <= 0 || windowHeight <= 0) {
        return Point{x, y};
    }
    return Point{static_cast<int>(static_cast<int64_t>(x) * width / windowWidth),
                 static_cast<int>(static_cast<int64_t>(y) * height / windowHeight)};
}

Point SdlShell::orient(Point p) const {
    if (!context_) {
        return p;
    }
    return transformPoint(context_->orientation(), context_->width(), context_->height(), p);
}

}  // namespace sdl
}  // namespace framework
