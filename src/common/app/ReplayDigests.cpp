#include "common/app/ReplayDigests.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "box2d/box2d.h"
#include "common/save/SealedFile.h"
#include "common/world/GameLua.h"
#include "framework/Replay.h"
#include "lang/Exception.h"
#include "util/SHA1.h"

void digestWorld(const GameLua& world, framework::StateDigest& digest) {
    for (const auto& entry : world.objectIndex()) {
        const b2Body* body = entry.second->body;
        if (!body) {
            continue;
        }
        const b2Vec2 position = body->GetPosition();
        const b2Vec2 velocity = body->GetLinearVelocity();
        const float values[] = {position.x, position.y, body->GetAngle(),
                                velocity.x, velocity.y, body->GetAngularVelocity()};
        digest.objects[entry.first] =
            framework::StateDigest::mix(framework::StateDigest::SEED, values, sizeof values);
    }
    digest.seal();
}

namespace {

std::string fileDigest(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    try {
        return util::sha1Hex(openSealed(bytes.data(), bytes.size()));
    } catch (const lang::Throwable&) {
        return util::sha1Hex(bytes);  // not sealed: the bytes themselves
    }
}

}  // namespace

std::string contentDigest(const std::vector<std::string>& folders) {
    std::string listing;
    for (const std::string& folder : std::set<std::string>(folders.begin(), folders.end())) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (std::filesystem::recursive_directory_iterator it(folder, error), end;
             !error && it != end; it.increment(error)) {
            if (it->is_regular_file()) {
                files.push_back(it->path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const std::filesystem::path& file : files) {
            listing += std::filesystem::relative(file, folder).generic_string() + '\0' +
                       fileDigest(file) + '\n';
        }
    }
    return util::sha1Hex(listing);
}
