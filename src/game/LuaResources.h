#pragma once

#include <string>
#include <vector>

#include "game/Resources.h"
#include "lang/Ptr.h"
#include "lua/LuaObject.h"

namespace gr {
class Context;
}
namespace pf {
class Launcher;
}

namespace game {

/// The scripts' table "res": the natives of one Resources registry, stored in
/// the globals under that name. Natives with optional arguments read them
/// themselves; every argument that is present must have the documented type,
/// otherwise the strict reader's LuaException is raised.
class LuaResources : public lua::LuaObject {
public:
    LuaResources(lua::LuaState& state, const lang::Ptr<gr::Context>& context);
    ~LuaResources() override;

    Resources& getResources() const { return *resources_; }

private:
    /// The points of the last drawSprites call, kept so that a call allocates nothing.
    std::vector<gr::Point> points_;

    void addLoadingNatives();
    void addDrawingNatives();
    void addTextNatives();
    void addAudioNatives();
    void addCompoNatives();

    /// Loading and releasing.
    int createSpriteSheet(lua::LuaState* state);
    int createCompoSpriteSet(lua::LuaState* state);
    int createBitmapFont(lua::LuaState* state);
    int createSystemFont(lua::LuaState* state);
    int createTextGroupSet(lua::LuaState* state);
    int releaseSpriteSheet(lua::LuaState* state);
    void setPath(const std::string& path);
    void captureSprite(const std::string& name);
    void releaseCompoSpriteSet(const std::string& path);
    void releaseFont(const std::string& path);
    void releaseTextGroupSet(const std::string& path);

    /// Drawing and queries.
    int drawSprite(lua::LuaState* state);
    int drawSprites(lua::LuaState* state);
    int drawString(lua::LuaState* state);
    int getClipRect(lua::LuaState* state);
    int getSpriteBounds(lua::LuaState* state);
    int getSpritePivot(lua::LuaState* state);
    int getAvailableSystemFonts(lua::LuaState* state);
    void setClipRect(float x, float y, float width, float height);
    void loadLocale(const std::string& group, const std::string& locale);
    void useLocale(const std::string& locale);
    void useFont(const std::string& name);
    std::string getString(const std::string& group, const std::string& key);
    std::string getLocale();
    float getStringWidth(const std::string& text);
    float getFontMaxAscending();
    float getFontMaxDescending();
    float getFontLeading();
    float getFontTracking();
    float getFontHeight();
    void openURL(const std::string& url);

    /// Audio.
    int createAudio(lua::LuaState* state);
    int playAudio(lua::LuaState* state);
    int stopAudio(lua::LuaState* state);
    int isAudioPlaying(lua::LuaState* state);
    void createAudioOutput(float channels, float bitsPerSample, float samplesPerSecond);
    void createAudioInput(float channels, float bitsPerSample, float samplesPerSecond);
    void createCompositeAudio(const std::string& name, lua::LuaTable clipNames);
    void releaseAudio(const std::string& name);
    void stopAllAudio();
    bool startAudioOutput();
    void stopAudioOutput();
    void startAudioInput();
    void stopAudioInput();
    void setMasterVolume(float volume);
    void setTrackVolume(float volume, float track);
    float getTrackVolume(float track);

    /// Composite sprites.
    int getCompoSpriteBounds(lua::LuaState* state);
    int getCompoSpriteData(lua::LuaState* state);
    int getCompoSpriteEntry(lua::LuaState* state);
    int setCompoSpriteEntry(lua::LuaState* state);

    lang::Ptr<Resources> resources_;
    lang::Ptr<pf::Launcher> launcher_;
};

}  // namespace game
