#pragma once

#include "lang/Exception.h"

namespace lua {

/// Every failure of the script bridge: compile and run-time errors of scripts,
/// wrong argument types and missing tables.
class LuaException : public lang::Exception {
public:
    LuaException() = default;
    explicit LuaException(const lang::Format& format) : lang::Exception(format) {}
};

}  // namespace lua
