// Natives that read and change one object's body and fixtures.

#include <cmath>

#include "common/world/GameLua.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"
#include "lua/ScriptValues.h"
#include "math/random.h"

namespace {

const float TWO_PI = 6.28318530718f;

template <class F>
void forEachFixture(b2Body* body, F f) {
    for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        f(*fixture);
    }
}

}  // namespace

void GameLua::registerBodyNatives() {
    addMethod("applyImpulse", this, &GameLua::applyImpulse, "(s, n, n, [n, n])");
    bindMethod("applyForceNative", this, &GameLua::applyForceNative);
    bindMethod("setPosition", this, &GameLua::setPosition);
    bindMethod("setRotation", this, &GameLua::setRotation);
    bindMethod("setVelocity", this, &GameLua::setVelocity);
    bindMethod("setAngularDamping", this, &GameLua::setAngularDamping);
    bindMethod("setAngularVelocity", this, &GameLua::setAngularVelocity);
    bindMethod("setLinearDamping", this, &GameLua::setLinearDamping);
    bindMethod("setFriction", this, &GameLua::setFriction);
    bindMethod("setRestitution", this, &GameLua::setRestitution);
    bindMethod("setDensity", this, &GameLua::setDensity);
    bindMethod("setSleeping", this, &GameLua::setSleeping);
    bindMethod("getIntersectingObjects", this, &GameLua::getIntersectingObjects);
    addMethod("getWorldPoint", this, &GameLua::getWorldPoint, "(s, n, n) -> n, n");
    addMethod("getLocalPoint", this, &GameLua::getLocalPoint, "(s, n, n) -> n, n");
    bindMethod("getAngularVelocity", this, &GameLua::getAngularVelocity);
    bindMethod("getSpeed", this, &GameLua::getSpeed);
}

void GameLua::resizeCircle(std::string name, float radius) {
    GameObject* object = findObject(name);
    if (!object || object->shapeKind != GameObject::SHAPE_CIRCLE) {
        return;
    }
    checkUnlocked("resizeCircle");
    if (!std::isfinite(radius) || radius < 0) {
        throw lua::LuaException(lang::Format("resizeCircle: bad radius for {0}", name));
    }
    object->radius = radius;
    object->body->DestroyFixture(object->body->GetFixtureList());
    attachFixture(*object);
    raiseContactError();
}

void GameLua::setFilterCategory(std::string name, float bits) {
    if (GameObject* object = findObject(name)) {
        forEachFixture(object->body, [bits](b2Fixture& f) {
            b2Filter filter = f.GetFilterData();
            filter.categoryBits = static_cast<uint16>(lang::truncateToInt(bits));
            f.SetFilterData(filter);
        });
    }
}

void GameLua::setFilterMask(std::string name, float bits) {
    if (GameObject* object = findObject(name)) {
        forEachFixture(object->body, [bits](b2Fixture& f) {
            b2Filter filter = f.GetFilterData();
            filter.maskBits = static_cast<uint16>(lang::truncateToInt(bits));
            f.SetFilterData(filter);
        });
    }
}

void GameLua::setSensor(std::string name, bool sensor) {
    if (GameObject* object = findObject(name)) {
        forEachFixture(object->body, [sensor](b2Fixture& f) { f.SetSensor(sensor); });
    }
}

void GameLua::setPosition(std::string name, float x, float y) {
    if (GameObject* object = findObject(name)) {
        checkUnlocked("setPosition");
        object->body->SetTransform(b2Vec2(x, y), object->body->GetAngle());
        object->table.set("x", x);
        object->table.set("y", y);
        object->placePosition(x, y);
    }
}

void GameLua::setRotation(std::string name, float angle) {
    if (GameObject* object = findObject(name)) {
        checkUnlocked("setRotation");
        angle = std::fmod(angle, TWO_PI);
        if (angle < 0) {
            angle += TWO_PI;
        }
        object->body->SetTransform(object->body->GetPosition(), angle);
        object->table.set("angle", angle);
        object->placeAngle(angle);
    }
}

void GameLua::setVelocity(std::string name, float vx, float vy) {
    GameObject* object = findObject(name);
    if (object && !object->isStatic()) {
        // Box2D's own setter wakes the body; a script that sets a velocity
        // leaves waking to the contacts.
        object->body->SetLinearVelocityAsleep(b2Vec2(vx, vy));
    }
}

void GameLua::setAngularVelocity(std::string name, float w) {
    GameObject* object = findObject(name);
    if (object && !object->isStatic()) {
        object->body->SetAngularVelocity(w);
    }
}

void GameLua::setLinearDamping(std::string name, float damping) {
    if (GameObject* object = findObject(name)) {
        object->body->SetLinearDamping(damping);
    } else {
        QF_LOG("", lang::log::WARNING, "Body name : %s", name.c_str());
    }
}

void GameLua::setAngularDamping(std::string name, float damping) {
    if (GameObject* object = findObject(name)) {
        object->body->SetAngularDamping(damping);
    } else {
        QF_LOG("", lang::log::WARNING, "Body %s not found in GameLua::setAngularDamping",
               name.c_str());
    }
}

