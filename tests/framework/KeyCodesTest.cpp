#include <gtest/gtest.h>

#include "framework/KeyCodes.h"

namespace {

using framework::keyName;
using framework::translateKey;

TEST(KeyCodes, NamesFollowTheCodeTable) {
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0, "NONE"},       {1, "A"},         {26, "Z"},         {27, "PAGEDOWN"}, {33, "RETURN"},
        {38, "BACKSPACE"}, {40, "ESCAPE"},   {41, "F1"},        {52, "F12"},      {57, "LBUTTON"},
        {59, "RBUTTON"},   {60, "0"},        {65, "5"},         {69, "9"},        {73, "DIVIDE"},
        {74, "LEFTSOFT"},  {81, "SEND"},     {82, "VOLUME_UP"}, {87, "KEY_MENU"}, {88, "KEY_ALT"},
        {89, "DASH"},      {90, "KEY_ZOOM"}, {93, "REPLAY"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.name, keyName(c.code)) << c.code;
    }
    EXPECT_STREQ("", keyName(-1));
    EXPECT_STREQ("", keyName(94));
}

TEST(KeyCodes, DigitsComeBeforeTheTable) {
    framework::KeyTable table{};
    table[framework::KEY_A] = '5';  // a table entry cannot shadow a digit
    EXPECT_EQ(65, translateKey(table, '5'));
    EXPECT_EQ(60, translateKey(table, '0'));
    EXPECT_EQ(69, translateKey(table, '9'));
}

TEST(KeyCodes, TableLookupTakesTheFirstMatchAndNeverReportsNone) {
    framework::KeyTable table{};
    table[framework::KEY_SPACE] = 1000;
    table[framework::KEY_TAB] = 2000;
    table[framework::KEY_ALT] = 2000;  // a later duplicate loses
    EXPECT_EQ(framework::KEY_SPACE, translateKey(table, 1000));
    EXPECT_EQ(framework::KEY_TAB, translateKey(table, 2000));
    EXPECT_EQ(0, translateKey(table, 3000));
    // Entries of 0 mean "no key": a key value of 0 finds code 0, which is never reported.
    EXPECT_EQ(0, translateKey(table, 0));
}

}  // namespace
