// Joints and destroy links made from description tables.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "common/world/GameLua.h"
#include "lang/Format.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

namespace {

const float PI = 3.1415927f;

enum JointType { SPRING = 1, WELD = 2, HINGE = 3, SLIDER = 4, DESTROY_LINK = 5 };

// A boolean of the description, or fallback when it holds no boolean.
bool flagOr(const lua::LuaTable& desc, const char* key, bool fallback) {
    return desc.isBoolean(key) ? desc.getBoolean(key) : fallback;
}

// Reads a number, stores the value used into the stored table and returns it.
float keep(const lua::LuaTable& desc, lua::LuaTable& stored, const char* key, float fallback) {
    float value = numberOr(desc, key, fallback);
    stored.set(key, value);
    return value;
}

bool keepFlag(const lua::LuaTable& desc, lua::LuaTable& stored, const char* key, bool fallback) {
    bool value = flagOr(desc, key, fallback);
    stored.set(key, value);
    return value;
}

// The physics library aborts on limits the wrong way round.
void checkLimits(float lower, float upper, const std::string& name) {
    if (!(lower <= upper)) {
        throw lua::LuaException(
            lang::Format("Joint {0}: lowerLimit {1} is above upperLimit {2}", name, lower, upper));
    }
}

void setMaxMotor(b2RevoluteJoint* joint, float value) {
    joint->SetMaxMotorTorque(value);
}
void setMaxMotor(b2PrismaticJoint* joint, float value) {
    joint->SetMaxMotorForce(value);
}

// The motor and limit keys present in params, for hinges and sliders alike.
template <class J>
void applyMotorAndLimits(J* joint, const lua::LuaTable& params, const std::string& name) {
    if (params.isBoolean("motor"))
        joint->EnableMotor(params.getBoolean("motor"));
    if (params.isNumber("motorSpeed"))
        joint->SetMotorSpeed(params.getNumber("motorSpeed"));
    if (params.isNumber("maxTorque"))
        setMaxMotor(joint, params.getNumber("maxTorque"));
    if (params.isBoolean("limit"))
        joint->EnableLimit(params.getBoolean("limit"));
    float lower = numberOr(params, "lowerLimit", joint->GetLowerLimit());
    float upper = numberOr(params, "upperLimit", joint->GetUpperLimit());
    checkLimits(lower, upper, name);
    joint->SetLimits(lower, upper);
}

void setSpring(b2DistanceJointDef& def, float frequency, float dampingRatio) {
    if (frequency > 0) {
        // A soft spring around its rest length, without the rigid limits.
        b2LinearStiffness(def.stiffness, def.damping, frequency, dampingRatio, def.bodyA,
                          def.bodyB);
        def.minLength = 0;
        def.maxLength = FLT_MAX;
    }
}

// What every physical joint starts from: its two bodies, the points given in
// the description and whether the two still collide.
struct JointEnds {
    b2Body* a;
    b2Body* b;
    b2Vec2 p1;
    b2Vec2 p2;
    bool collide;
};

void storePoints(lua::LuaTable& stored, const b2Vec2& p1, const b2Vec2& p2) {
    stored.set("x1", p1.x);
    stored.set("y1", p1.y);
    stored.set("x2", p2.x);
    stored.set("y2", p2.y);
}

// A spring between the bodies' centres, between the world points of the call
// (coordType 1: arguments 6 to 9) or between the given local points (2).
b2DistanceJointDef springDef(const JointEnds& ends, const lua::LuaTable& desc,
                             lua::LuaTable& stored, lua::LuaState& state) {
    const int coordType = lang::truncateToInt(stored.getNumber("coordType"));
    b2Vec2 w1 = ends.a->GetPosition(), w2 = ends.b->GetPosition();
    if (coordType == 1) {
        w1.Set(state.toNumber(6), state.toNumber(7));
        w2.Set(state.toNumber(8), state.toNumber(9));
    } else if (coordType == 2) {
        w1 = ends.a->GetWorldPoint(ends.p1);
        w2 = ends.b->GetWorldPoint(ends.p2);
    }
    b2DistanceJointDef def;
    def.Initialize(ends.a, ends.b, w1, w2);
    def.collideConnected = ends.collide;
    setSpring(def, keep(desc, stored, "frequency", 4.0f), keep(desc, stored, "dampingRatio", 0.5f));
    storePoints(stored, w1, w2);
    return def;
}

// Welded halfway between the two local points.
b2WeldJointDef weldDef(const JointEnds& ends, lua::LuaTable& stored) {
    storePoints(stored, ends.p1, ends.p2);
    const b2Vec2 w1 = ends.a->GetWorldPoint(ends.p1), w2 = ends.b->GetWorldPoint(ends.p2);
    b2WeldJointDef def;
    def.Initialize(ends.a, ends.b, 0.5f * (w1 + w2));
    def.collideConnected = ends.collide;
    return def;
}

// The motor and limits of a hinge (an angle in radians) or a slider (a
// distance), with their defaults, as stored.
struct Motor {
    bool enabled;
    float speed;
    float maxForce;
    bool limited;
    float lower;
    float upper;
};

Motor keepMotor(const lua::LuaTable& desc, lua::LuaTable& stored, bool hinge) {
    Motor motor;
    motor.enabled = keepFlag(desc, stored, "motor", !hinge);
    motor.speed = keep(desc, stored, "motorSpeed", 0);
    motor.maxForce = keep(desc, stored, "maxTorque", 10000);
    motor.limited = keepFlag(desc, stored, "limit", !hinge);
    motor.lower = keep(desc, stored, "lowerLimit", 0);
    motor.upper = keep(desc, stored, "upperLimit", hinge ? PI : 5.0f);
    keepFlag(desc, stored, "backAndForth", !hinge);
    checkLimits(motor.lower, motor.upper, desc.getString("name"));
    return motor;
}

// Turning about the first local point.
b2RevoluteJointDef hingeDef(const JointEnds& ends, const lua::LuaTable& desc,
                            lua::LuaTable& stored) {
    storePoints(stored, ends.p1, ends.p2);
    const Motor motor = keepMotor(desc, stored, true);
    b2RevoluteJointDef def;
    def.Initialize(ends.a, ends.b, ends.a->GetWorldPoint(ends.p1));
    def.collideConnected = ends.collide;
    def.enableMotor = motor.enabled;
    def.motorSpeed = motor.speed;
    def.maxMotorTorque = motor.maxForce;
    def.enableLimit = motor.limited;
    def.lowerAngle = motor.lower;
    def.upperAngle = motor.upper;
    return def;
}

// Sliding from the first local point along the world axis of the description.
b2PrismaticJointDef sliderDef(const JointEnds& ends, const lua::LuaTable& desc,
                              lua::LuaTable& stored) {
    storePoints(stored, ends.p1, ends.p2);
    const Motor motor = keepMotor(desc, stored, false);
    const b2Vec2 axis(numberOr(desc, "worldAxisX", 0), numberOr(desc, "worldAxisY", 0));
    stored.set("worldAxisX", axis.x);
    stored.set("worldAxisY", axis.y);
    b2PrismaticJointDef def;
    def.Initialize(ends.a, ends.b, ends.a->GetWorldPoint(ends.p1), axis);
    def.collideConnected = ends.collide;
    def.enableMotor = motor.enabled;
    def.motorSpeed = motor.speed;
    def.maxMotorForce = motor.maxForce;
    def.enableLimit = motor.limited;
    def.lowerTranslation = motor.lower;
    def.upperTranslation = motor.upper;
    return def;
}

}  // namespace

