#pragma once

#include <map>
#include <string>

#include "common/world/special/ObjectTeleporter.h"
#include "lang/Ptr.h"
#include "lua/LuaTable.h"

class GameLua;
class GameObject;
class b2Contact;

/// The world's object teleporters and portals: registers the teleporters
/// under their keys, starts and aborts portal passes from contacts, and runs
/// the teleporters once a frame. Publishes inheritTeleportation.
class GamePortals : private PortalWorld {
public:
    explicit GamePortals(GameLua& world);
    ~GamePortals() override;

    /// Once a frame before the physics steps, with the scaled frame time: every
    /// active teleporter loses its object's recorded joints and is updated; the
    /// finished ones are dropped. Script errors from the hooks propagate.
    void update(float scaled);
    /// Drops every teleporter and pass count (a level load).
    void clear();
    /// The object is gone: its teleporters and pass count go with it.
    void objectRemoved(const std::string& name);

    /// Contact handlers for a portal (collider type 8) and another object.
    void beginContact(b2Contact* contact);
    void endContact(b2Contact* contact);
    void contactBegan(GameObject& a, GameObject& b);
    void contactEnded(GameObject& a, GameObject& b);

    /// Registers under key, replacing what was there.
    void add(const std::string& key, const lang::Ptr<ObjectTeleporter>& teleporter);
    /// The teleporter registered under key, or null.
    ObjectTeleporter* find(const std::string& key) const;
    const std::map<std::string, lang::Ptr<ObjectTeleporter>>& teleporters() const {
        return teleporters_;
    }

private:
    struct Passes {
        std::string lastExit;
        int count = 0;
    };

    void inheritTeleportation(std::string key, lua::LuaTable names);
    /// A portal and what touches it.
    struct Passage {
        GameObject* portal = nullptr;
        GameObject* traveller = nullptr;
    };
    /// The portal of a contact that takes effect (the object whose table has
    /// a portal table) and the other object; no portal otherwise.
    Passage passageOf(GameObject& a, GameObject& b) const;
    PortalObjectTeleporter::Setup setupFor(GameObject& portal, GameObject& target) const;
    static std::string pairKey(const std::string& traveller, const std::string& portal,
                               const std::string& target);
    void erase(const std::string& key, const ObjectTeleporter* teleporter);

    // PortalWorld.
    void notify(const char* hook, const std::string& object) override;
    void removeObject(const std::string& name) override;
    int countPass(const std::string& object, const std::string& portal,
                  const std::string& target) override;
    void playSound(const std::string& id, float volume) override;
    void emitParticle(const std::string& id, float x, float y, float angleOffset) override;

    GameLua& world_;
    std::map<std::string, lang::Ptr<ObjectTeleporter>> teleporters_;
    std::map<std::string, Passes> passes_;
};
