#pragma once

#include <string>

namespace lang {
namespace detail {

/// Hands text to standard error in one system call, so that lines from threads
/// logging at once are not interleaved.
void writeToStandardError(const std::string& text);

}  // namespace detail
}  // namespace lang
