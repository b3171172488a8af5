// Natives for files and folders, tables, locale and the services that do
// nothing on this platform.

#include "common/natives/GameNatives.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "audio/AudioOutput.h"
#include "common/world/GameLua.h"
#include "common/world/WorldParticles.h"
#include "game/Resources.h"
#include "game/Sprite.h"
#include "game/SpriteSheet.h"
#include "game/TextGroupSet.h"
#include "gr/Context.h"
#include "io/AtomicFile.h"
#include "io/BasicFileSystem.h"
#include "lang/Log.h"
#include "lang/Numbers.h"
#include "lua/LuaException.h"
#include "lua/LuaJSON.h"
#include "lua/LuaSerializer.h"
#include "lua/ScriptValues.h"
#include "lua/StackGuard.h"
#include "pf/Locale.h"

GameNatives::GameNatives(GameLua& world)
    : world_(world),
      notifications_(new pf::LocalNotifications()),
      urlLock_(std::make_shared<std::mutex>()),
      urlResults_(std::make_shared<std::map<std::string, std::string>>()) {
    notifications_->addListener(this);
    world_.setNativeTopic("Files, tables and locale");
    registerFileNatives();
    world_.setNativeTopic("Time");
    registerTimeNatives();
    world_.setNativeTopic("System, window and notifications");
    registerSystemNatives();
    world_.setNativeTopic("Services this platform lacks");
    registerIdleNatives();
}

GameNatives::~GameNatives() {
    notifications_->removeListener(this);
}

void GameNatives::registerFileNatives() {
    world_.bindMethod("saveParticleFile", this, &GameNatives::saveParticleFile);
    world_.bindMethod("setParticleEditorActive", this, &GameNatives::setParticleEditorActive);
    world_.bindMethod("createDirectory", this, &GameNatives::createDirectory);
    world_.bindMethod("checkDirectory", this, &GameNatives::checkDirectory);
    world_.bindMethod("getDirectoryFileList", this, &GameNatives::getDirectoryFileList);
    world_.bindMethod("removeParticleFile", this, &GameNatives::removeParticleFile);
    world_.bindMethod("native_sumLuaIntegerTableToString", this, &GameNatives::sumIntegerTable);
    world_.bindMethod("setOffsetedViewport", this, &GameNatives::setOffsetedViewport);
    world_.bindMethod("getCurrentLocale", this, &GameNatives::getCurrentLocale);
    world_.bindMethod("setChannelCountLimit", this, &GameNatives::setChannelCountLimit);
    world_.bindMethod("printGlobals", this, &GameNatives::printGlobals);
    world_.bindMethod("exportLuaTableAsJSON", this, &GameNatives::exportLuaTableAsJSON);
    world_.bindMethod("importJSONToLuaTable", this, &GameNatives::importJSONToLuaTable);
    world_.bindMethod("native_reloadIngameSprites", this, &GameNatives::reloadIngameSprites);
}

namespace {

// Natives the scripts call for services this platform does not have.
struct Idle {
    void none() {}
    void text(std::string) {}
    void flag(bool) {}
    void twoTexts(std::string, std::string) {}
    void highscore(std::string, float, bool) {}
    void range(std::string, float, float) {}
    bool no() { return false; }
    float zero() { return 0; }
};
Idle idle;

}  // namespace

void GameNatives::registerIdleNatives() {
    for (const char* name :
         {"goToTaskSwitcherLua", "initGameCenter", "getLeaderboardScoresForPlayers",
          "showLeaderboards", "showAchievements", "registerStoreStatusListener"}) {
        world_.bindMethod(name, &idle, &Idle::none);
    }
    world_.bindMethod("postHighscore", &idle, &Idle::highscore);
    world_.bindMethod("unlockAchievement", &idle, &Idle::twoTexts);
    world_.bindMethod("getLeaderboardScoresForRange", &idle, &Idle::range);
    world_.bindMethod("setGCPopupAllowed", &idle, &Idle::flag);
    world_.bindMethod("playVideo", &idle, &Idle::text);
    world_.bindMethod("enableMotion", &idle, &Idle::flag);
    world_.bindMethod("isMotionEnabled", &idle, &Idle::no);
    world_.bindMethod("getFullScreenWidth", &idle, &Idle::zero);
    world_.bindMethod("getFullScreenHeight", &idle, &Idle::zero);
}

namespace {

// Particle file names come from scripts; they must not reach other folders.
void requirePlainName(const std::string& name, const char* native) {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos ||
        name.find("..") != std::string::npos) {
        throw lua::LuaException(
            lang::Format("{0}: \"{1}\" is not a plain particle file name", native, name));
    }
}

}  // namespace

