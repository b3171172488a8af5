#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds text-group files from gettext PO files, one a language, or from a
// table of texts written as tab-separated UTF-8:
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

// One language's texts from a gettext PO file: msgid is the text's id, msgstr
// the text. The language is the header's "Language" field, or else `fallback`.
// Comments, the flags of "#," lines and obsolete "#~" entries are skipped; a
// "fuzzy" or empty msgstr counts as untranslated. Plural forms and msgctxt are
// refused, since a text group has neither.
struct PoCatalog {
    std::string language;
    struct Entry {
        std::string id;
        std::string text;  // empty when untranslated
        int line;          // of its msgid
    };
    std::vector<Entry> entries;  // in file order, without the header
};

// Throws std::runtime_error "line N: problem" for bad syntax, an unknown
// keyword, an unterminated string or escape, or a repeated msgid.
PoCatalog parsePo(const std::string& text, const std::string& fallbackLanguage);

// The table of several catalogues, the first one's language first. Ids come
// in the order they first appear, the first catalogue's first. A text that
// a catalogue lacks or leaves untranslated takes the first catalogue's text;
// each such id is added to `untranslated[language]` when it is given.
// Throws std::runtime_error when two catalogues have one language.
TextTable mergeCatalogs(const std::vector<PoCatalog>& catalogs,
                        std::vector<std::vector<std::string>>* untranslated = nullptr);

// Every character the table's texts use, once each, in code-point order, as
// UTF-8.
std::string charactersOf(const TextTable& table);

// The "PLXB" file with one "TEXT" chunk: "LDAT", "LIDS" and one "TXGP" per
// language. Throws std::runtime_error when a count or a text does not fit the
// format's 16-bit fields.
std::vector<uint8_t> writeTextGroup(const TextTable& table);

}  // namespace texts
