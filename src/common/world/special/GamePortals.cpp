#include "common/world/special/GamePortals.h"
#include "common/world/ColliderType.h"

#include <vector>

#include "common/world/GameLua.h"
#include "common/world/GameSounds.h"
#include "common/world/WorldParticles.h"
#include "lua/ScriptValues.h"

using lua::isTrue;
using lua::numberOr;

namespace {

PortalEffect readEffect(const lua::LuaTable& entry) {
    PortalEffect effect;
    effect.sound = entry.getString("type") == "sound";
    if (entry.isTable("id")) {
        effect.ids = lua::stringsOf(entry.getTable("id"));
    } else if (entry.isString("id")) {
        effect.ids.push_back(entry.getString("id"));
    }
    const std::string direction = entry.getString("direction");
    effect.direction = direction == "both"  ? PortalEffect::BOTH
                       : direction == "in"  ? PortalEffect::IN
                       : direction == "out" ? PortalEffect::OUT
                                            : 0;
    effect.volume = numberOr(entry, "volume", 1);
    effect.positionFromPortal = isTrue(entry, "positionFromPortal");
    effect.rotationFromPortal = isTrue(entry, "rotationFromPortal");
    return effect;
}

std::vector<PortalEffect> readEffects(const lua::LuaTable& portal) {
    std::vector<PortalEffect> effects;
    if (!portal.isTable("effect")) {
        return effects;
    }
    lua::LuaTable list = portal.getTable("effect");
    for (int i = 1; list.isTable(i); ++i) {
        effects.push_back(readEffect(list.getTable(i)));
    }
    return effects;
}

}  // namespace

GamePortals::GamePortals(GameLua& world) : world_(world) {
    world_.bindMethod("inheritTeleportation", this, &GamePortals::inheritTeleportation);
}

GamePortals::~GamePortals() = default;

void GamePortals::update(float scaled) {
    // Hooks may remove objects, load a level or register teleporters while
    // this runs: work on a copy and skip what has left the map meanwhile.
    const std::map<std::string, lang::Ptr<ObjectTeleporter>> snapshot = teleporters_;
    for (const auto& entry : snapshot) {
        ObjectTeleporter* teleporter = entry.second.get();
        if (find(entry.first) != teleporter || !teleporter->isActive()) {
            continue;
        }
        GameObject* object = teleporter->object();
        if (object && object->body) {
            world_.destroyRecordedJointsOf(object->body);
        }
        if (teleporter->update(scaled)) {
            erase(entry.first, teleporter);
        }
    }
}

void GamePortals::clear() {
    for (auto& entry : teleporters_) {
        entry.second->detach();
    }
    teleporters_.clear();
    passes_.clear();
}

void GamePortals::objectRemoved(const std::string& name) {
    // Every teleporter of the object goes, not only the one under its name:
    // portal teleporters are registered under the pair's key.
    for (auto it = teleporters_.begin(); it != teleporters_.end();) {
        if (it->first == name || it->second->objectName() == name) {
            it->second->detach();
            it = teleporters_.erase(it);
        } else {
            ++it;
        }
    }
    passes_.erase(name);
}

void GamePortals::add(const std::string& key, const lang::Ptr<ObjectTeleporter>& teleporter) {
    auto it = teleporters_.find(key);
    if (it != teleporters_.end() && it->second != teleporter) {
        it->second->detach();
    }
    teleporters_[key] = teleporter;
}

ObjectTeleporter* GamePortals::find(const std::string& key) const {
    auto it = teleporters_.find(key);
    return it == teleporters_.end() ? nullptr : it->second.get();
}

void GamePortals::erase(const std::string& key, const ObjectTeleporter* teleporter) {
    auto it = teleporters_.find(key);
    if (it != teleporters_.end() && it->second.get() == teleporter) {
        teleporters_.erase(it);
    }
}

void GamePortals::beginContact(b2Contact* contact) {
    GameObject* a = GameObject::of(contact->GetFixtureA()->GetBody());
    GameObject* b = GameObject::of(contact->GetFixtureB()->GetBody());
    if (a && b) {
        contactBegan(*a, *b);
    }
}

void GamePortals::endContact(b2Contact* contact) {
    GameObject* a = GameObject::of(contact->GetFixtureA()->GetBody());
    GameObject* b = GameObject::of(contact->GetFixtureB()->GetBody());
    if (a && b) {
        contactEnded(*a, *b);
    }
}

