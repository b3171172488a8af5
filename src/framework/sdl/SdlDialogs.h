#pragma once

#include <string>

#include <SDL.h>

namespace framework {
namespace sdl {

/// Without a display (headless runs) every dialog goes to standard error.
void setDialogsHeadless(bool headless);

/// An error box with the given caption; standard error when none can be shown.
void showErrorBox(SDL_Window* owner, const std::string& caption, const std::string& text);

/// Installs the Abort / Retry / Ignore dialog behind lang::Throwable::showDialog.
void installExceptionDialog();

}  // namespace sdl
}  // namespace framework
