#pragma once

#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "box2d/box2d.h"
#include "common/app/GamePaths.h"
#include "common/world/ColliderType.h"
#include "common/world/FrameStats.h"
#include "common/world/GameObject.h"
#include "lang/Ptr.h"
#include "lua/LuaObject.h"
#include "lua/ScriptValues.h"

class GameDrawing;
class GameHost;
class GameLevels;
class GameNatives;
class GameOverlays;
class GamePortals;
class GameDynamicAssets;
class GameSaves;
class GameTexts;
class GameThemes;
class GameSounds;
class WorldParticles;
namespace game {
class Resources;
}
namespace gr {
class Context;
}

/// A joint or destroy link made by createJoint.
struct JointRecord {
    std::string name;
    std::string end1;
    std::string end2;
    b2Joint* joint = nullptr;  // null for destroy links
    int32_t coordType = 0;
};

/// The game world: the physics world of named game objects, stepped at a fixed
/// 1/30 s, with collision damage, joints and special objects. It is the Lua
/// object the game scripts are loaded into, so its natives and the fields it
/// writes are the scripts' globals, and the script functions it calls (hooks)
/// are looked up in it. Main thread only.
class GameLua : public lua::LuaObject, public b2ContactListener, public b2ContactFilter {
public:
    static constexpr float STEP = 1.0f / 30.0f;

    /// What the world works with; every pointer may be null (headless use).
    struct Services {
        lang::Ptr<gr::Context> context;
        game::Resources* resources = nullptr;
        GameHost* host = nullptr;
        GameSounds* sounds = nullptr;
        WorldParticles* particles = nullptr;
        GamePaths paths;
    };

    GameLua(lua::LuaState& state, const Services& services);
    ~GameLua() override;

    /// One frame of the world (dt in seconds): physics steps, interpolation,
    /// destruction, moving detection, rolling sounds and the script `update`.
    /// A script error or a missing hook raises lua::LuaException.
    void update(float dt);

    /// Takes objects.world and the global deadBlocks as the level's tables;
    /// either may be missing (an empty handle then).
    void bindLevelTables();
    /// Removes every object (as removeObject does, in name order).
    void removeAllObjects();
    /// The native removeObject: removes the object with its body, joints,
    /// draw-order entry and teleporters; nothing happens for an unknown name.
    /// Locked during the physics step (for a known name).
    void removeObject(std::string name);
    /// Destroys the recorded physics joints attached to body. Not during the
    /// physics step (the physics library forbids it; nothing checks).
    void destroyRecordedJointsOf(b2Body* body);

    // Loading a level: GameLevels asks for these in this order.
    /// Begins a level load: forgets the tracked objects, the step remainder
    /// and the game time, and ignores contacts until setLevelLoading(false).
    /// Throws lang::Exception naming native during a physics step.
    void beginLevelLoad(const char* native);
    /// Takes objects.world and the global deadBlocks as the new level's
    /// tables. Throws lang::Exception unless they and the global blockTable
    /// are tables.
    void reindexLevelTables();
    /// Empties the world for the new level: every object, joint and pending
    /// glue (destroyAllObjects), the particles and the trajectories, and the
    /// physics library's maximum translation back to its default.
    void resetWorld();
    /// Replaces a physics world without bodies by a fresh one, so that what was
    /// simulated before cannot change what comes next.
    void renewEmptyWorld();
    /// Destroys every object with its body, joints, destroy links, draw-order
    /// entry and pending glue, and the portals' teleporters; unlike
    /// removeAllObjects no script table changes.
    void destroyAllObjects();
    void setLevelLoading(bool loading) { levelLoading_ = loading; }
    /// A contact between a and b takes effect: no level is loading, nothing is
    /// being edited, and both are objects of the level (objects.world).
    bool isLiveContact(const GameObject& a, const GameObject& b) const;

