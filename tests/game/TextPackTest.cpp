// The text-group builder of tools/texts: tables of texts to files the engine
// reads back.

#include <gtest/gtest.h>

#include <stdexcept>

#include "game/TextGroupSet.h"
#include "texts/TextPacker.h"

namespace {

std::string failureOf(const std::string& tsv) {
    try {
        texts::parseTable(tsv);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no failure";
}

TEST(TextPackTest, TablesRoundTripThroughTheEngine) {
    const std::string tsv =
        "# menu texts\r\n"
        "id\ten_EN\tfi_FI\r\n"
        "\n"
        "PLAY\tPlay\tPelaa\n"
        "QUIT\tQuit\\tnow\tLopeta\\nheti\n"
        "PATH\tC:\\\\games\t\xC3\xA4\xC3\xB6\n"
        "EMPTY\t\t\n";
    const texts::TextTable table = texts::parseTable(tsv);
    lang::Ptr<game::TextGroupSet> set =
        new game::TextGroupSet("menu.dat", texts::writeTextGroup(table));
    set->readLanguages();
    EXPECT_EQ(set->getLanguages(), (std::vector<std::string>{"en_EN", "fi_FI"}));
    set->load("ALL");
    game::TextGroup* en = set->getTextGroup("en_EN");
    game::TextGroup* fi = set->getTextGroup("fi_FI");
    EXPECT_EQ(en->getString("PLAY"), "Play");
    EXPECT_EQ(en->getString("QUIT"), "Quit\tnow");
    EXPECT_EQ(fi->getString("QUIT"), "Lopeta\nheti");
    EXPECT_EQ(en->getString("PATH"), "C:\\games");
    EXPECT_EQ(fi->getString("PATH"), "\xC3\xA4\xC3\xB6");
    EXPECT_EQ(fi->getString("EMPTY"), "");
    EXPECT_EQ(en->getStrings().size(), 4u);
}

TEST(TextPackTest, BadTablesNameTheLine) {
    EXPECT_EQ(failureOf("id\ten\tfi\nA\tx\n"), "line 2: 2 cells, expected 3");
    EXPECT_EQ(failureOf("id\ten\nA\tx\n# c\nA\ty\n"), "line 4: empty or repeated id \"A\"");
    EXPECT_EQ(failureOf("id\ten\n\tx\n"), "line 2: empty or repeated id \"\"");
    EXPECT_EQ(failureOf("id\ten\ten\n"), "line 1: a language is named twice");
}

TEST(TextPackTest, TextsTooLongForTheFormatAreRefused) {
    texts::TextTable table;
    table.languages = {"en"};
    table.ids = {"LONG"};
    table.texts = {{std::string(40000, 'x')}};
    EXPECT_THROW(texts::writeTextGroup(table), std::runtime_error);
}

}  // namespace
