// The text packer's PO reading, the text group it writes read back through the
// engine, and the bundle's own texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "game/TextGroupSet.h"
#include "lang/String.h"
#include "texts/TextPacker.h"
#include "tools/ToolRun.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* const ENGLISH = R"(# translator comment
msgid ""
msgstr ""
"Language: en\n"
"Content-Type: text/plain; charset=UTF-8\n"

#. a comment for translators
#: ui/menu.lua:12
msgid "PLAY"
msgstr "Play"

msgid "INTRO"
msgstr ""
"Two lines,\n"
"one \"quoted\"\tand a back\\slash"

msgid "ONLY_ENGLISH"
msgstr "Only here"

#~ msgid "OLD"
#~ msgstr "Gone"
)";

const char* const GERMAN =
    "msgid \"\"\r\n"
    "msgstr \"Language: de\\n\"\r\n"
    "\r\n"
    "msgid \"PLAY\"\r\n"
    "msgstr \"Spielen\"\r\n"
    "\r\n"
    "#, fuzzy\r\n"
    "msgid \"INTRO\"\r\n"
    "msgstr \"Zwei Zeilen (noch nicht gepr\xC3\xBC"
    "ft)\"\r\n"
    "\r\n"
    "msgid \"EXTRA\"\r\n"
    "msgstr \"Gr\xC3\xBC\xC3\x9F"
    "e\"\r\n";

TEST(TextBundleTest, PoCataloguesRoundTripThroughTheEngine) {
    std::vector<std::vector<std::string>> untranslated;
    const texts::TextTable table = texts::mergeCatalogs(
        {texts::parsePo(ENGLISH, "fallback"), texts::parsePo(GERMAN, "fallback")}, &untranslated);
    EXPECT_EQ(table.languages, (std::vector<std::string>{"en", "de"}));
    // A fuzzy translation is no translation; a text German lacks is English.
    EXPECT_EQ(untranslated[1], (std::vector<std::string>{"INTRO", "ONLY_ENGLISH"}));
    EXPECT_EQ(untranslated[0], std::vector<std::string>{"EXTRA"});

    lang::Ptr<game::TextGroupSet> set =
        new game::TextGroupSet("texts.dat", texts::writeTextGroup(table));
    set->readLanguages();
    EXPECT_EQ(set->getLanguages(), (std::vector<std::string>{"en", "de"}));
    set->load("ALL");
    game::TextGroup* en = set->getTextGroup("en");
    game::TextGroup* de = set->getTextGroup("de");
    struct Case {
        game::TextGroup* group;
        const char* id;
        std::string text;
    };
    const Case cases[] = {
        {en, "PLAY", "Play"},
        {de, "PLAY", "Spielen"},
        {en, "INTRO", "Two lines,\none \"quoted\"\tand a back\\slash"},
        {de, "INTRO", "Two lines,\none \"quoted\"\tand a back\\slash"},
        {de, "ONLY_ENGLISH", "Only here"},
        {de, "EXTRA",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {en, "EXTRA", ""},  // the source language has no text to lend it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.group->getString(c.id), c.text) << c.id;
    }
    EXPECT_EQ(en->getStrings().size(), 4u);  // the obsolete entry is not among them

    // Without a header the file's name gives the language.
    EXPECT_EQ(texts::parsePo("msgid \"A\"\nmsgstr \"a\"\n", "fi").language, "fi");
    // Each character once, in order, for the font packer.
    const std::u32string used = lang::toUTF32(texts::charactersOf(table));
    EXPECT_TRUE(std::adjacent_find(used.begin(), used.end(), std::greater_equal<char32_t>()) ==
                used.end());
    for (char32_t c : {U'\n', U'\t', U'S', U'\u00DF', U'\u00FC'}) {
        EXPECT_NE(used.find(c), std::u32string::npos) << int(c);
    }
    EXPECT_EQ(used.find(U'Q'), std::u32string::npos);
}

TEST(TextBundleTest, PoSyntaxErrorsNameTheLine) {
    struct Case {
        const char* po;
        const char* message;
    };
    const Case cases[] = {
        {"msgid \"A\"\nmsgstr \"a\n", "line 2: the string does not end on its line"},
        {"msgid \"A\"\nmsgstr \"a\" x\n", "line 2: text after the closing quote"},
        {"msgid \"A\"\nmsgstr a\n", "line 2: expected a quoted string"},
        {"\n\nmsgstr \"a\"\n", "line 3: msgstr without its msgid"},
        {"msgid \"A\"\nmsgstr \"a\"\nmsgstr \"b\"\n", "line 3: msgstr without its msgid"},
        {"msgid \"A\"\n\nmsgid \"B\"\nmsgstr \"b\"\n", "line 1: msgid \"A\" has no msgstr"},
        {"msgid \"A\"\nmsgstr \"a\"\n\nmsgid \"A\"\nmsgstr \"b\"\n",
         "line 4: msgid \"A\" repeats the one on line 1"},
        {"msgid \"A\"\nmsgstr \"\\q\"\n", "line 2: unknown escape \\q"},
        {"msgid \"A\"\nmsgstr \"\xC3\"\n", "line 2: the string is not UTF-8"},
        {"\"floating\"\n", "line 1: a string that follows no msgid or msgstr"},
        {"msgctxt \"menu\"\nmsgid \"A\"\nmsgstr \"a\"\n", "line 1: msgctxt is not supported"},
        {"msgid \"A\"\nmsgid_plural \"As\"\nmsgstr[0] \"a\"\n", "line 2: plural forms are not"},
        {"msgid \"A\"\nmsgtext \"a\"\n", "line 2: unknown keyword \"msgtext\""},
    };
    for (const Case& c : cases) {
        std::string message = "no failure";
        try {
            texts::parsePo(c.po, "en");
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message.substr(0, std::string(c.message).size()), c.message) << c.po;
    }
    // The tool puts the file's name in front.
    const std::string bad = ::testing::TempDir() + "qf_bad_de.po";
    std::ofstream(bad) << "msgid \"A\"\nmsgstr \"a\"\n\nmsgid \"B\"\nmsgstr \"unfinished\n";
    const toolstest::ToolResult result =
        toolstest::runTool("qftextpack", bad + " " + ::testing::TempDir() + "qf_t.dat");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find(bad + ": line 5: the string does not end"), std::string::npos)
        << result.output;
}

