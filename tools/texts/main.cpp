// qftextpack: builds a text-group file from gettext PO files (one a language)
// or from a tab-separated table of texts.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "texts/TextPacker.h"

namespace {

const char* kUsage =
    "Usage: qftextpack [--chars FILE] INPUT... OUT.dat\n"
    "       qftextpack --help\n"
    "\n"
    "Writes the text-group file OUT.dat from INPUT, either gettext PO files, one a\n"
    "language (msgid is a text's id, msgstr its text; the language is the header's\n"
    "\"Language\" field, or else the file's name without \".po\"), or one table of\n"
    "tab-separated texts (\".tsv\": a row of language names, then an id and one\n"
    "text a language per row). The first PO file is the source language: a text\n"
    "another file lacks, or leaves empty or fuzzy, takes its text, with a warning.\n"
    "\n"
    "  --chars FILE   also writes every character the texts use to FILE (UTF-8),\n"
    "                 for the font packer; FILE keeps its time when it is unchanged\n"
    "\n"
    "Exit status: 0 on success, 1 when an input is bad or a file cannot be written\n"
    "(the message names the file and line), 2 for a wrong command line.\n";

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path + ": cannot read");
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes through a temporary file; a file that would not change is left alone.
void writeFile(const std::string& path, const std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        try {
            if (readText(path) == bytes) {
                return;
            }
        } catch (const std::runtime_error&) {
        }
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error(path + ": cannot write");
        }
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error(path + ": cannot write: " + ec.message());
    }
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Errors of the packer name a line; this names the file too.
template <typename F>
auto inFile(const std::string& path, F f) -> decltype(f()) {
    try {
        return f();
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

int run(int argc, char** argv) {
    std::string charsPath;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--chars") {
            if (++i >= argc) {
                throw UsageError("--chars wants a file");
            }
            charsPath = argv[i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) {
        throw UsageError("wants at least one INPUT and OUT.dat");
    }
    const std::string out = files.back();
    files.pop_back();
    texts::TextTable table;
    if (files.size() == 1 && endsWith(files[0], ".tsv")) {
        const std::string tsv = readText(files[0]);
        table = inFile(files[0], [&] { return texts::parseTable(tsv); });
    } else {
        std::vector<texts::PoCatalog> catalogs;
        for (const std::string& file : files) {
            if (!endsWith(file, ".po")) {
                throw UsageError(file + ": inputs are PO files or one TSV table");
            }
            const std::string text = readText(file);
            const std::string language = std::filesystem::path(file).stem().string();
            catalogs.push_back(inFile(file, [&] { return texts::parsePo(text, language); }));
        }
        std::vector<std::vector<std::string>> untranslated;
        table = texts::mergeCatalogs(catalogs, &untranslated);
        for (size_t l = 1; l < files.size(); ++l) {
            if (untranslated[l].empty()) {
                continue;
            }
            std::cerr << "qftextpack: " << files[l] << ": " << untranslated[l].size()
                      << " texts untranslated, using the " << table.languages[0] << " ones:";
            for (const std::string& id : untranslated[l]) {
                std::cerr << " " << id;
            }
            std::cerr << "\n";
        }
    }
    const std::vector<uint8_t> file = inFile(out, [&] { return texts::writeTextGroup(table); });
    writeFile(out, std::string(file.begin(), file.end()));
    if (!charsPath.empty()) {
        writeFile(charsPath, texts::charactersOf(table));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    try {
        return run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "qftextpack: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "qftextpack: " << e.what() << "\n";
        return 1;
    }
}
