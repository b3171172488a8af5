// The reload error's lines on screen: long messages wrap at spaces and stay
// within a few lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app/ReloadErrorView.h"

namespace {

using Lines = std::vector<std::string>;

struct WrapCase {
    const char* name;
    std::string text;
    size_t columns, maxLines;
    Lines expected;
};

TEST(ReloadErrorView, WrapsAtLineEndsSpacesAndMidWord) {
    const WrapCase cases[] = {
        {"fits", "short", 10, 5, {"short"}},
        {"own line ends, the last one dropped", "a\nb\n", 10, 5, {"a", "b"}},
        {"at the last space that fits", "one two three", 8, 5, {"one two", "three"}},
        {"a word longer than the line", "abcdefghij", 4, 5, {"abcd", "efgh", "ij"}},
        {"tabs are spaces", "a\tb", 10, 5, {"a b"}},
        {"empty lines stay", "a\n\nb", 10, 5, {"a", "", "b"}},
        {"too many lines end in dots", "1\n2\n3\n4", 10, 2, {"1", "2..."}},
        {"the dots fit the line", "aaaaaa\nb", 6, 1, {"aaa..."}},
        {"nothing", "", 10, 5, {}},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(ReloadErrorView::wrap(c.text, c.columns, c.maxLines), c.expected) << c.name;
    }
}

}  // namespace
