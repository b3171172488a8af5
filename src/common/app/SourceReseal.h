#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One script, level or particle source of the bundle, read from the sources
/// folder, and where its sealed form lives in the game's data folder: the
/// layout bundle/CMakeLists.txt builds (scripts/, levels/, and particles/ as
/// scripts/particles/).
struct BundleSource {
    std::string name;    // below the sources folder: "scripts/ui/text.lua"
    std::string sealed;  // the sealed file in the data folder
    std::vector<uint8_t> content;
};

/// Every .lua file below the sources' scripts/, levels/ and particles/
/// folders, in name order. Throws io::IOException when one cannot be read.
std::vector<BundleSource> readBundleSources(const std::string& sources,
                                            const std::string& dataFolder);

/// The sources whose sealed file is missing or holds other content (a file
/// that does not open counts as other content).
std::vector<BundleSource> changedSources(const std::vector<BundleSource>& all);

/// Seals each file and replaces its sealed file atomically, making folders on
/// the way. Throws io::IOException naming the file that could not be written;
/// the files before it are written.
void writeSealed(const std::vector<BundleSource>& files);
