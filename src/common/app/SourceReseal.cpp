#include "common/app/SourceReseal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/save/SealedFile.h"
#include "io/AtomicFile.h"
#include "io/IOException.h"
#include "qfseal/Sealer.h"

namespace fs = std::filesystem;

namespace {

// Each source folder and its place in the data folder.
struct Folder {
    const char* source;
    const char* sealed;
};
const Folder FOLDERS[] = {
    {"scripts", "scripts"}, {"levels", "levels"}, {"particles", "scripts/particles"}};

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        throw io::IOException(lang::Format("Cannot read {0}", path.string()));
    }
    return bytes;
}

bool sealedHolds(const std::string& path, const std::vector<uint8_t>& content) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return false;
    }
    const std::vector<uint8_t> sealed = readBytes(path);
    try {
        return openSealed(sealed.data(), sealed.size()) == content;
    } catch (const lang::Throwable&) {
        return false;
    }
}

}  // namespace

std::vector<BundleSource> readBundleSources(const std::string& sources,
                                            const std::string& dataFolder) {
    std::vector<BundleSource> found;
    for (const Folder& folder : FOLDERS) {
        const fs::path root = fs::path(sources) / folder.source;
        std::error_code error;
        for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
             it.increment(error)) {
            if (!it->is_regular_file(error) || it->path().extension() != ".lua") {
                continue;
            }
            const fs::path relative = fs::relative(it->path(), root);
            BundleSource source;
            source.name = (fs::path(folder.source) / relative).generic_string();
            source.sealed = (fs::path(dataFolder) / folder.sealed / relative).string();
            source.content = readBytes(it->path());
            found.push_back(std::move(source));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const BundleSource& a, const BundleSource& b) { return a.name < b.name; });
    return found;
}

std::vector<BundleSource> changedSources(const std::vector<BundleSource>& all) {
    std::vector<BundleSource> changed;
    for (const BundleSource& source : all) {
        if (!sealedHolds(source.sealed, source.content)) {
            changed.push_back(source);
        }
    }
    return changed;
}

void writeSealed(const std::vector<BundleSource>& files) {
    for (const BundleSource& file : files) {
        const fs::path target(file.sealed);
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        // Named like the file, as the build's sealing names its entries.
        const std::vector<uint8_t> sealed = qfseal::seal(file.content, target.filename().string());
        io::replaceFile(file.sealed, sealed.data(), sealed.size());
    }
}
