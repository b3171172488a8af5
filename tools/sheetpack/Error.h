#pragma once

#include <stdexcept>
#include <string>

namespace sheetpack {

// A failure of the sheet tools; the message names the file and the problem.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace sheetpack
