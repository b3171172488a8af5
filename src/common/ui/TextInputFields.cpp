#include "common/ui/TextInputFields.h"

#include "common/world/GameLua.h"
#include "lang/Log.h"
#include "lua/LuaTable.h"
#include "pf/TextInput.h"

TextInput::TextInput(GameLua& world, const std::string& name)
    : input_(new pf::TextInput()), name_(name), world_(&world) {}

TextInput::~TextInput() {
    input_->deactivate();
}

bool TextInput::accept(const std::string&, uint32_t) {
    return true;
}

void TextInput::textChanged(const std::string& text) {
    world_->getTable("textInputFields").set(name_, text);
}

TextInputFields::TextInputFields(GameLua& world) : world_(world) {}

TextInputFields::~TextInputFields() = default;

void TextInputFields::create(std::string name) {
    // The old field goes first, so that it stops receiving characters.
    fields_.erase(name);
    fields_[name] = std::make_unique<TextInput>(world_, name);
}

void TextInputFields::remove(std::string name) {
    fields_.erase(name);
}

void TextInputFields::activate(std::string name, std::string text) {
    if (TextInput* field = findOrWarn(name, "GameLua::activateTextInputField")) {
        field->input().activate(text, field);
    }
}

void TextInputFields::deactivate(std::string name) {
    if (TextInput* field = findOrWarn(name, "GameLua::deactivateTextInputField")) {
        field->input().deactivate();
    }
}

TextInput* TextInputFields::find(const std::string& name) const {
    auto it = fields_.find(name);
    return it == fields_.end() ? nullptr : it->second.get();
}

TextInput* TextInputFields::findOrWarn(const std::string& name, const char* function) const {
    TextInput* field = find(name);
    if (!field) {
        lang::log::write("", __FILE__, function, __LINE__, lang::log::WARNING, "%s",
                         "Tried to access non-existant text input field!");
    }
    return field;
}
