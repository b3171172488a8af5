#pragma once

#include <cstdint>
#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class TextInputObserver;

/// A text being edited with typed characters. At most one input is current; the
/// window hands every typed character to it.
class TextInput : public lang::Object {
public:
    TextInput();
    /// A destroyed input stops being current.
    ~TextInput() override;

    /// Makes this input current with the given text and observer (not owned;
    /// may be null, which accepts every character).
    void activate(const std::string& text, TextInputObserver* observer);
    /// Stops being current, if it is.
    void deactivate();
    bool isActive() const { return current() == this; }
    const std::string& getText() const;

    /// 8 removes the last character, 10, 13 and 27 end the editing, anything
    /// else is appended when the observer accepts it.
    void handleCharacter(uint32_t codePoint);

    /// The input that currently receives characters, or null.
    static TextInput* current();
    /// Hands a typed character to the current input; dropped when there is none.
    static void deliver(uint32_t codePoint);

    class Impl;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
