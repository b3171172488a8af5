#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "LuaFixture.h"
#include "lua/LuaObject.h"
#include "lua/LuaTableVisitor.h"

namespace {

// Writes each callback as one line: i:<index>=..., n:<name>=..., [name, ].
class Recorder : public lua::LuaTableVisitor {
public:
    std::vector<std::string> lines;

    void visitNil(int index) override { add("i:" + std::to_string(index) + "=nil"); }
    void visitBoolean(int index, bool v) override {
        add("i:" + std::to_string(index) + "=" + b(v));
    }
    void visitNumber(int index, float v) override {
        add("i:" + std::to_string(index) + "=" + n(v));
    }
    void visitString(int index, const char* v) override {
        add("i:" + std::to_string(index) + "='" + v + "'");
    }
    void visitNil(const char* name) override { add("n:" + s(name) + "=nil"); }
    void visitBoolean(const char* name, bool v) override { add("n:" + s(name) + "=" + b(v)); }
    void visitNumber(const char* name, float v) override { add("n:" + s(name) + "=" + n(v)); }
    void visitString(const char* name, const char* v) override {
        add("n:" + s(name) + "='" + v + "'");
    }
    void beginTable(const char* name) override { add("[" + s(name)); }
    void endTable() override { add("]"); }
    void begin() override { add("begin"); }
    void end() override { add("end"); }

    std::vector<std::string> sorted() const {
        std::vector<std::string> copy = lines;
        std::sort(copy.begin(), copy.end());
        return copy;
    }

private:
    void add(const std::string& line) { lines.push_back(line); }
    static std::string s(const char* name) { return name ? name : "(null)"; }
    static std::string b(bool v) { return v ? "true" : "false"; }
    static std::string n(float v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }
};

using LuaVisitTest = LuaFixture;

TEST_F(LuaVisitTest, KeysChooseIndexedOrNamedCallbacks) {
    run("t = { 'a', x = 2, flag = true, [1.75 + 1] = 'b', [-2] = 3, [2^31] = 4, [-0.5] = 5,"
        "      _G = 6, [true] = 7, f = print }");
    Recorder r;
    global("t").visit(r);
    std::vector<std::string> expected = {"i:0=5",      "i:1='a'",     "i:2='b'", "n:(null)=3",
                                         "n:(null)=4", "n:flag=true", "n:x=2"};
    EXPECT_EQ(r.sorted(), expected);
}

TEST_F(LuaVisitTest, NestedTablesAreBracketed) {
    run("t = { cfg = { { 'deep' } } }");
    Recorder r;
    global("t").accept(r);
    std::vector<std::string> expected = {"begin", "[cfg", "[(null)", "i:1='deep'", "]", "]", "end"};
    EXPECT_EQ(r.lines, expected);
}

TEST_F(LuaVisitTest, ObjectTablesAreVisitedWithoutTheirSelfAndGlobals) {
    lua::LuaObject object(state);
    object.set("score", 10.0f);
    Recorder r;
    object.visit(r);
    // Entry 0 is light userdata and "this" refers back to the table itself.
    std::vector<std::string> expected = {"n:score=10"};
    EXPECT_EQ(r.lines, expected);
}

TEST_F(LuaVisitTest, LeavesTheStackAsFound) {
    run("t = { a = { b = { c = 1 } } }");
    int top = state.getTop();
    Recorder r;
    global("t").accept(r);
    EXPECT_EQ(state.getTop(), top);
}

}  // namespace
