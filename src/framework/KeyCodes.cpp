#include "framework/KeyCodes.h"

namespace framework {

namespace {

const char* const NAMES[KEY_COUNT] = {
    "NONE",
    "A",
    "B",
    "C",
    "D",
    "E",
    "F",
    "G",
    "H",
    "I",
    "J",
    "K",
    "L",
    "M",
    "N",
    "O",
    "P",
    "Q",
    "R",
    "S",
    "T",
    "U",
    "V",
    "W",
    "X",
    "Y",
    "Z",
    "PAGEDOWN",
    "PAGEUP",
    "HOME",
    "END",
    "INSERT",
    "DELETE",
    "RETURN",
    "SHIFT",
    "CONTROL",
    "TAB",
    "SPACE",
    "BACKSPACE",
    "PAUSE",
    "ESCAPE",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "LEFT",
    "RIGHT",
    "UP",
    "DOWN",
    "LBUTTON",
    "MBUTTON",
    "RBUTTON",
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "MULTIPLY",
    "ADD",
    "SUBTRACT",
    "DIVIDE",
    "LEFTSOFT",
    "RIGHTSOFT",
    "MIDDLE",
    "ASTERISK",
    "HASH",
    "CLEAR",
    "EDIT",
    "SEND",
    "VOLUME_UP",
    "VOLUME_DOWN",
    "KEY_GAMING_A",
    "KEY_GAMING_B",
    "KEY_BACK",
    "KEY_MENU",
    "KEY_ALT",
    "DASH",
    "KEY_ZOOM",
    "FASTFORWARD",
    "REWIND",
    "REPLAY",
};

}  // namespace

const char* keyName(int code) {
    return code >= 0 && code < KEY_COUNT ? NAMES[code] : "";
}

int translateKey(const KeyTable& table, int32_t key) {
    if (key >= '0' && key <= '9') {
        return KEY_0 + (key - '0');
    }
    for (int code = 0; code < KEY_COUNT; ++code) {
        if (table[code] == key) {
            return code;
        }
    }
    return KEY_NONE;
}

}  // namespace framework