    // What the application tells the world (GameLuaShell.cpp).
    /// Runs the options script, then sets the globals the scripts start with:
    /// identities, screen size, input tables, paths.
    void initScriptGlobals(const std::string& deviceId, const std::string& installationId);
    /// The global table `launch` the scripts read the command line from:
    /// `demo` and `headless` (booleans), `shots` (a folder, absent when empty)
    /// and `editor` (true when the game has level sources to edit).
    void publishLaunch(bool demo, bool headless, const std::string& shots, bool editor);
    /// Set once the game scripts are loaded: activation changes reach them.
    void setGameLogicLoaded() { gameLogicLoaded_ = true; }
    /// Records the flag and calls gameResumed (active and no busy service) or
    /// gamePaused.
    void setActive(bool active, bool servicesBusy);
    bool isActive() const { return active_; }
    /// The drawable size changed: screen-size event and resolutionChanged.
    void resolutionChanged();
    void setCursor(float x, float y);
    void wheelTurned(int notches);
    void clearWheelTrigger();
    /// The file name of a pending captureScreen request; clears it.
    std::string takeScreenshotRequest();
    /// Makes the world's own particle system and publishes it as "particles"
    /// (when the services brought none).
    void createParticles();
    /// Calls calculatePlaytime and saves the player's settings and play data;
    /// failures are logged, the world is going away.
    void shutdown();
    void resetGameTimer() { resetTimer(); }
    /// Calls the scripts' function name with the arguments (float, bool,
    /// strings, tables) and no results. Throws lua::LuaException when the
    /// scripts do not define it or it raises an error.
    template <class... A>
    void callHook(const char* name, const A&... args) {
        lua::callHook(*this, name, args...);
    }
    /// What the screen is cleared with each frame: 0xAARRGGBB.
    uint32_t backgroundColor() const;

    // The world's topics beyond objects and physics; each registers its natives.
    GameLevels& levels() { return *levels_; }
    GameThemes& themes() { return *themes_; }
    GameDrawing& drawing() { return *drawing_; }
    GameSaves& saves() { return *saves_; }
    GameTexts& texts() { return *texts_; }
    GameNatives& natives() { return *natives_; }
    GamePortals& portals() { return *portals_; }
    GameOverlays& overlays() { return *overlays_; }
    const Services& services() const { return services_; }
    /// This frame's times so far; the application reads and clears them.
    FrameStats& frameStats() { return stats_; }
    const GamePaths& paths() const { return services_.paths; }
    /// The application's resolved path of relative; relative itself without one.
    std::string resolvePath(const std::string& relative) const;

    // Read access for drawing, levels and tests.
    b2World& physicsWorld() { return *world_; }
    GameObject* findObject(const std::string& name) const;
    const std::map<std::string, std::unique_ptr<GameObject>>& objectIndex() const {
        return objects_;
    }
    const std::map<int, std::vector<std::string>>& drawOrder() const { return drawOrder_; }
    const std::vector<GameObject*>& trackedList() const { return tracked_; }
    const std::vector<JointRecord>& physicalJoints() const { return joints_; }
    const std::vector<JointRecord>& destroyLinks() const { return destroyLinks_; }
    const lua::LuaTable& objectsTable() const { return objectsTable_; }
    bool isUpdating() const { return updating_; }
    /// What the last update spent in the physics steps and in the scripts'
    /// update, in microseconds (for the debug overlay).
    bool isEditingOn() const { return editing_; }
    float getAccumulator() const { return accumulator_; }
    int getCurrentPose() const { return currentPose_; }
    float getGameTime() const { return gameTime_; }
    float getWorldScale() const { return worldScale_; }
    float getMinWorldScale() const { return minWorldScale_; }
    float getSimulationScale() const { return simulationScale_; }
    float getTilt() const { return tilt_; }

