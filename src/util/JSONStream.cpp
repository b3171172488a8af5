#include "io/InputStream.h"
#include "util/JSON.h"

namespace util {

// Kept apart from JSON.cpp so that the model and the parser need no streams.
void JSON::parse(io::InputStream& stream) {
    parse(io::readAllAsString(stream));
}

}  // namespace util
