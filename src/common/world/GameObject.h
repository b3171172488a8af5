#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/Numbers.h"
#include "lua/LuaTable.h"

class b2Body;
class b2World;
namespace game {
class CompoSprite;
class Sprite;
}  // namespace game
namespace gr {
class Texture;
}

/// A pose written by a physics step: position and angle.
struct GamePose {
    float x = 0;
    float y = 0;
    float angle = 0;
};

/// The native half of a game object; its script half is `table`, the very table
/// stored as objects.world[name]. Owned by the world's object index. Lengths are
/// physics units, angles radians.
class GameObject {
public:
    enum ShapeKind { SHAPE_NONE = -1, SHAPE_CIRCLE = 0, SHAPE_BOX = 1, SHAPE_POLYGON = 2 };

    /// The body's user data, or null for bodies that are no game objects.
    static GameObject* of(const b2Body* body);

    /// The body's current angle in (-pi, pi], from its rotation.
    float bodyAngle() const;
    /// Body type is static.
    bool isStatic() const;
    /// Key of the draw-order index: z_order truncated toward zero.
    int drawKey() const { return lang::truncateToInt(z_order); }

    /// Writes the position into both pose slots and the drawn pose, so that
    /// interpolation does not pull the drawing back to the old place.
    void placePosition(float x, float y);
    /// The same for the angle.
    void placeAngle(float angle);
    GamePose& pose(int slot) { return slot == 0 ? poseA : poseB; }

    int32_t colliderType = -1;
    int32_t shapeKind = SHAPE_NONE;
    float width = -1;
    float height = -1;
    float density = 0;
    float friction = 0;
    float restitution = 0;
    float scaleX = 1;
    float scaleY = 1;
    b2World* world = nullptr;
    uint8_t visible = 1;
    uint8_t gravityEnabled = 1;
    b2Body* body = nullptr;
    std::vector<std::pair<float, float>> vertices;
    GamePose poseA;
    GamePose poseB;
    std::string rollingSound;
    lua::LuaTable table;
    float pendingVelocityX = 0;
    float pendingVelocityY = 0;
    std::string name;
    std::string spriteName;
    std::string textureName;
    game::Sprite* sprite = nullptr;
    game::CompoSprite* compoSprite = nullptr;
    gr::Texture* texture = nullptr;
    float radius = -1;
    float renderX = 0;
    float renderY = 0;
    float renderAngle = 0;
    float z_order = 0;
    uint8_t pendingVelocity = 0;
    uint8_t wasAwake = 0;
    uint8_t collides = 0;
    uint8_t forcesAlways = 0;
    uint8_t destroyPending = 0;
    float destroyTimer = 0;
    uint8_t useDrawScale = 0;
    float drawScale[4] = {1, 1, 1, 1};
    float spinPhase = 0;
};
