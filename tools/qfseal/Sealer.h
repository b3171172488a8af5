#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/save/SealedFile.h"

// Makes and opens sealed files in memory: a 7z archive (LZMA) whose entry 0 is
// the content, encrypted with AES under a key (the game's content key unless
// told otherwise). Shared by the qfseal tool and the tests.
namespace qfseal {

/// A 7z archive holding content as its only entry, named entryName. Throws
/// std::runtime_error with libarchive's message on failure.
std::vector<uint8_t> makeArchive(const std::vector<uint8_t>& content, const std::string& entryName);

/// The sealed form of content.
std::vector<uint8_t> seal(const std::vector<uint8_t>& content, const std::string& entryName,
                          const std::vector<uint8_t>& key = contentKey());
std::vector<uint8_t> seal(const std::string& content, const std::string& entryName,
                          const std::vector<uint8_t>& key = contentKey());

/// The content of sealed bytes; throws like openSealed.
std::vector<uint8_t> unseal(const std::vector<uint8_t>& sealed,
                            const std::vector<uint8_t>& key = contentKey());

}  // namespace qfseal
