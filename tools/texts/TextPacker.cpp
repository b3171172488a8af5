#include "texts/TextPacker.h"

#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "chunk/ChunkWriter.h"
#include "lang/String.h"

namespace texts {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return cells;
        }
        start = tab + 1;
    }
}

std::string unescape(const std::string& cell) {
    std::string out;
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\' || i + 1 == cell.size()) {
            out += cell[i];
            continue;
        }
        const char next = cell[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

[[noreturn]] void fail(int line, const std::string& what) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

}  // namespace

TextTable parseTable(const std::string& tsv) {
    TextTable table;
    std::istringstream in(tsv);
    std::string line;
    std::set<std::string> seen;
    bool header = true;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> cells = splitTabs(line);
        if (header) {
            table.languages.assign(cells.begin() + 1, cells.end());
            if (std::set<std::string>(table.languages.begin(), table.languages.end()).size() !=
                table.languages.size()) {
                fail(number, "a language is named twice");
            }
            table.texts.resize(table.languages.size());
            header = false;
            continue;
        }
        if (cells.size() != table.languages.size() + 1) {
            fail(number, std::to_string(cells.size()) + " cells, expected " +
                             std::to_string(table.languages.size() + 1));
        }
        if (cells[0].empty() || !seen.insert(cells[0]).second) {
            fail(number, "empty or repeated id \"" + cells[0] + "\"");
        }
        table.ids.push_back(cells[0]);
        for (size_t l = 0; l < table.languages.size(); ++l) {
            table.texts[l].push_back(unescape(cells[l + 1]));
        }
    }
    return table;
}

namespace {

// Reads one PO file line by line. A message is its keywords, each followed by
// one or more quoted strings that are joined.
class PoReader {
public:
    PoReader(const std::string& text, const std::string& fallback) : in_(text) {
        catalog_.language = fallback;
    }

    PoCatalog read() {
        std::string line;
        while (std::getline(in_, line)) {
            ++number_;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            readLine(line);
        }
        finishMessage();
        return catalog_;
    }

private:
    enum Field { NONE, ID, TEXT };

    void readLine(const std::string& line) {
        size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos) {
            return;
        }
        if (line[at] == '#') {
            readComment(line, at);
            return;
        }
        if (line[at] == '"') {
            if (field_ == NONE) {
                fail("a string that follows no msgid or msgstr");
            }
            (field_ == ID ? id_ : text_) += quoted(line, at);
            return;
        }
        const size_t end = line.find_first_of(" \t\"", at);
        const std::string keyword = line.substr(at, end - at);
        at = end == std::string::npos ? line.size() : line.find_first_not_of(" \t", end);
        if (keyword == "msgid") {
            finishMessage();
            field_ = ID;
            idLine_ = number_;
            id_ = quoted(line, at);
            fuzzy_ = nextFuzzy_;
            nextFuzzy_ = false;
        } else if (keyword == "msgstr") {
            if (field_ != ID || hasText_) {
                fail("msgstr without its msgid");
            }
            field_ = TEXT;
            hasText_ = true;
            text_ = quoted(line, at);
        } else if (keyword == "msgctxt") {
            fail("msgctxt is not supported: ids must be unique on their own");
        } else if (keyword == "msgid_plural" || keyword.compare(0, 7, "msgstr[") == 0) {
            fail("plural forms are not supported");
        } else {
            fail("unknown keyword \"" + keyword + "\"");
        }
    }

    void readComment(const std::string& line, size_t at) {
        if (line.compare(at, 2, "#,") == 0 && line.find("fuzzy", at) != std::string::npos) {
            nextFuzzy_ = true;
        }
        // "#~" lines are obsolete messages, kept by the tools for reference.
    }

