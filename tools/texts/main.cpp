// qftextpack: builds a text-group file from a tab-separated table of texts.
//
//   qftextpack texts.tsv texts.dat

#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "texts/TextPacker.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: qftextpack <table.tsv> <out.dat>\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            throw std::runtime_error("cannot read the table");
        }
        const std::string tsv((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        const std::vector<uint8_t> file = texts::writeTextGroup(texts::parseTable(tsv));
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
        if (!out) {
            throw std::runtime_error("cannot write the file");
        }
    } catch (const std::exception& e) {
        std::cerr << "qftextpack: " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
