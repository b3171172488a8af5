#pragma once

#include "lang/Event.h"

namespace ncs {

/// Emitted on the main thread: workers post a call that emits them.
extern lang::event::Event<void()> onLoggedIn;
extern lang::event::Event<void(int)> onLoginFailed;  // the failure's code, -1 when none
extern lang::event::Event<void()> onLoggedOut;
extern lang::event::Event<void()> onConfigurationUpdated;

/// Posts the emission of an event to the main thread.
void postLoggedIn();
void postLoginFailed(int code);
void postLoggedOut();
void postConfigurationUpdated();

}  // namespace ncs
