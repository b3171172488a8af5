#include "framework/Events.h"

namespace framework {

lang::event::Event<void(int)> onKeyDown;
lang::event::Event<void(int)> onKeyUp;
lang::event::Event<void(int)> onMouseWheel;
lang::event::Event<void(int, int)> onMouseMove;
lang::event::Event<void(const Touch&)> onTouchBegan;
lang::event::Event<void(const Touch&)> onTouchMoved;
lang::event::Event<void(const Touch&)> onTouchEnded;
lang::event::Event<void(float, gr::Context*)> onFrame;
lang::event::Event<void(bool)> onActiveChanged;
lang::event::Event<void(bool)> onAudioActiveChanged;
lang::event::Event<void()> onResized;

}  // namespace framework
