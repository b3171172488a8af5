#pragma once

#include "framework/Application.h"

namespace framework {
namespace sdl {

/// The whole process: start-up, the main loop and the shutdown, with every
/// error shown in a message box. Returns the process's exit code.
int runApplication(int argc, char** argv, const Application& application);

}  // namespace sdl
}  // namespace framework