    /// Trajectory lists: 6 point lists and 6 puff lists (two sets of three).
    using PointList = std::vector<std::pair<float, float>>;
    const PointList& trajectoryPoints(int list) const { return trajectoryPoints_[list]; }
    const PointList& trajectoryPuffs(int list) const { return trajectoryPuffs_[list]; }
    /// The four sprite names of a list's trail dots (three kept in turn, then
    /// the puff).
    const std::string* trajectorySprites(int list) const { return trajectorySprites_[list]; }
    int getTrajectorySet() const { return trajectorySet_; }
    void clearTrajectories();

private:
    void makePhysicsWorld(const b2Vec2& gravity);
    using Handler = void (GameLua::*)(b2Contact* contact);
    struct CollisionRule {
        bool collide = true;
        Handler onBegin = nullptr;
        Handler onEnd = nullptr;
    };
    enum PoseSource { FROM_BODY, FROM_PREVIOUS_POSE, FROM_RENDER };

    // Registration of the natives, by topic.
    void registerObjectNatives();
    void registerBodyNatives();
    void registerPhysicsNatives();
    void registerJointNatives();
    void registerSpecialNatives();
    void registerShellNatives();

    // The natives. Every native may be called at any time, also from a
    // contact hook (birdCollision, blockCollision, trappedInBubble,
    // destroyJointDeferred, ...) while the physics step runs, unless its
    // declaration says "Locked during the physics step": those create,
    // destroy, move or reshape bodies, fixtures or joints, which the physics
    // library forbids while it steps, and throw lua::LuaException instead.
    // This holds for the natives of the world's topic classes too.

    // Shell natives (GameLuaShell.cpp).
    void resetTimer();
    int getGameTimer(lua::LuaState* state);
    int requestExitNative(lua::LuaState* state);
    void print(std::string) {}
    void writeLine(std::string text);
    void printWarning(std::string text);
    void printError(std::string text);
    void captureScreen(std::string file);
    bool drawScreenParticles();
    float toggleZoomSteps(float min, float max, float steps);

    // Object natives (GameLuaObjects.cpp). removeObject is public.
    /// Locked during the physics step.
    void createBox(std::string name, std::string sprite, float x, float y, float width,
                   float height, float density, float friction, float restitution, bool collides,
                   bool ignored, float zOrder);
    /// Locked during the physics step.
    void createCircle(std::string name, std::string sprite, float x, float y, float radius,
                      float density, float friction, float restitution, bool tracked, float zOrder);
    /// Locked during the physics step.
    void createPolygon(std::string name, std::string sprite, float x, float y,
                       lua::LuaTable vertices, float density, float friction, float restitution,
                       bool collides, bool ignored, float zOrder);
    float getRadius(std::string name);
    void setColliderType(std::string name, float type);
    void setVisible(std::string name, bool visible);
    void setGravityEnabled(std::string name, bool enabled);
    bool isGravityEnabled(std::string name);
    void setScale(std::string name, float sx, float sy);
    int getScale(lua::LuaState* state);
    void setSprite(std::string name, std::string sprite);
    void setTexture(std::string name, std::string texture);
    void setRollingSound(std::string name, std::string sound);

    // Body natives (GameLuaBodies.cpp).
    /// Locked during the physics step (for a circle: the fixture is replaced).
    void resizeCircle(std::string name, float radius);
    void setFilterCategory(std::string name, float bits);
    void setFilterMask(std::string name, float bits);
    void setSensor(std::string name, bool sensor);
    /// Locked during the physics step.
    void setPosition(std::string name, float x, float y);
    /// Locked during the physics step.
    void setRotation(std::string name, float angle);
    void setVelocity(std::string name, float vx, float vy);
    void setAngularVelocity(std::string name, float w);
    void setLinearDamping(std::string name, float damping);
    void setAngularDamping(std::string name, float damping);
    void setDensity(std::string name, float value);
    void setFriction(std::string name, float value);
    void setRestitution(std::string name, float value);
    /// Locked during the physics step for id 2 (the body type); other ids any time.
    void setObjectParameter(std::string name, float id, float value);
    void setSleeping(std::string name, bool sleeping);
    float getAngularVelocity(std::string name);
    float getSpeed(std::string name);
    int getWorldPoint(lua::LuaState* state);
    int getLocalPoint(lua::LuaState* state);
    lua::LuaTable getIntersectingObjects(lua::LuaTable box);
    int applyImpulse(lua::LuaState* state);
    void applyForceNative(std::string name, float fx, float fy, float px, float py);