GamePortals::Passage GamePortals::passageOf(GameObject& a, GameObject& b) const {
    Passage passage;
    if (!world_.isLiveContact(a, b)) {
        return passage;
    }
    if (a.table.isTable("portal")) {
        passage.portal = &a;
        passage.traveller = &b;
    } else if (b.table.isTable("portal")) {
        passage.portal = &b;
        passage.traveller = &a;
    }
    return passage;
}

std::string GamePortals::pairKey(const std::string& traveller, const std::string& portal,
                                 const std::string& target) {
    return traveller + "_" + portal + "_" + target;
}

void GamePortals::contactBegan(GameObject& a, GameObject& b) {
    const Passage passage = passageOf(a, b);
    if (!passage.portal) {
        return;
    }
    GameObject* portal = passage.portal;
    GameObject& traveller = *passage.traveller;
    GameObject* target = world_.findObject(portal->table.getTable("portal").getString("target"));
    if (!target || !traveller.body) {
        return;
    }
    const std::string key = pairKey(traveller.name, portal->name, target->name);
    add(key, new PortalObjectTeleporter(*this, traveller, key, setupFor(*portal, *target)));
    if (isFlyingBird(traveller.colliderType)) {
        world_.callHook("birdTravellingThroughPortal", traveller.name);
    }
}

PortalObjectTeleporter::Setup GamePortals::setupFor(GameObject& portal, GameObject& target) const {
    const lua::LuaTable table = portal.table.getTable("portal");
    PortalObjectTeleporter::Setup setup;
    setup.portal = portal.name;
    setup.target = target.name;
    setup.ends.entry = portal.body->GetPosition();
    setup.ends.entryAngle = portal.renderAngle + portal::PI;
    setup.ends.exit = target.body->GetPosition();
    setup.ends.exitAngle = target.renderAngle + portal::PI;
    setup.portalWidth = portal.width;
    setup.delay = numberOr(table, "delay", 0);
    setup.minSpeedOut = numberOr(table, "minSpeedOut", 0);
    setup.worldScale = numberOr(world_, "physicsToWorld", 20);
    setup.effects = readEffects(table);
    return setup;
}

void GamePortals::contactEnded(GameObject& a, GameObject& b) {
    const Passage passage = passageOf(a, b);
    if (!passage.portal) {
        return;
    }
    GameObject* portal = passage.portal;
    GameObject& traveller = *passage.traveller;
    const std::string key =
        pairKey(traveller.name, portal->name, portal->table.getTable("portal").getString("target"));
    // The traveller's name is copied: a hook may remove the object.
    const std::string name = traveller.name;
    std::vector<std::string> aborted;
    for (const auto& entry : teleporters_) {
        if (entry.second->key() == key && entry.second->isWaiting()) {
            aborted.push_back(entry.first);
        }
    }
    for (const std::string& registered : aborted) {
        auto it = teleporters_.find(registered);
        if (it == teleporters_.end()) {
            continue;
        }
        it->second->detach();
        teleporters_.erase(it);
        world_.callHook("objectTeleportationAborted", name);
    }
}

void GamePortals::inheritTeleportation(std::string key, lua::LuaTable names) {
    lang::Ptr<ObjectTeleporter> source(find(key));
    if (!source) {
        return;
    }
    for (const std::string& name : lua::stringsOf(names)) {
        if (GameObject* object = world_.findObject(name)) {
            add(name, source->cloneFor(*object));
        }
    }
}

void GamePortals::notify(const char* hook, const std::string& object) {
    world_.callHook(hook, object);
}

void GamePortals::removeObject(const std::string& name) {
    world_.removeObject(name);
    // Harmless when the world's removal has told us already.
    objectRemoved(name);
}

int GamePortals::countPass(const std::string& object, const std::string& portal,
                           const std::string& target) {
    Passes& passes = passes_[object];
    if (passes.lastExit != portal) {
        passes.count = 0;
    }
    passes.lastExit = target;
    return ++passes.count;
}

void GamePortals::playSound(const std::string& id, float volume) {
    if (GameSounds* sounds = world_.services().sounds) {
        sounds->play(id, volume, false);
    }
}

void GamePortals::emitParticle(const std::string& id, float x, float y, float angleOffset) {
    if (WorldParticles* particles = world_.services().particles) {
        particles->emitTurned(id, x, y, angleOffset);
    }
}