void GameLua::registerJointNatives() {
    addMethod("createJoint", this, &GameLua::createJoint, "(t)");
    addMethod("setJointParameters", this, &GameLua::setJointParameters, "(t)");
    addMethod("getJointList", this, &GameLua::getJointList, "(s) -> t");
    bindMethod("checkJointLimits", this, &GameLua::checkJointLimits);
    bindMethod("destroyJoint", this, &GameLua::destroyJoint);
    bindMethod("destroyBreakableJoints", this, &GameLua::destroyBreakableJoints);
}

lua::LuaTable GameLua::jointsTable() {
    if (!objectsTable_.isTable("joints")) {
        lua::LuaTable joints(*getState());
        objectsTable_.set("joints", &joints);
    }
    return objectsTable_.getTable("joints");
}

int GameLua::createJoint(lua::LuaState* state) {
    checkUnlocked("createJoint");
    lua::LuaTable desc = state->toTable(-1);
    int type = lang::truncateToInt(desc.getNumber("type"));
    std::string name = desc.getString("name");
    lua::LuaTable stored(*state);
    stored.set("name", name);
    stored.set("end1", desc.getString("end1"));
    stored.set("end2", desc.getString("end2"));
    stored.set("type", static_cast<float>(type));
    int coordType = lang::truncateToInt(std::floor(desc.getNumber("coordType") + 0.5f));
    stored.set("coordType", static_cast<float>(coordType));
    if (desc.isBoolean("breakable")) {
        stored.set("breakable", desc.getBoolean("breakable"));
    }
    if (desc.isNumber("breakForce")) {
        stored.set("breakForce", desc.getNumber("breakForce"));
    }
    JointRecord record{name, desc.getString("end1"), desc.getString("end2"), nullptr, coordType};
    if (type == DESTROY_LINK) {
        keep(desc, stored, "destroyTimer", 1.0f);
        destroyLinks_.push_back(record);
    } else {
        record.joint = createPhysicsJoint(type, desc, stored, *state);
        joints_.push_back(record);
    }
    jointsTable().set(name, &stored);
    return 0;
}

