#pragma once

#include <cstdint>
#include <string>

#include "lang/Ptr.h"
#include "pf/TextInput.h"
#include "pf/TextInputObserver.h"

namespace lua {
class LuaTable;
}

/// A line typed on the keyboard for the scripts: while active, the whole text
/// is kept in DebugConsole.g_debugconsole_text of the world's table, a table
/// the scripts create. What the text means is up to the scripts.
class DebugConsole : public pf::TextInputObserver {
public:
    /// world is the scripts' environment; it must outlive the console.
    explicit DebugConsole(const lua::LuaTable& world);
    ~DebugConsole() override;
    DebugConsole(const DebugConsole&) = delete;
    DebugConsole& operator=(const DebugConsole&) = delete;

    /// Makes the console's input the current one, starting with text, and
    /// publishes that text at once.
    void activate(const std::string& text);
    void deactivate();
    pf::TextInput& input() { return *input_; }

    bool accept(const std::string& candidate, uint32_t codePoint) override;
    /// Throws lua::LuaException when the world has no DebugConsole table.
    void textChanged(const std::string& text) override;

private:
    lang::Ptr<pf::TextInput> input_;
    const lua::LuaTable& world_;
};
