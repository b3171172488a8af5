#include "texts/TextPacker.h"

#include <set>
#include <sstream>
#include <stdexcept>

#include "chunk/ChunkWriter.h"

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