b2Joint* GameLua::createPhysicsJoint(int type, const lua::LuaTable& desc, lua::LuaTable& stored,
                                     lua::LuaState& state) {
    GameObject* a = findObject(desc.getString("end1"));
    GameObject* b = findObject(desc.getString("end2"));
    if (!a || !b || a == b || type < SPRING || type > SLIDER) {
        throw lua::LuaException(lang::Format(
            "createJoint: joint {0} needs two distinct objects and a type from 1 to 5{1}",
            desc.getString("name"), state.getCallStack()));
    }
    const JointEnds ends{a->body, b->body, b2Vec2(numberOr(desc, "x1", 0), numberOr(desc, "y1", 0)),
                         b2Vec2(numberOr(desc, "x2", 0), numberOr(desc, "y2", 0)),
                         keepFlag(desc, stored, "collideConnected", false)};
    switch (type) {
        case SPRING: {
            b2DistanceJointDef def = springDef(ends, desc, stored, state);
            return world_->CreateJoint(&def);
        }
        case WELD: {
            b2WeldJointDef def = weldDef(ends, stored);
            return world_->CreateJoint(&def);
        }
        case HINGE: {
            b2RevoluteJointDef def = hingeDef(ends, desc, stored);
            return world_->CreateJoint(&def);
        }
        default: {
            b2PrismaticJointDef def = sliderDef(ends, desc, stored);
            return world_->CreateJoint(&def);
        }
    }
}

int GameLua::setJointParameters(lua::LuaState* state) {
    lua::LuaTable params = state->toTable(1);
    std::string name = params.getString("name");
    for (const JointRecord& record : joints_) {
        if (record.name != name) {
            continue;
        }
        if (auto* hinge = dynamic_cast<b2RevoluteJoint*>(record.joint)) {
            applyMotorAndLimits(hinge, params, name);
        } else if (auto* slider = dynamic_cast<b2PrismaticJoint*>(record.joint)) {
            applyMotorAndLimits(slider, params, name);
        } else if (auto* spring = dynamic_cast<b2DistanceJoint*>(record.joint)) {
            lua::LuaTable stored = jointsTable();
            lua::LuaTable current = stored.isTable(name) ? stored.getTable(name) : params;
            b2DistanceJointDef def;
            def.bodyA = spring->GetBodyA();
            def.bodyB = spring->GetBodyB();
            setSpring(def, numberOr(params, "frequency", current.getNumber("frequency")),
                      numberOr(params, "dampingRatio", current.getNumber("dampingRatio")));
            spring->SetStiffness(def.stiffness);
            spring->SetDamping(def.damping);
        }
    }
    lua::LuaTable joints = jointsTable();
    if (joints.isTable(name)) {
        lua::LuaTable stored = joints.getTable(name);
        for (const char* key : {"motor", "limit"}) {
            if (params.isBoolean(key))
                stored.set(key, params.getBoolean(key));
        }
        for (const char* key :
             {"motorSpeed", "maxTorque", "lowerLimit", "upperLimit", "frequency", "dampingRatio"}) {
            if (params.isNumber(key))
                stored.set(key, params.getNumber(key));
        }
    }
    return 0;
}

