#pragma once

#include <cstddef>
#include <cstdint>

#include "util/JSON.h"

namespace util {

/// Scoped access to the engine's persistent store, one JSON document saved
/// encrypted as "tessel.registry" in the application-data folder. An accessor
/// holds the store lock (re-entrant) for its whole life; the outermost one
/// reloads the file, and every one saves the document when it goes away.
/// Keep one accessor for a group of related reads and writes.
class RegistryAccessor {
public:
    RegistryAccessor();
    /// Saves; failures are logged, never thrown.
    ~RegistryAccessor();
    RegistryAccessor(const RegistryAccessor&) = delete;
    RegistryAccessor& operator=(const RegistryAccessor&) = delete;

    /// The document; valid while this accessor exists.
    JSON& registry();
};

// The document held in the bytes of a store file: decrypted, parsed, and
// accepted when its root is an object; a file that holds no text gives an
// empty object. A damaged file is logged and gives false and an empty object.
bool decodeRegistry(const uint8_t* bytes, size_t size, JSON& document);

}  // namespace util
