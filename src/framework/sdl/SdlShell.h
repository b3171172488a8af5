#pragma once

#include <map>
#include <string>
#include <vector>

#include <SDL.h>

#include "framework/App.h"
#include "framework/FrameTick.h"
#include "framework/Input.h"
#include "framework/OSInterface.h"
#include "framework/Replay.h"
#include "framework/TextDecoder.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}

namespace framework {
namespace sdl {

/// The window shell: one SDL window, its flags, cursors and the translation of
/// SDL events into the engine's input. Main thread only.
class SdlShell : public OSInterface, public FrameHost {
public:
    SdlShell(const std::vector<std::string>& arguments, bool headless);
    ~SdlShell() override;

    /// Without a display the window counts as active all the time.
    void setHeadless(bool headless) { headless_ = headless; }

    /// "EMPTY" hides the pointer, "DEFAULT" is the arrow; the current cursor
    /// starts as "DEFAULT" when showCursor is set, hidden otherwise.
    void registerCursors(bool showCursor);
    void setInitialFlags(bool fullscreen, bool mouseCaptured);
    /// False when SDL cannot make the window.
    bool createWindow(const std::string& title, int width, int height, bool depth, bool stencil);
    SDL_Window* window() const { return window_; }
    /// The drawable size in pixels.
    void drawableSize(int& width, int& height) const;

    void setContext(gr::Context* ctx);
    gr::Context* context() const;
    void setApplication(App* app);

    void setWindowTitle(const std::string& name);
    /// Reports where the pointer is, as a mouse move, unless it is captured.
    void reportPointer();
    void replayActivation();
    /// The exit code of a replay that parted from its recording.
    enum { REPLAY_DIVERGED = 3 };
    /// Records or replays through session (not owned; null: neither). While
    /// replaying, the window's input and focus are ignored.
    void setReplaySession(ReplaySession* session);
    bool isReplaying() const;
    /// Runs until a quit is posted; returns its exit code.
    int runMainLoop(FrameClock& clock, int framerate, float fixedDt, int frames);
    /// Shows the error over everything: leaves full screen and frees the pointer,
    /// and from now on ignores size and activation changes.
    void enterFailingState();
    /// Deletes the application, releases the context and destroys the window;
    /// runs once.
    void teardown();
    /// Event type a background thread pushes to bring the window to the front.
    static Uint32 raiseEventType();

    /// OSInterface
    void setWindowSize(int width, int height) override;
    void setOrientation(int orientation) override;
    void activate() override;
    void deactivate() override;
    void setFullscreen(bool fullscreen) override;
    bool isFullscreen() const override { return fullscreen_; }
    bool setMouseCaptured(bool captured) override;
    bool isMouseCaptured() const override { return mouseCaptured_; }
    bool setMousePosition(int x, int y) override;
    void setCursor(const std::string& name) override;
    std::string getClipboardText() const override;

    /// FrameHost
    void captureMouse() override;
    void releaseMouse() override;
    void postQuit(int exitCode) override;
    void frameFinished(gr::Context* ctx) override;

    void handleEvent(const SDL_Event& event);
    bool isActive() const { return active_; }
    bool isQuitPosted() const { return quitPosted_; }
    int getExitCode() const { return exitCode_; }

private:
    struct Cursor {
        SDL_Cursor* cursor;
        bool visible;
    };

    bool beginReplayFrame(float& dt);
    void endReplayFrame();
    static void deliver(const InputEvent& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleKeyDown(const SDL_KeyboardEvent& event);
    void handleKeyUp(const SDL_KeyboardEvent& event);
    void handleMouseMotion(const SDL_MouseMotionEvent& event);
    /// Key-up for each mouse button the application holds.
    void releaseMouseButtons();
    void handleWheel(const SDL_MouseWheelEvent& event);
    void handleFinger(const SDL_TouchFingerEvent& event);
    void handleText(const SDL_TextInputEvent& event);
    void handleResize();
    void updateActivation();
    void setActiveState(bool active);
    void applyCursor();
    void applyGrab();
    /// A window point (in SDL's window units) in drawable pixels.
    Point toPixels(int x, int y) const;
    Point orient(Point p) const;

    bool headless_;
    SDL_Window* window_ = nullptr;
    lang::Ptr<gr::Context> context_;
    lang::Ptr<App> app_;
    bool active_ = false;
    bool fullscreen_ = false;
    bool mouseCaptured_ = false;
    bool failing_ = false;
    bool tornDown_ = false;
    bool quitPosted_ = false;
    int exitCode_ = 0;
    int framesLeft_ = 0;
    std::string title_;
    std::map<std::string, Cursor> cursorTable_;
    Cursor currentCursor_ = {nullptr, false};
    Utf16Joiner joiner_;
    ReplaySession* replay_ = nullptr;
};

}  // namespace sdl
}  // namespace framework
