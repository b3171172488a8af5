#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "io/ByteArrayInputStream.h"
#include "lang/Ptr.h"
#include "util/JSON.h"
#include "util/JSONParser.h"

using util::JSON;

namespace {

JSON parsed(const std::string& text) {
    JSON json;
    json.parse(text);
    return json;
}

struct Failure {
    std::string reason;
    int line;
    std::string input;
};

Failure failureOf(const std::string& text) {
    try {
        JSON json;
        json.parse(text.data(), text.size());
    } catch (const JSON::ParseError& e) {
        return Failure{e.getReason(), e.getLine(), e.getInput()};
    }
    return Failure{"no error", 0, ""};
}

std::string nested(size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

}  // namespace

TEST(JSONParser, EmptyTextIsNull) {
    JSON json("previous");
    json.parse("");
    EXPECT_EQ(json.getType(), JSON::TYPE_NULL);
}

TEST(JSONParser, ReadsAllValueKinds) {
    JSON doc = parsed(
        "{\"s\": \"text\", \"i\": -42, \"r\": 2.5e1, \"t\": true, \"f\": false,\r\n"
        "\t\"z\": null, \"a\": [1, [2], {}], \"o\": {\"k\": \"v\"}}\n");
    EXPECT_EQ(doc.getString("s"), "text");
    EXPECT_EQ(doc.getInt("i"), -42);
    EXPECT_FLOAT_EQ(doc.getFloat("r"), 25.0f);
    EXPECT_TRUE(doc.getBool("t"));
    EXPECT_FALSE(doc.getBool("f"));
    EXPECT_TRUE(doc.has("z"));
    EXPECT_FALSE(doc.hasObject("z"));
    const JSON::ArrayType& a = doc.getArray("a");
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1].at(0).asInt(), 2);
    EXPECT_TRUE(a[2].asObject().empty());
    EXPECT_EQ(doc.getObject("o").at("k").asString(), "v");
}

TEST(JSONParser, NumbersKeepIntegerAndRealForms) {
    JSON doc = parsed("[12345678901, 1.9, -1.9, 1e2, -9223372036854775808, 0.5E-1, 7]");
    EXPECT_EQ(doc.at(0).asInt64(), 12345678901LL);
    EXPECT_EQ(doc.at(0).asInt(), static_cast<int32_t>(12345678901LL & 0xFFFFFFFF));
    EXPECT_EQ(doc.at(1).asInt64(), 1);
    EXPECT_EQ(doc.at(2).asInt64(), -1);
    EXPECT_EQ(doc.at(3).asInt64(), 100);
    EXPECT_EQ(doc.at(4).asInt64(), INT64_MIN);
    EXPECT_FLOAT_EQ(doc.at(5).asFloat(), 0.05f);
    EXPECT_EQ(doc.at(6).toString(false), "7");
}

TEST(JSONParser, IntegersBeyond64BitsBecomeRealsAndSaturate) {
    JSON doc = parsed("[99999999999999999999, -99999999999999999999, 1e-400]");
    EXPECT_EQ(doc.at(0).asInt64(), INT64_MAX);
    EXPECT_FLOAT_EQ(doc.at(0).asFloat(), 1e20f);
    EXPECT_EQ(doc.at(1).asInt64(), INT64_MIN);
    EXPECT_EQ(doc.at(2).asFloat(), 0.0f);
}

TEST(JSONParser, AcceptsTheLenientForms) {
    // Two commas in a row, a member without ':', a word followed by the next token.
    EXPECT_EQ(parsed("[1,,2]").toString(false), "[1,2]");
    EXPECT_EQ(parsed("{\"a\" 1}").toString(false), "{\"a\":1}");
    EXPECT_EQ(parsed("[true1]").toString(false), "[true,1]");
    EXPECT_EQ(parsed("{\"a\":1,\"a\":2}").toString(false), "{\"a\":2}");
    EXPECT_EQ(parsed("[] \r\n\t").toString(false), "[]");
}

