#pragma once

#include "framework/App.h"
#include "lang/Event.h"

namespace framework {

/// Announced by the window shell right after the matching App call.
extern lang::event::Event<void(int)> onKeyDown;
extern lang::event::Event<void(int)> onKeyUp;
extern lang::event::Event<void(int)> onMouseWheel;
extern lang::event::Event<void(int, int)> onMouseMove;
extern lang::event::Event<void(const Touch&)> onTouchBegan;
extern lang::event::Event<void(const Touch&)> onTouchMoved;
extern lang::event::Event<void(const Touch&)> onTouchEnded;
extern lang::event::Event<void(float, gr::Context*)> onFrame;
extern lang::event::Event<void(bool)> onActiveChanged;
extern lang::event::Event<void(bool)> onAudioActiveChanged;
extern lang::event::Event<void()> onResized;

}  // namespace framework
