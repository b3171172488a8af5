// qfsheet: builds the sprite sheets of the bundle.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "sheetpack/CompoSource.h"
#include "sheetpack/Error.h"
#include "sheetpack/Files.h"
#include "sheetpack/Png.h"
#include "sheetpack/SheetPacker.h"
#include "sheetpack/TexturePackerSheet.h"

namespace {

const char* kUsage =
    "Usage: qfsheet pack [options] OUT.dat INPUT...\n"
    "       qfsheet convert [options] OUT.dat SHEET.json\n"
    "       qfsheet compo [--scale N] [--sheet FILE]... OUT.dat SOURCE.json...\n"
    "       qfsheet --help\n"
    "\n"
    "pack   packs PNG files into one atlas and writes the \"PLXB\" sheet file OUT.dat\n"
    "       and its atlas beside it (OUT.png). An INPUT is a PNG file or a folder,\n"
    "       whose *.png files are taken. A sprite is named after its file, without\n"
    "       \".png\".\n"
    "         --sidecar FILE   sprite settings: lines of \"NAME pivot=X,Y trim|notrim\",\n"
    "                          \"*\" for every sprite; pivots are in pixels at scale 1\n"
    "         --scale N        the PNG files are drawn N times larger (default 1)\n"
    "         --trim           trim transparent borders unless the sidecar says notrim\n"
    "         --padding N      transparent pixels between sprites (default 2)\n"
    "         --extrude N      edge pixels repeated around each sprite (default 1)\n"
    "         --max-size N     largest atlas side (default 4096)\n"
    "         --texture NAME   the atlas file name (default: OUT's name with .png)\n"
    "\n"
    "convert  reads a TexturePacker JSON sheet, hash or array form, and its atlas\n"
    "       (meta.image, beside it); cuts each frame out, turned upright and with\n"
    "       the border TexturePacker trimmed, and packs them as pack does (the\n"
    "       options of pack but --sidecar and --scale). A frame's name loses its\n"
    "       folder and extension; its pivot is kept, or it is centred.\n"
    "\n"
    "compo  writes the composite sprites of the JSON sources into one \"ZWQA\"\n"
    "       composite file OUT.dat, parts in drawing order.\n"
    "         --scale N        the sheet's scale: positions are multiplied by it\n"
    "         --sheet FILE     a \"PLXB\" sheet the parts' sprites come from; with\n"
    "                          any, a part naming no sprite of them is an error\n"
    "\n"
    "Sprites without a pivot in the sidecar are pivoted on their centre. The same\n"
    "input gives the same bytes. Exit status: 0 on success, 1 when an input is bad\n"
    "or a file cannot be written (the message names the file), 2 for a wrong\n"
    "command line.\n";

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

int number(const std::string& option, const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == 0 || *end != 0 || value < 0 || value > 32767) {
        throw UsageError(option + " wants a number from 0 to 32767, not \"" + text + "\"");
    }
    return static_cast<int>(value);
}

std::vector<std::string> expandInputs(const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!fs::is_directory(input, ec)) {
            files.push_back(input);
            continue;
        }
        std::vector<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(input, ec)) {
            if (entry.path().extension() == ".png") {
                found.push_back(entry.path().string());
            }
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

struct CommandLine {
    sheetpack::PackOptions options;
    std::string sidecarPath;
    std::vector<std::string> sheets;
    std::vector<std::string> positional;
};

// The options of `command`; those in `allowed` are accepted.
CommandLine readCommandLine(int argc, char** argv, const std::string& command,
                            const std::vector<std::string>& allowed) {
    CommandLine line;
    sheetpack::PackOptions& options = line.options;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                throw UsageError(arg + " wants a value");
            }
            return argv[++i];
        };
        if (arg.size() > 1 && arg[0] == '-' &&
            std::find(allowed.begin(), allowed.end(), arg) == allowed.end()) {
            throw UsageError("unknown option " + arg + " of " + command);
        }
        if (arg == "--sidecar") {
            line.sidecarPath = value();
        } else if (arg == "--sheet") {
            line.sheets.push_back(value());
        } else if (arg == "--scale") {
            options.scale = number(arg, value());
        } else if (arg == "--trim") {
            options.trim = true;
        } else if (arg == "--padding") {
            options.padding = number(arg, value());
        } else if (arg == "--extrude") {
            options.extrude = number(arg, value());
        } else if (arg == "--max-size") {
            options.maxSize = number(arg, value());
        } else if (arg == "--texture") {
            options.textureName = value();
        } else {
            line.positional.push_back(arg);
        }
    }
    if (options.textureName.empty() && !line.positional.empty()) {
        options.textureName = std::filesystem::path(line.positional[0]).stem().string() + ".png";
    }
    return line;
}

