#pragma once

#include <string>
#include <vector>

#include "box2d/box2d.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

class GameObject;

/// A pending move of one game object, carried out by the world update, which
/// calls update() every frame and drops the teleporter once it reports true.
/// The plain teleporter moves its object at the first update.
class ObjectTeleporter : public lang::Object {
public:
    /// Position in physics units, angle in radians; key is the registration key.
    ObjectTeleporter(GameObject& object, const std::string& key, b2Vec2 position, b2Vec2 velocity,
                     float angle);
    ~ObjectTeleporter() override;

    /// Advances by dt seconds; true when finished.
    virtual bool update(float dt);
    /// Still waiting for its object to cross (portals).
    virtual bool isWaiting() const { return false; }
    virtual bool isActive() const { return true; }
    /// The same move for another object; the key names that object instead.
    virtual lang::Ptr<ObjectTeleporter> cloneFor(GameObject& object) const;
    /// Puts the object at the destination: drawn pose, both interpolation poses,
    /// and the body's transform and velocity.
    virtual void apply();

    /// Null once the object is gone.
    GameObject* object() const { return object_; }
    const std::string& objectName() const { return objectName_; }
    const std::string& key() const { return key_; }
    b2Vec2 position() const { return position_; }
    b2Vec2 velocity() const { return velocity_; }
    float angle() const { return angle_; }
    /// The object was removed: the teleporter must not touch it any more.
    void detach() { object_ = nullptr; }

protected:
    ObjectTeleporter(const ObjectTeleporter& other) = default;
    /// Points this copy at object and renames the key after it.
    void rebind(GameObject& object);

    GameObject* object_;
    std::string objectName_;
    std::string key_;
    b2Vec2 position_;
    b2Vec2 velocity_;
    float angle_;
};

/// What a portal teleporter needs from the world.
class PortalWorld {
public:
    /// Calls the script function hook with the object's name.
    virtual void notify(const char* hook, const std::string& object) = 0;
    virtual void removeObject(const std::string& name) = 0;
    /// Counts a pass of object through portal towards target and returns the
    /// number of consecutive passes between the same two portals.
    virtual int countPass(const std::string& object, const std::string& portal,
                          const std::string& target) = 0;
    virtual void playSound(const std::string& id, float volume) = 0;
    /// One particle at (x, y) in world pixels, start angle turned by angleOffset.
    virtual void emitParticle(const std::string& id, float x, float y, float angleOffset) = 0;

protected:
    virtual ~PortalWorld() = default;
};

/// A sound or particle played when an object enters or leaves a portal.
struct PortalEffect {
    enum Direction { IN = 1, OUT = 2, BOTH = 3 };
    bool sound = false;
    std::vector<std::string> ids;  // one is chosen at random each time
    int direction = 0;
    float volume = 1;
    bool positionFromPortal = false;
    bool rotationFromPortal = false;
};

/// The two ends of a portal pair: angles are the directions out of each mouth
/// (drawn angle + pi), positions the bodies' positions.
struct PortalEnds {
    b2Vec2 entry;
    float entryAngle = 0;
    b2Vec2 exit;
    float exitAngle = 0;
};

namespace portal {

const float PI = 3.1415927f;
/// More consecutive passes between the same two portals remove the object.
const int MAX_PASSES = 10;

/// Where a traveller at position arrives: its offset from the entry is turned
/// with the mouths, mirrored when they face more than 90 degrees apart.
b2Vec2 destination(const PortalEnds& ends, b2Vec2 position);
/// The velocity an object moving with v leaves the exit with, at least
/// minSpeedOut fast.
b2Vec2 exitVelocity(const PortalEnds& ends, b2Vec2 v, float minSpeedOut);

}  // namespace portal

/// Carries an object through a portal once it has crossed the portal's middle,
/// optionally hidden for a delay, and removes it when it keeps bouncing between
/// the same two portals.
class PortalObjectTeleporter : public ObjectTeleporter {
public:
    struct Setup {
        std::string portal;
        std::string target;
        PortalEnds ends;
        float portalWidth = 0;
        float delay = 0;
        float minSpeedOut = 0;
        float worldScale = 20;  // physics units to world pixels
        std::vector<PortalEffect> effects;
    };

    /// key is traveller + "_" + portal + "_" + target.
    PortalObjectTeleporter(PortalWorld& world, GameObject& object, const std::string& key,
                           const Setup& setup);

    bool update(float dt) override;
    bool isWaiting() const override { return !inTransit_ && !finished_; }
    bool isActive() const override { return !finished_; }
    lang::Ptr<ObjectTeleporter> cloneFor(GameObject& object) const override;

    bool inTransit() const { return inTransit_; }
    const std::string& portalName() const { return setup_.portal; }
    const std::string& targetName() const { return setup_.target; }

private:
    PortalObjectTeleporter(const PortalObjectTeleporter& other) = default;

    void computeExitVelocity();
    bool movingIn(b2Vec2 v) const;
    bool crossed() const;
    bool pass();
    bool exitTransit(float dt);
    bool finish();
    void playEffects(bool exiting);
    void playEffect(const PortalEffect& effect, bool exiting);

    PortalWorld& world_;
    Setup setup_;
    b2Vec2 entryDirection_;
    b2Vec2 crossing_;
    float delay_;
    bool inTransit_ = false;
    bool finished_ = false;
    bool recomputeExit_ = false;
};
