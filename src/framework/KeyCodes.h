#pragma once

#include <array>
#include <cstdint>

#include "framework/App.h"

namespace framework {

/// The engine's key codes 0..93; the mouse buttons are keys too.
enum KeyCode {
    KEY_NONE = 0,
    KEY_A = 1,
    KEY_Z = 26,
    KEY_PAGEDOWN = 27,
    KEY_PAGEUP = 28,
    KEY_HOME = 29,
    KEY_END = 30,
    KEY_INSERT = 31,
    KEY_DELETE = 32,
    KEY_RETURN = 33,
    KEY_SHIFT = 34,
    KEY_CONTROL = 35,
    KEY_TAB = 36,
    KEY_SPACE = 37,
    KEY_BACKSPACE = 38,
    KEY_PAUSE = 39,
    KEY_ESCAPE = 40,
    KEY_F1 = 41,
    KEY_F4 = 44,
    KEY_F12 = 52,
    KEY_LEFT = 53,
    KEY_RIGHT = 54,
    KEY_UP = 55,
    KEY_DOWN = 56,
    KEY_LBUTTON = 57,
    KEY_MBUTTON = 58,
    KEY_RBUTTON = 59,
    KEY_0 = 60,
    KEY_9 = 69,
    KEY_MULTIPLY = 70,
    KEY_ADD = 71,
    KEY_SUBTRACT = 72,
    KEY_DIVIDE = 73,
    KEY_VOLUME_UP = 82,
    KEY_VOLUME_DOWN = 83,
    KEY_ALT = 88,
    KEY_DASH = 89,
    KEY_REPLAY = 93,
};

/// The name of a code ("A", "PAGEDOWN", "0", ...); "" outside 0..93.
const char* keyName(int code);

/// A platform's key table: at each engine code, the platform key that produces
/// it, 0 where none does.
using KeyTable = std::array<int32_t, KEY_COUNT>;

/// '0'..'9' give 60..69; any other key gives the first code whose table entry
/// equals it, 0 when there is none.
int translateKey(const KeyTable& table, int32_t key);

}  // namespace framework
