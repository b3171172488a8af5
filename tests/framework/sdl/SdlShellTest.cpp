#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeContext.h"
#include "RecordingApp.h"
#include "framework/sdl/SdlShell.h"
#include "lang/Exception.h"
#include "pf/TextInput.h"

namespace {

using Log = std::vector<std::string>;

// A headless window with the shell around it; events are made up by the tests.
class SdlShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO)) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override {
        shell.registerCursors(true);
        ASSERT_TRUE(shell.createWindow("Loading...", 320, 240, false, false));
        app.log.clear();  // the activation of the new window
    }

    void key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        shell.handleEvent(e);
    }
    void press(SDL_Keycode sym, Uint16 mod = KMOD_NONE) { key(SDL_KEYDOWN, sym, mod); }
    void release(SDL_Keycode sym, Uint16 mod = KMOD_NONE) { key(SDL_KEYUP, sym, mod); }
    void windowEvent(Uint8 what) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        shell.handleEvent(e);
    }
    void wheel(float preciseY, Sint32 x = 0, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_MOUSEWHEEL;
        e.wheel.preciseY = preciseY;
        e.wheel.y = static_cast<Sint32>(preciseY);
        e.wheel.x = x;
        e.wheel.direction = direction;
        shell.handleEvent(e);
    }
    void button(Uint32 type, Uint8 which) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.button.button = which;
        shell.handleEvent(e);
    }
    void motion(int x, int y) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        shell.handleEvent(e);
    }
    void text(const char* utf8) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, utf8, sizeof(e.text.text));
        shell.handleEvent(e);
    }

    framework::sdl::SdlShell shell{{"test"}, true};
    fake::RecordingApp app;
};

TEST_F(SdlShellTest, HeadlessWindowIsActive) {
    EXPECT_TRUE(shell.isActive());
}

TEST_F(SdlShellTest, TopRowAndKeypadDigitsAreTheSameKey) {
    press(SDLK_5);
    release(SDLK_5);
    press(SDLK_KP_5);
    press(SDLK_KP_5);  // repeat
    release(SDLK_KP_5);
    EXPECT_EQ((Log{"keyDown 65", "onKeyDown 65", "keyUp 65", "onKeyUp 65", "keyDown 65",
                   "onKeyDown 65", "keyUp 65", "onKeyUp 65"}),
              app.log);
}

TEST_F(SdlShellTest, AltReturnTogglesFullScreenBothWays) {
    press(SDLK_LALT, KMOD_LALT);
    press(SDLK_RETURN, KMOD_LALT);
    EXPECT_TRUE(shell.isFullscreen());
    press(SDLK_RETURN, KMOD_LALT);  // auto-repeat toggles too
    EXPECT_FALSE(shell.isFullscreen());
    EXPECT_EQ((Log{"keyDown 88", "onKeyDown 88"}), app.log);  // Return is not reported
}

TEST_F(SdlShellTest, KeysWithAltAreTheShells) {
    press(SDLK_RALT, KMOD_RALT);
    press(SDLK_a, KMOD_RALT);
    press(SDLK_LCTRL, KMOD_RALT | KMOD_LCTRL);
    EXPECT_FALSE(app.isKeyDown(1));
    EXPECT_FALSE(app.isKeyDown(35));
    EXPECT_TRUE(app.isKeyDown(88));
    EXPECT_FALSE(shell.isQuitPosted());
    press(SDLK_F4, KMOD_RALT);
    EXPECT_TRUE(shell.isQuitPosted());
    EXPECT_EQ(0, shell.getExitCode());
}

TEST_F(SdlShellTest, ReleasingControlWhileAltIsHeldIsReported) {
    press(SDLK_LCTRL);
    press(SDLK_LALT, KMOD_LCTRL | KMOD_LALT);
    app.log.clear();
    release(SDLK_LCTRL, KMOD_LALT);
    release(SDLK_LALT);
    EXPECT_EQ((Log{"keyUp 35", "onKeyUp 35", "keyUp 88", "onKeyUp 88"}), app.log);
}

TEST_F(SdlShellTest, ClosingTheWindowQuitsWithZero) {
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_QUIT;
    shell.handleEvent(e);
    EXPECT_TRUE(shell.isQuitPosted());
    EXPECT_EQ(0, shell.getExitCode());
}

TEST_F(SdlShellTest, LeavingTheWindowReleasesHeldButtons) {
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1);  // not a key
    app.log.clear();
    windowEvent(SDL_WINDOWEVENT_LEAVE);
    EXPECT_EQ((Log{"keyUp 57", "onKeyUp 57", "keyUp 59", "onKeyUp 59"}), app.log);
}

