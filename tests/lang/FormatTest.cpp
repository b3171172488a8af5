#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Exception.h"
#include "lang/Format.h"

namespace {

using lang::Format;
using lang::Formattable;

struct FormatCase {
    const char* name;
    Format format;
    std::string expected;
};

TEST(Format, FormatsPatterns) {
    const std::vector<FormatCase> cases = {
        {"integer", Format("{0}", 5), "5"},
        {"fraction", Format("{0}", 0.25), "0.25"},
        {"decimals", Format("{0,#.00}", 3.14159), "3.14"},
        {"zero padding", Format("{0,000}", 7), "007"},
        {"padding and decimals", Format("{0,00000.0}", 3.14159), "003.1"},
        {"lower hex", Format("{0,x}", 255), "ff"},
        {"upper hex", Format("{0,X}", 255), "FF"},
        {"hex of negative keeps low 32 bits", Format("{0,x}", -1), "ffffffff"},
        {"decimal truncates toward zero", Format("{0,d}", -2.7), "-2"},
        {"i like d", Format("{0,i}", 9.99), "9"},
        {"spec without comma", Format("{0d}", 4.5), "4"},
        {"integer part only rounds", Format("{0,#}", 2.7), "3"},
        {"reordered texts", Format("{1}, {0}", "a", "b"), "b, a"},
        {"escaped placeholder", Format("\\{0}", 1), "{0}"},
        {"escaped brace in text", Format("a\\{b"), "a{b"},
        {"escaped backslash", Format("a\\\\b"), "a\\b"},
        {"trailing brace", Format("a{"), "a{"},
        {"trailing brace after placeholder", Format("{0}{", 1), "1{"},
        {"lone closing brace", Format("a}b"), "a}b"},
        {"one digit only", Format("{12}", "x", "y"), "y"},
        {"text ignores number spec", Format("{0,#.00}", "text"), "text"},
        {"empty argument", Format("[{0}]", Formattable()), "[]"},
        {"std::string argument", Format("{0}!", std::string("hi")), "hi!"},
        {"large number general", Format("{0}", 1e20), "1e+20"},
        {"huge value saturates d", Format("{0,d}", 1e30), "2147483647"},
        {"five arguments", Format("{4}{3}{2}{1}{0}", 1, 2, 3, 4, 5), "54321"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.format.format(), c.expected) << c.name;
    }
}

struct ErrorCase {
    std::string pattern;
    int arguments;
    std::string messagePattern;
    int position;
};

TEST(Format, MalformedPatternsThrowWithPosition) {
    const std::vector<ErrorCase> cases = {
        {"{}", 0, "Failed to format \"{0}\", argument index not found at {1}", 1},
        {"x{y}", 0, "Failed to format \"{0}\", digit expected at {1}", 2},
        {"{0", 1, "Failed to format \"{0}\", '}' not found after {1}", 1},
        {"{2}", 2, "Failed to format \"{0}\", invalid argument index at {1}", 1},
        {"ok {0} then {1", 1, "Failed to format \"{0}\", '}' not found after {1}", 13},
    };
    for (const auto& c : cases) {
        Format format = c.arguments == 0   ? Format(c.pattern)
                        : c.arguments == 1 ? Format(c.pattern, 1)
                                           : Format(c.pattern, 1, 2);
        try {
            format.format();
            ADD_FAILURE() << c.pattern << " did not throw";
        } catch (const lang::FormatException& e) {
            EXPECT_EQ(std::string(e.what()),
                      Format(c.messagePattern, c.pattern, c.position).format())
                << c.pattern;
        }
    }
}

TEST(Format, ErrorMessageReadsNaturally) {
    try {
        Format("{}").format();
        FAIL();
    } catch (const lang::Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to format \"{}\", argument index not found at 1");
    }
}

// The first buffer holds 512 characters; longer results must come back whole.
TEST(Format, LongResultsAreComplete) {
    for (size_t length : {510u, 511u, 512u, 513u, 1500u, 5000u}) {
        std::string text(length, 'x');
        std::string result = Format("<{0}>", text).format();
        EXPECT_EQ(result, "<" + text + ">") << length;
    }
    std::string longPattern(3000, 'p');
    EXPECT_EQ(Format(longPattern + "{0}", 1).format(), longPattern + "1");
}

TEST(Format, ZeroPaddingWiderThanTheBufferIsComplete) {
    std::string spec(700, '0');
    std::string result = Format("{0," + spec + "}", 1).format();
    EXPECT_EQ(result.size(), 700u);
    EXPECT_EQ(result.back(), '1');
}

TEST(Throwable, KeepsFormatAndMessageWhenCopied) {
    lang::Exception original(Format("Track {0} out of bounds! Range [0-{1}]", 9, 4));
    lang::Exception copy = original;
    EXPECT_STREQ(copy.what(), "Track 9 out of bounds! Range [0-4]");
    EXPECT_EQ(copy.getFormat().pattern(), "Track {0} out of bounds! Range [0-{1}]");
    EXPECT_STREQ(lang::Throwable().what(), "");
}

lang::Throwable::DialogChoice answerRetry(const std::string& caption, const std::string& message) {
    EXPECT_EQ(caption, "C++ Exception Generated!");
    EXPECT_EQ(message, "broken");
    return lang::Throwable::DIALOG_RETRY;
}

lang::Throwable::DialogChoice answerAbort(const std::string&, const std::string&) {
    return lang::Throwable::DIALOG_ABORT;
}

TEST(Throwable, ShowDialogReturnsUnlessAborted) {
    lang::Exception e(Format("broken"));
    testing::internal::CaptureStderr();
    e.showDialog();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("broken"), std::string::npos);

    auto previous = lang::Throwable::setDialogHook(answerRetry);
    e.showDialog();
    lang::Throwable::setDialogHook(answerAbort);
    EXPECT_EXIT(e.showDialog(), testing::ExitedWithCode(255), "");
    lang::Throwable::setDialogHook(previous);
}

}  // namespace
