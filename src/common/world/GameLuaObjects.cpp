// Creating and removing game objects and their sprites.

#include <algorithm>
#include <cmath>

#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "common/world/PolygonCheck.h"
#include "common/world/special/GamePortals.h"
#include "game/Resources.h"
#include "lang/Format.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"

namespace {

void requireFinite(std::initializer_list<float> values, const char* native,
                   const std::string& name) {
    for (float v : values) {
        if (!std::isfinite(v)) {
            throw lua::LuaException(
                lang::Format("{0}: object {1} has a number that is not finite", native, name));
        }
    }
}

}  // namespace

void GameLua::registerObjectNatives() {
    bindMethod("createBox", this, &GameLua::createBox);
    bindMethod("createCircle", this, &GameLua::createCircle);
    bindMethod("resizeCircle", this, &GameLua::resizeCircle);
    bindMethod("getRadius", this, &GameLua::getRadius);
    bindMethod("createPolygon", this, &GameLua::createPolygon);
    bindMethod("setColliderType", this, &GameLua::setColliderType);
    bindMethod("setVisible", this, &GameLua::setVisible);
    bindMethod("setFilterCategory", this, &GameLua::setFilterCategory);
    bindMethod("setFilterMask", this, &GameLua::setFilterMask);
    bindMethod("setSensor", this, &GameLua::setSensor);
    bindMethod("setGravityEnabled", this, &GameLua::setGravityEnabled);
    bindMethod("isGravityEnabled", this, &GameLua::isGravityEnabled);
    bindMethod("removeObject", this, &GameLua::removeObject);
    bindMethod("setSprite", this, &GameLua::setSprite);
    bindMethod("setRollingSound", this, &GameLua::setRollingSound);
    bindMethod("setTexture", this, &GameLua::setTexture);
    bindMethod("setObjectParameter", this, &GameLua::setObjectParameter);
    bindMethod("setScale", this, &GameLua::setScale);
    addMethod("getScale", this, &GameLua::getScale, "(s) -> n, n");
}

void GameLua::createBox(std::string name, std::string sprite, float x, float y, float width,
                        float height, float density, float friction, float restitution,
                        bool collides, bool, float zOrder) {
    checkUnlocked("createBox");
    requireFinite({x, y, width, height, density, friction, restitution}, "createBox", name);
    // A dynamic box needs an area for its mass.
    if (density != 0 && !(width > 0 && height > 0)) {
        throw lua::LuaException(lang::Format("createBox: box {0} has no area", name));
    }
    GameObject& object = addObject(name, sprite, x, y, "GameLua::createBoxLua");
    object.shapeKind = GameObject::SHAPE_BOX;
    object.width = width;
    object.height = height;
    setUpBody(object, Material{density, friction, restitution}, collides, zOrder, x, y);
    publishObject(object, "box");
}

void GameLua::createCircle(std::string name, std::string sprite, float x, float y, float radius,
                           float density, float friction, float restitution, bool tracked,
                           float zOrder) {
    checkUnlocked("createCircle");
    requireFinite({x, y, radius, density, friction, restitution}, "createCircle", name);
    if (radius < 0) {
        throw lua::LuaException(
            lang::Format("createCircle: circle {0} has a negative radius", name));
    }
    GameObject& object = addObject(name, sprite, x, y, "GameLua::createCircleLua");
    object.shapeKind = GameObject::SHAPE_CIRCLE;
    object.radius = radius;
    setUpBody(object, Material{density, friction, restitution}, true, zOrder, x, y);
    if (tracked) {
        tracked_.push_back(&object);
    }
    publishObject(object, "circle");
}

