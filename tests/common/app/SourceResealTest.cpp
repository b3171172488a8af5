// Sealing edited bundle sources into a running game's data folder: where each
// kind of source goes, which ones count as changed, and what is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/app/SourceReseal.h"
#include "common/save/SealedFile.h"
#include "io/TempDir.h"
#include "qfseal/Sealer.h"

namespace {

std::vector<std::string> names(const std::vector<BundleSource>& files) {
    std::vector<std::string> result;
    for (const BundleSource& file : files) {
        result.push_back(file.name);
    }
    return result;
}

std::string text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class SourceResealTest : public ::testing::Test {
protected:
    void SetUp() override {
        sources.write("scripts/gamelogic.lua", "x = 1\n");
        sources.write("scripts/ui/text.lua", "Text = {}\n");
        sources.write("levels/m01.lua", "level = 1\n");
        sources.write("particles/dust.lua", "dust = 1\n");
        sources.write("scripts/notes.txt", "not a script\n");
        sources.write("art/ui/x.lua", "outside the three folders\n");
    }
    std::vector<BundleSource> read() const { return readBundleSources(sources.str(), data.str()); }
    std::string unsealed(const std::string& path) const {
        const std::string bytes = data.read(path);
        return text(openSealed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }

    TempDir sources, data;
};

TEST_F(SourceResealTest, ScriptsLevelsAndParticlesGoWhereTheBuildPutsThem) {
    const std::vector<BundleSource> all = read();
    ASSERT_EQ(names(all),
              (std::vector<std::string>{"levels/m01.lua", "particles/dust.lua",
                                        "scripts/gamelogic.lua", "scripts/ui/text.lua"}));
    EXPECT_EQ(all[0].sealed, data / "levels/m01.lua");
    EXPECT_EQ(all[1].sealed, data / "scripts/particles/dust.lua");
    EXPECT_EQ(all[3].sealed, data / "scripts/ui/text.lua");
    EXPECT_EQ(text(all[3].content), "Text = {}\n");
}

TEST_F(SourceResealTest, WrittenFilesOpenToTheSourceUnderTheirOwnName) {
    writeSealed(read());
    EXPECT_EQ(unsealed("scripts/particles/dust.lua"), "dust = 1\n");
    EXPECT_EQ(unsealed("scripts/ui/text.lua"), "Text = {}\n");
    const std::string bytes = data.read("levels/m01.lua");
    // The content key and no other, as the build seals.
    EXPECT_EQ(text(qfseal::unseal(std::vector<uint8_t>(bytes.begin(), bytes.end()))),
              "level = 1\n");
    sources.write("levels/m01.lua", "level = 2\n");
    writeSealed(read());
    EXPECT_EQ(unsealed("levels/m01.lua"), "level = 2\n");
}

TEST_F(SourceResealTest, OnlySourcesTheDataFolderDoesNotHoldAreChanged) {
    EXPECT_EQ(changedSources(read()).size(), 4u) << "nothing sealed yet";
    writeSealed(read());
    EXPECT_TRUE(changedSources(read()).empty());

    sources.write("scripts/ui/text.lua", "Text = { changed = true }\n");
    data.write("levels/m01.lua", "damaged: not a sealed file");
    std::filesystem::remove(data / "scripts/particles/dust.lua");
    EXPECT_EQ(
        names(changedSources(read())),
        (std::vector<std::string>{"levels/m01.lua", "particles/dust.lua", "scripts/ui/text.lua"}));
}

TEST_F(SourceResealTest, AFolderMissingFromTheSourcesIsNoError) {
    std::filesystem::remove_all(sources / "particles");
    EXPECT_EQ(read().size(), 3u);
}

}  // namespace