    // The string starting at the quote at `at`; nothing else may follow it.
    std::string quoted(const std::string& line, size_t at) {
        if (at == std::string::npos || at >= line.size() || line[at] != '"') {
            fail("expected a quoted string");
        }
        std::string out;
        size_t i = at + 1;
        for (;; ++i) {
            if (i >= line.size()) {
                fail("the string does not end on its line");
            }
            const char c = line[i];
            if (c == '"') {
                break;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++i >= line.size()) {
                fail("the string does not end on its line");
            }
            switch (line[i]) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                default:
                    fail(std::string("unknown escape \\") + line[i]);
            }
        }
        if (line.find_first_not_of(" \t", i + 1) != std::string::npos) {
            fail("text after the closing quote");
        }
        if (lang::toUTF8(lang::toUTF32(out)) != out) {
            fail("the string is not UTF-8");
        }
        return out;
    }

    void finishMessage() {
        if (field_ == NONE) {
            return;
        }
        if (!hasText_) {
            failAt(idLine_, "msgid \"" + id_ + "\" has no msgstr");
        }
        if (id_.empty()) {
            readHeader();
        } else {
            const auto seen = lines_.emplace(id_, idLine_);
            if (!seen.second) {
                failAt(idLine_, "msgid \"" + id_ + "\" repeats the one on line " +
                                    std::to_string(seen.first->second));
            }
            catalog_.entries.push_back({id_, fuzzy_ ? std::string() : text_, idLine_});
        }
        field_ = NONE;
        hasText_ = false;
        id_.clear();
        text_.clear();
    }

    void readHeader() {
        std::istringstream fields(text_);
        std::string field;
        while (std::getline(fields, field)) {
            if (field.compare(0, 9, "Language:") == 0) {
                const size_t start = field.find_first_not_of(" \t", 9);
                const size_t end = field.find_last_not_of(" \t");
                if (start != std::string::npos) {
                    catalog_.language = field.substr(start, end - start + 1);
                }
            }
        }
    }

    [[noreturn]] void fail(const std::string& what) { failAt(number_, what); }
    [[noreturn]] void failAt(int line, const std::string& what) {
        throw std::runtime_error("line " + std::to_string(line) + ": " + what);
    }

    std::istringstream in_;
    PoCatalog catalog_;
    std::map<std::string, int> lines_;  // msgid to its line
    int number_ = 0;
    Field field_ = NONE;
    bool hasText_ = false;
    bool fuzzy_ = false, nextFuzzy_ = false;
    int idLine_ = 0;
    std::string id_, text_;
};

}  // namespace

PoCatalog parsePo(const std::string& text, const std::string& fallbackLanguage) {
    return PoReader(text, fallbackLanguage).read();
}

TextTable mergeCatalogs(const std::vector<PoCatalog>& catalogs,
                        std::vector<std::vector<std::string>>* untranslated) {
    TextTable table;
    std::map<std::string, size_t> index;
    for (const PoCatalog& catalog : catalogs) {
        for (const std::string& language : table.languages) {
            if (language == catalog.language) {
                throw std::runtime_error("two catalogues are for the language \"" + language +
                                         "\"");
            }
        }
        table.languages.push_back(catalog.language);
        for (const PoCatalog::Entry& entry : catalog.entries) {
            if (index.emplace(entry.id, table.ids.size()).second) {
                table.ids.push_back(entry.id);
            }
        }
    }
    table.texts.assign(catalogs.size(), std::vector<std::string>(table.ids.size()));
    if (untranslated) {
        untranslated->assign(catalogs.size(), std::vector<std::string>());
    }
    std::vector<std::vector<bool>> given(catalogs.size(),
                                         std::vector<bool>(table.ids.size(), false));
    for (size_t l = 0; l < catalogs.size(); ++l) {
        for (const PoCatalog::Entry& entry : catalogs[l].entries) {
            if (!entry.text.empty()) {
                const size_t i = index[entry.id];
                table.texts[l][i] = entry.text;
                given[l][i] = true;
            }
        }
    }
    for (size_t l = 0; l < catalogs.size(); ++l) {
        for (size_t i = 0; i < table.ids.size(); ++i) {
            if (!given[l][i]) {
                table.texts[l][i] = table.texts[0][i];
                if (untranslated) {
                    (*untranslated)[l].push_back(table.ids[i]);
                }
            }
        }
    }
    return table;
}

std::string charactersOf(const TextTable& table) {
    std::set<char32_t> used;
    for (const std::vector<std::string>& texts : table.texts) {
        for (const std::string& text : texts) {
            for (char32_t c : lang::toUTF32(text)) {
                used.insert(c);
            }
        }
    }
    return lang::toUTF8(std::u32string(used.begin(), used.end()));
}

namespace {

void checkCount(size_t count, const char* what) {
    if (count > 32767) {
        throw std::runtime_error(std::string("too many ") + what);
    }
}

void writeString(chunk::ChunkWriter& w, const std::string& text) {
    if (text.size() > 32767) {
        throw std::runtime_error("a text is longer than 32767 bytes: " + text.substr(0, 40));
    }
    w.string(text);
}

}  // namespace

std::vector<uint8_t> writeTextGroup(const TextTable& table) {
    checkCount(table.languages.size(), "languages");
    checkCount(table.ids.size(), "ids");
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("TEXT").int16(1);
    w.beginChunk("LDAT").int16(static_cast<int>(table.languages.size()));
    for (const std::string& language : table.languages) {
        writeString(w, language);
    }
    w.endChunk().beginChunk("LIDS").int16(static_cast<int>(table.ids.size()));
    for (const std::string& id : table.ids) {
        writeString(w, id);
    }
    w.endChunk();
    for (const std::vector<std::string>& texts : table.texts) {
        w.beginChunk("TXGP");
        for (const std::string& text : texts) {
            writeString(w, text);
        }
        w.endChunk();
    }
    w.endChunk().endFile();
    return w.data();
}

}  // namespace texts