    // World setting natives (GameLuaPhysics.cpp).
    void setWorldGravity(float gx, float gy);
    void setPhysicsEnabled(bool enabled) { physicsEnabled_ = enabled; }
    bool isPhysicsEnabled() { return physicsEnabled_; }
    void setUpdating(bool updating) { updating_ = updating; }
    void setEditing(bool editing) { editing_ = editing; }
    bool isEditing() { return editing_; }
    void setPhysicsSimulationScale(float scale) { simulationScale_ = scale; }
    void setWorldScale(float scale);
    void setMaxTranslation(float value);
    void setLevelLimits(float minX, float ignored1, float maxX, float ignored2);
    void setAccelerometerActive(bool active);

    // Joint natives (GameLuaJoints.cpp).
    /// Locked during the physics step.
    int createJoint(lua::LuaState* state);
    int setJointParameters(lua::LuaState* state);
    int getJointList(lua::LuaState* state);
    void checkJointLimits(std::string name);
    /// Locked during the physics step.
    void destroyJoint(std::string name);
    /// Calls destroyJointDeferred for each breakable joint of the object that
    /// force breaks; the joints themselves go later.
    void destroyBreakableJoints(std::string name, float force);

    // Trajectory natives (GameLuaTrajectory.cpp).
    void startNewTrajectory();
    void addToTrajectory(float bird, float x, float y);
    void addPuffToTrajectory(float bird, float x, float y);
    int getTrajectory(lua::LuaState* state);

    // Shell helpers (GameLuaShell.cpp).
    void updateScreenParticles(float dt);
    lua::LuaTable newGlobalTable(const char* name);

    // Object helpers (GameLuaObjects.cpp, GameLuaBodies.cpp).
    GameObject& addObject(const std::string& name, const std::string& sprite, float x, float y,
                          const char* caller);
    struct Material {
        float density;
        float friction;
        float restitution;
    };
    /// Gives a shaped object its material, collision flag and z order, then
    /// its body and fixture.
    void setUpBody(GameObject& object, const Material& material, bool collides, float zOrder,
                   float x, float y);
    void createBody(GameObject& object, float x, float y);
    void attachFixture(GameObject& object);
    void publishObject(GameObject& object, const char* type);
    void resolveSprite(GameObject& object, const std::string& sprite, const char* caller);
    void removeJointsOf(const std::string& name);
    /// Throws lua::LuaException naming native while the physics step runs.
    void checkUnlocked(const char* native) const;
    void applyDestroyOnForce(GameObject& object);

    // The frame and the step (GameLuaPhysics.cpp, GameLuaStep.cpp).
    void publishFrameGlobals();
    void resumeAudio();
    void stepPhysics(float scaled);
    void stepOnce(float scaled);
    /// callHook, its time counted as the scripts' step hooks.
    void callStepHook(const char* name);
    void applyPendingVelocities();
    void storePoses();
    void interpolate();
    void countDownDestruction(float scaled);
    void detectMoving(float dt);
    /// name is a copy of the object's: the hook may remove the object.
    bool detectMovingOf(GameObject& object, const std::string& name, float dt, bool& awake,
                        bool& aboveTolerance);
    bool isExcludedFromMoving(const lua::LuaTable& table) const;
    void playRollingSounds();
    void publishJointAnchors();