TEST(JSONParser, PendingKeyEndsWithItsObject) {
    // "x" is a key without a value; it must not become the key of "b".
    EXPECT_EQ(parsed(R"({"o":{"x"},"b":1})").toString(false), R"({"b":1,"o":{}})");
}

TEST(JSONParser, DecodesEscapes) {
    JSON doc =
        parsed(R"(["\"\/\\\b\f\n\r\t", "\u00e9\u00E9", "\u20AC", "\ud83d\ude00", "\ud83d!"])");
    EXPECT_EQ(doc.at(0).asString(), "\"/\\\b\f\n\r\t");
    EXPECT_EQ(doc.at(1).asString(), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(doc.at(2).asString(), "\xE2\x82\xAC");
    EXPECT_EQ(doc.at(3).asString(), "\xF0\x9F\x98\x80");
    // A lone surrogate is kept as it stands.
    EXPECT_EQ(doc.at(4).asString(), "\xED\xA0\xBD!");
}

TEST(JSONParser, ReportsReasonLineAndInput) {
    struct Case {
        std::string text;
        std::string reason;
        int line;
        std::string input;
    };
    const std::string longTail(100, 'x');
    const std::vector<Case> cases = {
        {" ", "Unexpected character", 1, " "},
        {"5", "Unexpected character", 1, "5"},
        {"\"s\"", "Unexpected character", 1, "\"s\""},
        {"true", "Unexpected character", 1, "true"},
        {"[1]]", "Mismatch closing brace/bracket", 1, "]"},
        {"[1}", "Mismatch closing brace/bracket", 1, "}"},
        {"{}{}", "Second root. Only one root allowed", 1, "{}"},
        {"{} x", "Unexpected character", 1, "x"},
        {"[1,\n2", "Not all objects/arrays have been properly closed", 2, ""},
        {"[\"a\tb\"]", "Control characters not allowed in strings", 1, "\tb\"]"},
        {"[\"\\u12\"]", "Bad unicode codepoint", 1, "\\u12\"]"},
        {"[\"\\uZZZZ\"]", "Bad unicode codepoint", 1, "\\uZZZZ\"]"},
        {"[\"\\x\"]", "Unrecognized escape sequence", 1, "\\x\"]"},
        {"[tru]", "Unknown identifier", 1, "tru]"},
        {"[nul", "Unknown identifier", 1, "nul"},
        {"[12a]", "Bad integer number", 1, "12a]"},
        {"[-]", "Bad integer number", 1, "-]"},
        {"[1-2]", "Bad integer number", 1, "1-2]"},
        {"[1.2.3]", "Bad float number", 1, "1.2.3]"},
        {"[1e999]", "Bad float number", 1, "1e999]"},
        {"[-nan(e)]", "Bad float number", 1, "-nan(e)]"},
        {"[\"a\":2]", "Unexpected character", 1, ":2]"},
        {"[\n1,\n?" + longTail + "\nnext", "Unexpected character", 3, "?" + longTail.substr(0, 79)},
    };
    for (const Case& c : cases) {
        Failure f = failureOf(c.text);
        EXPECT_EQ(f.reason, c.reason) << c.text;
        EXPECT_EQ(f.line, c.line) << c.text;
        EXPECT_EQ(f.input, c.input) << c.text;
    }
}

TEST(JSONParser, MessageCarriesReasonLineAndInput) {
    try {
        parsed("{\n\"a\": [1,\n2]]");
        FAIL() << "no exception";
    } catch (const JSON::ParseError& e) {
        EXPECT_STREQ(e.what(),
                     "Parsing JSON failed!\nReason: Mismatch closing brace/bracket\nLine: 3\n"
                     "Input: \"]\"");
    }
}

TEST(JSONParser, ValueWithoutKeyFailsAfterTokenizing) {
    try {
        parsed(R"({"outer":{1}})");
        FAIL() << "no exception";
    } catch (const JSON::ParseError& e) {
        EXPECT_STREQ(e.what(),
                     "Parsing JSON failed!\nReason: Object \"outer\" contains value without key");
    }
    EXPECT_EQ(failureOf("{1}").reason, "Object \"\" contains value without key");
    // Tokenizer errors come first, as they are found before the tree is converted.
    EXPECT_EQ(failureOf("{1").reason, "Not all objects/arrays have been properly closed");
}