void GameNatives::saveParticleFile(std::string name) {
    requirePlainName(name, "saveParticleFile");
    lua::LuaTable particles = lua::tableOrEmpty(world_, "particleTable");
    if (particles.isEmpty() || !particles.isTable("particles") ||
        !particles.getTable("particles").isTable(name)) {
        throw lua::LuaException(lang::Format("saveParticleFile: no particle definition {0}", name));
    }
    lua::LuaTable definition = particles.getTable("particles").getTable(name);
    lua_State* L = world_.getState()->getLua();
    lua::StackGuard guard(L);
    definition.push();
    std::string text;
    lua::serializeTable(L, -1, 0, false, text);
    const std::string path =
        world_.resolvePath(world_.paths().scriptPath + "/particles/" + name + ".lua");
    io::replaceFile(path, text.data(), text.size());
}

void GameNatives::createDirectory(std::string path) {
    io::makeDirectory(world_.resolvePath(path));
}

bool GameNatives::checkDirectory(std::string path) {
    return io::exists(world_.resolvePath(path));
}

lua::LuaTable GameNatives::getDirectoryFileList(std::string pattern) {
    lua::LuaTable names(*world_.getState());
    int index = 1;
    for (const std::string& name : io::globNames(world_.resolvePath(pattern))) {
        names.set(index++, name);
    }
    return names;
}

void GameNatives::removeParticleFile(std::string name) {
    requirePlainName(name, "removeParticleFile");
    std::remove(("data_src/particles/" + name + ".lua").c_str());
}

std::string GameNatives::sumIntegerTable(lua::LuaTable table) {
    long long sum = 0;
    for (int i = 1; table.isNumber(i); ++i) {
        // Saturated like every other script number turned into an integer, and
        // the sum saturates too instead of wrapping.
        const long long value = lang::truncateSaturating<long long>(std::floor(table.getNumber(i)));
        if (__builtin_add_overflow(sum, value, &sum)) {
            sum = value < 0 ? std::numeric_limits<long long>::min()
                            : std::numeric_limits<long long>::max();
        }
    }
    return std::to_string(sum);
}

void GameNatives::setOffsetedViewport(float x, float y) {
    lang::Ptr<gr::Context> context = world_.services().context;
    if (context) {
        int left = lang::truncateToInt(x), top = lang::truncateToInt(y);
        context->setViewport(gr::Rect{left, top, left + context->width(), top + context->height()});
    }
}

void GameNatives::getCurrentLocale() {
    game::Resources* resources = world_.services().resources;
    if (!resources) {
        return;
    }
    std::string choice = "en_EN";
    game::TextGroupSet* set = resources->getTextGroupSet("TEXTS_BASIC");
    for (std::string language : pf::Locale().getPreferredLanguages()) {
        if (language.compare(0, 2, "ja") == 0) {
            language = "ja_JP";
        }
        if (set) {
            for (const std::string& known : set->getLanguages()) {
                if (known == language) {
                    choice = language;
                }
            }
        }
    }
    resources->loadLocale("TEXTS_BASIC", choice);
    resources->useLocale(choice);
}

void GameNatives::setChannelCountLimit(float channel, float count) {
    game::Resources* resources = world_.services().resources;
    audio::AudioOutput* output = resources ? resources->getAudioOutput() : nullptr;
    if (output) {
        output->setChannelCountLimit(lang::truncateToInt(channel), lang::truncateToInt(count));
    }
}

void GameNatives::printGlobals() {
    // Kept for the scripts' debugging menus; the walk shows nothing here.
}

std::string GameNatives::exportLuaTableAsJSON(std::string name) {
    try {
        return world_.isTable(name) ? lua::exportJSON(world_.getTable(name)) : std::string();
    } catch (const std::exception& e) {
        QF_LOG("", lang::log::ERROR, "AN EXCEPTION WAS THROWN");
        return std::string();
    }
}

void GameNatives::importJSONToLuaTable(std::string text, std::string name) {
    try {
        if (world_.isTable(name)) {
            lua::importJSON(text, world_.getTable(name));
        }
    } catch (const std::exception& e) {
        QF_LOG("", lang::log::ERROR, "JSON import to lua table failed!");
    }
}

void GameNatives::reloadIngameSprites() {
    game::Resources* resources = world_.services().resources;
    for (const auto& entry : world_.objectIndex()) {
        GameObject& object = *entry.second;
        if (!object.spriteName.empty()) {
            object.sprite = resources ? resources->getSprite(object.spriteName) : nullptr;
        }
        if (!object.textureName.empty()) {
            game::SpriteSheet* sheet =
                resources ? resources->getSheet(object.textureName) : nullptr;
            object.texture = sheet ? sheet->getTexture() : nullptr;
        }
    }
    if (world_.services().particles) {
        world_.services().particles->clear();
    }
}
