#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds text-group files from a table of texts written as tab-separated UTF-8:
//
//   id      en_EN          fi_FI
//   # comment lines and empty lines are skipped
//   PLAY    Play           Pelaa
//   QUIT    Quit\tnow      Lopeta\nheti
//
// The first row names the languages; every other row is an id and one text per
// language. In texts "\n", "\t" and "\\" stand for a newline, a tab and a
// backslash.
namespace texts {

struct TextTable {
    std::vector<std::string> languages;
    std::vector<std::string> ids;
    std::vector<std::vector<std::string>> texts;  // [language][id]
};

// Throws std::runtime_error naming the line of a row with the wrong number of
// cells, a repeated id or language, or an empty id.
TextTable parseTable(const std::string& tsv);

// The "PLXB" file with one "TEXT" chunk: "LDAT", "LIDS" and one "TXGP" per
// language. Throws std::runtime_error when a count or a text does not fit the
// format's 16-bit fields.
std::vector<uint8_t> writeTextGroup(const TextTable& table);

}  // namespace texts