int GameLua::getJointList(lua::LuaState* state) {
    std::string object = state->toString(1);
    lua::LuaTable list(*state);
    int index = 1;
    for (const JointRecord& record : joints_) {
        if (record.end1 == object || record.end2 == object) {
            list.set(index++, record.name);
        }
    }
    state->pushTable(&list);
    return 1;
}

void GameLua::checkJointLimits(std::string name) {
    for (const JointRecord& record : joints_) {
        if (record.name != name) {
            continue;
        }
        float speed = 0, value = 0, lower = 0, upper = 0;
        b2Joint* joint = record.joint;
        if (auto* hinge = dynamic_cast<b2RevoluteJoint*>(joint)) {
            if (!hinge->IsLimitEnabled() || !hinge->IsMotorEnabled())
                continue;
            speed = hinge->GetMotorSpeed();
            value = hinge->GetJointAngle();
            lower = hinge->GetLowerLimit();
            upper = hinge->GetUpperLimit();
        } else if (auto* slider = dynamic_cast<b2PrismaticJoint*>(joint)) {
            if (!slider->IsLimitEnabled() || !slider->IsMotorEnabled())
                continue;
            speed = slider->GetMotorSpeed();
            value = slider->GetJointTranslation();
            lower = slider->GetLowerLimit();
            upper = slider->GetUpperLimit();
        } else {
            continue;
        }
        if ((speed > 0 && value >= upper) || (speed < 0 && value <= lower)) {
            if (auto* hinge = dynamic_cast<b2RevoluteJoint*>(joint))
                hinge->SetMotorSpeed(-speed);
            if (auto* slider = dynamic_cast<b2PrismaticJoint*>(joint))
                slider->SetMotorSpeed(-speed);
        }
    }
}

void GameLua::destroyJoint(std::string name) {
    checkUnlocked("destroyJoint");
    for (auto it = joints_.begin(); it != joints_.end(); ++it) {
        if (it->name == name) {
            jointsTable().remove(name);
            world_->DestroyJoint(it->joint);
            joints_.erase(it);
            break;
        }
    }
    for (auto it = destroyLinks_.begin(); it != destroyLinks_.end(); ++it) {
        if (it->name == name) {
            jointsTable().remove(name);
            destroyLinks_.erase(it);
            break;
        }
    }
}

void GameLua::destroyRecordedJointsOf(b2Body* body) {
    for (b2JointEdge* edge = body->GetJointList(); edge;) {
        b2Joint* joint = edge->joint;
        edge = edge->next;
        auto it = std::find_if(joints_.begin(), joints_.end(),
                               [joint](const JointRecord& r) { return r.joint == joint; });
        if (it != joints_.end()) {
            jointsTable().remove(it->name);
            world_->DestroyJoint(joint);
            joints_.erase(it);
        }
    }
}

void GameLua::removeJointsOf(const std::string& name) {
    lua::LuaTable joints = jointsTable();
    for (auto it = destroyLinks_.begin(); it != destroyLinks_.end();) {
        if (it->end1 == name) {
            GameObject* other = findObject(it->end2);
            if (other) {
                lua::LuaTable link = lua::tableOrEmpty(joints, it->name);
                other->destroyPending = 1;
                other->destroyTimer = link.isEmpty() ? 1.0f : link.getNumber("destroyTimer");
            }
        }
        if (it->end1 == name || it->end2 == name) {
            joints.remove(it->name);
            it = destroyLinks_.erase(it);
        } else {
            ++it;
        }
    }
    // The physics joints went with the body.
    for (auto it = joints_.begin(); it != joints_.end();) {
        if (it->end1 == name || it->end2 == name) {
            joints.remove(it->name);
            it = joints_.erase(it);
        } else {
            ++it;
        }
    }
}

void GameLua::publishJointAnchors() {
    lua::LuaTable joints = jointsTable();
    for (const JointRecord& record : joints_) {
        if (record.coordType == 2 || !joints.isTable(record.name)) {
            continue;
        }
        lua::LuaTable stored = joints.getTable(record.name);
        b2Vec2 a = record.joint->GetAnchorA(), b = record.joint->GetAnchorB();
        stored.set("x1", a.x);
        stored.set("y1", a.y);
        stored.set("x2", b.x);
        stored.set("y2", b.y);
    }
}
