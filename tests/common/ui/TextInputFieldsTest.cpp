// Named text input fields: typed characters reach the active field, which
// publishes its text in the scripts' table "textInputFields".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui/GameOverlays.h"
#include "common/world/GameLuaFixture.h"
#include "lang/Log.h"
#include "pf/TextInput.h"

namespace {

class LogCapture : public lang::log::Listener {
public:
    LogCapture() { lang::log::addListener(this); }
    ~LogCapture() override { lang::log::removeListener(this); }
    void log(const lang::log::Record& record) override { records.push_back(record); }
    std::vector<lang::log::Record> records;
};

class TextInputFieldsTest : public worldtest::GameLuaFixture {
protected:
    TextInputFieldsTest() { run("textInputFields = {}"); }
    ~TextInputFieldsTest() override { EXPECT_EQ(pf::TextInput::current(), nullptr); }

    void type(const std::u32string& keys) {
        for (char32_t key : keys) {
            pf::TextInput::deliver(static_cast<uint32_t>(key));
        }
    }
    // The published text, or "nil".
    std::string published(const std::string& name) {
        return str("tostring(textInputFields['" + name + "'])");
    }

    GameOverlays overlays{*world};
};

TEST_F(TextInputFieldsTest, TypingPublishesTheActiveFieldsText) {
    run("createTextInputField('name'); activateTextInputField('name', 'Al')");
    EXPECT_EQ(published("name"), "nil");  // activation writes nothing
    type(U"e\u00e9");
    EXPECT_EQ(published("name"), "Ale\xc3\xa9");
    type(U"\b");
    EXPECT_EQ(published("name"), "Ale");
    type(U"\r");  // return ends the editing
    EXPECT_EQ(pf::TextInput::current(), nullptr);
    type(U"x");
    EXPECT_EQ(published("name"), "Ale");
}

TEST_F(TextInputFieldsTest, OnlyTheLastActivatedFieldReceivesCharacters) {
    run("createTextInputField('a'); createTextInputField('b')");
    run("activateTextInputField('a', ''); activateTextInputField('b', 'B')");
    type(U"1");
    EXPECT_EQ(published("a"), "nil");
    EXPECT_EQ(published("b"), "B1");
    // Deactivating a field that is not current leaves the current one alone.
    run("deactivateTextInputField('a')");
    type(U"2");
    EXPECT_EQ(published("b"), "B12");
    run("deactivateTextInputField('b')");
    EXPECT_EQ(pf::TextInput::current(), nullptr);
}

// A field that is destroyed, by removal or by a new field of its name, stops
// receiving characters at once.
TEST_F(TextInputFieldsTest, ADestroyedFieldStopsReceiving) {
    const char* const replacements[] = {"removeTextInputField('f')", "createTextInputField('f')"};
    for (const char* replace : replacements) {
        SCOPED_TRACE(replace);
        run("textInputFields = {}; createTextInputField('f'); activateTextInputField('f', 'x')");
        run(replace);
        EXPECT_EQ(pf::TextInput::current(), nullptr);
        type(U"y");
        EXPECT_EQ(published("f"), "nil");
    }
    // The second field of the name works on its own.
    ASSERT_NE(overlays.textFields().find("f"), nullptr);
    run("activateTextInputField('f', 'new')");
    type(U"!");
    EXPECT_EQ(published("f"), "new!");
    run("removeTextInputField('f')");
    EXPECT_EQ(overlays.textFields().find("f"), nullptr);
}

TEST_F(TextInputFieldsTest, UnknownNamesWarnWhereAFieldIsUsed) {
    const struct {
        const char* code;
        const char* function;  // null: silent
    } cases[] = {
        {"removeTextInputField('ghost')", nullptr},
        {"activateTextInputField('ghost', 'text')", "GameLua::activateTextInputField"},
        {"deactivateTextInputField('ghost')", "GameLua::deactivateTextInputField"},
    };
    for (const auto& c : cases) {
        LogCapture capture;
        run(c.code);
        if (!c.function) {
            EXPECT_TRUE(capture.records.empty()) << c.code;
            continue;
        }
        ASSERT_EQ(capture.records.size(), 1u) << c.code;
        const lang::log::Record& record = capture.records[0];
        EXPECT_EQ(record.level, lang::log::WARNING);
        EXPECT_EQ(record.category, "");
        EXPECT_EQ(record.message, "Tried to access non-existant text input field!");
        EXPECT_STREQ(record.function, c.function);
    }
    EXPECT_EQ(pf::TextInput::current(), nullptr);
    EXPECT_EQ(published("ghost"), "nil");
}

TEST_F(TextInputFieldsTest, TypingWithoutTheScriptsTableIsAScriptError) {
    run("textInputFields = nil; createTextInputField('f'); activateTextInputField('f', '')");
    EXPECT_THROW(type(U"a"), lua::LuaException);
    run("deactivateTextInputField('f')");
}

}  // namespace
