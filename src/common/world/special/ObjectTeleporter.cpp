#include "common/world/special/ObjectTeleporter.h"

#include <algorithm>
#include <cmath>

#include "common/world/GameObject.h"
#include "math/random.h"

namespace {

float clampUnit(float value) {
    return std::max(-1.0f, std::min(1.0f, value));
}

b2Vec2 direction(float angle) {
    return b2Vec2(std::cos(angle), std::sin(angle));
}

}  // namespace

ObjectTeleporter::ObjectTeleporter(GameObject& object, const std::string& key, b2Vec2 position,
                                   b2Vec2 velocity, float angle)
    : object_(&object),
      objectName_(object.name),
      key_(key),
      position_(position),
      velocity_(velocity),
      angle_(angle) {}

ObjectTeleporter::~ObjectTeleporter() = default;

bool ObjectTeleporter::update(float) {
    apply();
    return true;
}

lang::Ptr<ObjectTeleporter> ObjectTeleporter::cloneFor(GameObject& object) const {
    lang::Ptr<ObjectTeleporter> copy(new ObjectTeleporter(*this));
    copy->rebind(object);
    return copy;
}

void ObjectTeleporter::rebind(GameObject& object) {
    size_t at = key_.find(objectName_);
    if (at != std::string::npos) {
        key_.replace(at, objectName_.size(), object.name);
    }
    object_ = &object;
    objectName_ = object.name;
}

void ObjectTeleporter::apply() {
    if (!object_) {
        return;
    }
    object_->placePosition(position_.x, position_.y);
    object_->placeAngle(angle_);
    if (object_->body) {
        object_->body->SetLinearVelocity(velocity_);
        object_->body->SetTransform(position_, angle_);
    }
}

b2Vec2 portal::destination(const PortalEnds& ends, b2Vec2 position) {
    const float cp = std::cos(ends.entryAngle);
    const float sp = std::sin(ends.entryAngle);
    const float apart =
        std::acos(clampUnit(cp * std::cos(ends.exitAngle) + sp * std::sin(ends.exitAngle)));
    const float dx = position.x - ends.entry.x;
    const float dy = position.y - ends.entry.y;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (!(d > 0)) {
        return ends.exit;
    }
    // The offset's angle measured from the entry direction, mirrored between
    // mouths that face more than 90 degrees apart.
    const float phi = std::atan2(sp * dx - cp * dy, cp * dx + sp * dy);
    const float psi = apart > PI / 2 ? -phi : phi;
    const float out = ends.exitAngle - psi;
    return b2Vec2(ends.exit.x + d * std::cos(out), ends.exit.y + d * std::sin(out));
}

b2Vec2 portal::exitVelocity(const PortalEnds& ends, b2Vec2 v, float minSpeedOut) {
    const float speed = v.Length();
    const b2Vec2 n = direction(ends.entryAngle);
    const b2Vec2 x = direction(ends.exitAngle);
    b2Vec2 out;
    if (std::acos(clampUnit(b2Dot(n, x))) <= PI / 2) {
        // Mirrored about the entry mouth, then turned from the entry direction
        // to the exit direction, so that the object leaves through the exit's
        // mouth whichever way the angles wrap.
        b2Vec2 mirrored = v - 2 * b2Dot(v, n) * n;
        out = b2Mul(b2Rot(std::atan2(b2Cross(n, x), b2Dot(n, x))), mirrored);
    } else {
        const float heading = std::atan2(v.y, v.x) + PI - (ends.entryAngle - ends.exitAngle);
        out = speed * direction(heading);
    }
    if (speed < minSpeedOut) {
        // A resting object has no direction of its own: it leaves straight out.
        out = speed > 0 ? (minSpeedOut / speed) * out : minSpeedOut * x;
    }
    return out;
}

