#include "pf/TextInput.h"

#include "lang/String.h"
#include "pf/TextInputObserver.h"

namespace pf {

namespace {

TextInput* currentInput = nullptr;

// Code points that UTF-8 cannot carry: surrogates and values past Unicode.
bool isEncodable(uint32_t codePoint) {
    return codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

}  // namespace

class TextInput::Impl : public lang::Object {
public:
    std::string text;
    TextInputObserver* observer = nullptr;
};

TextInput::TextInput() : impl_(new Impl()) {}

TextInput::~TextInput() {
    deactivate();
}

void TextInput::activate(const std::string& text, TextInputObserver* observer) {
    currentInput = this;
    impl_->text = text;
    impl_->observer = observer;
}

void TextInput::deactivate() {
    if (currentInput == this) {
        currentInput = nullptr;
    }
}

const std::string& TextInput::getText() const {
    return impl_->text;
}

void TextInput::handleCharacter(uint32_t codePoint) {
    Impl& d = *impl_;
    if (codePoint == 8) {
        if (!d.text.empty()) {
            // One UTF-16 unit goes; a lone high surrogate left behind does not
            // survive the conversion back, so a whole character is removed.
            std::u16string units = lang::toUTF16u(d.text);
            if (!units.empty()) {
                units.pop_back();
            }
            d.text = lang::toUTF8(units);
            if (d.observer) {
                d.observer->textChanged(d.text);
            }
        }
        return;
    }
    if (codePoint == 10 || codePoint == 13 || codePoint == 27) {
        deactivate();
        return;
    }
    if (!isEncodable(codePoint)) {
        return;
    }
    const std::string candidate = d.text + lang::toUTF8(std::u32string(1, codePoint));
    if (!d.observer || d.observer->accept(candidate, codePoint)) {
        d.text = candidate;
        if (d.observer) {
            d.observer->textChanged(d.text);
        }
    }
}

TextInput* TextInput::current() {
    return currentInput;
}

void TextInput::deliver(uint32_t codePoint) {
    if (currentInput) {
        // Keeps the input alive should an observer release it meanwhile.
        lang::Ptr<TextInput> input = currentInput->referenceCount() > 0 ? currentInput : nullptr;
        currentInput->handleCharacter(codePoint);
    }
}

}  // namespace pf
