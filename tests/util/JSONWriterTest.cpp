#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "util/JSON.h"
#include "util/JSONWriter.h"

using util::JSON;
using util::JSONWriter;

namespace {

JSON parsed(const std::string& text) {
    JSON json;
    json.parse(text);
    return json;
}

}  // namespace

TEST(JSONWriter, WritesCompactText) {
    JSON doc = parsed(R"({"b":[1,2],"a":1})");
    EXPECT_EQ(doc.toString(false), R"({"a":1,"b":[1,2]})");
    EXPECT_EQ(parsed(R"([true,false,null,"s",{},[]])").toString(false),
              R"([true,false,null,"s",{},[]])");
    EXPECT_EQ(JSON().toString(false), "null");
    EXPECT_EQ(JSON("x").toString(false), "\"x\"");
}

TEST(JSONWriter, WritesPrettyTextWithTabs) {
    JSON doc = parsed(R"({"a":1,"b":[1,2]})");
    EXPECT_EQ(doc.toString(true), "{\n\t\"a\": 1,\n\t\"b\": [\n\t\t1,\n\t\t2\n\t]\n}");
}

TEST(JSONWriter, FormatsNumbersWithSixteenDigits) {
    EXPECT_EQ(JSON::fromReal(0.1).toString(false), "0.1");
    EXPECT_EQ(JSON::fromReal(1.0 / 3).toString(false), "0.3333333333333333");
    EXPECT_EQ(JSON::fromReal(1e20).toString(false), "1e+20");
    EXPECT_EQ(JSON::fromInteger(-12345678901LL).toString(false), "-12345678901");
    EXPECT_EQ(JSON::fromReal(static_cast<double>(0.1f)).toString(false), "0.1000000014901161");
}

TEST(JSONWriter, NonFiniteNumbersAreWrittenAsNull) {
    JSON doc;
    doc.member("inf") = JSON::fromReal(std::numeric_limits<double>::infinity());
    doc.member("nan") = JSON::fromReal(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(doc.toString(false), R"({"inf":null,"nan":null})");
}

TEST(JSONWriter, EscapesStringsAsUTF16) {
    JSON doc = parsed(R"(["\u00e9", "a\"/\\\b\f\n\r\t", "\u0001\u007f", "\ud83d\ude00"])");
    EXPECT_EQ(doc.toString(false),
              R"(["\u00E9","a\"\/\\\b\f\n\r\t","\u0001\u007F","\uD83D\uDE00"])");
}

// Bytes that are no UTF-8 are left out; the text around them stays.
TEST(JSONWriter, DropsBytesThatAreNoUTF8) {
    JSON doc;
    doc.member("k") =
        "\xE9"
        "ab";
    doc.member(
        "\xC3"
        "x\xC3\xA9") = "\xED\xA0\x80y";
    EXPECT_EQ(doc.toString(false), R"({"k":"ab","x\u00E9":"y"})");
}

TEST(JSONWriter, KeysAreEscapedAndReadBack) {
    JSON doc;
    doc.member("say \"hi\"\n") = "x";
    std::string text = doc.toString(false);
    EXPECT_EQ(text, R"({"say \"hi\"\n":"x"})");
    EXPECT_EQ(parsed(text).getString("say \"hi\"\n"), "x");
}

TEST(JSONWriter, OutputReadsBackToTheSameDocument) {
    const std::string text =
        R"({"list":[1,-2.5,1e-07,"\u00e9\ud83d\ude00",{"k":null}],"nested":{"x":{"y":[]}},"t":true})";
    JSON doc = parsed(text);
    for (bool pretty : {false, true}) {
        JSON again = parsed(doc.toString(pretty));
        EXPECT_EQ(again.toString(false), doc.toString(false)) << pretty;
    }
}

TEST(JSONWriter, VisitorCanBeDrivenDirectly) {
    JSONWriter writer(false);
    writer.beginArray("");
    writer.visitNumber("", 3, 3);
    writer.beginObject("");
    writer.visitString("k", "v");
    writer.endObject();
    writer.endArray();
    EXPECT_EQ(writer.getText(), R"([3,{"k":"v"}])");
}
