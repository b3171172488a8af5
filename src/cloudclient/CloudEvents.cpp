#include "cloudclient/CloudEvents.h"

namespace ncs {

lang::event::Event<void()> onLoggedIn;
lang::event::Event<void(int)> onLoginFailed;
lang::event::Event<void()> onLoggedOut;
lang::event::Event<void()> onConfigurationUpdated;

void postLoggedIn() {
    lang::event::post(0, [] { lang::event::emit(onLoggedIn); });
}

void postLoginFailed(int code) {
    lang::event::post(0, [code] { lang::event::emit(onLoginFailed, code); });
}

void postLoggedOut() {
    lang::event::post(0, [] { lang::event::emit(onLoggedOut); });
}

void postConfigurationUpdated() {
    lang::event::post(0, [] { lang::event::emit(onConfigurationUpdated); });
}

}  // namespace ncs
