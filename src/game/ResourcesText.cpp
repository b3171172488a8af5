// The registry's fonts and text-group sets as classes: bitmap fonts, system
// fonts and localised text groups.

#include "audio/AudioClip.h"
#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "game/BitmapFont.h"
#include "game/CompoSpriteSet.h"
#include "game/Resources.h"
#include "game/SystemFont.h"
#include "game/TextGroup.h"
#include "game/TextGroupSet.h"
#include "gr/Context.h"

namespace game {

// Construction and destruction live here, where every table's type is complete.
Resources::Resources(const lang::Ptr<gr::Context>& context)
    : context_(context), clip_(-10000, -10000, 10000, 10000), path_(""), locale_("en_EN") {}

Resources::~Resources() = default;

void Resources::createBitmapFont(const std::string& path, bool reload) {
    std::string key = keyOf(path);
    if (!reload && fonts_.count(key)) {
        return;
    }
    lang::Ptr<IFont> font = new BitmapFont(context_.get(), fullPath(path));
    fonts_[key] = font;
}

void Resources::createSystemFont(const std::string& name, const std::string& faceName, int size,
                                 const gr::Color& colour, int style, bool reload) {
    if (!reload && fonts_.count(name)) {
        return;
    }
    lang::Ptr<IFont> font = new SystemFont(context_.get(), faceName, size, colour, style);
    fonts_[name] = font;
}

std::vector<std::string> Resources::getAvailableSystemFonts() {
    return SystemFont::getAvailableSystemFonts();
}

void Resources::createTextGroupSet(const std::string& path, bool reload) {
    std::string key = keyOf(path);
    if (!reload && texts_.count(key)) {
        return;
    }
    lang::Ptr<TextGroupSet> set = new TextGroupSet(fullPath(path));
    set->readLanguages();
    texts_[key] = set;
}

void Resources::releaseTextGroupSet(const std::string& path) {
    texts_.erase(keyOf(path));
}

TextGroupSet* Resources::getTextGroupSet(const std::string& key) const {
    auto it = texts_.find(key);
    return it == texts_.end() ? nullptr : it->second.get();
}

void Resources::loadLocale(const std::string& group, const std::string& locale) {
    if (TextGroupSet* set = getTextGroupSet(group)) {
        set->release("ALL");
        set->load(locale);
    }
}

std::string Resources::getString(const std::string& group, const std::string& key) {
    TextGroupSet* set = getTextGroupSet(group);
    if (!set) {
        return key;
    }
    return set->getTextGroup(locale_)->getString(key);
}

}  // namespace game
