#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "util/JSON.h"

using util::JSON;

namespace {

JSON parsed(const std::string& text) {
    JSON json;
    json.parse(text);
    return json;
}

// Records the visitor calls as one line of text.
class Recorder : public JSON::Visitor {
public:
    std::string calls;

    void visitString(const std::string& key, const std::string& text) override {
        calls += "S(" + key + "," + text + ")";
    }
    void visitNumber(const std::string& key, double real, int64_t integer) override {
        calls += "N(" + key + "," + std::to_string(real) + "," + std::to_string(integer) + ")";
    }
    void visitBool(const std::string& key, bool value) override {
        calls += "B(" + key + "," + (value ? "1" : "0") + ")";
    }
    void visitNull(const std::string& key) override { calls += "Z(" + key + ")"; }
    void beginObject(const std::string& key) override { calls += "{" + key + ":"; }
    void endObject() override { calls += "}"; }
    void beginArray(const std::string& key) override { calls += "[" + key + ":"; }
    void endArray() override { calls += "]"; }
};

template <class F>
std::string errorOf(F f) {
    try {
        f();
    } catch (const JSON::JSONException& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace

TEST(JSONModel, ConstructorsSetTheType) {
    EXPECT_EQ(JSON().getType(), JSON::TYPE_NULL);
    EXPECT_EQ(JSON("x").getType(), JSON::TYPE_STRING);
    EXPECT_EQ(JSON(JSON::ArrayType{JSON("a")}).getType(), JSON::TYPE_ARRAY);
    EXPECT_EQ(JSON(JSON::ObjectType{{"k", JSON()}}).getType(), JSON::TYPE_OBJECT);
    EXPECT_EQ(JSON::fromBool(true).getType(), JSON::TYPE_BOOL);
    EXPECT_EQ(JSON::fromInteger(3).getType(), JSON::TYPE_NUMBER);
    EXPECT_EQ(JSON::null().getType(), JSON::TYPE_NULL);
}

TEST(JSONModel, NumbersKeepBothForms) {
    JSON big = JSON::fromInteger(12345678901LL);
    EXPECT_EQ(big.asInt64(), 12345678901LL);
    EXPECT_EQ(big.asInt(), static_cast<int32_t>(12345678901LL & 0xFFFFFFFF));
    EXPECT_DOUBLE_EQ(big.asFloat(), 12345678901.0f);

    EXPECT_EQ(JSON::fromReal(1.9).asInt64(), 1);
    EXPECT_EQ(JSON::fromReal(-1.9).asInt64(), -1);
    // Out of range reals saturate instead of overflowing.
    EXPECT_EQ(JSON::fromReal(1e300).asInt64(), INT64_MAX);
    EXPECT_EQ(JSON::fromReal(-1e300).asInt64(), INT64_MIN);
    EXPECT_TRUE(std::isinf(JSON::fromReal(1e300).asFloat()));
}

TEST(JSONModel, TypedAccessToAnotherTypeThrowsBadType) {
    JSON text("x");
    EXPECT_EQ(errorOf([&] { text.asBool(); }), "Expected type: Bool, got: String");
    EXPECT_EQ(errorOf([&] { text.asInt(); }), "Expected type: Number, got: String");
    EXPECT_EQ(errorOf([&] { JSON().asString(); }), "Expected type: String, got: Null");
    EXPECT_EQ(errorOf([&] { text.asArray(); }), "Expected type: Array, got: String");
    EXPECT_EQ(errorOf([&] { JSON::fromBool(true).asObject(); }),
              "Expected type: Object, got: Bool");
    EXPECT_THROW(JSON::fromInteger(1).asBool(), JSON::BadType);
}

TEST(JSONModel, AtChecksTypeAndBounds) {
    JSON array = parsed("[10,20]");
    EXPECT_EQ(array.at(1).asInt(), 20);
    EXPECT_THROW(array.at(2), JSON::IndexOutOfBounds);
    EXPECT_EQ(errorOf([&] { array.at(5); }), "Index 5 out of bounds, size: 2");
    EXPECT_THROW(JSON("x").at(0), JSON::BadType);
}

TEST(JSONModel, HasFormsAreFalseForWrongTypesAndMissingKeys) {
    JSON doc = parsed(R"({"s":"x","a":[],"o":{},"n":1})");
    EXPECT_TRUE(doc.has("n"));
    EXPECT_FALSE(doc.has("missing"));
    EXPECT_TRUE(doc.hasString("s"));
    EXPECT_FALSE(doc.hasString("n"));
    EXPECT_TRUE(doc.hasArray("a"));
    EXPECT_FALSE(doc.hasArray("o"));
    EXPECT_TRUE(doc.hasObject("o"));
    EXPECT_FALSE(doc.hasObject("a"));
    EXPECT_FALSE(JSON("x").has("s"));
    EXPECT_FALSE(JSON().hasObject("o"));
}

TEST(JSONModel, GetFormsReportTheirErrors) {
    JSON doc = parsed(R"({"b":true,"i":-7,"f":0.5,"s":"x","a":[1],"o":{"k":null}})");
    EXPECT_TRUE(doc.getBool("b"));
    EXPECT_EQ(doc.getInt("i"), -7);
    EXPECT_FLOAT_EQ(doc.getFloat("f"), 0.5f);
    EXPECT_EQ(doc.getString("s"), "x");
    EXPECT_EQ(doc.getArray("a").size(), 1u);
    EXPECT_EQ(doc.getObject("o").count("k"), 1u);

    EXPECT_EQ(errorOf([&] { doc.getInt("missing"); }), "Key \"missing\" not found");
    EXPECT_THROW(doc.getString("missing"), JSON::KeyNotFound);
    EXPECT_EQ(errorOf([&] { doc.getString("i"); }), "Expected type: String, got: Number");
    EXPECT_EQ(errorOf([] { JSON::fromInteger(1).getInt("i"); }),
              "Expected type: Object, got: Number");
}

TEST(JSONModel, MemberCreatesObjectsAndNullMembers) {
    JSON doc;
    doc.member("cloud").member("token") = "abc";
    EXPECT_EQ(doc.getType(), JSON::TYPE_OBJECT);
    EXPECT_EQ(doc.getObject("cloud").at("token").asString(), "abc");
    EXPECT_EQ(doc.member("new").getType(), JSON::TYPE_NULL);
    EXPECT_TRUE(doc.has("new"));
    JSON text("x");
    EXPECT_THROW(text.member("k"), JSON::BadType);
    EXPECT_EQ(text.asString(), "x");
}

TEST(JSONModel, CopiesAreDeep) {
    JSON original = parsed(R"({"list":[1,{"k":"v"}]})");
    JSON copy = original;
    copy.member("list").at(1).member("k") = "changed";
    EXPECT_EQ(original.getArray("list")[1].getString("k"), "v");
    EXPECT_EQ(copy.getArray("list")[1].getString("k"), "changed");
    EXPECT_EQ(copy.referenceCount(), 0);
}

TEST(JSONModel, AssignmentFromOwnMemberKeepsTheMember) {
    JSON doc = parsed(R"({"inner":{"a":[1,2]}})");
    doc = doc.member("inner");
    EXPECT_EQ(doc.getArray("a").size(), 2u);
    doc = std::move(doc.member("a"));
    EXPECT_EQ(doc.at(1).asInt(), 2);
}

TEST(JSONModel, AssignmentReplacesTypeAndContent) {
    JSON value = parsed("[1]");
    value = JSON::ObjectType{{"x", JSON("y")}};
    EXPECT_EQ(value.getString("x"), "y");
    value = std::string("text");
    EXPECT_EQ(value.asString(), "text");
    value = JSON::ArrayType{};
    EXPECT_TRUE(value.asArray().empty());
}

TEST(JSONModel, AcceptVisitsMembersInKeyOrderAndElementsWithEmptyKeys) {
    Recorder recorder;
    parsed(R"({"b":[true,null],"a":"x","c":2.5})").accept(recorder);
    EXPECT_EQ(recorder.calls, "{:S(a,x)[b:B(,1)Z()]N(c,2.500000,2)}");
}