    // Collisions (GameLuaCollisions.cpp, GameLuaDamage.cpp); called by the
    // physics library inside the step.
    bool ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB) override;
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PostSolve(b2Contact*, const b2ContactImpulse*) override {}
    void setUpCollisionRules();
    const CollisionRule& ruleFor(const GameObject& a, const GameObject& b) const;
    void dispatch(b2Contact* contact, Handler CollisionRule::*slot);
    /// Rethrows an error a contact handler kept while a body or fixture was
    /// destroyed outside the physics step.
    void raiseContactError();
    void onMainContact(b2Contact* contact);
    void onBubbleContact(b2Contact* contact);
    void onPortalBegin(b2Contact* contact);
    void onPortalEnd(b2Contact* contact);
    void birdsCollide(GameObject& a, GameObject& b);
    void birdAgainstBlock(GameObject& bird, GameObject& block, b2Contact* contact);
    void blockAgainstBlock(GameObject& a, GameObject& b);
    void grab(GameObject& a, GameObject& b, b2Contact* contact);
    float damageBlock(GameObject& object, const lua::LuaTable& table, float damage);
    bool hasTableIn(const lua::LuaTable& table, const std::string& name) const;

    // Joint helpers (GameLuaJoints.cpp).
    b2Joint* createPhysicsJoint(int type, const lua::LuaTable& desc, lua::LuaTable& stored,
                                lua::LuaState& state);
    lua::LuaTable jointsTable();

    // Special objects (GameLuaSpecial.cpp, GameLuaWater.cpp, GameLuaTrajectory.cpp).
    void dragPass(GameObject& object, const lua::LuaTable& table);
    void forcePass(GameObject& object, const lua::LuaTable& table, float dt);
    bool fireForceInterval(GameObject& object, const lua::LuaTable& table, float dt, bool& impulse);
    void playForceSound(const lua::LuaTable& table);
    void runForcePasses();
    void waterPass(float dt);
    void waterObject(const std::string& name, float level, float depthMax, float time, float dt);
    void drownObject(GameObject& object, const lua::LuaTable& table, float level, float depthMax,
                     bool hasKillLevel, float killLevel);
    void splash(GameObject& object, const char* particle, bool isBird);
    void weldGluePairs();
    void recordTrajectories(PoseSource source);

    // Helpers (GameLua.cpp).
    void markDead(GameObject& object, const lua::LuaTable& table);

    Services services_;
    std::unique_ptr<b2World> world_;
    std::map<std::string, std::unique_ptr<GameObject>> objects_;
    /// Counts objects taken out of objects_, so a pass over it can tell
    /// whether a hook it called removed any.
    uint64_t removals_ = 0;
    std::map<int, std::vector<std::string>> drawOrder_;
    std::vector<GameObject*> tracked_;
    lua::LuaTable objectsTable_;
    lua::LuaTable worldTable_;
    lua::LuaTable deadList_;
    std::map<std::string, float> rollingSounds_;
    CollisionRule rules_[COLLIDER_TYPES][COLLIDER_TYPES];
    std::vector<std::pair<b2Body*, b2Body*>> glueQueue_;
    std::vector<JointRecord> joints_;
    std::vector<JointRecord> destroyLinks_;
    /// A script error raised inside a contact callback, rethrown once the step
    /// has returned, so the physics world is never left half-stepped.
    std::exception_ptr stepError_;
    FrameStats stats_;

    bool gameLogicLoaded_ = false;
    bool active_ = true;
    int64_t timerStart_ = 0;
    std::string screenshotRequest_;
    bool screenParticlesDrawn_ = false;
    std::unique_ptr<WorldParticles> ownParticles_;

    bool physicsEnabled_ = false;
    bool updating_ = true;
    bool editing_ = false;
    bool levelLoading_ = false;
    float accumulator_ = 0;
    int currentPose_ = 0;
    float gameTime_ = 0;
    float simulationScale_ = 1;
    float worldScale_ = 1;
    float minWorldScale_ = 1;
    int32_t levelMinX_ = 0;
    int32_t levelMaxX_ = 0;
    float tilt_ = 0;

    PointList trajectoryPoints_[6];
    PointList trajectoryPuffs_[6];
    std::string trajectorySprites_[6][4];
    int trajectorySet_ = 0;

    std::unique_ptr<GameLevels> levels_;
    std::unique_ptr<GameThemes> themes_;
    std::unique_ptr<GameDrawing> drawing_;
    std::unique_ptr<GameSaves> saves_;
    std::unique_ptr<GameTexts> texts_;
    std::unique_ptr<GameNatives> natives_;
    std::unique_ptr<GamePortals> portals_;
    std::unique_ptr<GameOverlays> overlays_;
    std::unique_ptr<GameDynamicAssets> dynamicAssets_;
};
