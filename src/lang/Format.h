#pragma once

#include <string>
#include <type_traits>

namespace lang {

/// One argument of a lang::Format: nothing, a number or a text.
class Formattable {
public:
    enum Kind { KIND_NONE, KIND_NUMBER, KIND_TEXT };

    Formattable() : kind_(KIND_NONE), number_(0) {}
    template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
    Formattable(T value) : kind_(KIND_NUMBER), number_(static_cast<double>(value)) {}
    Formattable(const std::string& text) : kind_(KIND_TEXT), number_(0), text_(text) {}
    Formattable(const char* text) : kind_(KIND_TEXT), number_(0), text_(text ? text : "") {}

    Kind kind() const { return kind_; }
    double number() const { return number_; }
    const std::string& text() const { return text_; }

    /// Appends this argument to out; spec holds the placeholder's number format
    /// (between the optional ',' and the '}').
    void appendTo(std::string& out, const std::string& spec) const;

private:
    Kind kind_;
    double number_;
    std::string text_;
};

/// A pattern with positional "{0}" placeholders and up to ten arguments.
/// A backslash escapes the next character; "{0,#.00}" formats numbers.
class Format {
public:
    enum { MAX_ARGS = 10 };

    Format() : argc_(0) {}
    explicit Format(const std::string& pattern) : pattern_(pattern), argc_(0) {}
    Format(const std::string& pattern, const Formattable& a0) : pattern_(pattern), argc_(1) {
        args_[0] = a0;
    }
    Format(const std::string& pattern, const Formattable& a0, const Formattable& a1);
    Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
           const Formattable& a2);
    Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
           const Formattable& a2, const Formattable& a3);
    Format(const std::string& pattern, const Formattable& a0, const Formattable& a1,
           const Formattable& a2, const Formattable& a3, const Formattable& a4);

    /// Throws lang::FormatException on a malformed pattern.
    std::string format() const;

    const std::string& pattern() const { return pattern_; }
    int argumentCount() const { return argc_; }
    const Formattable& argument(int index) const { return args_[index]; }

private:
    /// Formats into out if the result fits in capacity characters (NUL included).
    bool formatInto(std::string& out, size_t capacity) const;
    size_t placeholder(std::string& out, size_t pos) const;

    std::string pattern_;
    int argc_;
    Formattable args_[MAX_ARGS];
};

/// Shorthand for Format(pattern, args...).format().
template <class... Args>
std::string format(const std::string& pattern, const Args&... args) {
    return Format(pattern, Formattable(args)...).format();
}

}  // namespace lang