void GameLua::setDensity(std::string name, float value) {
    if (GameObject* object = findObject(name)) {
        object->density = value;
        forEachFixture(object->body, [value](b2Fixture& f) { f.SetDensity(value); });
    }
}

void GameLua::setFriction(std::string name, float value) {
    if (GameObject* object = findObject(name)) {
        object->friction = value;
        forEachFixture(object->body, [value](b2Fixture& f) { f.SetFriction(value); });
    }
}

void GameLua::setRestitution(std::string name, float value) {
    if (GameObject* object = findObject(name)) {
        object->restitution = value;
        forEachFixture(object->body, [value](b2Fixture& f) { f.SetRestitution(value); });
    }
}

void GameLua::setObjectParameter(std::string name, float id, float value) {
    GameObject* object = findObject(name);
    if (!object) {
        return;
    }
    switch (lang::truncateToInt(id)) {
        case 2:
            checkUnlocked("setObjectParameter");
            object->body->SetType(value == 0 ? b2_staticBody : b2_dynamicBody);
            break;
        case 5:
            std::fill(std::begin(object->drawScale), std::end(object->drawScale), value);
            break;
        case 6:
            object->useDrawScale = lang::truncateToInt(value) == 1 ? 1 : 0;
            break;
        case 7:
            object->spinPhase = static_cast<float>(math::random()) * TWO_PI;
            break;
        case 8:
            object->forcesAlways = lang::truncateToInt(value) == 1 ? 1 : 0;
            break;
        default:
            break;
    }
}

void GameLua::setSleeping(std::string name, bool sleeping) {
    if (GameObject* object = findObject(name)) {
        object->body->SetAwake(!sleeping);
    }
}

float GameLua::getAngularVelocity(std::string name) {
    GameObject* object = findObject(name);
    return object ? object->body->GetAngularVelocity() : 0.0f;
}

float GameLua::getSpeed(std::string name) {
    GameObject* object = findObject(name);
    return object ? object->body->GetLinearVelocity().Length() : 0.0f;
}

int GameLua::getWorldPoint(lua::LuaState* state) {
    GameObject* object = findObject(state->toString(1));
    b2Vec2 local(state->toNumber(2), state->toNumber(3));
    b2Vec2 p = object ? object->body->GetWorldPoint(local) : b2Vec2(0, 0);
    state->pushNumber(p.x);
    state->pushNumber(p.y);
    return 2;
}

int GameLua::getLocalPoint(lua::LuaState* state) {
    GameObject* object = findObject(state->toString(1));
    b2Vec2 world(state->toNumber(2), state->toNumber(3));
    b2Vec2 p = object ? object->body->GetLocalPoint(world) : b2Vec2(0, 0);
    state->pushNumber(p.x);
    state->pushNumber(p.y);
    return 2;
}

namespace {

// Every fixture whose box overlaps the query box, in the order reported.
class OverlapQuery : public b2QueryCallback {
public:
    bool ReportFixture(b2Fixture* fixture) override {
        bodies.push_back(fixture->GetBody());
        return true;
    }
    std::vector<b2Body*> bodies;
};

}  // namespace

lua::LuaTable GameLua::getIntersectingObjects(lua::LuaTable box) {
    float x = box.getNumber("x"), y = box.getNumber("y");
    b2AABB aabb;
    aabb.lowerBound.Set(x + box.getNumber("left"), y + box.getNumber("down"));
    aabb.upperBound.Set(x + box.getNumber("right"), y + box.getNumber("up"));
    OverlapQuery query;
    world_->QueryAABB(&query, aabb);
    lua::LuaTable result(*getState());
    int index = 1;
    for (b2Body* body : query.bodies) {
        if (GameObject* object = GameObject::of(body)) {
            result.set(index++, object->name);
        }
    }
    return result;
}

void GameLua::applyDestroyOnForce(GameObject& object) {
    if (lua::isTrue(object.table, "destroyOnForce")) {
        object.destroyPending = 1;
        object.destroyTimer = 0;
    }
}

int GameLua::applyImpulse(lua::LuaState* state) {
    GameObject* object = findObject(state->toString(1));
    b2Vec2 impulse(state->toNumber(2), state->toNumber(3));
    bool atPoint = state->getTop() >= 5;
    b2Vec2 point = atPoint ? b2Vec2(state->toNumber(4), state->toNumber(5)) : b2Vec2(0, 0);
    if (object) {
        applyDestroyOnForce(*object);
        object->body->ApplyLinearImpulse(impulse, atPoint ? point : object->body->GetPosition(),
                                         true);
    }
    return 0;
}

void GameLua::applyForceNative(std::string name, float fx, float fy, float px, float py) {
    if (GameObject* object = findObject(name)) {
        applyDestroyOnForce(*object);
        object->body->ApplyForce(b2Vec2(fx, fy), b2Vec2(px, py), true);
    }
}
