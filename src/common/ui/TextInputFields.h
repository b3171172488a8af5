#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "lang/Ptr.h"
#include "pf/TextInputObserver.h"

class GameLua;
namespace pf {
class TextInput;
}

/// One named field: receives the typed characters while its input is the
/// current one and publishes its text in the world's "textInputFields" table
/// under its name.
class TextInput : public pf::TextInputObserver {
public:
    TextInput(GameLua& world, const std::string& name);
    /// Stops receiving characters, then releases the input.
    ~TextInput() override;
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    bool accept(const std::string& candidate, uint32_t codePoint) override;
    /// Throws lua::LuaException when the world has no "textInputFields" table.
    void textChanged(const std::string& text) override;

    pf::TextInput& input() const { return *input_; }
    const std::string& name() const { return name_; }

private:
    lang::Ptr<pf::TextInput> input_;
    std::string name_;
    GameLua* world_;
};

/// The world's named text fields, driven by the scripts.
class TextInputFields {
public:
    explicit TextInputFields(GameLua& world);
    ~TextInputFields();

    /// Makes a field, destroying one already stored under the name.
    void create(std::string name);
    /// Destroys the field; a name without one does nothing.
    void remove(std::string name);
    /// Makes the field's input the current one, starting from text. A name
    /// without a field logs a warning.
    void activate(std::string name, std::string text);
    /// A name without a field logs a warning.
    void deactivate(std::string name);

    /// Null when there is no such field.
    TextInput* find(const std::string& name) const;

private:
    TextInput* findOrWarn(const std::string& name, const char* function) const;

    GameLua& world_;
    std::map<std::string, std::unique_ptr<TextInput>> fields_;
};
