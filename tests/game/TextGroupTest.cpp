// Localised text groups: both file layouts, loading and releasing languages,
// missing ids and damaged files.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "game/GameTestUtil.h"
#include "game/Resources.h"
#include "game/TextGroupFile.h"
#include "game/TextGroupSet.h"
#include "game/TextTestUtil.h"
#include "io/IOException.h"

using namespace game;
using namespace gametest;
using namespace texttest;

namespace {

const std::vector<std::string> IDS = {"HELLO", "BYE"};
const std::vector<LanguageTexts> LANGUAGES = {
    {"en_EN", {"Hello", "Bye"}},
    {"fi_FI", {"Hei", "Hei hei"}},
    {"sv_SE", {"Hej", "Hej d\xC3\xA5"}},
};

using FileMaker = std::vector<uint8_t> (*)(const std::vector<std::string>&,
                                           const std::vector<LanguageTexts>&);

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const lang::Exception& e) {
        return e.what();
    }
    return "no exception";
}

// Every case runs on both layouts.
class TextGroupLayoutTest : public ::testing::TestWithParam<FileMaker> {
protected:
    lang::Ptr<TextGroupSet> makeSet(const std::vector<LanguageTexts>& languages = LANGUAGES) {
        lang::Ptr<TextGroupSet> set = new TextGroupSet("texts/ui.dat", GetParam()(IDS, languages));
        set->readLanguages();
        return set;
    }
};

TEST_P(TextGroupLayoutTest, ReadsLanguagesInFileOrder) {
    lang::Ptr<TextGroupSet> set = makeSet();
    EXPECT_EQ(set->getLanguages(), (std::vector<std::string>{"en_EN", "fi_FI", "sv_SE"}));
    EXPECT_FALSE(set->isLoaded("en_EN"));
}

TEST_P(TextGroupLayoutTest, LoadsEachLanguageFromItsOwnBlock) {
    lang::Ptr<TextGroupSet> set = makeSet();
    for (const LanguageTexts& l : LANGUAGES) {
        lang::Ptr<TextGroup> group = set->load(l.name);
        ASSERT_TRUE(group);
        EXPECT_EQ(set->getTextGroup(l.name), group.get());
        EXPECT_EQ(group->getString("HELLO"), l.texts[0]) << l.name;
        EXPECT_EQ(group->getString("BYE"), l.texts[1]) << l.name;
    }
}

TEST_P(TextGroupLayoutTest, LoadAllLoadsEveryLanguageAndReturnsTheFirst) {
    lang::Ptr<TextGroupSet> set = makeSet();
    lang::Ptr<TextGroup> first = set->load("ALL");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->getString("HELLO"), "Hello");
    for (const LanguageTexts& l : LANGUAGES) {
        EXPECT_TRUE(set->isLoaded(l.name));
    }
    EXPECT_EQ(set->getTextGroup("sv_SE")->getString("BYE"), "Hej d\xC3\xA5");
    set->release("fi_FI");
    EXPECT_FALSE(set->isLoaded("fi_FI"));
    EXPECT_TRUE(set->isLoaded("sv_SE"));
    set->release("ALL");
    EXPECT_FALSE(set->isLoaded("en_EN"));
}

TEST_P(TextGroupLayoutTest, AFileWithoutLanguagesLoadsNothing) {
    lang::Ptr<TextGroupSet> set = makeSet({});
    EXPECT_TRUE(set->getLanguages().empty());
    EXPECT_FALSE(set->load("ALL"));
    set->release("ALL");
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextGroupLayoutTest,
                         ::testing::Values(&textChunkFile, &textPlainFile),
                         [](const ::testing::TestParamInfo<FileMaker>& info) {
                             return info.index == 0 ? "Chunks" : "Plain";
                         });

TEST(TextGroupTest, MissingIdsAnswerWithThemselvesAndStay) {
    lang::Ptr<TextGroup> group = new TextGroup(TextGroup::StringMap{{"A", "a"}});
    EXPECT_FALSE(group->hasString("MISSING"));
    EXPECT_EQ(group->getString("MISSING"), "MISSING");
    EXPECT_TRUE(group->hasString("MISSING"));
    EXPECT_EQ(group->getStrings().size(), 2u);
    EXPECT_EQ(group->getString("A"), "a");
}

