// The text form of levels: laid out like the hand-written levels, in a fixed
// order, and read back to the same table.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/level/LevelText.h"
#include "common/world/GameLuaFixture.h"
#include "lua/LuaState.h"

using worldtest::GameLuaFixture;

namespace {

// Deep equality of two Lua values, as a script of the world.
const char* const SAME = R"(
function same(a, b)
    if type(a) ~= type(b) then return false end
    if type(a) ~= 'table' then return a == b or (a ~= a and b ~= b) end
    for k, v in pairs(a) do if not same(v, b[k]) then return false end end
    for k in pairs(b) do if a[k] == nil then return false end end
    return true
end
)";

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

class LevelTextTest : public GameLuaFixture {
protected:
    LevelTextTest() { run(SAME); }
    // The global `name` of the world, as level text.
    std::string textOf(const std::string& name, const std::string& header = "") {
        return levelText(world->getTable(name), header);
    }
    // Runs text into the global `name`.
    void readInto(const std::string& name, const std::string& text) {
        lua::LuaTable table(state);
        state.runBuffer(text.data(), text.size(), name, &table);
        world->set(name, &table);
    }
};

TEST_F(LevelTextTest, EveryShippedLevelIsWrittenBackAsItsOwnText) {
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QF_LEVEL_SOURCES)) {
        if (entry.path().extension() != ".lua") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = fileText(entry.path());
        readInto("level", text);
        EXPECT_EQ(text, textOf("level", levelHeader(text)));
        ++levels;
    }
    EXPECT_GT(levels, 0) << "no levels in " << QF_LEVEL_SOURCES;
}

TEST_F(LevelTextTest, AwkwardValuesAndKeysReadBackTheSame) {
    run(R"(
        level = {
            filename = 'x.lua',
            hint = 'say "hi"\\ \n\tthen\0go\127',
            birds = { 'quill', 'gale' },
            numbers = { 0.1, -3.2, 1e-7, 123456789, 3.1416, -0, 2^24, 1/3 },
            gaps = { [1] = 'a', [3] = 'c', [-2] = 'minus', [0.5] = 'half' },
            flags = { on = true, off = false },
            world = {
                ['two words'] = { definition = 'WOOD_BOX', x = 1, y = -2,
                                  ['end'] = 'keyword', nested = { { 1, 2 }, { k = 'v' } } },
                ['if'] = { definition = 'GREMLIN', x = 0, y = 0 },
                x = { definition = 'PIVOT', x = 5, y = 6 },
            },
            joints = {},
        }
    )");
    const std::string text = textOf("level");
    readInto("back", text);
    EXPECT_TRUE(truth("same(level, back)")) << text;
}

TEST_F(LevelTextTest, WhatCannotBeWrittenIsLeftOut) {
    run(R"(
        level = { theme = 'dusk', hook = print, world = { a = { definition = 'GREMLIN', f = print } },
                  [3] = 'no name at the top', ['not a name'] = 1 }
    )");
    const std::string text = textOf("level");
    readInto("back", text);
    EXPECT_TRUE(truth("same(back, { theme = 'dusk', world = { a = { definition = 'GREMLIN' } } })"))
        << text;
}

TEST_F(LevelTextTest, TheOrderDoesNotDependOnHowTheTableWasMade) {
    // The same level built in two orders: Lua's own traversal differs.
    run(R"(
        a = { world = {}, joints = {} }
        a.birds = { 'quill' }
        a.theme = 'frost'
        a.filename = 'o.lua'
        for i = 1, 40 do a.world['obj' .. i] = { y = -i, x = i, definition = 'ICE_BOX' } end
        a.joints.j = { breakForce = 3, end2 = 'obj2', end1 = 'obj1', type = 2 }
        b = { filename = 'o.lua', theme = 'frost', birds = { 'quill' }, world = {}, joints = {} }
        for i = 40, 1, -1 do b.world['obj' .. i] = { definition = 'ICE_BOX', x = i, y = -i } end
        for i = 1, 40, 3 do b.world['temp' .. i] = 0; b.world['temp' .. i] = nil end
        b.joints.j = { type = 2, end1 = 'obj1', end2 = 'obj2', breakForce = 3 }
    )");
    const std::string text = textOf("a");
    EXPECT_EQ(text, textOf("b"));
    // The known keys first, in the order the levels use; world before joints.
    EXPECT_NE(
        text.find("filename = \"o.lua\"\ntheme = \"frost\"\nbirds = { \"quill\" }\n\nworld = {\n"
                  "    obj1 = { definition = \"ICE_BOX\", x = 1, y = -1 },\n"
                  "    obj10 = "),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\n\njoints = {\n    j = { type = 2, end1 = \"obj1\", end2 = \"obj2\", "
                        "breakForce = 3 },\n}\n"),
              std::string::npos)
        << text;
}

TEST(LevelHeaderTest, KeepsTheLeadingCommentLines) {
    struct Case {
        const char* text;
        const char* header;
    };
    const Case cases[] = {
        {"-- a\n-- b\nfilename = 'a.lua'\n-- later\n", "-- a\n-- b\n"},
        {"filename = 'a.lua'\n", ""},
        {"", ""},
        {"\n-- after a blank line\n", ""},
        {"-- only a comment without its newline", "-- only a comment without its newline\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.header, levelHeader(c.text));
    }
}
