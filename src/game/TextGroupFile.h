#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

/// Reading text-group files held in memory. Two layouts exist: a "PLXB" chunk
/// file with a "TEXT" chunk, and a plain layout for any other first word.
/// `name` names the file in messages. Failures throw io::IOException:
/// "Malformed PLXB file: {0}" for a chunk file that ends early or whose sizes
/// do not fit, "Missing LIDS chunk before TXGP chunk in file {0}", and
/// "Unexpected end of file in {0}." for a plain file that ends early or
/// skips outside itself.
namespace game {
namespace textfile {

/// The language names in file order.
std::vector<std::string> readLanguages(const uint8_t* data, size_t size, const std::string& name);

/// The texts of the language at `index` of the list, by id; false (and no
/// texts) when the file holds none for it.
bool readTexts(const uint8_t* data, size_t size, const std::string& name, int index,
               std::map<std::string, std::string>& texts);

}  // namespace textfile
}  // namespace game
