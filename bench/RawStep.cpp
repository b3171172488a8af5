// Steps a benchmark scene in the same patched Box2D the engine links, with no
// game layer: the floor of the engine-overhead ratio.
//   qf_rawstep pyramid 1000 [frames] [--cold]   prints "steps=.. mean_us=.. median_us=.."
// --cold writes through a buffer twice the size of the last-level cache before
// each step, as a game's drawing and scripts do between two steps, so the step
// starts with none of the world in the caches.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "box2d/box2d.h"
#include "scenes/Scenes.h"

namespace {

// The engine's body and fixture settings (angular damping 1, friction 0.5,
// sleeping on), so both sides simulate the same motion.
void build(b2World& world, const bench::Scene& scene) {
    b2BodyDef ground;
    b2Body* statics = world.CreateBody(&ground);
    for (const bench::StaticBox& box : scene.statics) {
        b2PolygonShape shape;
        shape.SetAsBox(box.halfWidth, box.halfHeight, b2Vec2(box.x, box.y), 0);
        b2FixtureDef fixture;
        fixture.shape = &shape;
        fixture.friction = 0.5f;
        statics->CreateFixture(&fixture);
    }
    for (const bench::SceneBody& body : scene.bodies) {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position.Set(body.x, body.y);
        def.angularDamping = 1.0f;
        b2Body* created = world.CreateBody(&def);
        b2PolygonShape box;
        box.SetAsBox(0.5f, 0.5f);
        b2CircleShape circle;
        circle.m_radius = 0.5f;
        b2FixtureDef fixture;
        fixture.shape = body.circle ? static_cast<b2Shape*>(&circle) : &box;
        fixture.density = 1;
        fixture.friction = 0.5f;
        fixture.restitution = 0;
        created->CreateFixture(&fixture);
    }
}

// Larger than the last-level cache of the machines we measure on (32 MiB).
const size_t EVICT_BYTES = size_t(64) << 20;

void evictCaches(std::vector<unsigned char>& buffer) {
    for (size_t i = 0; i < buffer.size(); i += 64) {
        buffer[i]++;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s pyramid|container N [frames] [--cold]\n", argv[0]);
        return 2;
    }
    const int n = std::atoi(argv[2]);
    const int frames = argc > 3 ? std::atoi(argv[3]) : 300;
    const bool cold = argc > 4 && std::string(argv[4]) == "--cold";
    std::vector<unsigned char> evict(cold ? EVICT_BYTES : 0);
    b2World world(b2Vec2(0, 20));
    world.SetAllowSleeping(true);
    build(world, bench::sceneNamed(argv[1], n));
    std::vector<double> times;
    times.reserve(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        evictCaches(evict);
        auto start = std::chrono::steady_clock::now();
        world.Step(1.0f / 30.0f, 10, 10);
        world.ClearForces();
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
    }
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    int awake = 0;
    for (b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
        awake += body->IsAwake() && body->GetType() == b2_dynamicBody ? 1 : 0;
    }
    std::printf("steps=%d mean_us=%.1f median_us=%.1f awake=%d\n", frames, sum / frames,
                sorted[sorted.size() / 2], awake);
    return 0;
}
