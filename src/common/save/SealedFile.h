#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Sealed files: an AES-encrypted 7z archive whose entry 0 is the content. The
// game's scripts and levels ship in this form.

/// The key the game's data files are sealed with: 32 bytes, built once on
/// first use (from any thread) and kept until exit.
const std::vector<uint8_t>& contentKey();

/// The content of a sealed file held in memory. Throws lang::Exception "Failed
/// to decrypt input data" when the bytes do not decrypt, and io::IOException
/// from the archive reader when the decrypted bytes are not a 7z archive or
/// have no entry 0.
std::vector<uint8_t> openSealed(const uint8_t* bytes, size_t size,
                                const std::vector<uint8_t>& key = contentKey());

/// The content of the sealed file at path, relative to the bundle; throws like
/// openSealed with the file's path before the message, and io::IOException
/// when the file cannot be read.
std::vector<uint8_t> readSealedFile(const std::string& path);
std::vector<uint8_t> readSealedFile(const std::string& path, const std::vector<uint8_t>& key);