// SDL keeps the mouse while a button is held, so a drag past the edge of the
// window brings no leave event until the release: the first motion outside
// the 320 x 240 window stands for it.
TEST_F(SdlShellTest, DraggingPastTheEdgeReleasesHeldButtons) {
    const struct {
        int x, y;
        bool outside;
    } moves[] = {{319, 239, false}, {0, 0, false},   {320, 10, true},
                 {-1, 10, true},    {10, 240, true}, {10, -1, true}};
    for (const auto& m : moves) {
        button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
        button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
        app.log.clear();
        motion(m.x, m.y);
        const std::string moved = "mouseMoved " + std::to_string(m.x) + " " + std::to_string(m.y);
        if (m.outside) {
            EXPECT_EQ((Log{"keyUp 57", "onKeyUp 57", "keyUp 58", "onKeyUp 58", moved,
                           "onMouseMove " + moved.substr(11)}),
                      app.log)
                << m.x << "," << m.y;
        } else {
            EXPECT_EQ((Log{moved, "onMouseMove " + moved.substr(11)}), app.log)
                << m.x << "," << m.y;
        }
        button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
        button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE);
    }
}

TEST_F(SdlShellTest, WheelNotches) {
    wheel(2.0f);
    wheel(-1.0f);
    wheel(0.5f);  // a fine step of a high-resolution wheel
    wheel(1.0f, 0, SDL_MOUSEWHEEL_FLIPPED);
    wheel(0.0f, 1);  // sideways only: not this wheel
    EXPECT_EQ((Log{"mouseWheel 2", "onMouseWheel 2", "mouseWheel -1", "onMouseWheel -1",
                   "mouseWheel 0", "onMouseWheel 0", "mouseWheel -1", "onMouseWheel -1"}),
              app.log);
}

TEST_F(SdlShellTest, TypedTextReachesTheCurrentInput) {
    pf::TextInput input;
    input.activate("", nullptr);
    text("h\xC3\xA9");
    text("\xF0\x9F\x98\x80");
    EXPECT_EQ("h\xC3\xA9\xF0\x9F\x98\x80", input.getText());
    press(SDLK_BACKSPACE);
    press(SDLK_BACKSPACE);  // held: repeats reach the text
    EXPECT_EQ("h", input.getText());
    press(SDLK_RETURN);
    EXPECT_FALSE(input.isActive());
    EXPECT_TRUE(app.isKeyDown(33));
}

TEST_F(SdlShellTest, FingersBecomeTouchesInPixels) {
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_FINGERDOWN;
    e.tfinger.fingerId = 7;
    e.tfinger.x = 0.5f;
    e.tfinger.y = 0.25f;
    shell.handleEvent(e);
    ASSERT_EQ(1u, app.getTouches().size());
    EXPECT_EQ(7, app.getTouches()[0].id);
    EXPECT_EQ(160, app.getTouches()[0].x);
    EXPECT_EQ(60, app.getTouches()[0].y);
    e.type = SDL_FINGERUP;
    shell.handleEvent(e);
    EXPECT_TRUE(app.getTouches().empty());
}

TEST_F(SdlShellTest, MouseMovesAreCentredWhileCaptured) {
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 170;
    e.motion.y = 100;
    shell.handleEvent(e);
    shell.setMouseCaptured(true);
    shell.handleEvent(e);
    shell.setMouseCaptured(false);
    EXPECT_EQ((Log{"mouseMoved 170 100", "onMouseMove 170 100", "mouseMoved 10 -20",
                   "onMouseMove 10 -20"}),
              app.log);
}

TEST_F(SdlShellTest, ResizeReachesContextAndApplicationUnlessFailing) {
    fake::FakeContext* ctx = new fake::FakeContext(320, 240);
    shell.setContext(ctx);
    shell.setWindowTitle("Game");
    EXPECT_STREQ("Game (320x240)", SDL_GetWindowTitle(shell.window()));
    SDL_SetWindowSize(shell.window(), 400, 300);
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
    EXPECT_EQ((std::vector<std::string>{"resize 400x300"}), ctx->calls);
    EXPECT_EQ((Log{"screenResized", "onResized", "update 0.000000 1"}), app.log);
    EXPECT_STREQ("Game (400x300)", SDL_GetWindowTitle(shell.window()));
    shell.enterFailingState();
    SDL_SetWindowSize(shell.window(), 200, 100);
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
    EXPECT_EQ(1u, ctx->calls.size());
}

TEST_F(SdlShellTest, OrientationGoesToContextAndApplication) {
    fake::FakeContext* ctx = new fake::FakeContext(320, 240);
    shell.setContext(ctx);
    shell.setOrientation(3);
    EXPECT_EQ(3, ctx->orientation());
    EXPECT_EQ((Log{"orientationChanged", "screenResized"}), app.log);
}

TEST_F(SdlShellTest, CursorsByNameAndFromFiles) {
    shell.setCursor("EMPTY");
    shell.setCursor("DEFAULT");
    try {
        shell.setCursor("no-such-cursor.png");
        FAIL() << "no exception";
    } catch (const lang::Exception& e) {
        EXPECT_STREQ("Setting cursor \"no-such-cursor.png\" failed! Code: 2", e.what());
    }
    const std::string junk = ::testing::TempDir() + "qf_junk_cursor.png";
    FILE* f = fopen(junk.c_str(), "wb");
    fputs("not an image", f);
    fclose(f);
    EXPECT_THROW(shell.setCursor(junk), lang::Exception);
}

}  // namespace
