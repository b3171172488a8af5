#pragma once

#include <string>
#include <vector>

#include "lang/Object.h"

namespace gr {
class Context;
}

namespace framework {

class OSInterface;
struct StateDigest;

enum { KEY_COUNT = 94 };

/// One finger on the screen, in drawable pixels after the orientation transform.
struct Touch {
    int id;
    int x;
    int y;
};

/// The application driven by the entry point. Exactly one exists at a time and
/// App::current points to it.
class App : public lang::Object {
public:
    explicit App(OSInterface* os);
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    virtual void init() {}
    /// phase 3 from the frame tick, phase 1 with dt 0 after a window resize.
    virtual void update(float dt, gr::Context* ctx, int phase) = 0;
    /// Called only on the up-to-down and down-to-up edges.
    virtual void keyDown(int code) { (void)code; }
    virtual void keyUp(int code) { (void)code; }
    virtual void orientationChanged() {}
    virtual void screenResized() {}
    virtual void mouseMoved(int x, int y) {
        (void)x;
        (void)y;
    }
    /// Reserved slots keep their place for shells that report more input.
    virtual void sensorChanged(float x, float y, float z, float w);
    virtual bool handleSystemKey(int code);
    virtual void mouseWheel(int notches) { (void)notches; }
    virtual void touchBegan(const Touch& touch);
    virtual void touchMoved(const Touch& touch);
    virtual void touchEnded(const Touch& touch);
    virtual void clearTouches();
    /// Clears every key flag and the touches.
    virtual void setActive(bool active);
    virtual void focusChanged(bool focused);
    virtual bool setAudioActive(bool active);
    virtual bool isSafeToQuit() { return true; }
    virtual void lowMemory() {}
    virtual void openedWith(int request);
    /// The simulated state after a frame, for replays and hash logs; empty
    /// when the application simulates nothing.
    virtual void digestState(StateDigest& digest) const { (void)digest; }
    /// What the application's content is (its scripts and levels), so that a
    /// replay of other content is refused; empty when it has none.
    virtual std::string contentId() const { return std::string(); }

    bool isKeyDown(int code) const;
    void setKeyState(int code, bool down);
    void requestExit(int code);
    bool isExitRequested() const { return quitRequested_; }
    int getExitCode() const { return exitCode_; }
    const std::vector<Touch>& getTouches() const { return touches_; }
    void setDataPath(const std::string& path);
    const std::string& getDataPath() const { return dataPath_; }
    /// The normalised join of the OS base path, the data path and relative.
    std::string resolvePath(const std::string& relative) const;
    OSInterface* getOS() const { return os_; }

    static App* current;
    static bool exists() { return current != nullptr; }

private:
    OSInterface* os_;
    std::string dataPath_;
    bool keys_[KEY_COUNT];
    bool quitRequested_;
    int exitCode_;
    std::vector<Touch> touches_;
};

}  // namespace framework