void GameLua::createPolygon(std::string name, std::string sprite, float x, float y,
                            lua::LuaTable vertices, float density, float friction,
                            float restitution, bool collides, bool, float zOrder) {
    checkUnlocked("createPolygon");
    requireFinite({x, y, density, friction, restitution}, "createPolygon", name);
    std::vector<std::pair<float, float>> points;
    for (int i = 1; vertices.isTable(i); ++i) {
        lua::LuaTable vertex = vertices.getTable(i);
        points.emplace_back(vertex.getNumber("x"), vertex.getNumber("y"));
    }
    if (!isUsablePolygon(points)) {
        throw lua::LuaException(lang::Format(
            "createPolygon: polygon {0} needs 3 to {1} distinct vertices enclosing an area", name,
            b2_maxPolygonVertices));
    }
    GameObject& object = addObject(name, sprite, x, y, "GameLua::createPolygonLua");
    object.shapeKind = GameObject::SHAPE_POLYGON;
    object.vertices = points;
    object.radius = -1;
    setUpBody(object, Material{density, friction, restitution}, collides, zOrder, x, y);
    publishObject(object, "polygon");
}

GameObject& GameLua::addObject(const std::string& name, const std::string& sprite, float x, float y,
                               const char* caller) {
    if (objects_.count(name) != 0) {
        throw lua::LuaException(lang::Format("Game object {0} already exists", name));
    }
    auto owned = std::make_unique<GameObject>();
    GameObject& object = *owned;
    objects_.emplace(name, std::move(owned));
    object.world = world_.get();
    object.colliderType = COLLIDER_BLOCK;
    object.name = name;
    object.spriteName = sprite;
    if (!sprite.empty()) {
        resolveSprite(object, sprite, caller);
    }
    object.placePosition(x, y);
    object.placeAngle(0);
    return object;
}

void GameLua::setUpBody(GameObject& object, const Material& material, bool collides, float zOrder,
                        float x, float y) {
    object.density = material.density;
    object.friction = material.friction;
    object.restitution = material.restitution;
    object.collides = collides ? 1 : 0;
    object.z_order = zOrder;
    createBody(object, x, y);
}

void GameLua::createBody(GameObject& object, float x, float y) {
    b2BodyDef def;
    def.type = object.density != 0 ? b2_dynamicBody : b2_staticBody;
    def.position.Set(x, y);
    def.angularDamping = 1.0f;
    def.allowSleep = true;
    def.awake = true;
    def.userData.pointer = reinterpret_cast<uintptr_t>(&object);
    object.body = world_->CreateBody(&def);
    attachFixture(object);
}

void GameLua::attachFixture(GameObject& object) {
    b2CircleShape circle;
    b2PolygonShape polygon;
    b2FixtureDef def;
    if (object.shapeKind == GameObject::SHAPE_CIRCLE) {
        circle.m_radius = object.radius;
        def.shape = &circle;
    } else if (object.shapeKind == GameObject::SHAPE_BOX) {
        polygon.SetAsBox(object.width / 2, object.height / 2);
        def.shape = &polygon;
    } else {
        std::vector<b2Vec2> points;
        for (const auto& p : object.vertices) {
            points.emplace_back(p.first, p.second);
        }
        polygon.Set(points.data(), static_cast<int32>(points.size()));
        def.shape = &polygon;
    }
    def.friction = object.friction;
    def.restitution = object.restitution;
    def.density = object.density;
    def.userData.pointer = reinterpret_cast<uintptr_t>(&object);
    object.body->CreateFixture(&def);
}

void GameLua::publishObject(GameObject& object, const char* type) {
    lua::LuaState& state = *getState();
    lua::LuaTable table(state);
    table.set("name", object.name);
    table.set("sprite", object.spriteName);
    table.set("type", type);
    table.set("x", object.renderX);
    table.set("y", object.renderY);
    table.set("width", object.width);
    table.set("height", object.height);
    table.set("radius", object.radius);
    table.set("angle", 0.0f);
    table.set("density", object.density);
    table.set("friction", object.friction);
    table.set("restitution", object.restitution);
    table.set("mass", object.body->GetMass());
    table.set("xVel", 0.0f);
    table.set("yVel", 0.0f);
    table.set("z_order", object.z_order);
    table.set("destroyOnForce", false);
    object.table = table;
    if (!objectsTable_.isTable("world")) {
        lua::LuaTable world(state);
        objectsTable_.set("world", &world);
    }
    objectsTable_.getTable("world").set(object.name, &table);
    drawOrder_[object.drawKey()].push_back(object.name);
}

