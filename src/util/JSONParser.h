#pragma once

#include <cstddef>

#include "util/JSON.h"

namespace util {

/// The lenient JSON tokenizer behind JSON::parse. Works on a byte buffer of known
/// size (embedded NUL bytes are ordinary bytes) and throws JSON::ParseError.
class JSONParser {
public:
    /// Containers nested deeper than this fail to parse: values are copied,
    /// destroyed and written recursively.
    static const size_t MAX_DEPTH = 512;

    static JSON parse(const char* data, size_t size);
};

}  // namespace util
