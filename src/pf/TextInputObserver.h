#pragma once

#include <cstdint>
#include <string>

namespace pf {

/// Decides on and hears about the characters typed into a pf::TextInput.
class TextInputObserver {
public:
    /// candidate is the current text with the new character appended.
    virtual bool accept(const std::string& candidate, uint32_t codePoint) = 0;
    virtual void textChanged(const std::string& text) = 0;

protected:
    virtual ~TextInputObserver() = default;
};

}  // namespace pf