TEST(TextBundleTest, TheBundleHasEveryTextInEnglishAndGerman) {
    const std::string sources = toolstest::bundleSources() + "/text/";
    const texts::PoCatalog en = texts::parsePo(readText(sources + "en.po"), "en");
    const texts::PoCatalog de = texts::parsePo(readText(sources + "de.po"), "de");
    EXPECT_EQ(en.language, "en");
    EXPECT_EQ(de.language, "de");
    std::map<std::string, std::string> german;
    for (const auto& entry : de.entries) {
        german[entry.id] = entry.text;
    }
    for (const auto& entry : en.entries) {
        EXPECT_FALSE(entry.text.empty()) << "en.po line " << entry.line << ": " << entry.id;
        EXPECT_FALSE(german[entry.id].empty()) << "de.po lacks " << entry.id;
    }
    for (const auto& entry : de.entries) {
        EXPECT_TRUE(std::any_of(en.entries.begin(), en.entries.end(),
                                [&](const auto& e) { return e.id == entry.id; }))
            << "de.po line " << entry.line << ": " << entry.id << " is not in en.po";
    }

    // What the build packed is what the sources say.
    const std::string packed = readText(toolstest::builtBundle() + "/text/texts.dat");
    lang::Ptr<game::TextGroupSet> set =
        new game::TextGroupSet("texts.dat", std::vector<uint8_t>(packed.begin(), packed.end()));
    set->readLanguages();
    EXPECT_EQ(set->getLanguages(), (std::vector<std::string>{"en", "de"}));
    set->load("ALL");
    for (const auto& entry : de.entries) {
        EXPECT_EQ(set->getTextGroup("de")->getString(entry.id), entry.text);
    }
    for (const auto& entry : en.entries) {
        EXPECT_EQ(set->getTextGroup("en")->getString(entry.id), entry.text);
    }
}

}  // namespace
