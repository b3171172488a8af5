// The audio natives of the table "res".

#include <cstdint>

#include "game/LuaResources.h"
#include "lang/Numbers.h"
#include "lua/ScriptValues.h"

namespace game {

using lua::optBoolean;
using lua::optNumber;

namespace {

// Handles travel to the scripts as light userdata.
void* handleToUserData(int handle) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(handle));
}

int userDataToHandle(void* data) {
    return static_cast<int>(reinterpret_cast<intptr_t>(data));
}

}  // namespace

void LuaResources::addAudioNatives() {
    bindMethod("createAudioOutput", this, &LuaResources::createAudioOutput);
    bindMethod("createAudioInput", this, &LuaResources::createAudioInput);
    addMethod("createAudio", this, &LuaResources::createAudio);
    bindMethod("createCompositeAudio", this, &LuaResources::createCompositeAudio);
    bindMethod("releaseAudio", this, &LuaResources::releaseAudio);
    addMethod("playAudio", this, &LuaResources::playAudio);
    addMethod("stopAudio", this, &LuaResources::stopAudio);
    bindMethod("stopAllAudio", this, &LuaResources::stopAllAudio);
    addMethod("isAudioPlaying", this, &LuaResources::isAudioPlaying);
    bindMethod("startAudioOutput", this, &LuaResources::startAudioOutput);
    bindMethod("stopAudioOutput", this, &LuaResources::stopAudioOutput);
    bindMethod("startAudioInput", this, &LuaResources::startAudioInput);
    bindMethod("stopAudioInput", this, &LuaResources::stopAudioInput);
    bindMethod("setMasterVolume", this, &LuaResources::setMasterVolume);
    bindMethod("setTrackVolume", this, &LuaResources::setTrackVolume);
    bindMethod("getTrackVolume", this, &LuaResources::getTrackVolume);
}

int LuaResources::createAudio(lua::LuaState* state) {
    std::string path = state->toString(1);
    std::string name = state->toString(2);
    resources_->createAudio(path, name, optBoolean(state, 3, true));
    return 0;
}

int LuaResources::playAudio(lua::LuaState* state) {
    std::string name = state->toString(1);
    float volume = optNumber(state, 2, 1);
    bool loop = optBoolean(state, 3, false);
    int track = lang::truncateToInt(optNumber(state, 4, 0));
    state->pushLightUserData(handleToUserData(resources_->playAudio(name, volume, loop, track)));
    return 1;
}

int LuaResources::stopAudio(lua::LuaState* state) {
    if (state->getType(1) == LUA_TLIGHTUSERDATA) {
        resources_->stopAudio(userDataToHandle(state->toLightUserData(1)));
    } else if (state->getType(1) == LUA_TSTRING) {
        resources_->stopAudio(std::string(state->toString(1)));
    }
    return 0;
}

int LuaResources::isAudioPlaying(lua::LuaState* state) {
    bool playing = false;
    if (state->getType(1) == LUA_TLIGHTUSERDATA) {
        playing = resources_->isAudioPlaying(userDataToHandle(state->toLightUserData(1)));
    } else if (state->getType(1) == LUA_TSTRING) {
        playing = resources_->isAudioPlaying(std::string(state->toString(1)));
    }
    state->pushBoolean(playing);
    return 1;
}

void LuaResources::createAudioOutput(float channels, float bitsPerSample, float samplesPerSecond) {
    resources_->createAudioOutput(lang::truncateToInt(channels), lang::truncateToInt(bitsPerSample),
                                  lang::truncateToInt(samplesPerSecond));
}

void LuaResources::createAudioInput(float channels, float bitsPerSample, float samplesPerSecond) {
    resources_->createAudioInput(lang::truncateToInt(channels), lang::truncateToInt(bitsPerSample),
                                 lang::truncateToInt(samplesPerSecond));
}

void LuaResources::createCompositeAudio(const std::string& name, lua::LuaTable clipNames) {
    lua::LuaState* state = clipNames.getState();
    std::vector<std::string> names;
    for (int i = 1;; ++i) {
        clipNames.pushField(i);
        bool isString = state->getType(-1) == LUA_TSTRING;
        if (isString) {
            names.push_back(state->toString(-1));
        }
        state->pop(1);
        if (!isString) {
            break;
        }
    }
    resources_->createCompositeAudio(name, names);
}

void LuaResources::releaseAudio(const std::string& name) {
    resources_->releaseAudio(name);
}

void LuaResources::stopAllAudio() {
    resources_->stopAllAudio();
}

bool LuaResources::startAudioOutput() {
    return resources_->startAudioOutput();
}

void LuaResources::stopAudioOutput() {
    resources_->stopAudioOutput();
}

void LuaResources::startAudioInput() {
    resources_->startAudioInput();
}

void LuaResources::stopAudioInput() {
    resources_->stopAudioInput();
}

void LuaResources::setMasterVolume(float volume) {
    resources_->setMasterVolume(volume);
}

void LuaResources::setTrackVolume(float volume, float track) {
    resources_->setTrackVolume(volume, lang::truncateToInt(track));
}

float LuaResources::getTrackVolume(float track) {
    return resources_->getTrackVolume(lang::truncateToInt(track));
}

}  // namespace game