TEST(JSONParser, FailureLeavesTheTargetUnchanged) {
    JSON target = parsed(R"({"keep":1})");
    EXPECT_THROW(target.parse(R"({"keep":2,)"), JSON::ParseError);
    EXPECT_THROW(target.parse(R"({3})"), JSON::ParseError);
    EXPECT_EQ(target.getInt("keep"), 1);
}

TEST(JSONParser, UnterminatedTextStopsAtTheEnd) {
    // Each of these ends inside a string or an escape.
    for (const std::string text :
         {"[\"abc", "[\"abc\\", "[\"\\u00", "{\"k\":\"\\\"", "[\"\\ud83d"}) {
        Failure f = failureOf(text);
        EXPECT_NE(f.reason, "no error") << text;
        EXPECT_LE(f.input.size(), 80u);
    }
    EXPECT_EQ(failureOf("[\"abc").reason, "Not all objects/arrays have been properly closed");
}

TEST(JSONParser, EmbeddedNulIsAnOrdinaryByte) {
    EXPECT_EQ(failureOf(std::string("[1]\0", 4)).reason, "Unexpected character");
    EXPECT_EQ(failureOf(std::string("[\"a\0\"]", 6)).reason,
              "Control characters not allowed in strings");
    EXPECT_EQ(failureOf(std::string("[1\0]", 4)).reason, "Bad integer number");
}

TEST(JSONParser, NestingIsLimited) {
    EXPECT_NO_THROW(parsed(nested(util::JSONParser::MAX_DEPTH)));
    Failure f = failureOf(nested(util::JSONParser::MAX_DEPTH + 1));
    EXPECT_EQ(f.reason, "Maximum nesting depth exceeded");
    // Far deeper input fails the same way without exhausting the stack.
    EXPECT_EQ(failureOf(std::string(1000000, '[')).reason, "Maximum nesting depth exceeded");
    EXPECT_EQ(failureOf(std::string(100000, '{')).reason, "Maximum nesting depth exceeded");
}

TEST(JSONParser, ParsesTheByteBufferEntryPoint) {
    const char text[] = "[1,2]garbage after the given size";
    JSON json;
    json.parse(text, 5);
    EXPECT_EQ(json.asArray().size(), 2u);
}

// Mutated documents either parse or throw ParseError; under the sanitizers this
// also checks that no byte outside the buffer is read.
TEST(JSONParser, MutatedInputNeverCrashes) {
    const std::string seed =
        "{\"a\":[1,-2.5e3,true,false,null,\"x\\u00e9\\n\"],\"b\":{\"c\":{\"d\":[[]]}},\"e\":\"\"}";
    const char alphabet[] = "{}[]\",:\\u0123456789-.eE tfnrl\n\x01\x7f\xff";
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text = seed;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < edits; ++i) {
            size_t at = random() % (text.size() + 1);
            char c = alphabet[random() % (sizeof(alphabet) - 1)];
            switch (random() % 3) {
                case 0:
                    text.insert(at, 1, c);
                    break;
                case 1:
                    if (at < text.size()) {
                        text[at] = c;
                    }
                    break;
                default:
                    text = text.substr(0, at);
                    break;
            }
        }
        // An exact-size heap copy lets the address sanitizer see overreads.
        std::vector<char> buffer(text.begin(), text.end());
        try {
            JSON json;
            json.parse(buffer.data(), buffer.size());
        } catch (const JSON::ParseError&) {
        }
    }
}

TEST(JSONParser, ReadsTheRestOfAStream) {
    const std::string text = "xx{\"k\":[1,2]}";
    lang::Ptr<io::ByteArrayInputStream> stream =
        new io::ByteArrayInputStream(text.data(), static_cast<int>(text.size()));
    stream->skip(2);
    JSON json;
    json.parse(*stream);
    EXPECT_EQ(json.getArray("k").size(), 2u);
    EXPECT_EQ(stream->available(), 0);
}
