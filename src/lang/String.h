#pragma once

#include <string>
#include <vector>

namespace lang {

/// Decimal text, as printf "%d" gives it.
std::string toString(int value);
/// Byte-wise tolower/toupper of the C library; multi-byte characters pass unchanged.
std::string toLowerCase(const std::string& text);
std::string toUpperCase(const std::string& text);
/// Removes leading and trailing blanks, newlines, tabs and carriage returns.
std::string trim(const std::string& text);
/// The fields between the separators, empty ones included; at least one field.
/// The separator must not be empty.
std::vector<std::string> split(const std::string& text, const std::string& separator);

/// UTF-8 to UTF-16: each element holds one 16-bit unit. Undecodable input is
/// dropped; conversions never fail.
std::wstring toUTF16(const std::string& utf8);
std::u16string toUTF16u(const std::string& utf8);
/// UTF-16 units to UTF-8. An element above 0xFFFF (a native 32-bit wide character)
/// is taken as a code point of its own.
std::string toUTF8(const std::wstring& utf16);
std::string toUTF8(const std::u16string& utf16);
/// Code points to UTF-8.
std::string toUTF8(const std::u32string& codePoints);
/// UTF-8 to code points.
std::u32string toUTF32(const std::string& utf8);

/// The operating system's message for an error number (errno on this platform).
std::string systemErrorText(int code);

}  // namespace lang
