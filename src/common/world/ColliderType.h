#pragma once

#include <cstdint>

/// The collider classes of game objects (GameObject::colliderType). To the
/// scripts they are plain numbers; the world gives these classes fixed roles.
/// Scripts may set any number: one outside 0 to COLLIDER_TYPES - 1 collides
/// with everything and has no contact handlers.
enum ColliderType : int32_t {
    COLLIDER_BLOCK = 0,        ///< every object starts as one
    COLLIDER_BIG_BIRD = 1,     ///< hits like a bird, drawn at double size
    COLLIDER_GROUND = 2,       ///< blocks hitting it may be spared ground damage
    COLLIDER_FLYING_BIRD = 3,  ///< the bird in flight: continuous collision, trails, timers
    COLLIDER_GREMLIN = 4,      ///< drowns in water; drawn with its draw scale
    COLLIDER_SPINNER = 5,      ///< drawn as a double image turning with its spin phase
    COLLIDER_EGG = 6,          ///< what a grabber holds on to, besides the flying bird
    COLLIDER_EDITOR_ONLY = 7,  ///< drawn only while editing
    COLLIDER_PORTAL = 8,       ///< its contacts belong to the portals
    COLLIDER_SEPARATE = 9,     ///< meets only its own class, grabbers and bubbles
    COLLIDER_GRABBER = 10,     ///< glues the flying bird or an egg to its plunger
    COLLIDER_BUBBLE = 11,      ///< traps the flying bird
    COLLIDER_TYPES = 12,       ///< the size of the collision-rule table
};

/// A class of the collision-rule table.
inline bool isKnownCollider(int32_t type) {
    return type >= 0 && type < COLLIDER_TYPES;
}

/// A bird to the collision handler: the damage it deals comes from its speed
/// and mass, and two birds meeting only tell the scripts.
inline bool isBird(int32_t type) {
    return type == COLLIDER_FLYING_BIRD || type == COLLIDER_BIG_BIRD;
}

inline bool isFlyingBird(int32_t type) {
    return type == COLLIDER_FLYING_BIRD;
}

/// The flying bird and the gremlins, as drawing knows them: the trails are
/// drawn just beneath the first of them, and each may use its draw scale.
/// Not the collision handler's birds (isBird).
inline bool isCharacter(int32_t type) {
    return type == COLLIDER_FLYING_BIRD || type == COLLIDER_GREMLIN;
}

inline bool isBigBird(int32_t type) {
    return type == COLLIDER_BIG_BIRD;
}

inline bool isGround(int32_t type) {
    return type == COLLIDER_GROUND;
}

/// Drowns in water.
inline bool isGremlin(int32_t type) {
    return type == COLLIDER_GREMLIN;
}

inline bool isSpinner(int32_t type) {
    return type == COLLIDER_SPINNER;
}

inline bool isEgg(int32_t type) {
    return type == COLLIDER_EGG;
}

inline bool isEditorOnly(int32_t type) {
    return type == COLLIDER_EDITOR_ONLY;
}

inline bool isGrabber(int32_t type) {
    return type == COLLIDER_GRABBER;
}

/// What a grabber may hold: the flying bird or an egg.
inline bool isGrabbable(int32_t type) {
    return type == COLLIDER_FLYING_BIRD || type == COLLIDER_EGG;
}