TEST(TextGroupTest, LanguagesOutsideTheFileAndUnloadedGroupsFail) {
    lang::Ptr<TextGroupSet> set = new TextGroupSet("t", textChunkFile(IDS, LANGUAGES));
    set->readLanguages();
    set->release("ALL");  // nothing loaded: nothing happens
    set->release("en_EN");
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { set->load("de_DE"); },
         "Trying to load TextGroup for language not present in data file. Language: \"de_DE\""},
        {[&] { set->getTextGroup("de_DE"); },
         "Trying to get TextGroup for language not present in data file. Language: \"de_DE\""},
        {[&] { set->getTextGroup("fi_FI"); },
         "Trying to get TextGroup for language which is not loaded. Language: \"fi_FI\""},
        {[&] { set->release("en"); },
         "Trying to release TextGroup for language not present in data file. Language: \"en\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf(c.first), c.second);
    }
}

TEST(TextGroupTest, PlainLanguageCountIsSigned) {
    std::vector<uint8_t> file = textPlainFile(IDS, LANGUAGES);
    file[5] = 0x85;  // the count byte after the unused byte and the block size
    lang::Ptr<TextGroupSet> set = new TextGroupSet("t", file);
    set->readLanguages();
    EXPECT_TRUE(set->getLanguages().empty());
}

TEST(TextGroupTest, ALanguageWithoutTextsGetsAnEmptyGroup) {
    // Three languages listed, two text blocks.
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("TEXT").int16(1).beginChunk("LDAT").int16(3);
    w.string("en_EN").string("fi_FI").string("sv_SE").endChunk();
    w.beginChunk("LIDS").int16(1).string("HELLO").endChunk();
    w.beginChunk("TXGP").string("Hello").endChunk().beginChunk("TXGP").string("Hei").endChunk();
    w.endChunk().endFile();
    lang::Ptr<TextGroupSet> set = new TextGroupSet("t", w.data());
    set->readLanguages();
    lang::Ptr<TextGroup> group = set->load("sv_SE");
    ASSERT_TRUE(group);
    EXPECT_TRUE(group->getStrings().empty());
    EXPECT_EQ(set->load("fi_FI")->getString("HELLO"), "Hei");
}

TEST(TextGroupTest, ChunkFileErrors) {
    chunk::ChunkWriter early;
    early.beginFile("PLXB").beginChunk("TEXT").int16(1).beginChunk("LDAT").int16(1);
    early.string("en_EN").endChunk().beginChunk("TXGP").string("x").endChunk();
    early.endChunk().endFile();
    lang::Ptr<TextGroupSet> set = new TextGroupSet("texts/early.dat", early.data());
    set->readLanguages();
    EXPECT_EQ(messageOf([&] { set->load("en_EN"); }),
              "Missing LIDS chunk before TXGP chunk in file texts/early.dat");
    EXPECT_FALSE(set->isLoaded("en_EN"));

    std::vector<uint8_t> longPayload = textChunkFile(IDS, LANGUAGES);
    longPayload[7] += 1;
    lang::Ptr<TextGroupSet> bad = new TextGroupSet("texts/long.dat", longPayload);
    EXPECT_EQ(messageOf([&] { bad->readLanguages(); }), "Malformed PLXB file: texts/long.dat");
}

TEST(TextGroupTest, OtherVersionsAndChunksAreSkipped) {
    chunk::ChunkWriter w;
    w.beginFile("PLXB").beginChunk("FONT").int16(1).endChunk();
    w.beginChunk("TEXT").int16(2).beginChunk("LDAT").int16(1).string("xx_XX").endChunk();
    w.endChunk();
    w.beginChunk("TEXT").int16(1).beginChunk("META").int32(7).endChunk();
    w.beginChunk("LDAT").int16(1).string("en_EN").endChunk();
    w.beginChunk("LIDS").int16(1).string("K").endChunk();
    w.beginChunk("TXGP").string("v").endChunk().endChunk().endFile();
    lang::Ptr<TextGroupSet> set = new TextGroupSet("t", w.data());
    set->readLanguages();
    EXPECT_EQ(set->getLanguages(), std::vector<std::string>{"en_EN"});
    EXPECT_EQ(set->load("en_EN")->getString("K"), "v");
}