void GameLua::resolveSprite(GameObject& object, const std::string& sprite, const char* caller) {
    object.sprite = nullptr;
    object.compoSprite = nullptr;
    if (services_.resources) {
        object.sprite = services_.resources->getSprite(sprite);
        if (!object.sprite) {
            object.compoSprite = services_.resources->getCompoSprite(sprite);
        }
    }
    if (!object.sprite && !object.compoSprite) {
        lang::log::write("", __FILE__, caller, __LINE__, lang::log::WARNING,
                         "Sprite %s not found for game object %s", sprite.c_str(),
                         object.name.c_str());
    }
}

void GameLua::removeObject(std::string name) {
    // The teleporters go first: the contacts that end with the body would
    // otherwise report their abort to a script while the body is half gone.
    portals_->objectRemoved(name);
    auto it = objects_.find(name);
    if (it == objects_.end()) {
        return;
    }
    checkUnlocked("removeObject");
    // Out of the index before the body goes, so that a hook run by the ending
    // contacts cannot remove it again; kept alive until the body is gone.
    std::unique_ptr<GameObject> owned = std::move(it->second);
    objects_.erase(it);
    ++removals_;
    GameObject* object = owned.get();
    int key = object->drawKey();
    for (auto t = tracked_.begin(); t != tracked_.end(); ++t) {
        if (*t == object) {
            tracked_.erase(t);
            break;
        }
    }
    if (!object->rollingSound.empty()) {
        rollingSounds_[object->rollingSound] = 0;
    }
    glueQueue_.erase(std::remove_if(glueQueue_.begin(), glueQueue_.end(),
                                    [&](const std::pair<b2Body*, b2Body*>& pair) {
                                        return pair.first == object->body ||
                                               pair.second == object->body;
                                    }),
                     glueQueue_.end());
    world_->DestroyBody(object->body);
    owned.reset();
    std::vector<std::string>& names = drawOrder_[key];
    auto n = std::find(names.begin(), names.end(), name);
    if (n != names.end()) {
        names.erase(n);
    }
    removeJointsOf(name);
    if (objects_.empty()) {
        renewEmptyWorld();
    }
    raiseContactError();
}

void GameLua::setSprite(std::string name, std::string sprite) {
    if (GameObject* object = findObject(name)) {
        object->table.set("sprite", sprite);
        resolveSprite(*object, sprite, "GameLua::setSprite");
    }
}

void GameLua::setTexture(std::string name, std::string texture) {
    if (GameObject* object = findObject(name)) {
        game::SpriteSheet* sheet =
            services_.resources ? services_.resources->getSheet(texture) : nullptr;
        object->texture = sheet ? sheet->getTexture() : nullptr;
        object->textureName = texture;
    }
}

void GameLua::setRollingSound(std::string name, std::string sound) {
    if (GameObject* object = findObject(name)) {
        object->rollingSound = sound;
    }
}

void GameLua::setColliderType(std::string name, float type) {
    if (GameObject* object = findObject(name)) {
        object->colliderType = lang::truncateToInt(type);
    }
}

void GameLua::setVisible(std::string name, bool visible) {
    if (GameObject* object = findObject(name)) {
        object->visible = visible ? 1 : 0;
    }
}

void GameLua::setGravityEnabled(std::string name, bool enabled) {
    if (GameObject* object = findObject(name)) {
        object->gravityEnabled = enabled ? 1 : 0;
    }
}

bool GameLua::isGravityEnabled(std::string name) {
    GameObject* object = findObject(name);
    return object && object->gravityEnabled != 0;
}

float GameLua::getRadius(std::string name) {
    GameObject* object = findObject(name);
    return object ? object->radius : 0.0f;
}

void GameLua::setScale(std::string name, float sx, float sy) {
    if (GameObject* object = findObject(name)) {
        object->scaleX = sx;
        object->scaleY = sy;
    }
}

int GameLua::getScale(lua::LuaState* state) {
    GameObject* object = findObject(state->toString(1));
    state->pushNumber(object ? object->scaleX : 0.0f);
    state->pushNumber(object ? object->scaleY : 0.0f);
    return 2;
}