// Packs the sprites and writes the sheet file `out` and its atlas beside it.
void writeSheet(std::vector<sheetpack::SourceSprite> sprites, const sheetpack::Sidecar& sidecar,
                const sheetpack::PackOptions& options, const std::string& out) {
    sheetpack::PackedSheet sheet;
    try {
        sheet = sheetpack::packSheet(std::move(sprites), sidecar, options);
    } catch (const sheetpack::Error& e) {
        throw sheetpack::Error(out + ": " + e.what());
    }
    const std::filesystem::path outPath(out);
    sheetpack::writeFile((outPath.parent_path() / options.textureName).string(),
                         sheetpack::writePng(sheet.atlas));
    sheetpack::writeFile(out, sheet.file);
}

const std::vector<std::string> kPackingOptions = {"--trim", "--padding", "--extrude", "--max-size",
                                                  "--texture"};

int pack(int argc, char** argv) {
    std::vector<std::string> allowed = kPackingOptions;
    allowed.insert(allowed.end(), {"--sidecar", "--scale"});
    const CommandLine line = readCommandLine(argc, argv, "pack", allowed);
    const std::vector<std::string>& positional = line.positional;
    if (positional.size() < 2) {
        throw UsageError("pack wants OUT.dat and at least one INPUT");
    }
    std::vector<sheetpack::SourceSprite> sprites;
    for (const std::string& file :
         expandInputs(std::vector<std::string>(positional.begin() + 1, positional.end()))) {
        const std::vector<uint8_t> bytes = sheetpack::readFile(file);
        sprites.push_back({std::filesystem::path(file).stem().string(),
                           sheetpack::readPng(bytes.data(), bytes.size(), file)});
    }
    if (sprites.empty()) {
        throw sheetpack::Error(positional[1] + ": no PNG files");
    }
    sheetpack::Sidecar sidecar;
    if (!line.sidecarPath.empty()) {
        sidecar = sheetpack::parseSidecar(sheetpack::readText(line.sidecarPath), line.sidecarPath);
    }
    writeSheet(std::move(sprites), sidecar, line.options, positional[0]);
    return 0;
}

int convert(int argc, char** argv) {
    const CommandLine line = readCommandLine(argc, argv, "convert", kPackingOptions);
    if (line.positional.size() != 2) {
        throw UsageError("convert wants OUT.dat and one SHEET.json");
    }
    const std::string& json = line.positional[1];
    const sheetpack::TexturePackerSheet sheet =
        sheetpack::parseTexturePacker(sheetpack::readText(json), json);
    const std::string atlasPath =
        (std::filesystem::path(json).parent_path() / sheet.image).string();
    const std::vector<uint8_t> bytes = sheetpack::readFile(atlasPath);
    const gr::Image atlas = sheetpack::readPng(bytes.data(), bytes.size(), atlasPath);
    sheetpack::Sidecar sidecar;
    std::vector<sheetpack::SourceSprite> sprites =
        sheetpack::cutFrames(sheet, atlas, atlasPath, sidecar);
    writeSheet(std::move(sprites), sidecar, line.options, line.positional[0]);
    return 0;
}

int compo(int argc, char** argv) {
    const CommandLine line = readCommandLine(argc, argv, "compo", {"--scale", "--sheet"});
    if (line.positional.size() < 2) {
        throw UsageError("compo wants OUT.dat and at least one SOURCE.json");
    }
    if (line.options.scale < 1) {
        throw UsageError("--scale wants a number from 1");
    }
    std::set<std::string> sprites;
    for (const std::string& sheet : line.sheets) {
        const std::set<std::string> names =
            sheetpack::sheetSpriteNames(sheetpack::readFile(sheet), sheet);
        sprites.insert(names.begin(), names.end());
    }
    std::vector<sheetpack::Composite> composites;
    for (size_t i = 1; i < line.positional.size(); ++i) {
        const std::string& source = line.positional[i];
        std::vector<sheetpack::Composite> read =
            sheetpack::parseCompoSource(sheetpack::readText(source), source);
        if (!line.sheets.empty()) {
            sheetpack::checkParts(read, sprites, source);
        }
        for (sheetpack::Composite& c : read) {
            composites.push_back(std::move(c));
        }
    }
    std::vector<uint8_t> file;
    try {
        file = sheetpack::writeCompoFile(composites, line.options.scale);
    } catch (const sheetpack::Error& e) {
        throw sheetpack::Error(line.positional[0] + ": " + e.what());
    }
    sheetpack::writeFile(line.positional[0], file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    try {
        if (command == "pack") {
            return pack(argc, argv);
        }
        if (command == "convert") {
            return convert(argc, argv);
        }
        if (command == "compo") {
            return compo(argc, argv);
        }
        throw UsageError(command.empty() ? "no command" : "unknown command " + command);
    } catch (const UsageError& e) {
        std::cerr << "qfsheet: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "qfsheet: " << e.what() << "\n";
        return 1;
    }
}
