// The contact filter, the contact listener and the collision-rule table.

#include "common/world/ColliderType.h"
#include "common/world/GameLua.h"
#include "common/world/special/GamePortals.h"
#include "lua/ScriptValues.h"

namespace {

// One row per collider type of fixture A, one column per type of fixture B.
// M main handler, B bubble handler, P portal (collides; its handlers belong to
// the portals), c collide only, x no collision.
const char* const RULES[COLLIDER_TYPES] = {
    "MMMMMMxMPxMM", "MMxMMMxMxxMM", "MxMMMMMMPxMM", "MMMMMxxMPxMB", "MMMMMxxMPxMx", "MMMxxMxMPxMM",
    "xxMxxxxxPxMx", "MMMMMMxcPxMM", "PxPPPPPPcxMM", "xxxxxxxxxcMM", "MMMMMMMMMMMM", "MMMBxMxMMMMM",
};

}  // namespace

void GameLua::setUpCollisionRules() {
    for (int a = 0; a < COLLIDER_TYPES; ++a) {
        for (int b = 0; b < COLLIDER_TYPES; ++b) {
            CollisionRule& rule = rules_[a][b];
            rule = CollisionRule();
            char code = RULES[a][b];
            rule.collide = code != 'x';
            if (code == 'M') {
                rule.onBegin = &GameLua::onMainContact;
            } else if (code == 'B') {
                rule.onBegin = &GameLua::onBubbleContact;
            } else if (code == 'P') {
                rule.onBegin = &GameLua::onPortalBegin;
                rule.onEnd = &GameLua::onPortalEnd;
            }
        }
    }
}

void GameLua::onPortalBegin(b2Contact* contact) {
    portals_->beginContact(contact);
}

void GameLua::onPortalEnd(b2Contact* contact) {
    portals_->endContact(contact);
}

const GameLua::CollisionRule& GameLua::ruleFor(const GameObject& a, const GameObject& b) const {
    // Types outside the table (scripts may set any number) collide without handlers.
    static const CollisionRule plain;
    if (!isKnownCollider(a.colliderType) || !isKnownCollider(b.colliderType)) {
        return plain;
    }
    return rules_[a.colliderType][b.colliderType];
}

bool GameLua::ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB) {
    const b2Filter& fa = fixtureA->GetFilterData();
    const b2Filter& fb = fixtureB->GetFilterData();
    if (fa.groupIndex == fb.groupIndex && fa.groupIndex != 0) {
        return fa.groupIndex > 0;
    }
    if ((fa.maskBits & fb.categoryBits) == 0 || (fb.maskBits & fa.categoryBits) == 0) {
        return false;
    }
    GameObject* a = GameObject::of(fixtureA->GetBody());
    GameObject* b = GameObject::of(fixtureB->GetBody());
    if (a && b) {
        return ruleFor(*a, *b).collide && a->collides && b->collides;
    }
    return true;
}

void GameLua::BeginContact(b2Contact* contact) {
    if (!levelLoading_ && !editing_) {
        dispatch(contact, &CollisionRule::onBegin);
    }
}

void GameLua::EndContact(b2Contact* contact) {
    dispatch(contact, &CollisionRule::onEnd);
}

void GameLua::dispatch(b2Contact* contact, Handler CollisionRule::*slot) {
    GameObject* a = GameObject::of(contact->GetFixtureA()->GetBody());
    GameObject* b = GameObject::of(contact->GetFixtureB()->GetBody());
    if (!a || !b || stepError_) {
        return;
    }
    Handler handler = ruleFor(*a, *b).*slot;
    if (!handler) {
        return;
    }
    // An exception must not unwind through the physics step: it is kept and
    // rethrown once the step has returned.
    try {
        (this->*handler)(contact);
    } catch (...) {
        stepError_ = std::current_exception();
    }
}

void GameLua::raiseContactError() {
    // Outside a step there is no later moment to raise it at; waiting would
    // make the next step skip its collision handlers.
    if (stepError_ && !world_->IsLocked()) {
        std::exception_ptr error = stepError_;
        stepError_ = nullptr;
        std::rethrow_exception(error);
    }
}

void GameLua::onMainContact(b2Contact* contact) {
    GameObject& a = *GameObject::of(contact->GetFixtureA()->GetBody());
    GameObject& b = *GameObject::of(contact->GetFixtureB()->GetBody());
    if (!isLiveContact(a, b)) {
        return;
    }
    bool birdA = isBird(a.colliderType);
    bool birdB = isBird(b.colliderType);
    if (birdA && birdB) {
        birdsCollide(a, b);
        return;
    }
    if (birdA || birdB) {
        birdAgainstBlock(birdA ? a : b, birdA ? b : a, contact);
    } else {
        blockAgainstBlock(a, b);
    }
    grab(a, b, contact);
}

void GameLua::birdsCollide(GameObject& a, GameObject& b) {
    float speedA = a.body->GetLinearVelocity().Length();
    float speedB = b.body->GetLinearVelocity().Length();
    GameObject& faster = speedA > speedB ? a : b;
    float impact = (speedA > speedB ? speedA : speedB) * faster.body->GetMass() / 10;
    callHook("birdCollision", a.name, b.name, impact, 0.0f);
}

void GameLua::grab(GameObject& a, GameObject& b, b2Contact* contact) {
    if ((!isGrabber(a.colliderType) && !isGrabber(b.colliderType)) ||
        hasTableIn(deadList_, a.name) || hasTableIn(deadList_, b.name)) {
        return;
    }
    GameObject& held = !isGrabber(b.colliderType) ? b : (!isGrabber(a.colliderType) ? a : b);
    GameObject& grabber = &held == &b ? a : b;
    if (held.table.isString("grabber") || !isGrabbable(held.colliderType)) {
        return;
    }
    GameObject* plunger = findObject(grabber.table.getString("plungerName"));
    if (!plunger) {
        return;
    }
    if (isEgg(held.colliderType)) {
        held.table.set("grabber", plunger->name);
        plunger->table.set("grabbedEgg", held.name);
    }
    if (!held.isStatic()) {
        held.body->SetLinearVelocity(b2Vec2(0, 0));
    }
    glueQueue_.emplace_back(plunger->body, held.body);
    contact->SetEnabled(false);
    held.table.set("gluedToBlock", true);
}

void GameLua::onBubbleContact(b2Contact* contact) {
    GameObject* a = GameObject::of(contact->GetFixtureA()->GetBody());
    GameObject* b = GameObject::of(contact->GetFixtureB()->GetBody());
    GameObject& bird = isFlyingBird(a->colliderType) ? *a : *b;
    GameObject& bubble = &bird == a ? *b : *a;
    if (!lua::isTrue(bird.table, "inBubble")) {
        bubble.table.set("strength", 0.0f);
        bubble.table.set("killSilently", true);
        markDead(bubble, bubble.table);
    }
    if (!bird.table.getBoolean("shot")) {
        return;
    }
    if (!bird.isStatic()) {
        bird.body->SetLinearVelocity(b2Vec2(0, 0));
    }
    bird.table.set("inBubble", true);
    bird.table.set("bubbleAntiGravityTimer", 5.0f);
    bird.table.set("bubbleSprite", "BUBBLE_PARTICLE_6");
    bird.table.set("bubbleSpriteScale", 0.5f);
    callHook("trappedInBubble", bird.table);
    callHook("birdCollision", bird.name, bubble.name, 1.0f, 0.0f);
}
