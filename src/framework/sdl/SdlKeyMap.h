#pragma once

#include <SDL.h>

#include "framework/KeyCodes.h"

namespace framework {
namespace sdl {

/// At each engine code, the SDL key that produces it.
const KeyTable& sdlKeyTable();

/// The engine code of an SDL key; both Shift, Control and Alt keys and the
/// keypad digits and Enter count as their main keys. 0 when none.
int keyCodeFor(SDL_Keycode key);

/// 57, 58 and 59 for the left, middle and right buttons; 0 for the others.
int mouseButtonCode(Uint8 button);

/// The character that a key types into a text field besides its text: 8 for
/// Backspace, 13 for either Enter, 27 for Escape; 0 for other keys.
int textControlCode(SDL_Keycode key);

}  // namespace sdl
}  // namespace framework
