#include "particle/ParticleDefinition.h"

#include "lua/LuaTable.h"
#include "lua/ScriptValues.h"

namespace particle {
namespace {

// Lenient reads of a table that may be missing (an empty handle).
struct Reader {
    lua::LuaTable table;

    explicit Reader(const lua::LuaTable& t) : table(t) {}
    static Reader sub(const lua::LuaTable& parent, const char* key) {
        return Reader(lua::tableOrEmpty(parent, key));
    }
    float number(const char* key, float fallback = 0) const {
        return table.isEmpty() ? fallback : lua::numberOr(table, key, fallback);
    }
    bool flag(const char* key) const { return !table.isEmpty() && lua::isTrue(table, key); }
};

std::vector<std::string> readNames(const lua::LuaTable& table, const char* key) {
    std::vector<std::string> names;
    if (!table.isTable(key)) {
        return names;
    }
    lua::LuaTable list = table.getTable(key);
    for (int i = 1; list.isString(i); ++i) {
        names.push_back(list.getString(i));
    }
    return names;
}

void readEmitter(const lua::LuaTable& table, int screenWidth, int screenHeight,
                 ParticleDefinition& d) {
    if (!table.isNil("emitter_box")) {
        Reader box = Reader::sub(table, "emitter_box");
        d.emitter = EMITTER_BOX;
        d.minVelX = box.number("minVelX");
        d.maxVelX = box.number("maxVelX");
        d.minVelY = box.number("minVelY");
        d.maxVelY = box.number("maxVelY");
    } else if (!table.isNil("emitter_circle")) {
        Reader circle = Reader::sub(table, "emitter_circle");
        d.emitter = EMITTER_CIRCLE;
        d.minVel = circle.number("minVel");
        d.maxVel = circle.number("maxVel");
        d.minAngleEmitter = circle.number("minAngleEmitter", 0);
        d.maxAngleEmitter = circle.number("maxAngleEmitter", 360);
    } else {
        Reader bat = Reader::sub(table, "emitter_bat");
        d.emitter = EMITTER_BAT;
        d.batTargetX = bat.number("targetX") * static_cast<float>(screenWidth);
        d.batTargetY = bat.number("targetY") * static_cast<float>(screenHeight);
    }
}

void readTarget(const lua::LuaTable& table, ParticleDefinition& d) {
    d.hasTarget = table.isTable("particle_target");
    Reader target = Reader::sub(table, "particle_target");
    d.targetX = target.number("targetX");
    d.targetY = target.number("targetY");
    d.killEarlyPercent = target.number("killEarlyPercent", 1);
}

}  // namespace

void readDefinition(const lua::LuaTable& table, int screenWidth, int screenHeight,
                    ParticleDefinition& d) {
    Reader r(table);
    d.sprites = readNames(table, "sprites");
    d.sheet = table.isString("sheet") ? table.getString("sheet") : std::string();
    d.animatedByLife = table.isString("animation") && table.getString("animation") == "lifeTime";
    d.randomizeBirthPosition =
        table.isNil("randomizeBirthPosition") || r.flag("randomizeBirthPosition");
    readEmitter(table, screenWidth, screenHeight, d);
    d.minAngleVel = r.number("minAngleVel");
    d.maxAngleVel = r.number("maxAngleVel");
    d.minScaleBegin = r.number("minScaleBegin");
    d.maxScaleBegin = r.number("maxScaleBegin");
    d.minScaleEnd = r.number("minScaleEnd");
    d.maxScaleEnd = r.number("maxScaleEnd");
    d.lifeTime = r.number("lifeTime");
    d.gravityX = r.number("gravityX");
    d.gravityY = r.number("gravityY");
    readTarget(table, d);
    d.animationLength = r.number("animationLength", d.lifeTime);
    d.density = r.number("density") / 100000.0f;
    d.looping = r.flag("looping");
    d.alwaysLoad = r.flag("alwaysLoad");
}

}  // namespace particle