PortalObjectTeleporter::PortalObjectTeleporter(PortalWorld& world, GameObject& object,
                                               const std::string& key, const Setup& setup)
    : ObjectTeleporter(object, key, portal::destination(setup.ends, object.body->GetPosition()),
                       b2Vec2(0, 0), object.renderAngle),
      world_(world),
      setup_(setup),
      entryDirection_(direction(setup.ends.entryAngle)),
      crossing_(setup.ends.entry + 0.3f * setup.portalWidth * entryDirection_),
      delay_(setup.delay) {
    computeExitVelocity();
}

lang::Ptr<ObjectTeleporter> PortalObjectTeleporter::cloneFor(GameObject& object) const {
    lang::Ptr<PortalObjectTeleporter> copy(new PortalObjectTeleporter(*this));
    copy->rebind(object);
    return copy;
}

void PortalObjectTeleporter::computeExitVelocity() {
    velocity_ =
        portal::exitVelocity(setup_.ends, object_->body->GetLinearVelocity(), setup_.minSpeedOut);
}

bool PortalObjectTeleporter::movingIn(b2Vec2 v) const {
    return v.Length() > 0 && b2Dot(v, entryDirection_) < 0;
}

bool PortalObjectTeleporter::crossed() const {
    b2Vec2 offset = object_->body->GetPosition() - crossing_;
    return b2Dot(offset, entryDirection_) < 0;
}

bool PortalObjectTeleporter::update(float dt) {
    if (!object_ || !object_->body) {
        return true;
    }
    if (inTransit_) {
        return exitTransit(dt);
    }
    if (!movingIn(object_->body->GetLinearVelocity())) {
        recomputeExit_ = true;
        return false;
    }
    if (recomputeExit_) {
        computeExitVelocity();
        recomputeExit_ = false;
    }
    if (!crossed()) {
        return false;
    }
    return pass();
}

bool PortalObjectTeleporter::pass() {
    if (world_.countPass(objectName_, setup_.portal, setup_.target) > portal::MAX_PASSES) {
        finished_ = true;
        const std::string name = objectName_;
        world_.notify("onObjectRemoved", name);
        world_.removeObject(name);
        return true;
    }
    playEffects(false);
    apply();
    if (delay_ > 0) {
        // In transit before the body goes: disabling it ends its contacts, and
        // the ended portal contact must not abort this teleporter.
        inTransit_ = true;
        object_->body->SetEnabled(false);
        object_->visible = 0;
        return false;
    }
    return finish();
}

bool PortalObjectTeleporter::exitTransit(float dt) {
    delay_ -= dt;
    if (delay_ > 0) {
        return false;
    }
    playEffects(true);
    object_->body->SetEnabled(true);
    object_->visible = 1;
    return finish();
}

bool PortalObjectTeleporter::finish() {
    finished_ = true;
    world_.notify("objectExitingThroughPortal", objectName_);
    return true;
}

void PortalObjectTeleporter::playEffects(bool exiting) {
    const int wanted = exiting ? PortalEffect::OUT : PortalEffect::IN;
    for (const PortalEffect& effect : setup_.effects) {
        if ((effect.direction & wanted) != 0 && !effect.ids.empty()) {
            playEffect(effect, exiting);
        }
    }
}

void PortalObjectTeleporter::playEffect(const PortalEffect& effect, bool exiting) {
    size_t pick = static_cast<size_t>(math::random() * static_cast<double>(effect.ids.size()));
    const std::string& id = effect.ids[std::min(pick, effect.ids.size() - 1)];
    if (effect.sound) {
        world_.playSound(id, effect.volume);
        return;
    }
    const b2Vec2 end = exiting ? setup_.ends.exit : setup_.ends.entry;
    const b2Vec2 at = effect.positionFromPortal ? end : object_->body->GetPosition();
    const float angle = exiting ? setup_.ends.exitAngle : setup_.ends.entryAngle;
    world_.emitParticle(id, at.x * setup_.worldScale, at.y * setup_.worldScale,
                        effect.rotationFromPortal ? angle : 0);
}
