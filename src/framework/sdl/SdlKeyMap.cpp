#include "framework/sdl/SdlKeyMap.h"

namespace framework {
namespace sdl {

namespace {

KeyTable buildTable() {
    KeyTable t{};
    for (int i = 0; i < 26; ++i) {
        t[KEY_A + i] = SDLK_a + i;
    }
    const SDL_Keycode named[] = {
        SDLK_PAGEDOWN, SDLK_PAGEUP, SDLK_HOME,  SDLK_END,   SDLK_INSERT, SDLK_DELETE,
        SDLK_RETURN,   SDLK_LSHIFT, SDLK_LCTRL, SDLK_TAB,   SDLK_SPACE,  SDLK_BACKSPACE,
        SDLK_PAUSE,    SDLK_ESCAPE, SDLK_F1,    SDLK_F2,    SDLK_F3,     SDLK_F4,
        SDLK_F5,       SDLK_F6,     SDLK_F7,    SDLK_F8,    SDLK_F9,     SDLK_F10,
        SDLK_F11,      SDLK_F12,    SDLK_LEFT,  SDLK_RIGHT, SDLK_UP,     SDLK_DOWN,
    };
    for (size_t i = 0; i < sizeof(named) / sizeof(named[0]); ++i) {
        t[KEY_PAGEDOWN + i] = named[i];
    }
    const SDL_Keycode keypad[] = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                  SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 10; ++i) {
        t[KEY_0 + i] = keypad[i];
    }
    t[KEY_MULTIPLY] = SDLK_KP_MULTIPLY;
    t[KEY_ADD] = SDLK_KP_PLUS;
    t[KEY_SUBTRACT] = SDLK_KP_MINUS;
    t[KEY_DIVIDE] = SDLK_KP_DIVIDE;
    t[KEY_ALT] = SDLK_LALT;
    t[KEY_DASH] = SDLK_MINUS;
    return t;
}

// Keys that share a code with a key of the table.
SDL_Keycode mainKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_RSHIFT:
            return SDLK_LSHIFT;
        case SDLK_RCTRL:
            return SDLK_LCTRL;
        case SDLK_RALT:
            return SDLK_LALT;
        case SDLK_KP_ENTER:
            return SDLK_RETURN;
        default:
            return key;
    }
}

}  // namespace

const KeyTable& sdlKeyTable() {
    static const KeyTable table = buildTable();
    return table;
}

int keyCodeFor(SDL_Keycode key) {
    return translateKey(sdlKeyTable(), mainKey(key));
}

int mouseButtonCode(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return KEY_LBUTTON;
        case SDL_BUTTON_MIDDLE:
            return KEY_MBUTTON;
        case SDL_BUTTON_RIGHT:
            return KEY_RBUTTON;
        default:
            return 0;
    }
}

int textControlCode(SDL_Keycode key) {
    switch (key) {
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_ESCAPE:
            return 27;
        default:
            return 0;
    }
}

}  // namespace sdl
}  // namespace framework
