#include "common/world/GameObject.h"

#include <cmath>

#include "box2d/box2d.h"

GameObject* GameObject::of(const b2Body* body) {
    return body ? reinterpret_cast<GameObject*>(const_cast<b2Body*>(body)->GetUserData().pointer)
                : nullptr;
}

float GameObject::bodyAngle() const {
    const b2Rot& q = body->GetTransform().q;
    return std::atan2(q.s, q.c);
}

bool GameObject::isStatic() const {
    return body->GetType() == b2_staticBody;
}

void GameObject::placePosition(float x, float y) {
    poseA.x = poseB.x = renderX = x;
    poseA.y = poseB.y = renderY = y;
}

void GameObject::placeAngle(float angle) {
    poseA.angle = poseB.angle = renderAngle = angle;
}