TEST(TextGroupTest, DamagedFilesOnlyEverThrow) {
    for (FileMaker make : {&textChunkFile, &textPlainFile}) {
        const std::vector<uint8_t> good = make(IDS, LANGUAGES);
        auto parse = [](const std::vector<uint8_t>& d) {
            try {
                textfile::readLanguages(d.data(), d.size(), "f");
                std::map<std::string, std::string> texts;
                for (int index = 0; index < 3; ++index) {
                    textfile::readTexts(d.data(), d.size(), "f", index, texts);
                }
            } catch (const io::IOException&) {
            }
        };
        for (size_t length = 0; length < good.size(); ++length) {
            parse(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)));
        }
        std::mt19937 random(7);
        for (int round = 0; round < 2000; ++round) {
            std::vector<uint8_t> data = good;
            for (int e = 0; e < 3; ++e) {
                data[random() % data.size()] = static_cast<uint8_t>(random());
            }
            parse(data);
        }
    }
}

TEST(TextGroupTest, TruncatedPlainFileNamesThePath) {
    const std::vector<uint8_t> good = textPlainFile(IDS, LANGUAGES);
    const std::vector<uint8_t> cut(good.begin(), good.end() - 2);
    lang::Ptr<TextGroupSet> set = new TextGroupSet("texts/cut.dat", cut);
    set->readLanguages();
    EXPECT_EQ(messageOf([&] { set->load("sv_SE"); }), "Unexpected end of file in texts/cut.dat.");
    EXPECT_EQ(set->load("en_EN")->getString("HELLO"), "Hello");

    // Table entries that point outside the file: the table follows the unused
    // byte, the block size, the language block (22 bytes) and the ids (14).
    const size_t table = 1 + 4 + 22 + 14;
    for (uint8_t first : {0x7F, 0x80}) {
        std::vector<uint8_t> far = good;
        far[table] = first;
        lang::Ptr<TextGroupSet> farSet = new TextGroupSet("texts/far.dat", far);
        farSet->readLanguages();
        EXPECT_EQ(messageOf([&] { farSet->load("en_EN"); }),
                  "Unexpected end of file in texts/far.dat.");
        EXPECT_EQ(farSet->load("fi_FI")->getString("HELLO"), "Hei");
    }
}

// Registry: sets under their base name, locales, and failed loads.
class TextRegistryTest : public ::testing::Test {
protected:
    BundleDir bundle;
    lang::Ptr<Resources> res = new Resources(new FakeContext());
};

TEST_F(TextRegistryTest, GetStringUsesTheCurrentLocale) {
    bundle.write("texts/menu.dat", textChunkFile(IDS, LANGUAGES));
    res->createTextGroupSet("texts/menu.dat", false);
    res->loadLocale("menu", "en_EN");
    EXPECT_EQ(res->getString("menu", "HELLO"), "Hello");
    res->loadLocale("menu", "fi_FI");  // drops en_EN
    EXPECT_THROW(res->getString("menu", "HELLO"), lang::Exception);
    res->useLocale("fi_FI");
    EXPECT_EQ(res->getString("menu", "BYE"), "Hei hei");
    EXPECT_EQ(res->getString("menu", "NEW_ID"), "NEW_ID");
}

TEST_F(TextRegistryTest, AFailedLoadChangesNothing) {
    bundle.write("texts/menu.dat", textChunkFile(IDS, LANGUAGES));
    res->createTextGroupSet("texts/menu.dat", false);
    res->loadLocale("menu", "en_EN");
    TextGroupSet* set = res->getTextGroupSet("menu");

    // The file changes under the set: a reload fails and keeps the loaded group.
    std::vector<uint8_t> broken = textChunkFile(IDS, LANGUAGES);
    broken.resize(broken.size() - 4);
    bundle.write("texts/menu.dat", broken);
    EXPECT_THROW(set->load("en_EN"), io::IOException);
    EXPECT_EQ(res->getString("menu", "HELLO"), "Hello");
    EXPECT_THROW(res->createTextGroupSet("texts/menu.dat", true), io::IOException);
    EXPECT_EQ(res->getTextGroupSet("menu"), set);

    bundle.write("texts/other.dat", std::vector<uint8_t>{1, 0, 0});
    EXPECT_THROW(res->createTextGroupSet("texts/other.dat", false), io::IOException);
    EXPECT_EQ(res->getTextGroupSet("other"), nullptr);
}

}  // namespace
