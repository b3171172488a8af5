#include <gtest/gtest.h>

#include "framework/KeyCodes.h"
#include "framework/sdl/SdlKeyMap.h"

namespace {

using framework::sdl::keyCodeFor;

TEST(SdlKeyMap, KeysAndTheirCodes) {
    const struct {
        SDL_Keycode key;
        int code;
    } cases[] = {
        {SDLK_a, 1},          {SDLK_z, 26},           {SDLK_PAGEDOWN, 27}, {SDLK_PAGEUP, 28},
        {SDLK_RETURN, 33},    {SDLK_KP_ENTER, 33},    {SDLK_LSHIFT, 34},   {SDLK_RSHIFT, 34},
        {SDLK_LCTRL, 35},     {SDLK_RCTRL, 35},       {SDLK_TAB, 36},      {SDLK_SPACE, 37},
        {SDLK_BACKSPACE, 38}, {SDLK_PAUSE, 39},       {SDLK_ESCAPE, 40},   {SDLK_F1, 41},
        {SDLK_F10, 50},       {SDLK_F12, 52},         {SDLK_LEFT, 53},     {SDLK_DOWN, 56},
        {SDLK_0, 60},         {SDLK_5, 65},           {SDLK_KP_5, 65},     {SDLK_KP_0, 60},
        {SDLK_KP_9, 69},      {SDLK_KP_MULTIPLY, 70}, {SDLK_KP_PLUS, 71},  {SDLK_KP_MINUS, 72},
        {SDLK_KP_DIVIDE, 73}, {SDLK_LALT, 88},        {SDLK_RALT, 88},     {SDLK_MINUS, 89},
        {SDLK_F13, 0},        {SDLK_CAPSLOCK, 0},     {SDLK_UNKNOWN, 0},   {SDLK_KP_PERIOD, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, keyCodeFor(c.key)) << SDL_GetKeyName(c.key);
    }
}

TEST(SdlKeyMap, EveryTableEntryLeadsBackToItsCode) {
    const framework::KeyTable& table = framework::sdl::sdlKeyTable();
    for (int code = 1; code < framework::KEY_COUNT; ++code) {
        if (table[code] != 0) {
            EXPECT_EQ(code, keyCodeFor(table[code])) << framework::keyName(code);
        }
    }
    EXPECT_EQ(0, table[framework::KEY_LBUTTON]);  // buttons come from button events
    EXPECT_EQ(0, table[framework::KEY_VOLUME_UP]);
}

TEST(SdlKeyMap, ButtonsAndTypedControls) {
    EXPECT_EQ(57, framework::sdl::mouseButtonCode(SDL_BUTTON_LEFT));
    EXPECT_EQ(58, framework::sdl::mouseButtonCode(SDL_BUTTON_MIDDLE));
    EXPECT_EQ(59, framework::sdl::mouseButtonCode(SDL_BUTTON_RIGHT));
    EXPECT_EQ(0, framework::sdl::mouseButtonCode(SDL_BUTTON_X1));
    EXPECT_EQ(8, framework::sdl::textControlCode(SDLK_BACKSPACE));
    EXPECT_EQ(13, framework::sdl::textControlCode(SDLK_RETURN));
    EXPECT_EQ(13, framework::sdl::textControlCode(SDLK_KP_ENTER));
    EXPECT_EQ(27, framework::sdl::textControlCode(SDLK_ESCAPE));
    EXPECT_EQ(0, framework::sdl::textControlCode(SDLK_a));
}

}  // namespace
