// qfseal: makes and opens the game's sealed files.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "qfseal/Sealer.h"

namespace {

const char* kUsage =
    "Usage: qfseal seal IN OUT\n"
    "       qfseal unseal IN OUT\n"
    "       qfseal --help\n"
    "\n"
    "seal    writes IN as a sealed file OUT: a 7z archive (LZMA) whose entry 0 holds\n"
    "        the bytes of IN, named after IN, encrypted with AES under the game's\n"
    "        content key.\n"
    "unseal  writes the content of the sealed file IN (entry 0 of its archive) to OUT.\n"
    "        Fails with \"Failed to decrypt input data\" when IN does not decrypt,\n"
    "        and with the archive reader's error when the decrypted bytes are not a\n"
    "        7z archive or hold no entry.\n"
    "\n"
    "OUT is replaced only when the command succeeds. Exit status: 0 on success,\n"
    "1 when a file cannot be read, written, sealed or opened, 2 for a wrong command\n"
    "line.\n";

// A failure that names the file it concerns.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& message)
        : std::runtime_error(path + ": " + message) {}
};

std::vector<uint8_t> readFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw FileError(path, "is a directory");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileError(path, std::string("cannot open: ") + std::strerror(errno));
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw FileError(path, "read error");
    }
    return bytes;
}

// Writes beside the target first, so that a failure leaves OUT as it was.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw FileError(path, std::string("cannot create: ") + std::strerror(errno));
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw FileError(path, "write error");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw FileError(path, "cannot replace: " + ec.message());
    }
}

void sealCommand(const std::string& in, const std::string& out) {
    std::vector<uint8_t> content = readFile(in);
    std::vector<uint8_t> sealed;
    try {
        sealed = qfseal::seal(content, std::filesystem::path(in).filename().string());
    } catch (const std::exception& e) {
        throw FileError(in, std::string("cannot seal: ") + e.what());
    }
    writeFile(out, sealed);
}

void unsealCommand(const std::string& in, const std::string& out) {
    std::vector<uint8_t> sealed = readFile(in);
    std::vector<uint8_t> content;
    try {
        content = qfseal::unseal(sealed);
    } catch (const std::exception& e) {
        throw FileError(in, e.what());
    }
    writeFile(out, content);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    bool seal = args.size() == 3 && args[0] == "seal";
    bool unseal = args.size() == 3 && args[0] == "unseal";
    if (!seal && !unseal) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        if (seal) {
            sealCommand(args[1], args[2]);
        } else {
            unsealCommand(args[1], args[2]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qfseal: %s\n", e.what());
        return 1;
    }
    return 0;
}
