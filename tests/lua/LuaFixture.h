#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lua/LuaException.h"
#include "lua/LuaState.h"

/// A fresh interpreter per test, with helpers that run snippets as "test.lua".
class LuaFixture : public ::testing::Test {
protected:
    void run(const std::string& code, const lua::LuaTable* environment = nullptr) {
        state.runBuffer(code.data(), code.size(), "test.lua", environment);
    }

    /// The message of the LuaException that running code throws.
    std::string errorOf(const std::string& code) {
        try {
            run(code);
        } catch (const lua::LuaException& e) {
            return e.what();
        }
        ADD_FAILURE() << "no LuaException from: " << code;
        return std::string();
    }

    lua::LuaTable global(const char* name) { return state.getGlobals().getTable(name); }

    lua::LuaState state;
};
