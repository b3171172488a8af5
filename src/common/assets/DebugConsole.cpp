#include "common/assets/DebugConsole.h"

#include "lua/LuaTable.h"

DebugConsole::DebugConsole(const lua::LuaTable& world)
    : input_(new pf::TextInput()), world_(world) {}

DebugConsole::~DebugConsole() = default;

void DebugConsole::activate(const std::string& text) {
    input_->activate(text, this);
    textChanged(input_->getText());
}

void DebugConsole::deactivate() {
    input_->deactivate();
}

bool DebugConsole::accept(const std::string&, uint32_t) {
    return true;
}

void DebugConsole::textChanged(const std::string& text) {
    world_.getTable("DebugConsole").set("g_debugconsole_text", text);
}
