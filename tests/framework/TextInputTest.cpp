#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pf/TextInput.h"
#include "pf/TextInputObserver.h"

namespace {

class Observer : public pf::TextInputObserver {
public:
    bool accept(const std::string& candidate, uint32_t codePoint) override {
        candidates.push_back(candidate);
        return codePoint != refused;
    }
    void textChanged(const std::string& text) override { changes.push_back(text); }

    uint32_t refused = 0xFFFFFFFF;
    std::vector<std::string> candidates;
    std::vector<std::string> changes;
};

class TextInputTest : public ::testing::Test {
protected:
    void SetUp() override { input.activate("ab", &observer); }

    pf::TextInput input;
    Observer observer;
};

TEST_F(TextInputTest, BackspaceRemovesTheLastCharacter) {
    pf::TextInput::deliver(8);
    EXPECT_EQ("a", input.getText());
    EXPECT_EQ((std::vector<std::string>{"a"}), observer.changes);
}

TEST_F(TextInputTest, BackspaceOnEmptyTextChangesNothing) {
    input.activate("", &observer);
    pf::TextInput::deliver(8);
    EXPECT_EQ("", input.getText());
    EXPECT_TRUE(observer.changes.empty());
}

TEST_F(TextInputTest, BackspaceAfterACharacterOutsideTheBasicPlaneLeavesValidText) {
    input.activate("a\xF0\x9F\x98\x80", &observer);
    pf::TextInput::deliver(8);
    EXPECT_EQ("a", input.getText());
    pf::TextInput::deliver(8);
    EXPECT_EQ("", input.getText());
}

TEST_F(TextInputTest, LineEndsAndEscapeEndTheEditing) {
    for (uint32_t code : {10u, 13u, 27u}) {
        input.activate("ab", &observer);
        ASSERT_TRUE(input.isActive());
        pf::TextInput::deliver(code);
        EXPECT_FALSE(input.isActive()) << code;
        EXPECT_EQ(nullptr, pf::TextInput::current());
        EXPECT_EQ("ab", input.getText());
    }
    EXPECT_TRUE(observer.changes.empty());
    pf::TextInput::deliver('x');  // no current input: dropped
    EXPECT_EQ("ab", input.getText());
}

TEST_F(TextInputTest, AcceptedCharactersAreAppendedInUtf8) {
    pf::TextInput::deliver(0xE9);
    pf::TextInput::deliver(0x1F600);
    EXPECT_EQ("ab\xC3\xA9\xF0\x9F\x98\x80", input.getText());
    EXPECT_EQ((std::vector<std::string>{"ab\xC3\xA9", "ab\xC3\xA9\xF0\x9F\x98\x80"}),
              observer.candidates);
    EXPECT_EQ(observer.candidates, observer.changes);
}

TEST_F(TextInputTest, RefusedCharacterLeavesTheTextAlone) {
    observer.refused = 'z';
    pf::TextInput::deliver('z');
    EXPECT_EQ("ab", input.getText());
    EXPECT_EQ((std::vector<std::string>{"abz"}), observer.candidates);
    EXPECT_TRUE(observer.changes.empty());
}

TEST_F(TextInputTest, CodePointsUtf8CannotCarryAreDropped) {
    pf::TextInput::deliver(0xD800);
    pf::TextInput::deliver(0x110000);
    EXPECT_EQ("ab", input.getText());
    EXPECT_TRUE(observer.candidates.empty());
}

TEST_F(TextInputTest, WithoutObserverEveryCharacterIsTaken) {
    input.activate("", nullptr);
    pf::TextInput::deliver('q');
    pf::TextInput::deliver(8);
    pf::TextInput::deliver('r');
    EXPECT_EQ("r", input.getText());
}

TEST_F(TextInputTest, OnlyOneInputIsCurrent) {
    pf::TextInput other;
    other.activate("", nullptr);
    EXPECT_FALSE(input.isActive());
    input.deactivate();  // not current: changes nothing
    EXPECT_EQ(&other, pf::TextInput::current());
    pf::TextInput::deliver('k');
    EXPECT_EQ("k", other.getText());
    EXPECT_EQ("ab", input.getText());
}

TEST(TextInput, DestroyedInputStopsBeingCurrent) {
    {
        pf::TextInput input;
        input.activate("x", nullptr);
        EXPECT_EQ(&input, pf::TextInput::current());
    }
    EXPECT_EQ(nullptr, pf::TextInput::current());
    pf::TextInput::deliver('a');  // must not touch the destroyed input
}

}  // namespace

namespace {

// Drops its input when told of a change, as a closing dialog would.
class Releaser : public pf::TextInputObserver {
public:
    bool accept(const std::string&, uint32_t) override { return true; }
    void textChanged(const std::string&) override { held.reset(); }

    lang::Ptr<pf::TextInput> held;
};

TEST(TextInput, ObserverMayReleaseTheInputWhileBeingCalled) {
    Releaser releaser;
    releaser.held = new pf::TextInput();
    releaser.held->activate("", &releaser);
    pf::TextInput::deliver('a');
    EXPECT_EQ(nullptr, releaser.held.get());
    EXPECT_EQ(nullptr, pf::TextInput::current());
}

}  // namespace
